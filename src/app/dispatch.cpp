#include "app/dispatch.h"

#include <span>
#include <string>
#include <string_view>

#include "app/history.h"
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
  // What the page drew over the picture goes with it; the history keeps it,
  // and the next page says so.
  if (SomethingShown()) NoteDroppedWork(PageId);
  DropShownStep();
  Shell.tabFromPage = PageId;
  PageId = page;
  entered.enter();
  Shell.tabFromPage = -1;
  Requests.restore = RestoreNone;
}

// A key word's text as its row shows it, without the blanks around it (a
// Japanese word spaced out with ideographic spaces is closed up).
std::string KeyWord(const PanelKey& key, const char* text) {
  std::string word = key.value != nullptr ? FormatPanelText(text, *key.value) : std::string(text);
  constexpr std::string_view WideSpace = "\u3000";
  for (std::size_t at; (at = word.find(WideSpace)) != std::string::npos;) word.erase(at, WideSpace.size());
  std::string closed;
  for (std::size_t k = 0; k < word.size(); ++k) {
    if (word[k] != ' ' || (!closed.empty() && closed.back() != ' ')) closed += word[k];
  }
  while (!closed.empty() && closed.back() == ' ') closed.pop_back();
  return closed;
}

// What a click at (MouseX, MouseY) does, as the history names the change it
// may make.
ChangeName NameOfClick() {
  const int tab = TabAt(MouseX, MouseY);
  if (tab >= 0 && tab < PageCount) return PageChangeName(tab, "ページ", "page");
  if (tab == TabRestore) return PageChangeName(PageId, "←復元 KEEP" + std::to_string(PageId), "Restore KEEP" + std::to_string(PageId));
  if (tab == TabGet) return PageChangeName(PageId, "←呼出 KEEP" + std::to_string(PageId), "Get KEEP" + std::to_string(PageId));
  if (MouseInImage()) return PageChangeName(PageId, "画像上の操作", "work on the picture");
  for (std::span<const PanelKey> keys : CurrentPage().panels) {
    const int code = PanelKeyAt(keys, MouseX, MouseY);
    if (code == NoKey) continue;
    if (const PanelKey* key = FindPanelKey(keys, code)) {
      return PageChangeName(PageId, KeyWord(*key, key->japanese), KeyWord(*key, key->english));
    }
  }
  return PageChangeName(PageId, "", "");
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
  NameNextChange(NameOfClick());
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
