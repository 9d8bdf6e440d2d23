// The Vantor Eye written the straightforward way: for every pixel the n x n
// window of doubles, K[i][j] = P[j] * P[n - i] with P from pow and the sun
// glass table from two square roots, summed in plain order. It is the
// reference the fast engine (ops/vantor_eye.h) is checked and timed
// against. Intermediate integers are held in 64 bits, as in the engine.
#pragma once

#include "image/planes.h"
#include "ops/vantor_eye.h"

// One level line y of `source` into `target` (width x height pictures), then,
// with the area eye off, the white frame. With the edges extended (a whole
// picture), every column of every row 0 .. height - 1 is computed, a window
// sample beyond the picture read at the nearest edge pixel (its row and
// column clamped to the picture), and no frame is written.
void VantorEyeRowLiteral(const PlaneView& source, const PlaneView& target, int width, int height, int n,
                         const EyeParameters& parameters, int y, Edges edges = Edges::AsCanvas);

// Every row r .. height - r (extended: 0 .. height - 1), one after the
// other, from the top down.
void VantorEyePassLiteral(const PlaneView& source, const PlaneView& target, int width, int height, int n,
                          const EyeParameters& parameters, Edges edges = Edges::AsCanvas);
