// The small painter over the client-area framebuffer.
//
// [SECTION] Pixels and spans: the one place that writes pixels (copy or invert)
// [SECTION] Span sets: a primitive's pixels gathered per row and merged, so an
//           inverting primitive touches each pixel exactly once
// [SECTION] Line paths: the pixels of a line in closed form, clipped before
//           the loop so huge coordinates cost nothing
// [SECTION] Pens: 1-pixel lines (end excluded), dotted lines, wide strokes
// [SECTION] Rectangles and fills
// [SECTION] Ellipses
// [SECTION] Text
// [SECTION] Blit of a bottom-up bitmap
//
// Every primitive has the one shape: normalise and clip, return early when
// nothing is left, then a tight loop over rows.
#include "platform/surface.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "platform/text.h"

namespace {

// -----------------------------------------------------------------------------
// [SECTION] Pixels and spans
// -----------------------------------------------------------------------------

constexpr int W = Surface::Width;
constexpr int H = Surface::Height;

inline std::uint8_t* RowAt(std::uint8_t* pixels, int y) {
  return pixels + static_cast<std::size_t>(y) * W * 3;
}

// Writes columns x0..x1-1 of one row (already clipped).
void PaintSpan(std::uint8_t* row, int x0, int x1, Rgb colour, RasterOp op) {
  std::uint8_t* p = row + static_cast<std::size_t>(x0) * 3;
  std::uint8_t* const end = row + static_cast<std::size_t>(x1) * 3;
  if (op == RasterOp::Invert) {
    for (; p < end; ++p) *p = static_cast<std::uint8_t>(~*p);
    return;
  }
  for (; p < end; p += 3) {
    p[0] = colour.r;
    p[1] = colour.g;
    p[2] = colour.b;
  }
}

// -----------------------------------------------------------------------------
// [SECTION] Span sets
// -----------------------------------------------------------------------------

struct Span {
  int y, x0, x1;  // columns x0..x1-1
};

class SpanSet {
 public:
  // Adds columns x0..x1 inclusive of row y, clipped to the surface.
  void AddInclusive(int y, long long x0, long long x1) {
    if (y < 0 || y >= H) return;
    const long long a = std::max<long long>(x0, 0);
    const long long b = std::min<long long>(x1, W - 1);
    if (a > b) return;
    spans_.push_back({y, static_cast<int>(a), static_cast<int>(b) + 1});
  }
  void Absorb(SpanSet& other) {
    spans_.insert(spans_.end(), other.spans_.begin(), other.spans_.end());
    other.spans_.clear();
  }
  void AddPoint(long long x, long long y) {
    if (y < 0 || y >= H) return;
    AddInclusive(static_cast<int>(y), x, x);
  }

  // Paints the union of the spans: overlapping spans are merged first, so an
  // inverting primitive touches every pixel once.
  void Apply(std::uint8_t* pixels, Rgb colour, RasterOp op) {
    if (spans_.empty()) return;
    std::sort(spans_.begin(), spans_.end(),
              [](const Span& a, const Span& b) { return a.y != b.y ? a.y < b.y : a.x0 < b.x0; });
    Span run = spans_.front();
    for (std::size_t i = 1; i < spans_.size(); ++i) {
      const Span& s = spans_[i];
      if (s.y == run.y && s.x0 <= run.x1) {
        run.x1 = std::max(run.x1, s.x1);
        continue;
      }
      PaintSpan(RowAt(pixels, run.y), run.x0, run.x1, colour, op);
      run = s;
    }
    PaintSpan(RowAt(pixels, run.y), run.x0, run.x1, colour, op);
    spans_.clear();
  }

 private:
  std::vector<Span> spans_;
};

// -----------------------------------------------------------------------------
// [SECTION] Line paths
// -----------------------------------------------------------------------------

// The pixels of the path from (x1, y1) to (x2, y2): step i (0..n, n the
// longer of |dx| and |dy|) moves one pixel along the major axis and the
// rounded share along the minor one. Only steps whose major coordinate lies
// in [lo, hi] of that axis are visited (the caller's clip box widened by its
// pen), so a line with coordinates far outside costs at most one pass over
// the box. visit(i, x, y) gets the step index for dot patterns.
// Products of coordinates up to 2^32 apart need more than 64 bits.
__extension__ typedef __int128 WideInt;

struct ClipBox {
  long long minX, minY, maxX, maxY;
};

template <typename Visit>
void WalkLine(long long x1, long long y1, long long x2, long long y2, bool includeEnd, const ClipBox& box,
              Visit&& visit) {
  const long long dx = x2 - x1;
  const long long dy = y2 - y1;
  const long long adx = dx < 0 ? -dx : dx;
  const long long ady = dy < 0 ? -dy : dy;
  const long long sx = dx < 0 ? -1 : 1;
  const long long sy = dy < 0 ? -1 : 1;
  const bool xMajor = adx >= ady;
  const long long n = xMajor ? adx : ady;
  const long long last = includeEnd ? n : n - 1;
  if (last < 0) return;

  // Range of steps whose major coordinate is inside the box.
  const long long start = xMajor ? x1 : y1;
  const long long dir = xMajor ? sx : sy;
  const long long lo = xMajor ? box.minX : box.minY;
  const long long hi = xMajor ? box.maxX : box.maxY;
  long long i0 = dir > 0 ? lo - start : start - hi;
  long long i1 = dir > 0 ? hi - start : start - lo;
  i0 = std::max<long long>(i0, 0);
  i1 = std::min<long long>(i1, last);
  const long long minor = xMajor ? ady : adx;
  for (long long i = i0; i <= i1; ++i) {
    // Round half up: (2 i minor + n) / (2 n), n > 0 whenever i > 0.
    const long long share =
        n == 0 ? 0 : static_cast<long long>((2 * static_cast<WideInt>(i) * minor + n) / (2 * static_cast<WideInt>(n)));
    const long long x = xMajor ? x1 + sx * i : x1 + sx * share;
    const long long y = xMajor ? y1 + sy * share : y1 + sy * i;
    if (x < box.minX || x > box.maxX || y < box.minY || y > box.maxY) continue;
    visit(i, x, y);
  }
}

// -----------------------------------------------------------------------------
// [SECTION] Pens
// -----------------------------------------------------------------------------

// The disc a wide pen stamps: for each of its rows (dy from `top`), the
// columns lo..hi relative to the path pixel. A disc of diameter w covers the
// pixel centres within w / 2 of the disc's centre, which for an even w sits
// on the corner up-left of the path pixel's centre.
struct Disc {
  int top = 0;
  std::vector<std::array<int, 2>> rows;
};

Disc MakeDisc(int width) {
  Disc disc;
  const int w = std::max(width, 1);
  const int lowest = -(w / 2);   // first offset
  const int highest = lowest + w - 1;
  const double centre = (w % 2 == 0) ? -0.5 : 0.0;
  const double r2 = (w / 2.0) * (w / 2.0);
  disc.top = lowest;
  for (int dy = lowest; dy <= highest; ++dy) {
    const double ry = dy - centre;
    int lo = 1, hi = 0;
    for (int dx = lowest; dx <= highest; ++dx) {
      const double rx = dx - centre;
      if (rx * rx + ry * ry <= r2 + 1e-9) {
        if (lo > hi) lo = dx;
        hi = dx;
      }
    }
    disc.rows.push_back({lo, hi});
  }
  return disc;
}

void StampDisc(SpanSet& spans, const Disc& disc, long long x, long long y) {
  for (std::size_t k = 0; k < disc.rows.size(); ++k) {
    const auto& row = disc.rows[k];
    if (row[0] > row[1]) continue;
    const long long yy = y + disc.top + static_cast<long long>(k);
    if (yy < 0 || yy >= H) continue;
    spans.AddInclusive(static_cast<int>(yy), x + row[0], x + row[1]);
  }
}

const ClipBox ScreenBox{0, 0, W - 1, H - 1};

ClipBox WidenedBox(int penWidth) {
  const long long m = penWidth;
  return {-m, -m, W - 1 + m, H - 1 + m};
}

// A 1-pixel or wide pen's path into a span set. `phase` carries the dot
// pattern across the segments of one figure.
void StrokeSegment(SpanSet& spans, const Pen& pen, long long x1, long long y1, long long x2, long long y2,
                   long long& phase) {
  const long long n = std::max(x2 > x1 ? x2 - x1 : x1 - x2, y2 > y1 ? y2 - y1 : y1 - y2);
  if (pen.width > 1) {
    const Disc disc = MakeDisc(pen.width);
    WalkLine(x1, y1, x2, y2, true, WidenedBox(pen.width),
             [&](long long, long long x, long long y) { StampDisc(spans, disc, x, y); });
  } else {
    const bool dotted = pen.style == PenStyle::Dot;
    const long long base = phase;
    WalkLine(x1, y1, x2, y2, false, ScreenBox, [&](long long i, long long x, long long y) {
      if (!dotted || ((base + i) & 1) == 0) spans.AddPoint(x, y);
    });
  }
  phase += n;
}

}  // namespace

// -----------------------------------------------------------------------------
// Surface basics
// -----------------------------------------------------------------------------

Surface::Surface() : pixels_(static_cast<std::size_t>(Width) * Height * 3, 255) {}

Rgb Surface::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width || y >= Height) return Black;
  const std::uint8_t* p = pixels_.data() + (static_cast<std::size_t>(y) * Width + x) * 3;
  return {p[0], p[1], p[2]};
}

void Surface::SetPixel(int x, int y, Rgb colour, RasterOp op) {
  if (x < 0 || y < 0 || x >= Width || y >= Height) return;
  PaintSpan(RowAt(pixels_.data(), y), x, x + 1, colour, op);
}

void Surface::Clear(Rgb colour) { FillRect(colour, 0, 0, Width, Height); }

// -----------------------------------------------------------------------------
// [SECTION] Pens (lines and polylines)
// -----------------------------------------------------------------------------

void Surface::Line(const Pen& pen, int x1, int y1, int x2, int y2, RasterOp op) {
  if (pen.width <= 1) {
    // A 1-pixel path visits every pixel once, so it is painted directly.
    const bool dotted = pen.style == PenStyle::Dot;
    std::uint8_t* pixels = pixels_.data();
    WalkLine(x1, y1, x2, y2, false, ScreenBox, [&](long long i, long long x, long long y) {
      if (!dotted || (i & 1) == 0)
        PaintSpan(RowAt(pixels, static_cast<int>(y)), static_cast<int>(x), static_cast<int>(x) + 1, pen.colour, op);
    });
    return;
  }
  SpanSet spans;
  long long phase = 0;
  StrokeSegment(spans, pen, x1, y1, x2, y2, phase);
  spans.Apply(pixels_.data(), pen.colour, op);
}

void Surface::Polyline(const Pen& pen, const std::vector<std::array<int, 2>>& points, RasterOp op) {
  if (points.size() < 2) return;
  SpanSet spans;
  long long phase = 0;
  for (std::size_t k = 1; k < points.size(); ++k)
    StrokeSegment(spans, pen, points[k - 1][0], points[k - 1][1], points[k][0], points[k][1], phase);
  spans.Apply(pixels_.data(), pen.colour, op);
}

// -----------------------------------------------------------------------------
// [SECTION] Rectangles and fills
// -----------------------------------------------------------------------------

void Surface::FillRect(Rgb colour, int left, int top, int right, int bottom) {
  const int x0 = std::max(left, 0);
  const int x1 = std::min(right, Width);
  const int y0 = std::max(top, 0);
  const int y1 = std::min(bottom, Height);
  if (x0 >= x1 || y0 >= y1) return;
  // The first row is painted pixel by pixel, the others are copies of it.
  std::uint8_t* first = RowAt(pixels_.data(), y0);
  PaintSpan(first, x0, x1, colour, RasterOp::Copy);
  const std::size_t offset = static_cast<std::size_t>(x0) * 3;
  const std::size_t bytes = static_cast<std::size_t>(x1 - x0) * 3;
  for (int y = y0 + 1; y < y1; ++y) std::memcpy(RowAt(pixels_.data(), y) + offset, first + offset, bytes);
}

void Surface::Rectangle(const Pen& pen, std::optional<Rgb> brush, int left, int top, int right, int bottom,
                        RasterOp op) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (static_cast<long long>(right) - left < 1 || static_cast<long long>(bottom) - top < 1) return;
  if (right <= -pen.width || left >= Width + pen.width || bottom <= -pen.width || top >= Height + pen.width) return;

  SpanSet spans;
  // Inside: columns left+1..right-2, rows top+1..bottom-2.
  if (brush) {
    const int y0 = std::max(top + 1, 0);
    const int y1 = std::min(bottom - 2, Height - 1);
    if (op == RasterOp::Copy) {
      FillRect(*brush, left + 1, top + 1, right - 1, bottom - 1);
    } else {
      for (int y = y0; y <= y1; ++y) spans.AddInclusive(y, left + 1, right - 2);
    }
  }
  const int r = right - 1;
  const int b = bottom - 1;
  if (pen.width <= 1 && pen.style == PenStyle::Solid) {
    // The frame's rows and columns directly, clipped per row.
    spans.AddInclusive(top, left, r);
    if (b != top) spans.AddInclusive(b, left, r);
    const int y0 = std::max(top + 1, 0);
    const int y1 = std::min(b - 1, Height - 1);
    for (int y = y0; y <= y1; ++y) {
      spans.AddInclusive(y, left, left);
      spans.AddInclusive(y, r, r);
    }
  } else {
    // The closed path through the four corner pixels.
    long long phase = 0;
    StrokeSegment(spans, pen, left, top, r, top, phase);
    StrokeSegment(spans, pen, r, top, r, b, phase);
    StrokeSegment(spans, pen, r, b, left, b, phase);
    StrokeSegment(spans, pen, left, b, left, top, phase);
    if (pen.width <= 1 && left == r && top == b) spans.AddPoint(left, top);
  }
  spans.Apply(pixels_.data(), pen.colour, op);
}

// -----------------------------------------------------------------------------
// [SECTION] Ellipses
// -----------------------------------------------------------------------------

// The ellipse covers the pixels whose centres lie inside the ellipse
// inscribed in the pixel area [left, right) x [top, bottom). Worked in doubled
// integer coordinates about the box centre, so the shape is exactly
// symmetric: X = 2x + 1 - (left + right), Y likewise, and a pixel is inside
// when X^2 H^2 + Y^2 W^2 <= W^2 H^2 with W, H the box's width and height.
void Surface::Ellipse(const Pen& pen, std::optional<Rgb> brush, int left, int top, int right, int bottom,
                      RasterOp op) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  const long long w = static_cast<long long>(right) - left;
  const long long h = static_cast<long long>(bottom) - top;
  if (w < 1 || h < 1) return;
  const int reach = pen.width > 1 ? pen.width : 0;
  if (right + reach <= 0 || left - reach >= Width || bottom + reach <= 0 || top - reach >= Height) return;
  // Boxes up to 32768 pixels a side keep the arithmetic below inside 64
  // bits (W^2 H^2 < 2^62); nothing on screen needs larger ones.
  if (w > 1 << 15 || h > 1 << 15) return;

  // Span of row y of the region, as [xl, xr] (empty when xl > xr).
  const long long sumX = static_cast<long long>(left) + right;
  const long long sumY = static_cast<long long>(top) + bottom;
  auto rowSpan = [&](long long y, long long& xl, long long& xr) {
    xl = 1;
    xr = 0;
    if (y < top || y >= bottom) return;
    const long long yy = 2 * y + 1 - sumY;
    const long long room = static_cast<long long>(w * w) * (h * h) - static_cast<long long>(yy * yy) * (w * w);
    if (room < 0) return;
    // Largest X >= 0 with X^2 h^2 <= room (then of the parity of 1 - sumX).
    const long long h2 = static_cast<long long>(h) * h;
    long long x = static_cast<long long>(std::sqrt(static_cast<double>(room) / static_cast<double>(h2)));
    x = std::min(x, w);
    while (x > 0 && static_cast<long long>(x) * x * h2 > room) --x;
    while (x < w && static_cast<long long>(x + 1) * (x + 1) * h2 <= room) ++x;
    const long long parity = ((1 - sumX) % 2 + 2) % 2;
    if (((x % 2) + 2) % 2 != parity) --x;
    if (x < 0) return;
    xl = (sumX - 1 - x) / 2;
    xr = (sumX - 1 + x) / 2;
  };

  const long long firstRow = std::max<long long>(top, -reach);
  const long long lastRow = std::min<long long>(bottom - 1, Height - 1 + reach);
  SpanSet fill, outline;
  const Disc disc = MakeDisc(pen.width);
  long long pl, pr, cl, cr, nl, nr;
  rowSpan(firstRow - 1, pl, pr);
  rowSpan(firstRow, cl, cr);
  for (long long y = firstRow; y <= lastRow; ++y) {
    rowSpan(y + 1, nl, nr);
    if (cl <= cr) {
      // Interior: a 4-neighbour on every side is inside too.
      long long il = cl + 1, ir = cr - 1;
      if (pl > pr || nl > nr) {
        il = 1;
        ir = 0;
      } else {
        il = std::max({il, pl, nl});
        ir = std::min({ir, pr, nr});
      }
      auto addOutline = [&](long long a, long long b) {
        if (a > b) return;
        if (pen.width <= 1) {
          if (y >= 0 && y < Height) outline.AddInclusive(static_cast<int>(y), a, b);
          return;
        }
        for (long long x = std::max(a, -static_cast<long long>(reach));
             x <= std::min(b, static_cast<long long>(Width - 1 + reach)); ++x)
          StampDisc(outline, disc, x, y);
      };
      if (il <= ir) {
        if (brush && y >= 0 && y < Height) fill.AddInclusive(static_cast<int>(y), il, ir);
        addOutline(cl, il - 1);
        addOutline(ir + 1, cr);
      } else {
        addOutline(cl, cr);
      }
    }
    pl = cl;
    pr = cr;
    cl = nl;
    cr = nr;
  }
  if (op == RasterOp::Copy) {
    if (brush) fill.Apply(pixels_.data(), *brush, op);
    outline.Apply(pixels_.data(), pen.colour, op);
    return;
  }
  // Inverting: fill and outline form one set, so a pixel that a wide pen
  // reaches inside the fill is still inverted only once.
  outline.Absorb(fill);
  outline.Apply(pixels_.data(), pen.colour, op);
}

// -----------------------------------------------------------------------------
// [SECTION] Text
// -----------------------------------------------------------------------------

int Surface::TextWidth(const Font& font, std::string_view utf8) { return PanelTextWidth(font.height, utf8); }

void Surface::Text(const Font& font, Rgb colour, TextBackground mode, Rgb background, int x, int y,
                   std::string_view utf8) {
  if (font.height <= 0 || utf8.empty()) return;
  const int width = TextWidth(font, utf8);
  if (mode == TextBackground::Opaque) FillRect(background, x, y, x + width, y + font.height);
  // Ink is kept inside the text's box: the cells' rows, from x to its end.
  const int boxX0 = std::max(x, 0);
  const int boxX1 = std::min(x + width, Width);
  const int boxY0 = std::max(y, 0);
  const int boxY1 = std::min(y + font.height, Height);
  if (boxX0 >= boxX1 || boxY0 >= boxY1) return;

  int penX = x;
  std::size_t pos = 0;
  while (pos < utf8.size() && penX < boxX1) {
    const char32_t cp = NextCodePoint(utf8, pos);
    const PanelGlyph& glyph = GlyphFor(font.height, font.bold, cp);
    const int gx = penX + glyph.left;
    const int gy = y + glyph.top;
    const int r0 = std::max(0, boxY0 - gy);
    const int r1 = std::min(glyph.rows, boxY1 - gy);
    const int c0 = std::max(0, boxX0 - gx);
    const int c1 = std::min(glyph.width, boxX1 - gx);
    for (int r = r0; r < r1; ++r) {
      const std::uint8_t* ink = glyph.ink.data() + static_cast<std::size_t>(r) * glyph.width;
      std::uint8_t* row = RowAt(pixels_.data(), gy + r);
      for (int c = c0; c < c1; ++c) {
        const unsigned cover = ink[c];
        if (cover == 0) continue;
        std::uint8_t* p = row + static_cast<std::size_t>(gx + c) * 3;
        // Coverage blends the text colour over what is there, rounded.
        const auto blend = [cover](unsigned under, unsigned over) {
          return static_cast<std::uint8_t>((under * (255 - cover) + over * cover + 127) / 255);
        };
        p[0] = blend(p[0], colour.r);
        p[1] = blend(p[1], colour.g);
        p[2] = blend(p[2], colour.b);
      }
    }
    penX += glyph.advance;
  }
}

// -----------------------------------------------------------------------------
// [SECTION] Blit of a bottom-up bitmap
// -----------------------------------------------------------------------------

namespace {
// Blue, green, red into red, green, blue; the two rows never overlap, which
// lets the compiler do many pixels at once.
void SwapRedBlue(std::uint8_t* __restrict dst, const std::uint8_t* __restrict src, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    dst[3 * i] = src[3 * i + 2];
    dst[3 * i + 1] = src[3 * i + 1];
    dst[3 * i + 2] = src[3 * i];
  }
}
}  // namespace

void Surface::BlitBottomUp(const std::uint8_t* bgr, int width, int height, int x, int y) {
  if (bgr == nullptr || width <= 0 || height <= 0) return;
  const long long x0 = std::max<long long>(x, 0);
  const long long x1 = std::min<long long>(static_cast<long long>(x) + width, Width);
  const long long y0 = std::max<long long>(y, 0);
  const long long y1 = std::min<long long>(static_cast<long long>(y) + height, Height);
  if (x0 >= x1 || y0 >= y1) return;
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
  const int count = static_cast<int>(x1 - x0);
  for (long long sy = y0; sy < y1; ++sy) {
    // Screen row sy shows bitmap row (sy - y) from the top, which is stored
    // (height - 1 - (sy - y)) rows from the start.
    const long long fromTop = sy - y;
    const std::uint8_t* src =
        bgr + static_cast<std::size_t>(height - 1 - fromTop) * rowBytes + static_cast<std::size_t>(x0 - x) * 3;
    std::uint8_t* dst = RowAt(pixels_.data(), static_cast<int>(sy)) + static_cast<std::size_t>(x0) * 3;
    SwapRedBlue(dst, src, static_cast<std::size_t>(count));
  }
}

Surface& Screen() {
  static Surface screen;
  return screen;
}
