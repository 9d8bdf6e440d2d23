// The pixel work of the CONTOUR page: the ladder of grey levels, the eight
// colour ladders, and the contour drawn into the canvas through a table of
// the 256 grays (which level a gray lies on, and in which colour).
//
// Routines:
//   ContourTopLevel        N = (max - min) / step, the index of the top level
//   ContourColourStep      K = 256 / N, the colour increment per level
//   ContourLevelGray       L(k) = min + k * step
//   ContourLevelColour     the colour of level k under a colour type
//   ContourSwatchColour    the colour of swatch column i under a colour type
//   NextContourColourType  "↓": 0 or 7 -> 1, otherwise t + 1
//   WrapContourScan        before a one-level paint: s past the top -> 1
//   BuildContourTable      for every gray 0..255: painted or not, and its colour
//   DrawContour            the table applied to every pixel of a canvas
//   ApplyContour           the contour of one paint (table and drawing) from its settings
#pragma once

#include <array>
#include <cstdint>

// The ladder: levels min, min + step, ... up to max (min 0, max 255, step 8
// on the page: levels 0, 8, ..., 248).
struct ContourLadder {
  int min = 0;
  int max = 255;
  int step = 8;
};

// 0 none (" clear"), 1 all levels (" limit area"), 2 one level (" scan").
enum ContourOperation : int { ContourNone = 0, ContourAllLevels = 1, ContourOneLevel = 2 };

inline constexpr int ContourColourTypes = 8;  // colour types 0..7
inline constexpr int ContourSwatchColumns = 64;

struct ContourColour {
  int red = 0, green = 0, blue = 0;
  friend bool operator==(const ContourColour&, const ContourColour&) = default;
};

// N = (max - min) / step (integer division); 0 when step is not positive.
int ContourTopLevel(const ContourLadder& ladder);
// K = 256 / N (integer division); 0 when N is not positive (no ladder).
int ContourColourStep(int topLevel);
// L(k) = min + k * step.
int ContourLevelGray(const ContourLadder& ladder, int k);

// The colour of level k under colour type t with increment K, each channel
// clamped to 0..255 (type 0 black, 1 red, 2 yellow down, 3 cyan down, 4 red
// to cyan, 5 cyan to yellow, 6 grey up, 7 grey down). A type outside 0..7
// is taken as 0.
ContourColour ContourLevelColour(int type, int k, int increment);
// The swatch strip's column i (0..63; type 1 also has column 64); type 0 has
// no swatch (returns false), as has a column outside the strip.
bool ContourSwatchColour(int type, int column, ContourColour& colour);

// "↓": the next colour type, 0 or 7 -> 1, otherwise t + 1.
int NextContourColourType(int type);
// The scan index as a one-level paint takes it: past the top level (N + 1 < s) -> 1.
int WrapContourScan(int scanIndex, int topLevel);

// What the contour does to a pixel of each gray 0..255.
struct ContourTableEntry {
  bool painted = false;
  std::uint8_t blue = 0, green = 0, red = 0;
};
using ContourTable = std::array<ContourTableEntry, 256>;

// The table for an operation: all levels (every gray on a level, in its
// level's colour) or one level (the gray of level s - 1 only, with s as the
// paint takes it after WrapContourScan); nothing for ContourNone.
ContourTable BuildContourTable(const ContourLadder& ladder, int operation, int scanIndex, int colourType);

// Every pixel of a bottom-up canvas (bytes blue, green, red) whose gray (the
// program's truncated gray) the table paints takes the table's colour; the
// others keep theirs. Rows 0..rows-1, columns 0..columns-1 of a canvas of
// `stride` pixels a row.
void DrawContour(std::uint8_t* canvas, int columns, int rows, int stride, const ContourTable& table);

// What one paint of the contour draws: the page builds it from its state.
struct ContourDrawSettings {
  ContourLadder ladder{};
  int operation = ContourNone;  // a ContourOperation
  int scanIndex = 0;            // s of a one-level paint (wrapped past the top level here)
  int colourType = 0;           // the colour ladder 0..7
};

// The contour of one paint over width x height of a bottom-up canvas of
// `stride` pixels a row, in place: the table for the operation (the scan
// index wrapped past the top level), then DrawContour. The canvas is both
// the input (its grays) and the output; nothing for ContourNone.
void ApplyContour(std::uint8_t* canvas, int stride, int width, int height, const ContourDrawSettings& settings);
