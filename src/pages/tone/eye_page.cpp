// VANTOR EYE page.
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
#include "pages/tone/tone_pages.h"

int EyeBlindMode = 0;

namespace {

// [SECTION] State: the page's block, with its start values.
struct EyeState {
  int setRequest = 0;  // 1: store the shown image in the page's keep slot
  int helpItem = 0;    // explanation selector, 0 none
};
EyeState Eye;

// [SECTION] Panel and texts
constexpr std::array<PanelKey, 1> Panel = {{
    {.code = TitleKeyCode, .x = 4, .y = 4, .width = 104, .english = "[VANTOR EYE]", .japanese = "[Ｖ.アイ]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {4, 0, 92, 24}},
}};
constexpr CommentText Comment{.lines = {{{"VANTOR EYE [<>] (A) do Vantor Eye operation on the image; save after image to inner memory;",
                                          "Ｖ.アイ [<>] (A) 画像にVantor Eye処理をする; 処理後の画像を内部メモリに保存する;"}}}};
constexpr PageComments Comments{.commentCode = 4, .slot = PageEye, .hasCalculator = false, .comment = &Comment};
constexpr PlainPage Page{.page = PageEye, .panel = Panel, .marks = {{{2, 24, 3}, {52, 24, 6}}}, .comments = &Comments};

}  // namespace

void StartEye() { Eye = EyeState{}; }

// [SECTION] Entry
void EnterEye() {
  Eye = EyeState{};
  CommentRequest = 4;
}

// [SECTION] Clicks
bool EyeClick() { return PlainPageClick(Page); }

// [SECTION] Paint
void PaintEye() { PaintPlainPage(Page, Eye.setRequest, Eye.helpItem); }
