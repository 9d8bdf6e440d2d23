// UNI C. page.
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
struct UniCState {
  int setRequest = 0;  // 1: store the shown image in the page's keep slot
  int helpItem = 0;    // explanation selector, 0 none
};
UniCState UniC;

// [SECTION] Panel and texts
constexpr std::array<PanelKey, 1> Panel = {{
    {.code = TitleKeyCode, .x = 4, .y = 4, .width = 104, .english = "[UNI C.]", .japanese = "[ 色変換 ]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {3, 1, 97, 27}},
}};
constexpr CommentText Comment{.lines = {{{"CHANGE [<>] exchange the color of the image to other;",
                                          "色変換 [<>] 画像の色を他の色に置き換える;"}}}};
constexpr PageComments Comments{.commentCode = 8, .slot = PageUniC, .hasCalculator = true, .comment = &Comment};
constexpr PlainPage Page{.page = PageUniC, .panel = Panel, .marks = {{{2, 28, 5}, {50, 28, 4}}}, .comments = &Comments};

}  // namespace

void StartUniC() { UniC = UniCState{}; }

// [SECTION] Entry
void EnterUniC() {
  UniC = UniCState{};
  CommentRequest = 8;
}

// [SECTION] Clicks
bool UniCClick() { return PlainPageClick(Page); }

// [SECTION] Paint
void PaintUniC() { PaintPlainPage(Page, UniC.setRequest, UniC.helpItem); }
