// The whole picture in view: the picture with its steps, as the whole save
// writes it (worked on the canvas's way when it fits there, band by band at
// its own size otherwise), reduced to fit a box by averaging the pixels each
// reduced pixel covers. A picture that fits the box keeps its size.
#pragma once

#include <vector>

#include "ops/picture_steps.h"
#include "platform/picture_loader.h"

// The reduced size of a width x height picture in a box: the largest that
// keeps its proportions and fits, never larger than the picture.
struct ReducedSize {
  int width = 0, height = 0;
};
ReducedSize ReducedSizeIn(int width, int height, int boxWidth, int boxHeight);

// Reduced pixel (X, Y) is the rounded mean of the pixels x in [X * W / w,
// (X + 1) * W / w) and y in [Y * H / h, (Y + 1) * H / h) of a W x H picture.
Picture ReducedPicture(const Picture& picture, ReducedSize size);

// The steps over the whole picture, reduced as above. An empty picture when
// the picture is empty.
Picture OverviewOf(const Picture& whole, const std::vector<PictureStep>& steps, int boxWidth, int boxHeight,
                   int threads = 2, Edges edges = Edges::AsCanvas);
