// The history of changes: every change to the picture in hand (a page's
// operation shown, a Set, Get or Restore, a brush stroke, a fix, a cut, a
// composite, a picture opened, a move of the canvas, a page entered) can be
// taken back with
// Ctrl+Z and done again with Ctrl+Shift+Z or Ctrl+Y.
//
// The history keeps the program's state after each change: the planes, the
// inner memory and the brush mask (compressed), the steps, the picture in
// hand and its window, and every page's blocks of state (PageEntry::states).
// At the end of every paint with a picture in hand and no mouse button held
// it looks whether the picture, its steps or what a page shows over it
// changed, and if so keeps one more state. Taking a change back puts the
// state before it back and repaints, so the page shows what it showed then;
// files already written (keep files, saves, work files) stay as they are.
//
// The oldest changes go first once the history holds more than its bound
// (256 MB; at least 50 changes of the canvas fit in it).
#pragma once

#include <cstddef>
#include <string>

// What a change did, as the comment line names it ("CONTOUR limit area").
struct ChangeName {
  std::string japanese, english;
  const std::string& InCurrentLanguage() const;
};
// A page's name followed by what was done on it.
ChangeName PageChangeName(int page, const std::string& japanese, const std::string& english);

// A new run: no changes.
void StartHistory();
// The name the next change takes: set by the input that may make it.
void NameNextChange(ChangeName name);
// While the left button is held (a stroke, a drag), no change is kept: the
// stroke is one change, kept at its release.
void HoldChanges(bool held);
// The end of a paint: keeps the state when something changed.
void NoteChangesAfterPaint(bool pictureInHand);

// Ctrl+Z and Ctrl+Shift+Z: the state before the last change, or after the
// next one, back in place; the next paint names it on the comment line.
// False when there was none (the line says so).
bool UndoChange();
bool RedoChange();

// A tab change is about to drop the shown result of `page`, which was never
// taken into the picture: the next paint says so, and that Ctrl+Z brings it
// back.
void NoteDroppedWork(int page);

// The history's line under the comment lines, drawn by the paint that
// follows what it tells of, once.
void DrawHistoryNotice();
// The line the last paint drew (empty when it drew none).
const std::string& HistoryNoticeShown();

struct HistoryFigures {
  int changes = 0;         // states kept (the first is the picture as opened)
  int position = 0;        // the state in place, 0 .. changes - 1
  std::size_t bytes = 0;   // memory the kept states take
};
HistoryFigures HistoryNow();
inline constexpr std::size_t HistoryByteBound = std::size_t{256} << 20;
