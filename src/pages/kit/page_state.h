// The state the shell and every page share: the current page, the mouse, the
// one-shot requests a click leaves for the next paint, the drag state. Every
// value lives for the whole run; StartProgram() writes the start values. Each
// page keeps its own block of state in its own file.
#pragma once

#include <array>
#include <cstdint>

// Pages, by PageId. Page n owns keep slot n.
enum PageNumber : int {
  PageTop = 0,
  PageFilter = 1,
  PageMap = 2,
  PageDevelop = 3,
  PageEye = 4,
  PageContour = 5,
  PageAdd = 6,
  PagePalette = 7,
  PageUniC = 8,
  PageOutline = 9,
  PagePattern = 10,
  PageTransfer = 11,
  PageAppear = 12,
  PageGamon = 13,
};
inline constexpr int PageCount = 14;

// The tab bar: tab k (the fourteen pages, then Save, Restore and Get) lies
// over x from TabLeft(k) to TabLeft(k) + TabWidth, y 1 .. 31; a click hits it
// strictly inside (the Get tab reaches to the canvas's right edge, x 1060).
inline constexpr int TabWidth = 56;
inline constexpr int TabSave = 14, TabRestore = 15, TabGet = 16;
constexpr int TabLeft(int k) { return 100 + TabWidth * k; }
constexpr int TabRight(int k) { return k == TabGet ? 1060 : TabLeft(k) + TabWidth; }

extern int PageId;          // current page 0..13
extern int MouseX, MouseY;  // client position of the last mouse message

// A Restore: none, asked for (the next paint reads the page's slot), done.
enum RestoreState : int { RestoreNone = 0, RestoreAsked = 1, RestoreDone = 2 };

// The one-shot requests a click leaves for the next paint.
struct PageRequests {
  bool openFile = true;    // 1: the next paint shows the open dialog
  int getSlot = 99;    // slot the next opened picture is stored in; 99 none
  int restore = RestoreNone;     // a RestoreState
  bool saveAs = false;      // 1: the next paint saves the shown picture
  int rightClick = 0;  // set by a right click inside the image area
};
extern PageRequests Requests;

// What the shell keeps for every page.
struct ShellState {
  int newImageFlag = 1;      // 1: a picture of a new size arrived
  int planesLoaded = 0;      // 2 when TOP took a new picture into the planes
  int imageWidth = 0;        // width of the image area: 0 until the first paint, then 960
  int imageHeight = 0;       // height of the image area: 0 until the first paint, then 672
  bool keepDeleteAnswer = false;  // 1 when the user agreed at close to delete the keep files
  // While a page tab's entry routine runs: the page the tab was clicked on;
  // -1 otherwise (DEVELOP and MAP act on the page they are entered from).
  int tabFromPage = -1;
};
extern ShellState Shell;

// The drag state of the mouse gestures (points as client coordinates).
struct DragPoint {
  std::int16_t x = 0, y = 0;
};
struct DragState {
  int rectActive = 0;
  int circleActive = 0;
  DragPoint start, end, prev;
};
extern DragState Dragging;

// True when (MouseX, MouseY) lies in the image area as the click handlers
// test it: 100 < x < image width + 100 and 33 <= y < image height + 32.
bool MouseInImage();
