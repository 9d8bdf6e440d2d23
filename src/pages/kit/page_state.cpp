#include "pages/kit/page_state.h"

int PageId = PageTop;
int MouseX = 0, MouseY = 0;
PageRequests Requests;
ShellState Shell;
DragState Dragging;

bool MouseInImage() {
  return 100 < MouseX && MouseX < Shell.imageWidth + 100 && 33 <= MouseY && MouseY < Shell.imageHeight + 32;
}
