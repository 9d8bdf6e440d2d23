#include "app/dispatch.h"

#include "app/pages.h"
#include "app/state.h"
#include "image/bmp_files.h"
#include "image/planes.h"
#include "panel/comments.h"

namespace {

constexpr int TabSave = 14;
constexpr int TabRestore = 15;
constexpr int TabGet = 16;

void EnterPageByTab(int page) {
  if (page == PageEye) {
    // The VANTOR EYE page starts from a stored copy of the current image.
    WriteKeepFile(Canvas.data(), PageEye, PixelSource::FromPlanes);
  }
  if (page == PageAppear) {
    if (PageId == PageAppear) return;  // the APPEAR tab does nothing on APPEAR
    // The current image becomes the transfer image when it comes from the
    // pattern pages, the back image otherwise.
    const bool fromPattern = PageId == PagePattern || PageId == PageTransfer;
    WriteAppearFile(Canvas.data(), fromPattern ? 2 : 3, PixelSource::FromPlanes);
    AppearMode = fromPattern ? 2 : 3;
  }
  if (PageTable[static_cast<unsigned>(PageId)].leave != nullptr) PageTable[static_cast<unsigned>(PageId)].leave(page);
  TabFromPage = PageId;
  PageId = page;
  PageTable[static_cast<unsigned>(page)].enter();
  TabFromPage = -1;
  RestoreRequest = 0;
}

}  // namespace

int TabAt(int x, int y) {
  if (y < 1 || y >= 32) return -1;
  for (int k = 0; k <= TabGet; ++k) {
    const int right = k == TabGet ? 1060 : 156 + 56 * k;
    if (100 + 56 * k < x && x < right) return k;
  }
  return -1;
}

bool DispatchClick() {
  // Before the first picture nothing can be hit; once one is loaded the
  // image area is 960 wide and the whole bar is tested.
  if (ImageWidth > 0 && 100 < MouseX && MouseX < 1060 && MouseY < 32) {
    const int tab = TabAt(MouseX, MouseY);
    if (tab >= 0) {
      if (tab < PageCount) {
        EnterPageByTab(tab);
      } else if (tab == TabSave) {
        SaveAsRequest = 1;
      } else if (tab == TabRestore) {
        RestoreRequest = 1;
        CommentRequest = 10;
      } else {
        OpenFileRequest = 1;
        GetSlotRequest = PageId;
      }
      return true;
    }
  }
  return PageTable[static_cast<unsigned>(PageId)].click();
}
