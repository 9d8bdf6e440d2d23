// UNI C.'s conversion as a step: the pixels of a grey range take one colour.
// One stage that paints each pixel by itself, through the canvas.
//
//   setting             member                  takes
//   gray_from, gray_to  settings.lo, settings.hi 0..255 (none converted when gray_from is above gray_to)
//   colour              settings.colour         [red, green, blue], 0..255
#pragma once

#include <vector>

#include "ops/fields.h"
#include "ops/gray_range.h"
#include "ops/stage.h"

// The routine the conversion's stage paints with: the fast form; a benchmark
// may set the literal one to time the page's paint with it.
using RangeConvertRoutine = void (*)(const PlaneView& planes, std::uint8_t* canvas, int canvasStride, int width,
                                     int height, const GrayRangeSettings& settings);
extern RangeConvertRoutine UniCConvertRoutine;

struct GrayRangeStep {
  static constexpr const char* Kind = "uni_c";
  GrayRangeSettings settings;  // the grey range and its new colour

  static const FieldTable<GrayRangeStep>& Fields();
  std::vector<Stage> Stages() const;
};
