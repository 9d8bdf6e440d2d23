#include "app/program.h"

#include "app/history.h"
#include "app/overview.h"
#include "app/pages.h"
#include "app/paint.h"
#include "image/bmp_files.h"
#include "image/planes.h"
#include "pages/kit/gestures.h"
#include "pages/kit/page_state.h"
#include "panel/calculator.h"
#include "panel/comments.h"

void StartProgram() {
  PageId = PageTop;
  MouseX = MouseY = 0;
  Requests.openFile = true;
  Requests.getSlot = 99;
  Requests.restore = RestoreNone;
  Requests.saveAs = false;
  Shell.newImageFlag = 1;
  Shell.planesLoaded = 0;
  Shell.imageWidth = Shell.imageHeight = 0;
  Requests.rightClick = 0;
  Shell.keepDeleteAnswer = false;
  Dragging.rectActive = Dragging.circleActive = 0;
  Dragging.start = Dragging.end = Dragging.prev = DragPoint{};
  CurrentDragReceivers = {};

  FileWidth = FileHeight = 0;
  SetShownArea(960, 672);
  SetViewScale(1);
  PictureFile.path.clear();
  PictureFile.fileName.clear();
  // Filled in place: the arrays are megabytes, too large for a temporary.
  for (Plane& plane : WorkPlanes) plane.fill(0);
  for (Plane& plane : InnerPlanes) plane.fill(0);
  Canvas.fill(0);
  ResetPaintState();
  StartHistory();
  StartOverview();

  StartPanelState();
  StartAllPages();
}
