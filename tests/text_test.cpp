// Panel text: hinted grey-scale glyphs, FreeType emboldening, blending.
#include <gtest/gtest.h>

#include <numeric>

#include "platform/surface.h"
#include "platform/text.h"
#include "support/golden.h"

namespace {

#define REQUIRE_IPA_GOTHIC_FACE() \
  if (!GoldenFontPresent()) GTEST_SKIP() << "the panel face is not IPA Gothic (ipag.ttf): '" << PanelFontFile() << "'"

int Coverage(const PanelGlyph& g) { return std::accumulate(g.ink.begin(), g.ink.end(), 0); }

TEST(PanelText, GlyphsAreGreyScaleAndBoldIsWiderNotTaller) {
  REQUIRE_IPA_GOTHIC_FACE();
  for (int height : {10, 12, 14}) {
    for (char32_t cp : {U'o', U'b', U'0', U'8', U'濃', U'縦'}) {
      const PanelGlyph& plain = GlyphFor(height, false, cp);
      const PanelGlyph& bold = GlyphFor(height, true, cp);
      // Smoothed edges: some pixels are partly covered.
      EXPECT_TRUE(std::any_of(plain.ink.begin(), plain.ink.end(), [](int v) { return v > 0 && v < 255; }))
          << height << " " << static_cast<int>(cp);
      // Bold: more ink, the same advance, the same rows and baseline.
      EXPECT_GT(Coverage(bold), Coverage(plain) * 11 / 10) << height << " " << static_cast<int>(cp);
      EXPECT_EQ(std::tuple(bold.advance, bold.top, bold.rows), std::tuple(plain.advance, plain.top, plain.rows))
          << height << " " << static_cast<int>(cp);
    }
  }
  // "0" and "8" are told apart at the readouts' size: their cells differ in
  // many pixels.
  Surface zero, eight;
  zero.Text({10, true}, Black, TextBackground::Opaque, White, 0, 0, "0");
  eight.Text({10, true}, Black, TextBackground::Opaque, White, 0, 0, "8");
  int differing = 0;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 5; ++x) differing += std::abs(zero.Pixel(x, y).r - eight.Pixel(x, y).r) > 96 ? 1 : 0;
  EXPECT_GE(differing, 4);
}

TEST(PanelText, CoverageBlendsTheColourOverWhatIsThereRounded) {
  REQUIRE_IPA_GOTHIC_FACE();
  Surface s;
  s.Clear(Rgb{0, 0, 255});
  s.Text({12, true}, Rgb{255, 0, 0}, TextBackground::Transparent, White, 10, 10, "both 濃淡");
  const PanelGlyph& b = GlyphFor(12, true, U'b');
  int checked = 0;
  for (int r = 0; r < b.rows; ++r) {
    for (int c = 0; c < b.width; ++c) {
      const int cover = b.ink[static_cast<std::size_t>(r * b.width + c)];
      const Rgb p = s.Pixel(10 + b.left + c, 10 + b.top + r);
      // Red over blue: red rises with the coverage as blue falls, rounded.
      EXPECT_EQ(p, (Rgb{static_cast<std::uint8_t>((255 * cover + 127) / 255), 0,
                        static_cast<std::uint8_t>((255 * (255 - cover) + 127) / 255)}))
          << c << "," << r;
      ++checked;
    }
  }
  EXPECT_GT(checked, 20);
  // An opaque background fills the cells first; the ink blends over it.
  s.Clear(Rgb{0, 0, 255});
  s.Text({12, true}, Black, TextBackground::Opaque, White, 10, 40, "o");
  for (int y = 40; y < 52; ++y)
    for (int x = 10; x < 16; ++x) {
      const Rgb p = s.Pixel(x, y);
      EXPECT_TRUE(p.r == p.g && p.g == p.b) << x << "," << y;  // grey between white and black
    }
  EXPECT_EQ(s.Pixel(16, 45), (Rgb{0, 0, 255}));  // the cell ends at its advance
}

}  // namespace
