// GAMON page.
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
struct GamonState {
  int setRequest = 0;  // 1: store the shown image in the page's keep slot
  int helpItem = 0;    // explanation selector, 0 none
};
GamonState Gamon;

// [SECTION] Panel and texts
constexpr std::array<PanelKey, 1> Panel = {{
    {.code = TitleKeyCode, .x = 4, .y = 4, .width = 88, .english = "[ GAMON ]", .japanese = "[ 画紋 ]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {4, 0, 92, 30}},
}};
constexpr CommentText Comment{.lines = {{{"GAMON [<>] Gamon graph & color value graph;",
                                          "画紋 [<>] 画紋グラフと色値グラフ;"}}}};
constexpr PageComments Comments{.commentCode = 13, .slot = PageGamon, .hasCalculator = false, .comment = &Comment};
constexpr PlainPage Page{.page = PageGamon, .panel = Panel, .marks = {{{2, 30, 5}, {50, 30, 4}}}, .comments = &Comments};

}  // namespace

void StartGamon() { Gamon = GamonState{}; }

// [SECTION] Entry
void EnterGamon() {
  Gamon = GamonState{};
  CommentRequest = 13;
}

// [SECTION] Clicks
bool GamonClick() { return PlainPageClick(Page); }

// [SECTION] Paint
void PaintGamon() { PaintPlainPage(Page, Gamon.setRequest, Gamon.helpItem); }
