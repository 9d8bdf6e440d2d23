// The paint handler: the prologue every paint runs (the open dialog, the
// title, the picture in hand into the canvas, the prologue requests), then
// the current page's section.

#include "app/paint.h"

#include <algorithm>
#include <array>
#include <string>

#include "app/history.h"
#include "app/overview.h"
#include "app/pages.h"
#include "image/bmp_files.h"
#include "image/picture_in_hand.h"
#include "image/planes.h"
#include "pages/kit/page_state.h"
#include "pages/kit/page_steps.h"
#include "pages/kit/step_list.h"
#include "panel/comments.h"
#include "panel/widgets.h"
#include "platform/surface.h"
#include "platform/window.h"

namespace {

// The picture file's shown size as the last paint found it: a new size
// counts as a new picture. (ShownWidth and ShownHeight may since have become
// the area a page's result covers.)
int FileShownWidth = -1, FileShownHeight = -1;

constexpr const char* OpenPrompt = "[Enter] ⇒ ファイルを開く";
constexpr std::array<const char*, 2> ProgramTitles = {"ヴァントルゼフリンサンプル vazesample",
                                                      "VANTOR ZEPHRIN SAMPLE vazesample"};
std::string ShownTitle;

constexpr std::array<StateBlock, 2> FileShownSize{StateBlockOf<FileShownWidth>(), StateBlockOf<FileShownHeight>()};

// The file's name, with where the canvas's window lies when the picture is
// larger than the canvas (only that part is shown and worked on).
void SetTitle() {
  std::string name = PictureFile.fileName;
  if (PictureInHandWidth() > Stride || PictureInHandHeight() > CanvasRows) name += " (" + WindowPlaceText() + ")";
  const std::string title = name + " / " + ProgramTitles[LanguageId == 2 ? 1 : 0];
  if (title != ShownTitle) {
    ShownTitle = title;
    MainWindow().SetTitle(title);
  }
}

}  // namespace

std::span<const StateBlock> PaintStates() { return FileShownSize; }

void ResetPaintState() {
  ForgetPictureInHand();
  ResetPageSteps();
  ShownTitle.clear();
  FileShownWidth = FileShownHeight = -1;
}

// The picture opened on a page other than TOP, as the save dialog names it.
constexpr BilingualText OpenedOffTop{"トップ以外のページで開いた画像 (トップで取り込まれます)",
                                     "the picture opened off the TOP page (TOP takes it in)"};

constexpr BilingualText InnerBeforeOpen{"フィルタの内部メモリーにある前の画像",
                                        "the picture before, in FILTER's inner memory"};

void PaintHandler() {
  Surface& screen = Screen();
  screen.Clear(White);  // the class background, erased with every invalidation
  NotePictureLoaded(false);

  PaintPrologue prologue;
  if (Requests.openFile) {
    prologue.openShown = true;
    screen.Text(MakePanelFont(12), Black, TextBackground::Opaque, White, 100, 470, OpenPrompt);
    MainWindow().Present();
    if (OpenImageDialog() == 1) {
      prologue.pictureOpened = true;
      NameNextChange({"開く " + PictureFile.fileName, "Open " + PictureFile.fileName});
      StartStepList();  // a new picture in hand has had no steps
      // A picture chosen on TOP with the Enter key is new even when it has
      // the size of the one before, so TOP takes it into the planes.
      if (PageId == PageTop && Requests.getSlot == 99) {
        Shell.newImageFlag = 1;
        Shell.planesLoaded = 0;
      } else {
        // The inner memory holds the picture before until TOP (or FILTER's
        // Get) takes the new one in; and opened with Enter on another page
        // than TOP, the planes wait for TOP too.
        NoteInnerNotAStep(InnerBeforeOpen);
        if (Requests.getSlot == 99) NoteNotAStep(OpenedOffTop);
      }
    } else {
      // Cancelled, or not a picture: what the open was for is dropped, and
      // the picture in hand and the screen stay as they were.
      Requests.getSlot = 99;
    }
    Requests.openFile = false;
  }
  SetTitle();

  if (!RefreshPictureInHand()) {
    // No picture yet: the background and the prompt to open one.
    screen.Text(MakePanelFont(12), Black, TextBackground::Opaque, White, 100, 470, OpenPrompt);
    return;
  }
  NotePictureLoaded(true);

  FileWidth = PictureInHandWidth();
  FileHeight = PictureInHandHeight();
  Shell.imageWidth = Stride;
  Shell.imageHeight = CanvasRows;
  if (FileWidth != FileShownWidth || FileHeight != FileShownHeight) {
    ShowPictureFileArea();
    FileShownWidth = ShownWidth;
    FileShownHeight = ShownHeight;
    Shell.newImageFlag = 1;
  }
  // The picture and the whitening together cover the whole canvas.
  CopyPictureInHand(Canvas.data());
  WhitenOutside(Canvas.data(), FileWidth, FileHeight, Stride, CanvasRows);

  if (PageId == PageTop && Shell.newImageFlag == 1 && Shell.planesLoaded == 0) {
    // Every entry to TOP starts again from the file's picture: no steps.
    InnerFromCanvas(Canvas.data(), Stride, CanvasRows);
    PlanesFromCanvas(Canvas.data(), Stride, CanvasRows);
    StartStepList();
    ShowPictureFileArea();
    Shell.newImageFlag = 2;
    Shell.planesLoaded = 2;
  }
  if (Requests.getSlot >= 0 && Requests.getSlot <= 13) {
    // Written from the picture just opened, which has no steps yet.
    if (WriteKeepFile(Canvas.data(), Requests.getSlot, PixelSource::FromCanvas)) {
      NoteKeepWritten(Requests.getSlot, PictureFile.path, KeepFileName(Requests.getSlot));
    } else {
      KeepOpenedCanvasForGet(Requests.getSlot);
    }
  }
  if (CurrentPage().prologue != nullptr) CurrentPage().prologue(prologue);

  // The current page's section.
  CurrentPage().paint();
  DrawOverview();
  DrawHistoryNotice();
  NoteChangesAfterPaint(true);
}

