// ADD page.
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
struct AddState {
  int setRequest = 0;  // 1: store the shown image in the page's keep slot
  int helpItem = 0;    // explanation selector, 0 none
};
AddState Add;

// [SECTION] Panel and texts
constexpr std::array<PanelKey, 1> Panel = {{
    {.code = TitleKeyCode, .x = 4, .y = 4, .width = 88, .english = "[ ADD ]", .japanese = "[ 色加味 ]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {3, 1, 97, 27}},
}};
constexpr CommentText Comment{.lines = {{{"ADD [<>] add several colors on the image along light and dark og the image; ",
                                          "色加味 [<>] 画像の明暗に沿っていくつかの色を加える;"}}}};
constexpr PageComments Comments{.commentCode = 6, .slot = PageAdd, .hasCalculator = true, .comment = &Comment};
constexpr PlainPage Page{.page = PageAdd, .panel = Panel, .marks = {{{2, 24, 5}, {50, 24, 4}}}, .comments = &Comments};

}  // namespace

void StartAdd() { Add = AddState{}; }

// [SECTION] Entry
void EnterAdd() {
  Add = AddState{};
  CommentRequest = 6;
}

// [SECTION] Clicks
bool AddClick() { return PlainPageClick(Page); }

// [SECTION] Paint
void PaintAdd() { PaintPlainPage(Page, Add.setRequest, Add.helpItem); }
