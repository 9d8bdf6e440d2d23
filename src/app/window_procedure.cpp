// The window procedure: the message table, the right-click step and the
// closing sequence. Messages only change state and invalidate; all image
// work and drawing happens in the paint handler.
//
// [SECTION] Texts
// [SECTION] Message table
// [SECTION] Closing sequence

#include <array>
#include <string>
#include <vector>

#include "app/dispatch.h"
#include "app/history.h"
#include "app/overview.h"
#include "pages/kit/gestures.h"
#include "app/pages.h"
#include "app/paint.h"
#include "app/program.h"
#include "pages/kit/page_state.h"
#include "image/keep_slots.h"
#include "panel/comments.h"
#include "platform/dialogs.h"

namespace {

// [SECTION] Texts: Japanese and English side by side.
struct CloseTexts {
  const char* keepQuestion;
  const char* closeQuestion;
  const char* title;
  const char* notDeleted;  // followed by the names of the files
};
constexpr std::array<CloseTexts, 2> CloseText = {{
    {"次のキープ画像ファイルを消してもよいですか？\n    KEEP0.bmp  KEEP1.bmp  KEEP2.bmp\n    KEEP3.bmp  KEEP4.bmp  "
     "KEEP5.bmp\n    KEEP6.bmp  KEEP7.bmp  KEEP8.bmp\n    KEEP9.bmp  KEEP10.bmp  KEEP11.bmp\n    KEEP12.bmp  KEEP13.bmp",
     "終了してもよろしいですか", "確認", "次のキープ画像ファイルは消せませんでした:"},
    {"May we delete next keeping image files\n    KEEP0.bmp  KEEP1.bmp  KEEP2.bmp\n    KEEP3.bmp  KEEP4.bmp  "
     "KEEP5.bmp\n    KEEP6.bmp  KEEP7.bmp  KEEP8.bmp\n    KEEP9.bmp  KEEP10.bmp  KEEP11.bmp\n    KEEP12.bmp  KEEP13.bmp",
     "Close?", "Plese make sure", "These keeping image files could not be deleted:"},
}};

const CloseTexts& Texts() { return CloseText[LanguageId == 2 ? 1 : 0]; }

// A key message carries no position: its lParam holds the repeat count in
// the low word and the scan code in the high word, and those are what the
// right-click step stores.
constexpr int KeyRepeatCount = 1;
constexpr int EnterScanCode = 28;
constexpr int EnterKey = 13;

// The right-click step, also run for every key.
void RightClickStep(int x, int y) {
  MouseX = x;
  MouseY = y;
  if (100 < MouseX && MouseX < Shell.imageWidth + 100 && 33 <= MouseY && MouseY < Shell.imageHeight + 32) {
    Requests.rightClick = 1;
    if (CurrentPage().rightClick != nullptr) CurrentPage().rightClick();
  }
  MainWindow().Invalidate();
}

// [SECTION] Closing sequence
void CloseSequence() {
  const CloseTexts& text = Texts();
  Dialogs& dialogs = CurrentDialogs();
  Shell.keepDeleteAnswer =
      dialogs.ShowMessage(text.keepQuestion, text.title, MessageButtons::YesNo, MessageIcon::Question) ==
              MessageAnswer::Yes
          ? 1
          : 0;
  if (Shell.keepDeleteAnswer) {
    const std::vector<std::string> kept = DeleteKeepFiles();
    if (!kept.empty()) {
      std::string list = text.notDeleted;
      for (const std::string& name : kept) list += "\n    " + name;
      dialogs.ShowMessage(list, text.title, MessageButtons::Ok, MessageIcon::None);
    }
  }
  if (dialogs.ShowMessage(text.closeQuestion, text.title, MessageButtons::YesNo, MessageIcon::Question) !=
      MessageAnswer::Yes) {
    return;
  }
  DeleteAppearFiles();
  MainWindow().Destroy();
}

}  // namespace

// [SECTION] Message table
void WindowProcedure(const WindowMessage& message) {
  switch (message.kind) {
    case MessageKind::LeftDown:
      MouseX = message.x;
      MouseY = message.y;
      if (InOverviewWord(message.x, message.y)) {
        ToggleOverview();
        break;
      }
      // The whole picture in view takes the image area; a click elsewhere
      // puts it away and goes on to the page.
      if (OverviewPress(message.x, message.y)) break;
      if (OverviewShown()) ToggleOverview();
      HoldChanges(true);  // a stroke, press to release, is one change
      // A handled click repaints at its button-up; one that nothing takes
      // repaints at once.
      if (!DispatchClick()) MainWindow().Invalidate();
      break;
    case MessageKind::MouseMove:
      if (OverviewDrag(message.x, message.y)) break;
      TrackDragMove(message.x, message.y);
      break;
    case MessageKind::LeftUp:
      if (OverviewRelease(message.x, message.y)) break;
      HoldChanges(false);
      EndDrag(message.x, message.y);
      MainWindow().Invalidate();
      break;
    case MessageKind::RightDown:
      NameNextChange(PageChangeName(PageId, "右クリック", "right click"));
      RightClickStep(message.x, message.y);
      break;
    case MessageKind::KeyDown:
      if (message.control && (message.key == 'Z' || message.key == 'Y')) {
        if (message.key == 'Z' && !message.shift) {
          UndoChange();
        } else {
          RedoChange();
        }
        break;
      }
      if (message.control && message.key == '0') {
        ToggleOverview();
        break;
      }
      if (message.key == EnterKey) Requests.openFile = true;
      RightClickStep(KeyRepeatCount, message.key == EnterKey ? EnterScanCode : 0);
      break;
    case MessageKind::Wheel:
      // A notch towards the user moves the window down the picture (with
      // Shift, right).
      if (message.shift) {
        MoveCanvasBy(-message.wheel * WheelColumns, 0);
      } else {
        MoveCanvasBy(0, -message.wheel * WheelRows);
      }
      break;
    case MessageKind::Close:
      CloseSequence();
      break;
  }
}

WindowHandlers ProgramHandlers() { return WindowHandlers{WindowProcedure, PaintHandler}; }
