// The edges of a whole picture. Extended, the outline detectors and the local
// contrast see beyond the picture the nearest edge pixel: the same as their
// literal forms over a copy of the picture grown by hand with those pixels,
// cut back to the picture. As on the canvas, the border stays as the pages
// leave it.

#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "image/planes.h"
#include "ops/picture_steps.h"
#include "platform/picture_loader.h"
#include "reference/outline_literal.h"
#include "support/pictures.h"

namespace {

Picture MadePicture(int width, int height, unsigned seed) {
  Picture p{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      // Blocks and steps near the edges give the border outlines; each column and row
      // differs from its neighbour, so that a sample taken one pixel off shows.
      const unsigned v = (static_cast<unsigned>(x / 3 + y / 2) * 97u + seed * 31u + static_cast<unsigned>(x + 3 * y)) % 256u;
      p.rgb.insert(p.rgb.end(), {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>((v * 7u) % 256u),
                                 static_cast<std::uint8_t>(x < 2 || y < 2 ? 250 - x - y : 40 + (x * y) % 120)});
    }
  return p;
}

// The picture grown by `pad` on every side with its nearest edge pixels, as
// planes: the picture's (x, y from the top) is plane row height - 1 - y + pad.
TestPlanes Grown(const Picture& picture, int pad) {
  TestPlanes planes(picture.width + 2 * pad, picture.height + 2 * pad);
  for (int row = 0; row < planes.rows; ++row) {
    const int y = std::clamp(picture.height - 1 - (row - pad), 0, picture.height - 1);
    for (int column = 0; column < planes.stride; ++column) {
      const int x = std::clamp(column - pad, 0, picture.width - 1);
      const std::uint8_t* rgb = picture.rgb.data() + (static_cast<std::size_t>(y) * picture.width + x) * 3;
      for (int k = 0; k < 3; ++k) planes.View().at(k, row, column) = rgb[2 - k];
    }
  }
  return planes;
}

// The picture part of a grown canvas, top-down RGB.
Picture CutBack(const std::vector<std::uint8_t>& canvas, int width, int height, int pad) {
  Picture p{width, height, {}};
  const int stride = width + 2 * pad;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::size_t i = (static_cast<std::size_t>(height - 1 - y + pad) * stride + x + pad) * 3;
      p.rgb.insert(p.rgb.end(), {canvas[i + 2], canvas[i + 1], canvas[i]});
    }
  return p;
}

}  // namespace

TEST(Edges, OutlinesAreFoundToTheBorderAndALocalContrastTakesItsWindowBeyondIt) {
  for (const auto& [width, height] : {std::pair{1, 1}, std::pair{5, 4}, std::pair{40, 30}, std::pair{97, 61}}) {
    const Picture picture = MadePicture(width, height, 3);
    for (const OutlineSettings settings : {OutlineSettings{FineWidth, 16, JudgeByLuma, OutlineRgb{255, 0, 0}},
                                           OutlineSettings{MiddleWidth, 8, JudgeByEveryChannel, OutlineRgb{0, 9, 0}},
                                           OutlineSettings{FatWidth, 12, JudgeByLuma, OutlineRgb{1, 2, 3}}}) {
      SCOPED_TRACE(testing::Message() << width << " x " << height << ", width " << settings.outlineWidth);
      const int pad = OutlineBorder(settings.outlineWidth);
      TestPlanes grown = Grown(picture, pad);
      std::vector<std::uint8_t> canvas = grown.Canvas();
      LiteralOutline(grown.View(), canvas.data(), grown.stride, grown.stride, grown.rows, settings);
      const Picture expected = CutBack(canvas, width, height, pad);
      const Picture extended = ApplyStepsAtOwnSize({OutlineStep{settings}}, picture, 1, Edges::Extend);
      EXPECT_EQ(extended.rgb, expected.rgb);
      // As on the canvas the border is never outlined: its pixels stay.
      const Picture canvasLike = ApplyStepsAtOwnSize({OutlineStep{settings}}, picture, 1, Edges::AsCanvas);
      EXPECT_TRUE(std::equal(picture.rgb.begin(), picture.rgb.begin() + 3 * width, canvasLike.rgb.begin()));  // top row
      if (width >= 40) { EXPECT_NE(extended.rgb, canvasLike.rgb) << "the border holds no outlines"; }
    }
  }
  constexpr int R = LocalContrastRadius;
  const Picture picture = MadePicture(70, 50, 8);
  // Centres at the corners, on an edge, inside, and beyond the picture.
  for (const auto& [x, y] : {std::pair{0, 0}, std::pair{69, 49}, std::pair{0, 25}, std::pair{35, 25}, std::pair{75, 10},
                             std::pair{30, 60}}) {
    SCOPED_TRACE(std::to_string(x) + ", " + std::to_string(y));
    TestPlanes grown = Grown(picture, 2 * R);
    std::vector<std::uint8_t> canvas = grown.Canvas();
    const int row = picture.height - 1 - y;
    LiteralLocalContrast(grown.View(), canvas.data(), grown.stride, grown.stride, grown.rows,
                         LocalContrastSettings{{x + 2 * R, row + 2 * R}, {0, 0, grown.stride, grown.rows}, true});
    const Picture expected = CutBack(grown.Canvas(), picture.width, picture.height, 2 * R);
    EXPECT_EQ(ApplyStepsAtOwnSize({LocalContrastStep{x, y}}, picture, 1, Edges::Extend).rgb, expected.rgb);
  }
}
