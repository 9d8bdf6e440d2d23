// The registration of the pages: the one file of the shell that includes
// the pages' headers.
#include "app/pages.h"

#include "pages/appear/appear_page.h"
#include "pages/colour/nod_colours.h"
#include "pages/colour/add_page.h"
#include "pages/colour/contour_page.h"
#include "pages/colour/palette_page.h"
#include "pages/colour/uni_c_page.h"
#include "pages/filter/filter_page.h"
#include "pages/gamon/gamon_page.h"
#include "pages/pattern/outline_page.h"
#include "pages/pattern/outline_state.h"
#include "pages/pattern/pattern_page.h"
#include "pages/pattern/transfer_page.h"
#include "pages/tone/eye_page.h"
#include "pages/tone/tone_pages.h"
#include "pages/tone/tone_state.h"
#include "ops/vantor_eye.h"
#include "pages/view/view_area.h"
#include "pages/view/view_pages.h"

// In PageId order; the tab of page k is tab k of the bar.
const std::array<const PageEntry*, PageCount> PageTable = {{
    &TopPageEntry, &FilterPageEntry, &MapPageEntry, &DevelopPageEntry, &EyePageEntry, &ContourPageEntry, &AddPageEntry, &PalettePageEntry, &UniCPageEntry,
    &OutlinePageEntry, &PatternPageEntry, &TransferPageEntry, &AppearPageEntry, &GamonPageEntry,
}};

const std::array<BilingualText, PageCount> PageNames = {{
    {"トップ", "TOP"},       {"フィルタ", "FILTER"},   {"マップ", "MAP"},     {"現像", "DEVELOP"},
    {"Ｖ.アイ", "VANTOR EYE"}, {"コンター", "CONTOUR"},  {"色加味", "ADD"},     {"パレット", "PALETTE"},
    {"色変換", "UNI C."},    {"輪郭線", "Outline"},    {"型紙化", "Pattern"}, {"転送", "Transfer"},
    {"出現", "APPEAR"},      {"画紋", "GAMON"},
}};

void StartAllPages() {
  StartOutlineState();
  ResetToneState();
  for (const PageEntry* page : PageTable) page->start();
}

namespace {
constexpr std::array<StateBlock, 4> SharedBlocks{StateBlockOf<Tone>(), StateBlockOf<View>(), StateBlockOf<Outline>(),
                                                 StateBlockOf<NodColours>()};
}  // namespace

std::span<const StateBlock> SharedPageStates() { return SharedBlocks; }

std::span<std::uint8_t> SharedBrushMask() { return {BrushMask.data(), static_cast<std::size_t>(Stride) * CanvasRows}; }

void ForgetMarksOnTheShownPart() {
  ClearBrushMask();
  Outline.localContrastPoint = ContrastPoint{};
}
