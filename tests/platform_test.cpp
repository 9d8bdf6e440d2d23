// The painter, the panel text (hinted grey-scale glyphs, FreeType
// emboldening, blending) and the headless window, checked pixel by pixel.
#include <gtest/gtest.h>

#include <array>
#include <numeric>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/headless.h"
#include "platform/surface.h"
#include "platform/text.h"
#include "platform/window.h"
#include "support/golden.h"
#include "support/pictures.h"

namespace {

using Points = std::set<std::pair<int, int>>;

// The pixels within a box that differ from white.
Points Inked(const Surface& s, int x0 = 0, int y0 = 0, int x1 = Surface::Width, int y1 = Surface::Height) {
  Points p;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (s.Pixel(x, y) != White) p.insert({x, y});
  return p;
}

const Pen BlackPen{Black, 1, PenStyle::Solid};

TEST(Lines, ThinPensExcludeTheEndPointWidePensStrokeRoundEndsIncludingIt) {
  const std::pair<std::array<int, 4>, Points> cases[] = {
      {{10, 10, 15, 10}, {{10, 10}, {11, 10}, {12, 10}, {13, 10}, {14, 10}}},
      {{20, 8, 20, 4}, {{20, 8}, {20, 7}, {20, 6}, {20, 5}}},  // upwards
      {{0, 0, 4, 4}, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
      {{7, 7, 7, 7}, {}},  // a zero-length line draws nothing
      {{0, 0, 8, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 2}, {7, 2}}},
  };
  for (const auto& [e, pixels] : cases) {
    Surface s;
    s.Line(BlackPen, e[0], e[1], e[2], e[3]);
    EXPECT_EQ(Inked(s), pixels) << e[0] << "," << e[1] << " to " << e[2] << "," << e[3];
  }
  Surface s;
  s.Line(BlackPen, 50, 40, 47, 30);  // steep, up and to the left: one pixel on each of ten rows
  const Points p = Inked(s);
  ASSERT_EQ(p.size(), 10u);
  std::set<int> rows;
  for (auto [x, y] : p) EXPECT_TRUE(rows.insert(y).second && x >= 47 && x <= 50) << x << "," << y;
  EXPECT_TRUE(p.count({50, 40}) == 1 && p.count({47, 30}) == 0);

  s.Clear();
  s.Polyline({Black, 1, PenStyle::Dot}, {{0, 0}, {5, 0}, {5, 4}});  // steps 0..8 along the path, the even ones
  EXPECT_EQ(Inked(s), (Points{{0, 0}, {2, 0}, {4, 0}, {5, 1}, {5, 3}}));
  s.Clear();
  s.Line({Black, 5, PenStyle::Solid}, 20, 20, 30, 20);
  const Points wide = Inked(s);
  // Five rows thick along the path, the end point included, rounded ends.
  for (int x = 20; x <= 30; ++x)
    for (int y = 18; y <= 22; ++y) EXPECT_TRUE(wide.count({x, y})) << x << "," << y;
  // The cap reaches (32, 20) but not its corner (32, 18), nor (33, 20) or (20, 23).
  EXPECT_EQ((std::array{wide.count({32, 20}), wide.count({32, 18}), wide.count({33, 20}), wide.count({20, 23})}),
            (std::array<std::size_t, 4>{1, 0, 0, 0}));
  s.Clear();
  s.Line({Black, 2, PenStyle::Solid}, 10, 10, 10, 13);  // a 2-pixel pen is two columns wide
  EXPECT_EQ(Inked(s).size(), 2u * 5u);
}

TEST(Rectangles, FrameAndFillCoverExactlyTheirPixels) {
  Surface s;
  s.Rectangle(BlackPen, Rgb{255, 0, 0}, 10, 20, 15, 24);
  for (int y = 15; y < 30; ++y)
    for (int x = 5; x < 20; ++x) {
      const bool inside = x >= 10 && x <= 14 && y >= 20 && y <= 23;
      const bool frame = inside && (x == 10 || x == 14 || y == 20 || y == 23);
      EXPECT_EQ(s.Pixel(x, y), (frame ? Black : inside ? Rgb{255, 0, 0} : White)) << x << "," << y;
    }
  s.Clear();
  s.Rectangle(BlackPen, std::nullopt, 3, 3, 6, 5);  // frame only
  EXPECT_EQ(Inked(s), (Points{{3, 3}, {4, 3}, {5, 3}, {3, 4}, {4, 4}, {5, 4}}));
  s.Clear();
  s.FillRect({1, 2, 3}, 40, 50, 43, 52);
  EXPECT_EQ(Inked(s).size(), 6u);
  EXPECT_EQ(std::pair(s.Pixel(42, 51), s.Pixel(43, 51)), std::pair(Rgb{1, 2, 3}, White));
}

TEST(Ellipses, SymmetricInsideTheirBoxAndTouchingEverySide) {
  for (auto [w, h] : std::vector<std::pair<int, int>>{{11, 11}, {10, 10}, {21, 8}, {1, 5}, {30, 17}}) {
    Surface s;
    const int l = 100, t = 200;
    s.Ellipse(BlackPen, Rgb{0, 0, 255}, l, t, l + w, t + h);
    int minX = 1 << 30, maxX = -1, minY = 1 << 30, maxY = -1;
    for (auto [x, y] : Inked(s)) {
      minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
      EXPECT_EQ(s.Pixel(x, y), s.Pixel(2 * l + w - 1 - x, y)) << "mirror left-right " << w << "x" << h;
      EXPECT_EQ(s.Pixel(x, y), s.Pixel(x, 2 * t + h - 1 - y)) << "mirror top-bottom " << w << "x" << h;
    }
    EXPECT_EQ((std::array{minX, maxX, minY, maxY}), (std::array{l, l + w - 1, t, t + h - 1})) << w << "x" << h;
    if (w > 4 && h > 4) {
      EXPECT_EQ(s.Pixel(l + w / 2, t + h / 2), (Rgb{0, 0, 255}));
    }
  }
}

TEST(Invert, EveryPrimitiveTouchesEachPixelOnceSoTwiceRestores) {
  // A different colour at nearly every pixel, so an inversion done twice, or a stray write, shows.
  Surface s;
  constexpr int bytes = Surface::Width * Surface::Height * 3;
  for (int i = 0; i < bytes; ++i) s.Data()[i] = static_cast<std::uint8_t>(i * 7 + i / 3);
  const std::vector<std::uint8_t> before(s.Data(), s.Data() + bytes);
  auto drawAll = [&] {
    s.Line(BlackPen, 5, 5, 300, 77, RasterOp::Invert);
    s.Line({Black, 7, PenStyle::Solid}, 400, 300, 420, 380, RasterOp::Invert);
    s.Polyline(BlackPen, {{100, 100}, {200, 100}, {200, 150}, {100, 150}, {100, 100}}, RasterOp::Invert);
    s.Polyline(BlackPen, {{600, 600}, {620, 600}, {600, 600}, {600, 640}}, RasterOp::Invert);  // folds back
    s.Rectangle({Black, 3, PenStyle::Solid}, White, 700, 100, 760, 140, RasterOp::Invert);
    s.Ellipse(BlackPen, White, 500, 500, 541, 531, RasterOp::Invert);
    s.Ellipse({Black, 4, PenStyle::Solid}, White, 800, 500, 830, 520, RasterOp::Invert);
  };
  drawAll();
  // Each 3-byte pixel is wholly inverted or wholly kept.
  const auto kept = [&](std::size_t i) { return s.Data()[i] == before[i]; };
  const auto inverted = [&](std::size_t i) { return s.Data()[i] == static_cast<std::uint8_t>(~before[i]); };
  for (std::size_t i = 0; i < before.size(); i += 3)
    ASSERT_TRUE((kept(i) && kept(i + 1) && kept(i + 2)) || (inverted(i) && inverted(i + 1) && inverted(i + 2)))
        << "pixel " << i / 3;
  // The folded polyline covers its doubled-back pixels once, not twice.
  const std::size_t folded = (600 * 1100 + 610) * 3;
  EXPECT_NE(s.Pixel(610, 600), (Rgb{before[folded], before[folded + 1], before[folded + 2]}));
  drawAll();
  EXPECT_TRUE(std::equal(before.begin(), before.end(), s.Data()));
}

TEST(Clipping, NothingIsWrittenOutsideAndEdgesAreExact) {
  Surface s;
  s.Line(BlackPen, -10, 5, 10, 5);
  s.Line(BlackPen, -2000000000, -2000000000, 2000000000, 2000000000);
  s.Line({Black, 9, PenStyle::Solid}, 1095, -1000000, 1095, 1000000);
  s.Rectangle(BlackPen, Rgb{9, 9, 9}, -5, -5, 5, 5);
  s.Rectangle(BlackPen, std::nullopt, -2000000000, -2000000000, 2000000000, 2000000000);
  s.Ellipse({Black, 3, PenStyle::Solid}, Rgb{9, 9, 9}, 1080, 820, 1200, 900);
  s.FillRect({1, 1, 1}, -100000, 830, 100000, 100000);
  s.SetPixel(-1, 0, Black);
  s.SetPixel(1100, 0, Black);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(s.Pixel(x, 5), Black);
  const std::pair<std::array<int, 2>, Rgb> pixels[] = {
      {{-1, 0}, Black},       // outside reads as black, writes are dropped
      {{4, 2}, Black},        // the clipped frame's right column
      {{2, 4}, Black},        // and its bottom row
      {{2, 2}, {9, 9, 9}},    // its fill
      {{1099, 839}, {1, 1, 1}},
      {{1099, 400}, Black},   // the wide line reaches the last column
      {{600, 600}, Black},    // the huge diagonal passes through
      {{600, 601}, White},
  };
  for (const auto& [xy, colour] : pixels) EXPECT_EQ(s.Pixel(xy[0], xy[1]), colour) << xy[0] << "," << xy[1];
}

TEST(Blit, BottomUpRowsLandWithTheTopRowAtY) {
  // 2 x 3 bitmap, rows stored bottom first, bytes blue, green, red.
  const std::array<std::uint8_t, 18> bgr{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
  Surface s;
  s.BlitBottomUp(bgr.data(), 2, 3, 5, 7);
  EXPECT_EQ((std::array{s.Pixel(5, 7), s.Pixel(6, 7), s.Pixel(5, 9), s.Pixel(6, 9)}),
            (std::array<Rgb, 4>{{{15, 14, 13}, {18, 17, 16}, {3, 2, 1}, {6, 5, 4}}}));
  EXPECT_EQ(Inked(s).size(), 6u);
  s.Clear();
  s.BlitBottomUp(bgr.data(), 2, 3, -1, -2);  // only the bottom row's right pixel shows
  EXPECT_EQ(Inked(s), (Points{{0, 0}}));
  EXPECT_EQ(s.Pixel(0, 0), (Rgb{6, 5, 4}));
  s.BlitBottomUp(bgr.data(), 2, 3, 1099, 838);
  EXPECT_EQ(std::pair(s.Pixel(1099, 838), s.Pixel(1099, 839)), std::pair(Rgb{15, 14, 13}, Rgb{9, 8, 7}));
}

TEST(Text, CellWidthsFollowHalfAndFullWidthCharacters) {
  const std::tuple<Font, const char*, int> widths[] = {
      {{12, true}, "AB", 12},
      {{12, true}, "あい", 24},
      {{12, true}, "Ｆ□■◇◆→←⇒", 96},
      {{10, false}, "ｶﾞ x", 20},  // half-width katakana are half
      {{12, true}, "\xff", 12},    // a stray byte counts as one character
  };
  for (const auto& [font, text, width] : widths) EXPECT_EQ(Surface::TextWidth(font, text), width) << text;
  std::size_t pos = 0;
  EXPECT_EQ(NextCodePoint("\xe3\x81", pos), U'\uFFFD');  // cut short
  EXPECT_EQ(pos, 1u);
}

TEST(Text, InkStaysInTheCellsGlyphsAreGreyScaleBoldWiderNotTallerAndBlendOverWhatIsThere) {
  if (!GoldenFontPresent()) GTEST_SKIP() << "the panel face is not IPA Gothic (ipag.ttf): '" << PanelFontFile() << "'";
  Surface s;
  const std::string text = "Ｆ□■◇◆→←⇒ Abg ヴァントル";
  const Font font{12, true};
  const int width = Surface::TextWidth(font, text);
  s.Text(font, Rgb{200, 0, 0}, TextBackground::Transparent, White, 30, 40, text);
  const Points ink = Inked(s);
  ASSERT_GT(ink.size(), 100u);
  for (auto [x, y] : ink) EXPECT_TRUE(x >= 30 && x < 30 + width && y >= 40 && y < 40 + 12) << x << "," << y;
  s.Clear();
  s.Text(font, Rgb{200, 0, 0}, TextBackground::Opaque, Rgb{1, 2, 3}, 30, 40, text);
  EXPECT_EQ(Inked(s).size(), static_cast<std::size_t>(width * 12));
  EXPECT_EQ(Inked(s, 30, 40, 30 + width, 52).size(), static_cast<std::size_t>(width * 12));
  EXPECT_TRUE(PanelFontIsJapanese());
  const auto coverage = [](const PanelGlyph& g) { return std::accumulate(g.ink.begin(), g.ink.end(), 0); };
  for (int height : {10, 12, 14}) {
    const PanelGlyph& full = GlyphFor(height, false, U'あ');
    const PanelGlyph& fullBold = GlyphFor(height, true, U'あ');
    EXPECT_EQ(std::pair(full.advance, GlyphFor(height, false, U'A').advance), std::pair(height, height / 2));
    EXPECT_TRUE(full.left + full.width <= height && full.top >= 0 && full.top + full.rows <= height)
        << full.left << "+" << full.width << ", " << full.top << "+" << full.rows;
    EXPECT_EQ(std::pair(fullBold.advance, fullBold.width), std::pair(full.advance, full.width + 1));
    for (char32_t cp : {U'o', U'b', U'0', U'8', U'濃', U'縦'}) {
      const PanelGlyph& plain = GlyphFor(height, false, cp);
      const PanelGlyph& bold = GlyphFor(height, true, cp);
      // Smoothed edges: some pixels are partly covered.
      EXPECT_TRUE(std::any_of(plain.ink.begin(), plain.ink.end(), [](int v) { return v > 0 && v < 255; }))
          << height << " " << static_cast<int>(cp);
      // Bold: more ink, the same advance, the same rows and baseline.
      EXPECT_GT(coverage(bold), coverage(plain) * 11 / 10) << height << " " << static_cast<int>(cp);
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
  // Red over grey 101, rounded: the rounding shows in every channel.
  s.Clear(Rgb{101, 101, 101});
  s.Text({12, true}, Rgb{255, 0, 0}, TextBackground::Transparent, White, 10, 10, "both 濃淡");
  const PanelGlyph& g = GlyphFor(12, true, U'b');
  EXPECT_GT(g.rows * g.width, 20);
  for (int r = 0; r < g.rows; ++r)
    for (int c = 0; c < g.width; ++c) {
      const int cover = g.ink[static_cast<std::size_t>(r * g.width + c)];
      const auto blend = [cover](int over) {
        return static_cast<std::uint8_t>((101 * (255 - cover) + over * cover + 127) / 255);
      };
      EXPECT_EQ(s.Pixel(10 + g.left + c, 10 + g.top + r), (Rgb{blend(255), blend(0), blend(0)})) << c << "," << r;
    }
  // 'b' is 6 x 8 from (10, 12); its first column has cover 28: red (22927 + 7140 + 127) / 255 = 118, green
  // (22927 + 127) / 255 = 90 (truncated 117, 89). Row 7, column 2 has 178: green 7904 / 255 = 30 (+ 128: 31).
  EXPECT_EQ(std::pair(s.Pixel(10, 13), s.Pixel(12, 19)), std::pair(Rgb{118, 90, 90}, Rgb{208, 30, 30}));
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

TEST(Text, WithoutAFaceEveryCharacterIsABoxInItsCell) {
  ASSERT_FALSE(UsePanelFontFile("/nonexistent/font.ttf"));
  EXPECT_EQ(PanelFontFile(), "");
  Surface s;
  s.Text({12, true}, Black, TextBackground::Transparent, White, 10, 10, "Aあ");
  // A 4 x 10 box for the half-width cell and a 10 x 10 box for the full one.
  EXPECT_EQ(Inked(s).size(), static_cast<std::size_t>(2 * 4 + 2 * 8 + 2 * 10 + 2 * 8));
  EXPECT_EQ(std::pair(s.Pixel(11, 11), s.Pixel(12, 12)), std::pair(Black, White));
  UsePanelFontFile("");  // back to the fontconfig choice for the other tests
}

TEST(Headless, PaintsUntilValidRecordsTitlesAndShowsWhatWasPresented) {
  int paints = 0;
  std::vector<std::string> titles;
  const auto paint = [&] {
    Screen().SetPixel(0, 0, Rgb{static_cast<std::uint8_t>(++paints), 0, 0});
    MainWindow().SetTitle(paints < 3 ? "one" : "two");
    if (paints < 3) MainWindow().Invalidate();  // asks for two more paints
  };
  HeadlessWindow window({nullptr, paint}, "start");
  window.onTitleChange = [&](const std::string& t) { titles.push_back(t); };
  UseWindow(&window);
  window.Invalidate();
  EXPECT_TRUE(window.RunPendingPaints());
  EXPECT_EQ(std::pair(paints, window.Shown()[0]), std::pair(3, std::uint8_t{3}));
  EXPECT_EQ(titles, (std::vector<std::string>{"one", "two"}));
  // A paint handler that always invalidates is stopped, not looped forever.
  HeadlessWindow restless({nullptr, [&] { MainWindow().Invalidate(); }}, "t");
  UseWindow(&restless);
  restless.Invalidate();
  EXPECT_FALSE(restless.RunPendingPaints(5));
  EXPECT_EQ(restless.PaintCount(), 5);
  UseWindow(nullptr);
}

TEST(LegacyTitle, Latin1BytesWithWhatLatin1CannotHoldLeftOut) {
  const std::pair<std::string, std::string> rows[] = {  // UTF-8, Latin-1
      {"sample.bmp / VANTOR ZEPHRIN SAMPLE vazesample", "sample.bmp / VANTOR ZEPHRIN SAMPLE vazesample"},
      {"sample.bmp / ヴァントルゼフリンサンプル vazesample", "sample.bmp / vazesample"},
      {"ヴァントルゼフリンサンプル VANTOR ZEPHRIN SAMPLE vazesample", "VANTOR ZEPHRIN SAMPLE vazesample"},
      {"caf\xC3\xA9 \xC2\xBD.bmp / x", "caf\xE9 \xBD.bmp / x"},  // é and ½ are Latin-1: one byte each
      {"写真.bmp / vazesample", ".bmp / vazesample"},
      {"\xF0\x9F\x8C\x84 / a", "/ a"},                 // four-byte characters too
      {"a\xFF\xC3 b\xE3\x82", "a b"},                   // bytes that are not UTF-8
      {"a\tb\x01" "c\xC2\x85" "d", "a bcd"},            // no control characters; a tab is a space
      {"ヴァントルゼフリンサンプル", "vazesample"},    // nothing left
      {"", "vazesample"},
  };
  for (const auto& [utf8, latin1] : rows) EXPECT_EQ(LegacyTitle(utf8), latin1) << utf8;
}

}  // namespace
