#include "app/program.h"

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
  OpenFileRequest = 1;
  GetSlotRequest = 99;
  RestoreRequest = 0;
  SaveAsRequest = 0;
  NewImageFlag = 1;
  PlanesLoaded = 0;
  ImageWidth = ImageHeight = 0;
  RightClickFlag = 0;
  KeepDeleteAnswer = 0;
  RectDragActive = CircleDragActive = 0;
  DragStart = DragEnd = DragPrev = DragPoint{};
  CurrentDragReceivers = {};

  FileWidth = FileHeight = 0;
  ShownWidth = 960;
  ShownHeight = 672;
  ViewScale = 1;
  ImagePath.clear();
  ImageFileName.clear();
  // Filled in place: the arrays are megabytes, too large for a temporary.
  for (Plane& plane : WorkPlanes) plane.fill(0);
  for (Plane& plane : InnerPlanes) plane.fill(0);
  Canvas.fill(0);
  ResetPaintState();

  StartPanelState();
  StartAllPages();
}
