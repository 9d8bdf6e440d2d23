// The history of changes.
//
// [SECTION] Names and texts
// [SECTION] The state kept
// [SECTION] Seeing a change
// [SECTION] Taking back and doing again
// [SECTION] The notice

#include "app/history.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "app/pages.h"
#include "app/paint.h"
#include "image/bmp_files.h"
#include "image/packed_samples.h"
#include "image/picture_in_hand.h"
#include "image/planes.h"
#include "pages/kit/gestures.h"
#include "pages/kit/page_state.h"
#include "pages/kit/step_list.h"
#include "panel/comments.h"
#include "panel/widgets.h"
#include "platform/language.h"
#include "platform/surface.h"
#include "platform/window.h"

namespace {

// [SECTION] Names and texts
struct NoticeTexts {
  const char* undone;
  const char* redone;
  const char* nothingToUndo;
  const char* nothingToRedo;
  const char* droppedBefore;  // then the work's name
  const char* droppedAfter;
};
constexpr std::array<NoticeTexts, 2> NoticeText = {{
    {"元に戻しました: ", "やり直しました: ", "元に戻せる変更はありません", "やり直せる変更はありません",
     "取り込まれずに消えました: ", " (Ctrl+Z で戻せます)"},
    {"Undone: ", "Redone: ", "Nothing to undo", "Nothing to redo", "Dropped with the page change, never taken in: ",
     " (Ctrl+Z brings it back)"},
}};
const NoticeTexts& Texts() { return NoticeText[LanguageId == EnglishLanguage ? 1 : 0]; }

// The line under the comment lines.
constexpr int NoticeX = 120;
constexpr int NoticeY = 786;

// [SECTION] The state kept

// The shown size and the view scale have writers of their own.
struct ViewValues {
  int scale = 1, shownWidth = Stride, shownHeight = CanvasRows;
};
std::shared_ptr<const void> TakeViewValues() {
  return std::make_shared<const ViewValues>(ViewValues{ViewScale, ShownWidth, ShownHeight});
}
void PutViewValues(const void* copy) {
  const auto& values = *static_cast<const ViewValues*>(copy);
  SetViewScale(values.scale);
  SetShownArea(values.shownWidth, values.shownHeight);
}

// The state the pages share, besides the pages' own blocks.
// The last mouse position counts: some pages draw by it (TOP's graphs).
constexpr std::array<StateBlock, 9> SharedBlocks{
    StateBlockOf<PageId>(),      StateBlockOf<MouseX>(),    StateBlockOf<MouseY>(),
    StateBlockOf<Shell>(),       StateBlockOf<CurrentDragReceivers>(), StateBlockOf<PictureFile>(),
    StateBlockOf<FileWidth>(),   StateBlockOf<FileHeight>(), StateBlock{TakeViewValues, PutViewValues, sizeof(ViewValues)},
};

// Every block, in one order.
const std::vector<StateBlock>& AllBlocks() {
  static const std::vector<StateBlock> blocks = [] {
    std::vector<StateBlock> all(SharedBlocks.begin(), SharedBlocks.end());
    for (std::span<const StateBlock> more : {SharedPageStates(), PictureInHandStates(), StepListStates(), PaintStates()}) {
      all.insert(all.end(), more.begin(), more.end());
    }
    for (const PageEntry* page : PageTable) all.insert(all.end(), page->states.begin(), page->states.end());
    return all;
  }();
  return blocks;
}

constexpr int SampleCount = Stride * CanvasRows;

// Packed samples, counted while they live.
std::size_t PackedBytes = 0;
struct Packed {
  PackedSamples samples;
  explicit Packed(PackedSamples s) : samples(std::move(s)) { PackedBytes += samples.bytes.size(); }
  ~Packed() { PackedBytes -= samples.bytes.size(); }
  Packed(const Packed&) = delete;
  Packed& operator=(const Packed&) = delete;
};

struct State {
  std::shared_ptr<const Packed> work, inner, mask;
  std::vector<std::shared_ptr<const void>> blocks;
  ChangeName name;  // of the change that led here
  int page = 0;     // the page it was made on
};

// The planes, the inner memory and the mask as the last kept state has
// them, unpacked, to see a change without unpacking anything.
struct Seen {
  std::vector<std::uint32_t> work, inner;
  std::vector<std::uint8_t> mask, canvas;
  bool shown = false;  // something was shown over the planes
  std::string steps;
  std::string path;
  PictureWindow window;
  int page = 0;
};

struct HistoryState {
  std::deque<State> states;
  std::size_t position = 0;  // the state in place
  Seen seen;
  bool held = false;
  bool adopt = false;  // the next paint's state is that of the state put back
  ChangeName nextName;
  std::string notice;  // drawn by the next paint
  std::string noticeShown;
};
HistoryState History;

void CopyPlanes(const PlaneSet& planes, std::vector<std::uint32_t>& to) {
  to.resize(static_cast<std::size_t>(SampleCount) * 3);
  for (std::size_t k = 0; k < 3; ++k) std::memcpy(to.data() + k * SampleCount, planes[k].data(), SampleCount * 4);
}
bool SamePlanes(const PlaneSet& planes, const std::vector<std::uint32_t>& seen) {
  if (seen.size() != static_cast<std::size_t>(SampleCount) * 3) return false;
  for (std::size_t k = 0; k < 3; ++k) {
    if (std::memcmp(seen.data() + k * SampleCount, planes[k].data(), SampleCount * 4) != 0) return false;
  }
  return true;
}

Seen SeeNow() {
  Seen seen;
  CopyPlanes(WorkPlanes, seen.work);
  CopyPlanes(InnerPlanes, seen.inner);
  seen.mask.assign(SharedBrushMask().begin(), SharedBrushMask().end());
  seen.shown = SomethingShown();
  if (seen.shown) seen.canvas.assign(Canvas.begin(), Canvas.end());
  seen.steps = StepListDigest();
  seen.path = PictureFile.path;
  seen.window = WindowOfPictureInHand();
  seen.page = PageId;
  return seen;
}

// [SECTION] Seeing a change
bool ChangedSinceSeen() {
  const Seen& seen = History.seen;
  // A page entered counts, so that taking back a change made on a page
  // finds that page as it was just before.
  if (PictureFile.path != seen.path || !(WindowOfPictureInHand() == seen.window) || PageId != seen.page) return true;
  if (StepListDigest() != seen.steps) return true;
  if (!SamePlanes(WorkPlanes, seen.work) || !SamePlanes(InnerPlanes, seen.inner)) return true;
  if (!std::ranges::equal(SharedBrushMask(), seen.mask)) return true;
  // What a page shows over the planes (a contour, a colour change) counts
  // as a change while it is shown, and when it goes.
  if (SomethingShown() != seen.shown) return true;
  return seen.shown && std::memcmp(Canvas.data(), seen.canvas.data(), Canvas.size()) != 0;
}

std::size_t BytesOfState(const State& state) {
  std::size_t bytes = sizeof(State);
  for (const StateBlock& block : AllBlocks()) bytes += block.bytes;
  return bytes + state.blocks.size() * sizeof(void*);
}

std::size_t BytesKept() {
  std::size_t bytes = PackedBytes;
  for (const State& state : History.states) bytes += BytesOfState(state);
  return bytes;
}

// The packed form of what has changed since the state before; what has not
// is shared with it.
State TakeState(const Seen& now) {
  State state;
  const State* before = History.states.empty() ? nullptr : &History.states[History.position];
  const Seen& seen = History.seen;
  const bool sameWork = before != nullptr && now.work == seen.work;
  const bool sameInner = before != nullptr && now.inner == seen.inner;
  const bool sameMask = before != nullptr && now.mask == seen.mask;
  state.work = sameWork ? before->work : std::make_shared<const Packed>(PackPlanes(WorkView(), Stride, CanvasRows));
  state.inner = sameInner ? before->inner : sameWork && now.inner == now.work ? state.work
                                                      : std::make_shared<const Packed>(PackPlanes(InnerView(), Stride, CanvasRows));
  state.mask = sameMask ? before->mask
                        : std::make_shared<const Packed>(PackBytes(SharedBrushMask(), Stride, CanvasRows));
  for (const StateBlock& block : AllBlocks()) state.blocks.push_back(block.take());
  state.name = History.nextName;
  state.page = PageId;
  return state;
}

void KeepState() {
  Seen now = SeeNow();
  State state = TakeState(now);
  // A change after changes taken back: those can no longer be done again.
  if (!History.states.empty()) History.states.erase(History.states.begin() + static_cast<long>(History.position) + 1, History.states.end());
  History.states.push_back(std::move(state));
  History.position = History.states.size() - 1;
  History.seen = std::move(now);
  // The oldest first, keeping the state in place.
  while (History.states.size() > 1 && BytesKept() > HistoryByteBound) {
    History.states.pop_front();
    --History.position;
  }
}

// [SECTION] Taking back and doing again
void PutState(const State& state) {
  UnpackPlanes(state.work->samples, WorkView());
  UnpackPlanes(state.inner->samples, InnerView());
  UnpackBytes(state.mask->samples, SharedBrushMask());
  const std::vector<StateBlock>& blocks = AllBlocks();
  for (std::size_t k = 0; k < blocks.size(); ++k) blocks[k].put(state.blocks[k].get());
  // Nothing a click asked of the paint before survives it.
  Requests = PageRequests{};
  Requests.openFile = false;
  Dragging = DragState{};
  Shell.tabFromPage = -1;
  History.adopt = true;
  MainWindow().Invalidate();
}

}  // namespace

const std::string& ChangeName::InCurrentLanguage() const { return LanguageId == EnglishLanguage ? english : japanese; }

ChangeName PageChangeName(int page, const std::string& japanese, const std::string& english) {
  const BilingualText& name = PageNames[static_cast<std::size_t>(std::clamp(page, 0, PageCount - 1))];
  const auto join = [](const char* a, const std::string& b) { return b.empty() ? std::string(a) : std::string(a) + " " + b; };
  return ChangeName{join(name.japanese, japanese), join(name.english, english)};
}

void StartHistory() { History = HistoryState{}; }

void NameNextChange(ChangeName name) { History.nextName = std::move(name); }

void HoldChanges(bool held) { History.held = held; }

void NoteChangesAfterPaint(bool pictureInHand) {
  if (!pictureInHand || History.held) return;
  if (History.adopt) {
    History.adopt = false;
    History.seen = SeeNow();
    return;
  }
  if (History.states.empty() || ChangedSinceSeen()) KeepState();
}

bool UndoChange() {
  if (History.states.empty() || History.position == 0) {
    History.notice = Texts().nothingToUndo;
    MainWindow().Invalidate();
    return false;
  }
  History.notice = Texts().undone + History.states[History.position].name.InCurrentLanguage();
  --History.position;
  PutState(History.states[History.position]);
  return true;
}

bool RedoChange() {
  if (History.position + 1 >= History.states.size()) {
    History.notice = Texts().nothingToRedo;
    MainWindow().Invalidate();
    return false;
  }
  ++History.position;
  History.notice = Texts().redone + History.states[History.position].name.InCurrentLanguage();
  PutState(History.states[History.position]);
  return true;
}

void NoteDroppedWork(int page) {
  // Named by the change that showed it, when that was made on the page.
  const bool named = !History.states.empty() && History.states[History.position].page == page;
  const std::string work =
      named ? History.states[History.position].name.InCurrentLanguage() : PageChangeName(page, "", "").InCurrentLanguage();
  History.notice = Texts().droppedBefore + work + Texts().droppedAfter;
}

// [SECTION] The notice
void DrawHistoryNotice() {
  History.noticeShown = History.notice;
  if (History.notice.empty()) return;
  Screen().Text(MakePanelFont(CommentFontHeight), NoteColour, TextBackground::Opaque, White, NoticeX, NoticeY,
                History.notice);
  History.notice.clear();
}

const std::string& HistoryNoticeShown() { return History.noticeShown; }

HistoryFigures HistoryNow() {
  return HistoryFigures{static_cast<int>(History.states.size()), static_cast<int>(History.position), BytesKept()};
}
