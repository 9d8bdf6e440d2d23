// Transfer page.
// FIXME: the page's own tool is still to be built; for now it shows the
// current image with the common steps, its title and its comment.
//
// [SECTION] State
// [SECTION] Panel and texts
// [SECTION] Entry
// [SECTION] Clicks
// [SECTION] Paint

#include "app/pages.h"
#include "app/plain_page.h"
#include "app/state.h"

namespace {

// [SECTION] State: the page's block, with its start values.
struct TransferState {
  int setRequest = 0;  // 1: store the shown image in the page's keep slot
  int helpItem = 0;    // explanation selector, 0 none
};
TransferState Transfer;

// [SECTION] Panel and texts
constexpr std::array<PanelKey, 1> Panel = {{
    {.code = TitleKeyCode, .x = 4, .y = 5, .width = 104, .english = "[Transfer]", .japanese = "[ 転送 ]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {4, 0, 92, 25}},
}};
constexpr CommentText Comment{.lines = {{{"Transfer [<>]  1)get and operate pattern image, 3)Pattern, 5)CallReal(call real image), so 6)ShotPatt.(make transfer image);",
                                          "転送 [<>]  1)型紙画像を呼び出して操作, 3)型紙化, 5)実画像呼出, そして 6)型紙撮影(転送画像を作る);"}}}};
constexpr PageComments Comments{.commentCode = 16, .slot = PageTransfer, .hasCalculator = true, .comment = &Comment};
constexpr PlainPage Page{.page = PageTransfer, .panel = Panel, .marks = {{{2, 25, 5}, {50, 25, 4}}}, .comments = &Comments};

}  // namespace

void StartTransfer() { Transfer = TransferState{}; }

// [SECTION] Entry
void EnterTransfer() {
  Transfer = TransferState{};
  CommentRequest = 16;
}

// [SECTION] Clicks
bool TransferClick() { return PlainPageClick(Page); }

// [SECTION] Paint
void PaintTransfer() { PaintPlainPage(Page, Transfer.setRequest, Transfer.helpItem); }
