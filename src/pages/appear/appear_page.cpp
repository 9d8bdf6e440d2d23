// APPEAR page.
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

// Shared with the shell, which sets them when the APPEAR tab is clicked.
int AppearMode = 0;
int AppearFileRequest = 0;

namespace {

// [SECTION] State: the page's block, with its start values.
struct AppearState {
  int setRequest = 0;  // 1: store the shown image in the page's keep slot
  int helpItem = 0;    // explanation selector, 0 none
};
AppearState Appear;

// [SECTION] Panel and texts
constexpr std::array<PanelKey, 1> Panel = {{
    {.code = TitleKeyCode, .x = 4, .y = 4, .width = 88, .english = "[APPEAR]", .japanese = "[ 出現 ]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {4, 0, 92, 25}},
}};
constexpr CommentText Comment{.lines = {{{"APPEAR [<>] (A)call back image and transfer(trfr) image; (B)set pass zone on transfer(trfr) image;",
                                          "出現 [<>] (A)背景画像と転送(trfr)画像を呼び出す; (B)転送(trfr)画像に通過領域を設定する;"}}}};
constexpr PageComments Comments{.commentCode = 17, .slot = PageAppear, .hasCalculator = true, .comment = &Comment};
constexpr PlainPage Page{.page = PageAppear, .panel = Panel, .marks = {{{2, 26, 5}, {50, 26, 4}}}, .comments = &Comments};

}  // namespace

void StartAppear() { Appear = AppearState{}; }

// [SECTION] Entry
void EnterAppear() {
  Appear = AppearState{};
  CommentRequest = 17;
}

// [SECTION] Clicks
bool AppearClick() { return PlainPageClick(Page); }

// [SECTION] Paint
void PaintAppear() { PaintPlainPage(Page, Appear.setRequest, Appear.helpItem); }
