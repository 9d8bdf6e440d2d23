// The literal form of the Transfer page's polygon fill: the crossings of
// each line listed pixel by pixel, paired and painted, then the gap pass in
// the order the rule gives (rows upward in mode 1, columns rightward in mode
// 2). FillPolygonInside (pages/pattern/polygon_cut.h) gives the same bytes.
#pragma once

#include <cstdint>
#include <span>

void LiteralFillPolygonInside(std::uint8_t* canvas, std::span<const std::uint8_t> mask, int mode,
                              std::span<const int> extremumPixels);
