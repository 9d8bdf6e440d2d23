// FILTER page.
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
struct FilterState {
  int setRequest = 0;  // 1: store the shown image in the page's keep slot
  int helpItem = 0;    // explanation selector, 0 none
};
FilterState Filter;

// [SECTION] Panel and texts
constexpr std::array<PanelKey, 1> Panel = {{
    {.code = TitleKeyCode, .x = 8, .y = 2, .width = 84, .english = "[FILTER]", .japanese = "[フィルタ]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {4, 0, 92, 22}},
}};
constexpr CommentText Comment{.lines = {{{"FILTER [<>] (A)call a image;",
                                          "フィルタ [<>] (A)画像を呼び出す;"}}}};
constexpr PageComments Comments{.commentCode = 1, .slot = PageFilter, .hasCalculator = true, .comment = &Comment};
constexpr PlainPage Page{.page = PageFilter, .panel = Panel, .marks = {{{2, 22, 2}, {52, 22, 9}}}, .comments = &Comments};

}  // namespace

void StartFilter() { Filter = FilterState{}; }

// [SECTION] Entry
void EnterFilter() {
  Filter = FilterState{};
  CommentRequest = 1;
}

// [SECTION] Clicks
bool FilterClick() { return PlainPageClick(Page); }

// FIXME: the FILTER values (light core, colour power) arrive with the page itself.
void ResetFilterValues() {}

// [SECTION] Paint
void PaintFilter() { PaintPlainPage(Page, Filter.setRequest, Filter.helpItem); }
