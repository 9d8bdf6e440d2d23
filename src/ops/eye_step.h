// The Vantor Eye pass of the TOP and VANTOR EYE pages as a step: the horn
// key, the engine's settings, and whether the pivot is the picture's own 50 %
// levels when the step runs (a recipe's "levels"). One Window stage of the
// window's half size, which needs the channel levels for a "levels" pivot.
//
//   setting             member                       takes
//   horn_key            hornKey                      "A" .. "L" (needed)
//   mode                settings.mode                1..6
//   sun_glass           settings.sunGlassLevel       1..3
//   pivot               settings.reference, levelsPivot  "levels" or [red, green, blue]
//   appoint_on          settings.appointOn           true, false
//   appoint_kind        settings.appointKind         1..5
//   appoint_source      settings.appointSource       0..2
//   appoint_gray        settings.appointGray         0..255
//   appoint_half_width  settings.appointHalfWidth    0..255
//   appoint_min, _max   settings.appointMin, Max     0..255
//   appoint_box         settings.appointBox          [[low, high] of red, green, blue]
#pragma once

#include <vector>

#include "ops/fields.h"
#include "ops/stage.h"
#include "ops/vantor_eye.h"

struct EyeStep {
  static constexpr const char* Kind = "eye";
  int hornKey = 6;            // 1..12, the keys A..L (6: F)
  EyeParameters settings;     // mode, sun glass, pivot, appoint and area values
  bool levelsPivot = false;   // true: the pivot is the picture's 50 % levels when the step runs

  static const FieldTable<EyeStep>& Fields();
  std::vector<Stage> Stages() const;
};
