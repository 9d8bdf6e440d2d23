#include "app/plain_page.h"

#include "app/paint.h"
#include "app/state.h"
#include "platform/surface.h"

bool PlainPageClick(const PlainPage& page) {
  if (PanelKeyAt(page.panel, MouseX, MouseY) != TitleKeyCode) return false;
  CommentRequest = page.comments->commentCode;
  return true;
}

void PaintPlainPage(const PlainPage& page, int& setRequest, int& selector) {
  Surface& screen = Screen();
  BeginPageSection();
  DrawPanel(screen, page.panel);
  for (const ResetMarkPlace& mark : page.marks) {
    if (mark.colourIndex >= 0) DrawResetMark(screen, mark.x, mark.y, ResetMarkUnit, mark.colourIndex);
  }
  ServeGetAndRestore(page.page, false);
  ShowPlanes();
  ServeSet(page.page, setRequest);
  ServeSave();
  DrawTabs();
  ServeComments(screen, *page.comments, selector);
}
