// The client area as a framebuffer, and the small painter that draws into it.
//
// Surface is the 1100 x 840 client area, 24 bits, top-down. Drawing follows
// the rules of the classic desktop graphics calls: a 1-pixel line excludes its end
// point; a frame or fill of (left, top, right, bottom) covers columns
// left..right-1 and rows top..bottom-1; text is placed by the top-left corner
// of its character cell. Pens, brushes and fonts are plain values made and
// dropped inside one drawing call; nothing needs releasing.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb White{255, 255, 255};
inline constexpr Rgb Black{0, 0, 0};

enum class PenStyle { Solid, Dot };

struct Pen {
  Rgb colour;
  int width = 1;  // widths above 1 draw with round ends, as a wide pen does
  PenStyle style = PenStyle::Solid;
};

// Copy draws the pen's colour; Invert inverts what is there (drawing the same
// thing twice restores the screen).
enum class RasterOp { Copy, Invert };

enum class TextBackground { Transparent, Opaque };

// A font of the panel face ("MS ゴシック", resolved through fontconfig), by
// cell height in pixels; bold as the panels ask.
struct Font {
  int height = 10;
  bool bold = true;
};

class Surface {
 public:
  static constexpr int Width = 1100;
  static constexpr int Height = 840;

  Surface();

  // Whole-area access, rows top-down, 3 bytes red, green, blue a pixel.
  const std::uint8_t* Data() const { return pixels_.data(); }
  std::uint8_t* Data() { return pixels_.data(); }
  Rgb Pixel(int x, int y) const;  // Black outside the area
  void SetPixel(int x, int y, Rgb colour, RasterOp op = RasterOp::Copy);

  void Clear(Rgb colour = White);

  // A line from (x1, y1) to (x2, y2); the end point itself is not drawn
  // (1-pixel pens), as consecutive LineTo calls expect.
  void Line(const Pen& pen, int x1, int y1, int x2, int y2, RasterOp op = RasterOp::Copy);
  // A polyline through the points (each segment excludes its end point).
  void Polyline(const Pen& pen, const std::vector<std::array<int, 2>>& points, RasterOp op = RasterOp::Copy);
  // The rectangle's outline with the pen (columns left..right-1, rows
  // top..bottom-1) and, when given, its inside filled with the brush.
  void Rectangle(const Pen& pen, std::optional<Rgb> brush, int left, int top, int right, int bottom,
                 RasterOp op = RasterOp::Copy);
  // Fills columns left..right-1, rows top..bottom-1.
  void FillRect(Rgb colour, int left, int top, int right, int bottom);
  // The ellipse inscribed in the bounding box, outlined with the pen and
  // filled with the brush when given.
  void Ellipse(const Pen& pen, std::optional<Rgb> brush, int left, int top, int right, int bottom,
               RasterOp op = RasterOp::Copy);

  // Text (UTF-8) with the top-left of its cell at (x, y). An opaque
  // background fills the text's cells with the background colour first.
  void Text(const Font& font, Rgb colour, TextBackground mode, Rgb background, int x, int y,
            std::string_view utf8);
  // Advance width of the text in pixels.
  static int TextWidth(const Font& font, std::string_view utf8);

  // Copies a bottom-up 24-bit bitmap (bytes blue, green, red, rows of
  // 3 * width bytes) with its top-left corner at (x, y), clipped to the area.
  void BlitBottomUp(const std::uint8_t* bgr, int width, int height, int x, int y);

 private:
  std::vector<std::uint8_t> pixels_;
};

// The client area of the program's one window.
Surface& Screen();
