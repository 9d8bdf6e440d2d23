// Literal forms of the FILTER page's pixel work: the tone curve is rebuilt at
// every call and every sample goes through the whole formula, one pixel after
// another, with no tables. The fast forms in ops/colour_power.h are
// checked against these byte for byte and measured beside them.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "image/planes.h"
#include "ops/colour_power.h"

// Colour power with per-plane powers (blue, green, red), in place.
void LiteralColourPower(const PlaneView& planes, const std::array<int, 3>& powers);
// Strong and soft colour balance with the given levels, in place.
void LiteralPeach(const PlaneView& planes, const FilterLevels& levels);
void LiteralBerry(const PlaneView& planes, const FilterLevels& levels);
// Light core from a 24-bit canvas (rows of 3 * stride bytes) into the view.
void LiteralLightCore(std::span<const std::uint8_t> canvas, const PlaneView& planes, int start, int end);
