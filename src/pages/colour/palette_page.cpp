// PALETTE page.
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
struct PaletteState {
  int setRequest = 0;  // 1: store the shown image in the page's keep slot
  int helpItem = 0;    // explanation selector, 0 none
};
PaletteState Palette;

// [SECTION] Panel and texts
constexpr std::array<PanelKey, 1> Panel = {{
    {.code = TitleKeyCode, .x = 4, .y = 4, .width = 88, .english = "[PALETTE]", .japanese = "[パレット]",
     .kind = KeyKind::Label, .fontHeight = LargeFontHeight, .hit = {3, 1, 97, 27}},
}};
constexpr CommentText Comment{.lines = {{{"palette [<>] set nod colors used at ADD",
                                          "パレット [<>] 色加味で使う節色を設定する"}}}};
constexpr PageComments Comments{.commentCode = 7, .slot = PagePalette, .hasCalculator = true, .comment = &Comment};
constexpr PlainPage Page{.page = PagePalette, .panel = Panel, .marks = {{{2, 28, 2}, {50, 28, 7}}}, .comments = &Comments};

}  // namespace

void StartPalette() { Palette = PaletteState{}; }

// [SECTION] Entry
void EnterPalette() {
  Palette = PaletteState{};
  CommentRequest = 7;
}

// [SECTION] Clicks
bool PaletteClick() { return PlainPageClick(Page); }

// [SECTION] Paint
void PaintPalette() { PaintPlainPage(Page, Palette.setRequest, Palette.helpItem); }
