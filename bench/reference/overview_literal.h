// The whole picture in view, literally: every step over the whole picture at
// once, then each reduced pixel the rounded mean of the pixels it covers,
// summed one by one over its rectangle.
#pragma once

#include <vector>

#include "ops/overview.h"

Picture LiteralOverview(const Picture& whole, const std::vector<PictureStep>& steps, int boxWidth, int boxHeight,
                        Edges edges);
