#include "pages/kit/page_state.h"

int PageId = PageTop;
int MouseX = 0, MouseY = 0;
int OpenFileRequest = 1;
int GetSlotRequest = 99;
int RestoreRequest = 0;
int SaveAsRequest = 0;
int NewImageFlag = 1;
int PlanesLoaded = 0;
int ImageWidth = 0;
int ImageHeight = 0;
int RightClickFlag = 0;
int KeepDeleteAnswer = 0;
int TabFromPage = -1;

int RectDragActive = 0;
int CircleDragActive = 0;
DragPoint DragStart, DragEnd, DragPrev;

bool MouseInImage() {
  return 100 < MouseX && MouseX < ImageWidth + 100 && 33 <= MouseY && MouseY < ImageHeight + 32;
}
