// Runs the whole program in-process on the headless backend, in a fresh
// temporary working folder, for the screen and page tests.
//
//   ProgramSession s;                 // new run, new folder, nothing painted yet
//   s.Start("picture.bmp");           // first paint answers its open dialog
//   s.Click(130, 370);                // button down and up, then paints until idle
//   EXPECT_EQ(s.Pixel(100, 32), ...); // the client area as shown
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/headless.h"
#include "platform/surface.h"
#include "support/pictures.h"

class ProgramSession {
 public:
  ProgramSession();
  ~ProgramSession();
  ProgramSession(const ProgramSession&) = delete;
  ProgramSession& operator=(const ProgramSession&) = delete;

  const std::string& Folder() const { return folder_; }
  std::string PathIn(const std::string& name) const { return folder_ + "/" + name; }

  // The first paint, with its open dialog answered by `picture` (empty: cancelled).
  void Start(const std::string& picture);
  // Writes a width x height test picture, opens it, and goes to a page by its tab.
  void StartOnPage(int page, Rgb (*colour)(int x, int y), int width, int height);
  void Click(int x, int y);
  // A click on the control of `page` whose label (either language) is `label`,
  // found through the page's panel table; the test fails when there is none.
  void ClickControl(int page, const std::string& label);
  // Clicks on several controls of `page`, one after the other.
  void ClickControls(int page, std::initializer_list<const char*> labels);
  // A click on a control whose file dialog is answered with `file` (nullopt: cancelled).
  void ClickControlWithFile(int page, const std::string& label, const std::optional<std::string>& file);
  void ClickTab(int page) { Click(128 + 56 * page, 15); }
  void RightClick(int x, int y);
  void Drag(int x1, int y1, int x2, int y2, int steps = 8);
  void Move(int x, int y);
  void KeyEnter();
  void Key(int key, bool control = false, bool shift = false);
  void Undo() { Key('Z', true); }
  void Redo() { Key('Z', true, true); }
  void Wheel(int notches, bool shift = false);  // away from the user positive
  void Close();
  void Paint();  // paints until idle

  ScriptedDialogs& dialogs() { return dialogs_; }
  HeadlessWindow& window() { return window_; }
  Rgb Pixel(int x, int y) const;  // as shown
  // The shown image area (960 x 672 from (100, 32)) as a bottom-up BGR canvas.
  std::vector<std::uint8_t> ShownCanvas() const;

 private:
  std::string folder_;
  std::string previousFolder_;
  ScriptedDialogs dialogs_;
  HeadlessWindow window_;
};

// Pixels of the client area as shown: where, and the colour expected there.
struct ShownPixel {
  int x, y;
  Rgb colour;
};
void ExpectShown(const ProgramSession& s, std::initializer_list<ShownPixel> pixels);

// The point a click on the control of `page` labelled `label` lands on (the
// middle of its click region); {-1, -1} when the page has no such control.
struct ControlPoint {
  int x = -1, y = -1;
};
ControlPoint ControlOf(int page, const std::string& label);
// A driver script's line clicking that control; the test fails when there is none.
std::string ClickLine(int page, const std::string& label);

// A picture file written with the program's BMP layout: width x height,
// colour(x, y) with y counted from the top.
void WriteTestPicture(const std::string& path, int width, int height, Rgb (*colour)(int x, int y));

// The keep or work file that a canvas (bottom-up BGR, 960 x 672) gives: the
// program's BMP layout with the view scale in the first reserved field.
std::vector<std::uint8_t> KeepFileOf(const std::vector<std::uint8_t>& canvas, std::uint16_t scale = 1);

// The bytes of a file (empty when missing).
std::vector<std::uint8_t> FileBytes(const std::string& path);

// "" when two canvases (bottom-up BGR, 960 wide) are equal, else where they
// first differ: byte, plane row, column, channel and the two values.
std::string CanvasDifference(const std::vector<std::uint8_t>& shown, const std::vector<std::uint8_t>& expected);

// A driver script (its text) run with the whole program in `folder`, as
// vazesample-drive runs one: ok when it parsed and ran to its end; the
// report lines it printed, or what went wrong.
struct DriverRun {
  bool ok = false;
  std::string report;
  std::string error;
};
DriverRun RunDriverScript(const std::string& folder, const std::string& script);

// The report lines of a driver script run as above; a run that does not
// reach its end fails the test.
std::string ScriptReport(const std::string& folder, const std::string& script);

// The kinds of the steps a recipe file holds, one space between them, or
// its error in brackets.
std::string KindsOf(const std::string& recipe);

// Red, green, blue of a keep file's pixel at a column and plane row (1, 2, 3
// when the file is too short to hold it).
Rgb KeepFilePixel(const std::vector<std::uint8_t>& file, int column, int row);
