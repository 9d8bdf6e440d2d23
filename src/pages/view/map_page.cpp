// MAP page.
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
struct MapState {
  int setRequest = 0;  // 1: store the shown image in the page's keep slot
  int helpItem = 0;    // explanation selector, 0 none
};
MapState Map;

// [SECTION] Panel and texts
constexpr std::array<PanelKey, 1> Panel = {{
    {.code = TitleKeyCode, .x = 4, .y = 4, .width = 88, .english = "[ MAP ]", .japanese = "[マップ]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {5, 1, 91, 29}},
}};
constexpr CommentText Comment{.lines = {{{"MAP [<>]  (A)call a image;",
                                          "マップ [<>]  (A)画像を呼び出す;"}}}};
constexpr PageComments Comments{.commentCode = 2, .slot = PageMap, .hasCalculator = false, .comment = &Comment};
constexpr PlainPage Page{.page = PageMap, .panel = Panel, .marks = {{{10, 30, 1}, {}}}, .comments = &Comments};

}  // namespace

void StartMap() { Map = MapState{}; }

// [SECTION] Entry
void EnterMap() {
  Map = MapState{};
  CommentRequest = 2;
}

// [SECTION] Clicks
bool MapClick() { return PlainPageClick(Page); }

// [SECTION] Paint
void PaintMap() { PaintPlainPage(Page, Map.setRequest, Map.helpItem); }
