// The VANTOR EYE page's own state, as the page and its tests see it. The
// settings of the pass it shares with TOP (mode, sun glass, horn key, the
// appoint and area values) are in tone_state.h.
#pragma once

#include "pages/kit/page_entry.h"

#include <array>
#include <cstdint>

// Running minimum and maximum of one picked value since the last full reset.
struct ReadoutTracker {
  int minimum = 255;
  int maximum = 0;
};

// The readout rows in the order the panel shows them.
enum ReadoutRow : int { ReadoutRed = 0, ReadoutGreen = 1, ReadoutBlue = 2, ReadoutGray = 3 };

// The page's state, with its start values.
// TOP's reset switches VANTOR EYE's blind mode off too.
void ResetEyeBlindMode();

struct EyePageState {
  bool blindMode = false;                         // 1: the pass hides its progress under grey lines
  std::array<int, 3> appointColour{0, 0, 0};  // picked colour: blue, green, red
  std::array<ReadoutTracker, 4> readout{};   // red, green, blue, gray
  int bright = 100;                          // brightness of the shown picture, 1..198
  int dark = 0;                              // darkness of the shown picture, -100..98
  bool setKeepRequest = false;                    // 1: "Set KEEP4" at the next paint
  int helpItem = 0;                          // the page's explanation selector, 0 none
};
extern EyePageState EyePage;

// The picked pixel of plane column x, plane row y: EyePage.appointColour, its ranges
// (Tone.eye.appointBox, +- Tone.eye.appointHalfWidth within 0..255), Tone.eye.appointGray rounded to the
// nearest integer, and, unless that gray is 0, the four trackers.
void PickAppointColour(int x, int y);

// One canvas byte under brightness and darkness: trunc((v - dark) * bright /
// 100), clamped to 0..255 (the same as (v - dark) * 2.55 * bright / 255).
std::uint8_t BrightDarkByte(int v, int bright, int dark);

// The Eye page as the page table lists it.
extern const PageEntry EyePageEntry;
