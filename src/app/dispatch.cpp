#include "app/dispatch.h"

#include "app/pages.h"
#include "pages/kit/page_state.h"
#include "image/bmp_files.h"
#include "image/planes.h"
#include "pages/kit/step_list.h"
#include "panel/comments.h"

namespace {

void EnterPageByTab(int page) {
  const PageEntry& entered = *PageTable[static_cast<unsigned>(page)];
  if (entered.beforeEntry != nullptr && !entered.beforeEntry(PageId)) return;
  if (CurrentPage().leave != nullptr) CurrentPage().leave(page);
  DropShownStep();  // what the page drew over the picture goes with it
  Shell.tabFromPage = PageId;
  PageId = page;
  entered.enter();
  Shell.tabFromPage = -1;
  Requests.restore = RestoreNone;
}

}  // namespace

int TabAt(int x, int y) {
  if (y < 1 || y >= 32) return -1;
  for (int k = 0; k <= TabGet; ++k) {
    if (TabLeft(k) < x && x < TabRight(k)) return k;
  }
  return -1;
}

bool DispatchClick() {
  // Before the first picture nothing can be hit; once one is loaded the
  // image area is 960 wide and the whole bar is tested.
  if (Shell.imageWidth > 0 && 100 < MouseX && MouseX < 1060 && MouseY < 32) {
    const int tab = TabAt(MouseX, MouseY);
    if (tab >= 0) {
      if (tab < PageCount) {
        EnterPageByTab(tab);
      } else if (tab == TabSave) {
        Requests.saveAs = true;
      } else if (tab == TabRestore) {
        Requests.restore = RestoreAsked;
        CommentPanel.request = 10;
      } else {
        Requests.openFile = true;
        Requests.getSlot = PageId;
      }
      return true;
    }
  }
  return CurrentPage().click();
}
