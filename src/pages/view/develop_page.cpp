// DEVELOP page.
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
struct DevelopState {
  int setRequest = 0;  // 1: store the shown image in the page's keep slot
  int helpItem = 0;    // explanation selector, 0 none
};
DevelopState Develop;

// [SECTION] Panel and texts
constexpr std::array<PanelKey, 1> Panel = {{
    {.code = TitleKeyCode, .x = 2, .y = 10, .width = 84, .english = "[DEVELOP]", .japanese = "[ 現像 ]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {5, 1, 91, 29}},
}};
constexpr CommentText Comment{.lines = {{{"DEVELOP [<>] digital development (zoom and smooth);",
                                          "現像 [<>] デジタル現像 (拡大となめらか化);"}}}};
constexpr PageComments Comments{.commentCode = 3, .slot = PageDevelop, .hasCalculator = false, .comment = &Comment};
constexpr PlainPage Page{.page = PageDevelop, .panel = Panel, .marks = {{{10, 30, 2}, {}}}, .comments = &Comments};

}  // namespace

void StartDevelop() { Develop = DevelopState{}; }

// [SECTION] Entry
void EnterDevelop() {
  Develop = DevelopState{};
  CommentRequest = 3;
}

// [SECTION] Clicks
bool DevelopClick() { return PlainPageClick(Page); }

// [SECTION] Paint
void PaintDevelop() { PaintPlainPage(Page, Develop.setRequest, Develop.helpItem); }
