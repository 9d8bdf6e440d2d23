// Outline page.
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
struct OutlineState {
  int setRequest = 0;  // 1: store the shown image in the page's keep slot
  int helpItem = 0;    // explanation selector, 0 none
};
OutlineState Outline;

// [SECTION] Panel and texts
constexpr std::array<PanelKey, 1> Panel = {{
    {.code = TitleKeyCode, .x = 2, .y = 4, .width = 94, .english = "[Outline]", .japanese = "[ 輪郭線 ]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {4, 0, 92, 24}},
}};
constexpr CommentText Comment{.lines = {{{"OUTLINE [<>] draw outline on the image;",
                                          "輪郭線 [<>] 画像に輪郭線を描く;"}}}};
constexpr PageComments Comments{.commentCode = 9, .slot = PageOutline, .hasCalculator = true, .comment = &Comment};
constexpr PlainPage Page{.page = PageOutline, .panel = Panel, .marks = {{{2, 28, 5}, {50, 28, 4}}}, .comments = &Comments};

}  // namespace

void StartOutline() { Outline = OutlineState{}; }

// [SECTION] Entry
void EnterOutline() {
  Outline = OutlineState{};
  CommentRequest = 9;
}

// [SECTION] Clicks
bool OutlineClick() { return PlainPageClick(Page); }

// [SECTION] Paint
void PaintOutline() { PaintPlainPage(Page, Outline.setRequest, Outline.helpItem); }
