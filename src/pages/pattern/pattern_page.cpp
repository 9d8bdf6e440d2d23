// Pattern page.
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
struct PatternState {
  int setRequest = 0;  // 1: store the shown image in the page's keep slot
  int helpItem = 0;    // explanation selector, 0 none
};
PatternState Pattern;

// [SECTION] Panel and texts
constexpr std::array<PanelKey, 1> Panel = {{
    {.code = TitleKeyCode, .x = 4, .y = 5, .width = 104, .english = "[Pattern]", .japanese = "[ 型紙化 ]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {4, 0, 92, 25}},
}};
constexpr CommentText Comment{.lines = {{{"Pattern [<>] (1) call an image; (2) set a zone;",
                                          "型紙化 [<>] (1) 画像を呼び出す; (2) 領域を設定する;"}}}};
constexpr PageComments Comments{.commentCode = 15, .slot = PagePattern, .hasCalculator = true, .comment = &Comment};
constexpr PlainPage Page{.page = PagePattern, .panel = Panel, .marks = {{{2, 25, 5}, {50, 25, 4}}}, .comments = &Comments};

}  // namespace

void StartPattern() { Pattern = PatternState{}; }

// [SECTION] Entry
void EnterPattern() {
  Pattern = PatternState{};
  CommentRequest = 15;
}

// [SECTION] Clicks
bool PatternClick() { return PlainPageClick(Page); }

// [SECTION] Paint
void PaintPattern() { PaintPlainPage(Page, Pattern.setRequest, Pattern.helpItem); }
