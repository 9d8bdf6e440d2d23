// The literal form of RealAppear: every window pixel of every pixel tested
// against the pass zone, exactly as the rule reads. The fast form in
// pages/appear/real_appear.h gives the same bytes and is measured beside it.
#pragma once

#include <cstdint>

#include "image/planes.h"
#include "pages/appear/real_appear.h"

void LiteralRealAppear(const std::uint8_t* transfer, const PlaneView& back, int columns, int rows,
                       const PassZone& zone, int edgeWidth);
