// Pictures for the view pages' tests: 960 x 672 plane sets (row 0 at the
// bottom) of a flat colour, gradients, noise and the sample scene.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "image/planes.h"
#include "image/sample_scene.h"
#include "support/pictures.h"

inline TestPlanes FlatPlanes(int red, int green, int blue) {
  TestPlanes t;
  t.name = "flat";
  for (int r = 0; r < CanvasRows; ++r)
    for (int c = 0; c < Stride; ++c) t.Set(r, c, red, green, blue);
  return t;
}

inline TestPlanes GradientPlanes() {
  TestPlanes t;
  t.name = "gradient";
  for (int r = 0; r < CanvasRows; ++r)
    for (int c = 0; c < Stride; ++c) t.Set(r, c, c * 255 / 959, r * 255 / 671, (c + r) % 256);
  return t;
}

inline TestPlanes NoisePlanes(std::uint32_t seed) {
  TestPlanes t;
  t.name = "noise";
  std::uint32_t x = seed;
  auto next = [&x] {
    x = x * 1664525u + 1013904223u;
    return static_cast<int>(x >> 24);
  };
  for (int r = 0; r < CanvasRows; ++r)
    for (int c = 0; c < Stride; ++c) {
      const int red = next(), green = next(), blue = next();
      t.Set(r, c, red, green, blue);
    }
  return t;
}

inline TestPlanes ScenePlanes() {
  TestPlanes t;
  t.name = "scene";
  const Picture scene = MakeSampleScene(Stride, CanvasRows);
  for (int y = 0; y < CanvasRows; ++y)
    for (int c = 0; c < Stride; ++c) {
      const std::uint8_t* p = scene.rgb.data() + (static_cast<std::size_t>(y) * Stride + static_cast<std::size_t>(c)) * 3;
      t.Set(CanvasRows - 1 - y, c, p[0], p[1], p[2]);
    }
  return t;
}

inline std::vector<TestPlanes> ViewCorpus() {
  std::vector<TestPlanes> corpus;
  corpus.push_back(FlatPlanes(90, 140, 200));
  corpus.push_back(GradientPlanes());
  corpus.push_back(NoisePlanes(7));
  corpus.push_back(ScenePlanes());
  return corpus;
}
