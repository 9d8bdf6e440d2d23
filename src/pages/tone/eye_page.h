// The VANTOR EYE page's own state, as the page and its tests see it. The
// engine's parameters (SunGlassLevel, EyeMode, HornKey, the appoint and area
// values) are in vantor_eye.h; EyeBlindMode and EyeRunPending in tone_pages.h.
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

extern std::array<int, 3> AppointColour;           // picked colour: blue, green, red; start 0, 0, 0
extern std::array<ReadoutTracker, 4> EyeReadout;   // red, green, blue, gray; start min 255, max 0
extern int EyeBright;                              // brightness of the shown picture, 1..198; start 100
extern int EyeDark;                                // darkness of the shown picture, -100..98; start 0
extern int EyeSetKeepRequest;                      // 1: "Set KEEP4" at the next paint
extern int EyeHelpItem;                            // the page's explanation selector, 0 none

// The picked pixel of plane column x, plane row y: AppointColour, its ranges
// (AppointBox, +- AppointHalfWidth within 0..255), AppointGray rounded to the
// nearest integer, and, unless that gray is 0, the four trackers.
void PickAppointColour(int x, int y);

// One canvas byte under brightness and darkness: trunc((v - dark) * bright /
// 100), clamped to 0..255 (the same as (v - dark) * 2.55 * bright / 255).
std::uint8_t BrightDarkByte(int v, int bright, int dark);

// The Eye page as the page table lists it.
extern const PageEntry EyePageEntry;
