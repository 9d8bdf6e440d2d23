// CONTOUR page.
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
struct ContourState {
  int setRequest = 0;  // 1: store the shown image in the page's keep slot
  int helpItem = 0;    // explanation selector, 0 none
};
ContourState Contour;

// [SECTION] Panel and texts
constexpr std::array<PanelKey, 1> Panel = {{
    {.code = TitleKeyCode, .x = 4, .y = 4, .width = 88, .english = "[CONTOUR]", .japanese = "[コンター]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {3, 1, 97, 27}},
}};
constexpr CommentText Comment{.lines = {{{"CONTOUR [<>] draw a contour on the image;",
                                          "コンター [<>] 画像に等濃度線を描く;"}}}};
constexpr PageComments Comments{.commentCode = 5, .slot = PageContour, .hasCalculator = true, .comment = &Comment};
constexpr PlainPage Page{.page = PageContour, .panel = Panel, .marks = {{{2, 28, 8}, {50, 28, 4}}}, .comments = &Comments};

}  // namespace

void StartContour() { Contour = ContourState{}; }

// [SECTION] Entry
void EnterContour() {
  Contour = ContourState{};
  CommentRequest = 5;
}

// [SECTION] Clicks
bool ContourClick() { return PlainPageClick(Page); }

// [SECTION] Paint
void PaintContour() { PaintPlainPage(Page, Contour.setRequest, Contour.helpItem); }
