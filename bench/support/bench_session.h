// The whole program run in a temporary folder for the paint benchmarks: the
// first paint opens a picture file written there, then clicks and drags go
// through the window procedure and paint until idle, as the message loop would.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/headless.h"

// The sample scene (960 x 672) as a BMP file in the program's layout.
std::vector<std::uint8_t> SampleSceneBmp();

struct BenchSession {
  explicit BenchSession(const std::vector<std::uint8_t>& pictureFile = SampleSceneBmp());
  ~BenchSession();
  BenchSession(const BenchSession&) = delete;
  BenchSession& operator=(const BenchSession&) = delete;

  void Click(int x, int y);                       // down and up, then paints until idle
  void Drag(int x1, int y1, int x2, int y2);      // down, 16 moves, up, then paints
  void Repaint();                                 // invalidates and paints until idle
  void Key(int key, bool control = false, bool shift = false);  // a key, then paints
  void Wheel(int notches, bool shift = false);    // the mouse wheel, then paints

  std::filesystem::path previous;
  std::string folder;
  ScriptedDialogs dialogs;
  HeadlessWindow window;
};
