// The common steps of a page section, in the order a section runs them:
// begin (the picture into the canvas again), its panel, Get and Restore, its
// image operation, show the canvas, its marks, Set, Save, the tab bar, its
// comments. The paint handler's prologue tells these steps what it loaded.
//
// [SECTION] Picture cache
// [SECTION] Tab bar
// [SECTION] Common steps of a page section

#include "pages/kit/page_steps.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image/bmp_files.h"
#include "image/picture_in_hand.h"
#include "image/planes.h"
#include "pages/kit/page_state.h"
#include "ops/recipe.h"
#include "pages/kit/step_list.h"
#include "ops/streamed_steps.h"
#include "panel/comments.h"
#include "panel/widgets.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/language.h"
#include "platform/surface.h"
#include "platform/window.h"

namespace {

// [SECTION] Picture cache
// A Get whose keep file could not be written takes the picture just opened
// from this copy of the canvas instead (the old keep file stays as it was).
std::vector<std::uint8_t> GetCanvasCopy;
int GetCanvasSlot = 99;

bool PaintHasPicture = false;  // a picture was loaded at this paint

// The canvas as shown with the current page's marks over it.
std::vector<std::uint8_t> MarkedCanvas;

// The picture's top-left 960 x 672 part into the canvas, as a copy of the
// file bitmap would: what the picture does not cover is left as it is.
void CopyPictureIntoCanvas() { CopyPictureInHand(Canvas.data()); }

// [SECTION] Tab bar
struct TabLabel {
  int code;
  const char* japanese;
  int japaneseX;
  const char* english;
  int englishX;
};
constexpr std::array<TabLabel, 17> TabLabels = {{
    {1200, "トップ", 104, "Top", 104},      {1210, "フィルタ", 158, "Filter", 158},
    {1220, "マップ", 216, "Map", 216},      {1230, "現像", 272, "Develop", 270},
    {1240, "Ｖ.アイ", 326, "V.eye", 328},   {1250, "コンター", 382, "Contour", 382},
    {1260, "色加味", 438, "Add", 440},      {1270, "パレット", 494, "palette", 494},
    {1280, "色変換", 550, "Change", 548},   {1290, "輪郭線", 606, "Outline", 606},
    {1295, "型紙化", 668, "Pattern", 665},  {1300, "転送", 718, "Transfer", 718},
    {1310, "出現", 776, "Appear", 772},     {1320, "画紋", 832, "Gamon", 834},
    {1330, "保存→", 890, "Save", 888},      {1340, "←復元", 946, "Restore", 942},
    {1350, "←呼出", 1002, "Get", 1000},
}};
constexpr Rgb TabShade{240, 240, 255};
constexpr Rgb TabText{100, 100, 100};

}  // namespace

void NotePictureLoaded(bool loaded) { PaintHasPicture = loaded; }

void KeepOpenedCanvasForGet(int slot) {
  GetCanvasCopy.assign(Canvas.begin(), Canvas.end());
  GetCanvasSlot = slot;
}

void ResetPageSteps() {
  StartStepList();
  GetCanvasCopy.clear();
  GetCanvasSlot = 99;
  PaintHasPicture = false;
  MarkedCanvas.clear();
}

void DrawTabBar() {
  Surface& screen = Screen();
  const Pen pen{TabShade};
  // Every other tab shaded, from the first.
  for (int tab = 0; tab <= TabGet; tab += 2) {
    for (int k = 0; k < TabWidth; ++k) screen.Line(pen, TabLeft(tab) + k, 1, TabLeft(tab) + k, 31);
  }
  const int right = Shell.imageWidth + 100;
  screen.Polyline(pen, {{100, 1}, {right, 1}, {right, 31}, {100, 31}, {100, 1}});
}

void DrawTabLabel(int code) {
  for (const TabLabel& label : TabLabels) {
    if (label.code != code) continue;
    const bool english = LanguageId == 2;
    Screen().Text(MakePanelFont(12), TabText, TextBackground::Opaque, White, english ? label.englishX : label.japaneseX,
                  10, english ? label.english : label.japanese);
  }
}

// [SECTION] Common steps of a page section
void BeginPageSection() {
  if (PaintHasPicture) CopyPictureIntoCanvas();
}

bool ServeGetAndRestore(int slot, bool recomputesFromSource) {
  bool read = false;
  if (Requests.getSlot == slot) {
    if (GetCanvasSlot == slot && !GetCanvasCopy.empty()) {
      PlanesFromCanvas(GetCanvasCopy.data(), Stride, CanvasRows);
      read = true;
    } else {
      read = ReadKeepFile(Canvas.data(), slot, PixelTarget::IntoPlanes);
      if (read) NoteKeepRead(slot, PictureFile.path, KeepFileName(slot));
    }
    // The picture just opened is the picture in hand, over its own area.
    if (read) ShowPictureFileArea();
    Requests.getSlot = 99;
  }
  GetCanvasCopy.clear();
  GetCanvasSlot = 99;
  if (Requests.restore == RestoreAsked) {
    if (ReadKeepFile(Canvas.data(), slot, PixelTarget::IntoPlanes)) {
      NoteKeepRead(slot, PictureFile.path, KeepFileName(slot));
      read = true;
    }
    Requests.restore = RestoreDone;
  }
  if (read && recomputesFromSource) {
    SaveToInner(Stride, CanvasRows);
    NoteInnerSet();
  }
  return read;
}

void ShowPlanes() {
  CanvasFromPlanes(Canvas.data(), Stride, CanvasRows);
  Screen().BlitBottomUp(Canvas.data(), Stride, CanvasRows, 100, 32);
}

void PaintStep(const PictureStep& step) {
  const std::vector<Stage> stages = StagesOf(step);
  if (stages.size() == 1 && stages.front().canvas) {
    stages.front().canvas(WorkView(), Canvas.data(), Stride, Stride, CanvasRows, PictureArea());
    return;
  }
  // Any other step runs on a copy of the planes, which then goes to the canvas.
  static StepPlanes copy;
  copy.width = Stride;
  copy.height = CanvasRows;
  const std::size_t samples = static_cast<std::size_t>(Stride) * CanvasRows;
  for (std::size_t k = 0; k < 3; ++k) copy.plane[k].assign(WorkPlanes[k].begin(), WorkPlanes[k].begin() + samples);
  ApplyStep(step, copy.View(), Stride, CanvasRows, PictureArea(), 1, Edges::AsCanvas);
  RowsFromPlanes(copy.View(), Stride, CanvasRows, Canvas.data(), 3 * static_cast<std::size_t>(Stride));
}

void ShowStep(const PictureStep& step) {
  PaintStep(step);
  SetShownStep(step);
}

void DoStep(const PictureStep& step) {
  ApplyStep(step, WorkView(), Stride, CanvasRows, PictureArea(), 2, Edges::AsCanvas);
  AddStep(step);
}

bool CanvasShowsThePlanes() {
  for (std::size_t i = 0, n = static_cast<std::size_t>(Stride) * CanvasRows; i < n; ++i) {
    for (std::size_t k = 0; k < 3; ++k) {
      if (Canvas[3 * i + k] != static_cast<std::uint8_t>(WorkPlanes[k][i])) return false;
    }
  }
  return true;
}

void ShowCanvasNow() {
  Screen().BlitBottomUp(Canvas.data(), Stride, CanvasRows, 100, 32);
  MainWindow().Present();
}

std::uint8_t* CanvasWithMarks() {
  MarkedCanvas.assign(Canvas.begin(), Canvas.end());
  return MarkedCanvas.data();
}

void ShowCanvasWithMarks() {
  if (MarkedCanvas.size() != Canvas.size()) CanvasWithMarks();
  Screen().BlitBottomUp(MarkedCanvas.data(), Stride, CanvasRows, 100, 32);
}

void ServeSet(int slot, bool& setRequest) {
  if (!setRequest) return;
  PlanesFromCanvas(Canvas.data(), Stride, CanvasRows);
  KeepShownStep();  // what the page drew is part of the picture now
  if (WriteKeepFile(Canvas.data(), slot, PixelSource::FromPlanes)) {
    NoteKeepWritten(slot, PictureFile.path, KeepFileName(slot));
  }
  setRequest = false;
}

namespace {

constexpr BilingualText WholePictureText{"画像全体", "Whole picture"};
constexpr BilingualText StepsFileText{"手順も NAME.toml として保存する", "Also save the steps as NAME.toml"};
// Off, the edges stay as the canvas leaves them: the Vantor Eye's white
// frame, no outline next to the edge, the local contrast's window cut there.
constexpr BilingualText EdgesText{"画像の縁まで処理する（オフ：縁は画面と同じ、アイの白い枠など）",
                                  "Work the edges too (off: as on the canvas, such as the eye's white frame)"};
constexpr BilingualText OnlyShownPartText{
    "表示されている部分だけを保存できます。これまでの手順に、画面上の位置によるものか、画像全体にはできないものがあります。",
    "Only the shown part can be saved: a step so far depends on positions on the canvas or cannot be run on the "
    "whole picture."};
// The same naming the work that stands in the way: "%s" is its page and key word.
constexpr BilingualText OnlyShownPartBecauseText{
    "表示されている部分だけを保存できます。「%s」は画像全体にはできない作業です。",
    "Only the shown part can be saved: \"%s\" is work that cannot be run on the whole picture."};
// A view scale other than 1 saves the top 640 rows of the canvas.
constexpr BilingualText ZoomWork{"マップ × 4", "MAP × 4"};

// The note of the save dialog when the whole picture is not offered.
std::string NotOfferedNote() {
  const std::optional<BilingualText> work = ViewScale != 1 ? std::optional<BilingualText>(ZoomWork) : WorkThatIsNotAStep();
  if (!work) return OnlyShownPartText.InCurrentLanguage();
  const std::string text = OnlyShownPartBecauseText.InCurrentLanguage();
  const std::size_t at = text.find("%s");
  return text.substr(0, at) + work->InCurrentLanguage() + text.substr(at + 2);
}
constexpr BilingualText SavingWholeTitle{"画像全体を保存しています", "Saving the whole picture"};
constexpr BilingualText WholeSaveFailedText{"画像全体を保存できませんでした", "The whole picture could not be saved"};

// The picture file in hand through the steps so far, into path, with a
// progress display that can stop it; the steps beside it as NAME.toml when
// asked for. True when the picture was written.
bool SaveWholePicture(const std::string& path, bool stepsToo, Edges edges) {
  const std::vector<PictureStep> steps = StepsSoFar();
  Dialogs& dialogs = CurrentDialogs();
  const std::string title = SavingWholeTitle.InCurrentLanguage();
  const StepsWritten written = WritePictureWithSteps(PictureFile.path, path, steps, 2,
                                                     [&](double done) { return dialogs.ShowProgress(title, done); },
                                                     Durability::OnDisk, edges);
  dialogs.EndProgress();
  if (written.outcome == StepsWritten::Outcome::Stopped) return false;  // stopped by the user: nothing written
  if (!written.ok()) {
    dialogs.ShowMessage(std::string(WholeSaveFailedText.InCurrentLanguage()) + ": " + path + "\n" +
                            written.Text(LanguageId == EnglishLanguage),
                        WriteFailureTitle.InCurrentLanguage(), MessageButtons::Ok, MessageIcon::None);
    return false;
  }
  if (stepsToo) {
    const std::size_t slash = path.find_last_of('/'), dot = path.find_last_of('.');
    const std::string recipe =
        (dot != std::string::npos && (slash == std::string::npos || dot > slash) ? path.substr(0, dot) : path) + ".toml";
    const std::string text = WriteRecipe(steps, edges);
    if (!WriteFileAtomically(recipe, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()))) {
      ShowWriteFailure(recipe);
    }
  }
  return true;
}

}  // namespace

void ServeSave() {
  if (!Requests.saveAs) return;
  Requests.saveAs = false;
  // A save writes what is shown and nothing more: the planes, the page and
  // the steps stay as they were, so a second save writes the same picture
  // and a page that draws over the planes at each paint (a swap, contours,
  // outlines) does not draw over its own result. Only "Set" takes what is
  // shown into the picture.
  const int width = PictureInHandWidth(), height = PictureInHandHeight();
  if (width <= Stride && height <= CanvasRows) {
    if (const std::optional<std::string> path = AskSaveImagePath(LanguageId)) WriteShownImage(*path, Canvas.data());
    return;
  }
  // A picture larger than the canvas: the whole of it, through the steps
  // so far, when they give what the canvas shows.
  const bool offered = StepsGiveThePicture();
  CheckStepsAtSave(Canvas.data());
  const std::string size = " (" + std::to_string(width) + " × " + std::to_string(height) + ")";
  std::vector<FileDialogRequest::Check> checks = {{std::string(WholePictureText.InCurrentLanguage()) + size, offered, offered},
                                                  {StepsFileText.InCurrentLanguage(), offered, offered},
                                                  {EdgesText.InCurrentLanguage(), offered, offered}};
  const std::optional<std::string> path =
      AskSaveImagePath(LanguageId, &checks, offered ? std::string() : NotOfferedNote());
  if (!path) return;
  if (offered && checks[0].on) {
    SaveWholePicture(*path, checks[1].on, checks[2].on ? Edges::Extend : Edges::AsCanvas);
  } else {
    WriteShownImage(*path, Canvas.data());
  }
}

void DrawTabs() {
  DrawTabBar();
  for (const TabLabel& label : TabLabels) DrawTabLabel(label.code);
}
