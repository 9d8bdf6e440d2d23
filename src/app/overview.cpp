// The whole picture in view, and the canvas's window moved over it.
//
// [SECTION] Texts
// [SECTION] State
// [SECTION] The reduced picture
// [SECTION] Moving the window
// [SECTION] The mouse over the overview
// [SECTION] Drawing

#include "app/overview.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/history.h"
#include "app/pages.h"
#include "image/bmp_files.h"
#include "image/picture_in_hand.h"
#include "image/planes.h"
#include "ops/overview.h"
#include "ops/recipe.h"
#include "pages/kit/step_list.h"
#include "panel/comments.h"
#include "panel/widgets.h"
#include "platform/dialogs.h"
#include "platform/language.h"
#include "platform/picture_loader.h"
#include "platform/surface.h"
#include "platform/window.h"

namespace {

// [SECTION] Texts
struct OverviewTexts {
  const char* word;
  const char* dropQuestion;  // then the work's name, then the question's end
  const char* dropQuestionEnd;
  const char* title;
  const char* moved;  // the change's name, then "x, y"
  const char* of;     // "x … , y … of W × H"
};
constexpr std::array<OverviewTexts, 2> OverviewText = {{
    {"全体", "キャンバスを動かすと、表示している部分にしかない次の作業が消えます:\n    ", "\n動かしますか？", "確認",
     "キャンバスを移動 ", "、全体 "},
    {"All", "Moving the canvas drops this work, which exists only on the part shown:\n    ", "\nMove the canvas?",
     "Plese make sure", "canvas moved to ", " of "},
}};
const OverviewTexts& Texts() { return OverviewText[LanguageId == EnglishLanguage ? 1 : 0]; }

constexpr int WordLeft = 1062, WordRight = 1098;
constexpr Rgb OverviewBackground{128, 128, 128};
constexpr Rgb OutlineOuter{255, 0, 0};
constexpr Rgb OutlineInner{255, 255, 255};

// [SECTION] State
struct OverviewState {
  bool shown = false;
  bool pressing = false;                // a press in the overview, until its release
  std::optional<PictureWindow> placed;  // the outline's place while pressing
};
OverviewState Overview;

// The reduced picture, kept while the picture and its steps stay.
struct ReducedCache {
  std::shared_ptr<const Picture> whole;
  std::string steps;
  Picture reduced;
  std::vector<std::uint8_t> bottomUp;  // blue, green, red, rows from the bottom
};
ReducedCache Cache;

// [SECTION] The reduced picture
const ReducedCache* Reduced() {
  const std::shared_ptr<const Picture> whole = WholePictureInHand();
  if (!whole) return nullptr;
  const std::vector<PictureStep> steps = StepsSoFar();
  const std::string recipe = WriteRecipe(steps);
  if (Cache.whole != whole || Cache.steps != recipe) {
    Cache.whole = whole;
    Cache.steps = recipe;
    // As the save writes it: a picture that fits the canvas as the canvas
    // has it, a larger one with its borders worked.
    const bool fits = whole->width <= Stride && whole->height <= CanvasRows;
    Cache.reduced = OverviewOf(*whole, steps, Stride, CanvasRows, 2, fits ? Edges::AsCanvas : Edges::Extend);
    const Picture& r = Cache.reduced;
    Cache.bottomUp.assign(r.rgb.size(), 0);
    for (int y = 0; y < r.height; ++y) {
      CopySwappingRedAndBlue(r.rgb.data() + static_cast<std::size_t>(y) * r.width * 3,
                             Cache.bottomUp.data() + static_cast<std::size_t>(r.height - 1 - y) * r.width * 3,
                             static_cast<std::size_t>(r.width));
    }
  }
  return &Cache;
}

// Where the reduced picture stands in the image area.
struct Placement {
  int left = 0, top = 0, width = 0, height = 0;
};
Placement PlacementOf(const Picture& reduced) {
  return Placement{ImageLeft + (Stride - reduced.width) / 2, ImageTop + (CanvasRows - reduced.height) / 2, reduced.width,
                   reduced.height};
}

// The window whose centre lies under a client point of the overview.
std::optional<PictureWindow> WindowUnder(int x, int y) {
  const ReducedCache* cache = Reduced();
  if (cache == nullptr || cache->reduced.width <= 0) return std::nullopt;
  const Placement at = PlacementOf(cache->reduced);
  const int pictureWidth = PictureInHandWidth(), pictureHeight = PictureInHandHeight();
  const long long cx = (static_cast<long long>(std::clamp(x - at.left, 0, at.width - 1)) * 2 + 1) * pictureWidth / (2 * at.width);
  const long long cy = (static_cast<long long>(std::clamp(y - at.top, 0, at.height - 1)) * 2 + 1) * pictureHeight / (2 * at.height);
  PictureWindow window = WindowOfPictureInHand();
  window.left = std::clamp(static_cast<int>(cx) - window.width / 2, 0, std::max(pictureWidth - window.width, 0));
  window.top = std::clamp(static_cast<int>(cy) - window.height / 2, 0, std::max(pictureHeight - window.height, 0));
  return window;
}

bool InImageArea(int x, int y) {
  return ImageLeft <= x && x < ImageLeft + Stride && ImageTop <= y && y < ImageTop + CanvasRows;
}

// [SECTION] Moving the window

// The planes and the inner memory as the steps make them on the window now
// held: the pages' way, each step over the canvas with the window's part of
// the picture on it.
void PlanesFromTheSteps() {
  CopyPictureInHand(Canvas.data());
  WhitenOutside(Canvas.data(), PictureInHandWidth(), PictureInHandHeight(), Stride, CanvasRows);
  const PictureWindow window = WindowOfPictureInHand();
  InnerFromCanvas(Canvas.data(), Stride, CanvasRows);
  for (const PictureStep& step : StepsOnCanvasAt(StepsOfTheInnerMemory(), window.left, window.top)) {
    ApplyStep(step, InnerView(), Stride, CanvasRows, PictureArea(), 2, Edges::AsCanvas);
  }
  PlanesFromCanvas(Canvas.data(), Stride, CanvasRows);
  for (const PictureStep& step : StepsOnCanvasAt(StepsOfThePlanes(), window.left, window.top)) {
    ApplyStep(step, WorkView(), Stride, CanvasRows, PictureArea(), 2, Edges::AsCanvas);
  }
}

}  // namespace

bool OverviewShown() { return Overview.shown; }

void ToggleOverview() {
  if (!Overview.shown && PictureInHandWidth() <= 0) return;  // nothing to show yet
  const bool shown = !Overview.shown;
  Overview = OverviewState{};
  Overview.shown = shown;
  MainWindow().Invalidate();
}

void StartOverview() {
  Overview = OverviewState{};
  Cache = ReducedCache{};
}

bool MoveCanvasTo(int left, int top) {
  const PictureWindow now = WindowOfPictureInHand();
  left = std::clamp(left, 0, std::max(PictureInHandWidth() - now.width, 0));
  top = std::clamp(top, 0, std::max(PictureInHandHeight() - now.height, 0));
  if (now.width <= 0 || (left == now.left && top == now.top)) return false;
  if (const std::optional<BilingualText> work = WorkAMoveDrops()) {
    const OverviewTexts& text = Texts();
    const std::string question = text.dropQuestion + std::string(work->InCurrentLanguage()) + text.dropQuestionEnd;
    if (CurrentDialogs().ShowMessage(question, text.title, MessageButtons::YesNoDefaultNo, MessageIcon::Question) !=
        MessageAnswer::Yes) {
      MainWindow().Invalidate();
      return false;
    }
  }
  if (!MovePictureWindow(left, top)) return false;
  ForgetWorkThatIsNotAStep();
  // The local contrast's fixes are steps and stay; its preview point goes
  // with the part it was clicked on.
  ForgetMarksOnTheShownPart();
  PlanesFromTheSteps();
  const std::string place = std::to_string(left) + ", " + std::to_string(top);
  NameNextChange({OverviewText[0].moved + place, OverviewText[1].moved + place});
  MainWindow().Invalidate();
  return true;
}

bool MoveCanvasBy(int columns, int rows) {
  const PictureWindow now = WindowOfPictureInHand();
  return MoveCanvasTo(now.left + columns, now.top + rows);
}

// [SECTION] The mouse over the overview
bool OverviewPress(int x, int y) {
  if (!Overview.shown || !InImageArea(x, y)) return false;
  Overview.pressing = true;
  Overview.placed = WindowUnder(x, y);
  MainWindow().Invalidate();
  return true;
}

bool OverviewDrag(int x, int y) {
  if (!Overview.shown || !Overview.pressing) return false;
  Overview.placed = WindowUnder(x, y);
  MainWindow().Invalidate();
  return true;
}

bool OverviewRelease(int x, int y) {
  if (!Overview.shown || !Overview.pressing) return false;
  Overview.pressing = false;
  const std::optional<PictureWindow> placed = WindowUnder(x, y);
  Overview.placed.reset();
  // The place chosen, the canvas is what the user wants to see.
  Overview.shown = false;
  if (placed) MoveCanvasTo(placed->left, placed->top);
  MainWindow().Invalidate();
  return true;
}

bool InOverviewWord(int x, int y) { return WordLeft < x && x < WordRight && 1 <= y && y < 32; }

// [SECTION] Drawing
void DrawOverview() {
  Surface& screen = Screen();
  screen.Text(MakePanelFont(12), Overview.shown ? Black : Rgb{100, 100, 100}, TextBackground::Opaque, White,
              WordLeft + 4, 10, Texts().word);
  if (Overview.shown) screen.Rectangle(Pen{SwitchFrame, 2}, std::nullopt, WordLeft, 2, WordRight, 30);
  if (!Overview.shown) return;
  const ReducedCache* cache = Reduced();
  screen.FillRect(OverviewBackground, ImageLeft, ImageTop, ImageLeft + Stride, ImageTop + CanvasRows);
  if (cache == nullptr || cache->reduced.width <= 0) return;
  const Placement at = PlacementOf(cache->reduced);
  screen.BlitBottomUp(cache->bottomUp.data(), at.width, at.height, at.left, at.top);
  // The window's outline, where a press has placed it or where it is.
  const PictureWindow window = Overview.placed.value_or(WindowOfPictureInHand());
  const int w = PictureInHandWidth(), h = PictureInHandHeight();
  const auto column = [&](long long x) { return at.left + static_cast<int>(x * at.width / w); };
  const auto row = [&](long long y) { return at.top + static_cast<int>(y * at.height / h); };
  const int left = column(window.left), top = row(window.top);
  const int right = std::max(column(window.left + window.width), left + 2);
  const int bottom = std::max(row(window.top + window.height), top + 2);
  screen.Rectangle(Pen{OutlineOuter}, std::nullopt, left, top, right, bottom);
  screen.Rectangle(Pen{OutlineInner}, std::nullopt, left + 1, top + 1, right - 1, bottom - 1);
}

std::string WindowPlaceText() {
  const PictureWindow window = WindowOfPictureInHand();
  const auto range = [](int from, int size) { return std::to_string(from) + "–" + std::to_string(from + size); };
  return "x " + range(window.left, window.width) + ", y " + range(window.top, window.height) + Texts().of +
         std::to_string(PictureInHandWidth()) + " × " + std::to_string(PictureInHandHeight());
}
