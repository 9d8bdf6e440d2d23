// The sample scene.
//
// [SECTION] Colours, hashing and noise
// [SECTION] The scene's objects, placed once by a fixed-seed generator
// [SECTION] Shading one point: sky, hills, fields, lake, road, houses, trees, marks
// [SECTION] Fog, colour cast and grain
//
// The scene is laid out in scene units of a 960 x 672 picture (X right, Y
// down, horizon at Y = 300) and every pixel is shaded on its own from the
// point at its centre, so any picture size gives the same scene. Everything
// random comes from a fixed seed; nothing depends on time or on the order in
// which pixels are visited.

#include "image/sample_scene.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// [SECTION] Colours, hashing and noise

struct Colour {
  double r = 0, g = 0, b = 0;
};

Colour Mix(const Colour& a, const Colour& b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Colour Scale(const Colour& a, double f) { return {a.r * f, a.g * f, a.b * f}; }

double Clamp01(double t) { return std::clamp(t, 0.0, 1.0); }
double SmoothStep(double t) { return t * t * (3.0 - 2.0 * t); }

std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8DA6B343u ^ static_cast<std::uint32_t>(y) * 0xD8163841u ^
                    seed * 0xCB1AB31Fu;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}
double Hash01(std::int32_t x, std::int32_t y, std::uint32_t seed) { return (Hash(x, y, seed) >> 8) * (1.0 / 16777216.0); }

// Smooth value noise in 0..1 with unit cells.
double Noise(double x, double y, std::uint32_t seed) {
  const double fx = std::floor(x);
  const double fy = std::floor(y);
  const auto ix = static_cast<std::int32_t>(fx);
  const auto iy = static_cast<std::int32_t>(fy);
  const double tx = SmoothStep(x - fx);
  const double ty = SmoothStep(y - fy);
  const double top = Hash01(ix, iy, seed) + (Hash01(ix + 1, iy, seed) - Hash01(ix, iy, seed)) * tx;
  const double bottom = Hash01(ix, iy + 1, seed) + (Hash01(ix + 1, iy + 1, seed) - Hash01(ix, iy + 1, seed)) * tx;
  return top + (bottom - top) * ty;
}

// Three octaves of noise, in 0..1.
double Texture(double x, double y, std::uint32_t seed) {
  return (Noise(x, y, seed) * 4.0 + Noise(x * 2.1, y * 2.1, seed + 1) * 2.0 + Noise(x * 4.3, y * 4.3, seed + 2)) / 7.0;
}

// A small generator with a fixed seed, for placing the objects.
struct SplitMix {
  std::uint64_t state;
  std::uint64_t Next() {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double Uniform(double low, double high) { return low + (high - low) * static_cast<double>(Next() >> 11) * 0x1.0p-53; }
};

// [SECTION] The scene's objects

constexpr double Horizon = 300.0;
constexpr double SceneWidth = 960.0;
constexpr double SceneHeight = 672.0;
constexpr double VanishingX = 600.0;

// Distance of a point of the ground from the viewer, 0 (bottom edge) to
// about 0.75 (the horizon); the sky and far hills lie beyond.
double GroundDepth(double y) {
  const double t = Clamp01((y - Horizon) / (SceneHeight - Horizon));
  return 0.75 * std::pow(1.0 - t, 1.6);
}

// Road edges at a given row: a straight road narrowing to the vanishing point.
double RoadLeft(double y) { return VanishingX - (y - Horizon) / (SceneHeight - Horizon) * 150.0; }
double RoadRight(double y) { return VanishingX + (y - Horizon) / (SceneHeight - Horizon) * 250.0; }

struct House {
  double left, base, width, height, roof;
  Colour wall, roofColour;
};
struct Tree {
  double x, base, trunkHeight, radius;
  std::uint32_t seed;
};
struct Pole {
  double x, base, height;
};

struct Scene {
  std::vector<House> houses;
  std::vector<Tree> trees;
  std::vector<Pole> poles;
  std::array<std::uint32_t, 4> signLines{};
};

Scene PlaceObjects() {
  SplitMix random{0x5A3D1E9Bull};
  Scene scene;
  // Houses along the left of the road, smaller with distance.
  constexpr std::array<double, 6> houseBases = {318.0, 332.0, 350.0, 378.0, 420.0, 486.0};
  constexpr std::array<Colour, 4> walls = {{{200, 190, 170}, {230, 225, 210}, {170, 120, 90}, {210, 200, 150}}};
  constexpr std::array<Colour, 3> roofs = {{{130, 40, 35}, {60, 60, 70}, {150, 80, 40}}};
  for (std::size_t i = 0; i < houseBases.size(); ++i) {
    const double base = houseBases[i];
    const double size = 8.0 + (base - Horizon) * 0.55;
    House house;
    house.base = base;
    house.width = size * random.Uniform(1.3, 1.9);
    house.height = size * random.Uniform(0.8, 1.1);
    house.roof = size * random.Uniform(0.45, 0.7);
    house.left = RoadLeft(base) - house.width - size * random.Uniform(0.4, 1.5) - 30.0 * static_cast<double>(i % 2);
    house.wall = walls[random.Next() % walls.size()];
    house.roofColour = roofs[random.Next() % roofs.size()];
    scene.houses.push_back(house);
  }
  // Trees scattered over the fields, avoiding the road and the lake.
  while (scene.trees.size() < 16) {
    const double base = random.Uniform(306.0, 640.0);
    const double x = random.Uniform(-20.0, 980.0);
    if (x > RoadLeft(base) - 20.0 && x < RoadRight(base) + 20.0) continue;
    if (base < 392.0 && x > 20.0 && x < 460.0) continue;  // the lake
    if (base < 500.0 && x > RoadLeft(base) - 150.0 && x < RoadLeft(base)) continue;  // the houses
    const double size = 4.0 + (base - Horizon) * 0.2;
    scene.trees.push_back({x, base, size * random.Uniform(0.6, 1.0), size * random.Uniform(0.7, 1.1),
                           static_cast<std::uint32_t>(random.Next())});
  }
  // Far trees are drawn first so that near ones cover them.
  std::sort(scene.trees.begin(), scene.trees.end(), [](const Tree& a, const Tree& b) { return a.base < b.base; });
  // Power poles along the right of the road.
  for (int i = 0; i < 6; ++i) {
    const double t = std::pow(0.62, i);  // each pole nearer the horizon than the last
    const double base = Horizon + (SceneHeight - Horizon) * t * 0.95;
    scene.poles.push_back({RoadRight(base) + 18.0 * t + 4.0, base, 6.0 + 230.0 * t});
  }
  for (std::uint32_t& line : scene.signLines) line = static_cast<std::uint32_t>(random.Next());
  return scene;
}

// [SECTION] Shading one point

struct Shaded {
  Colour colour;
  double depth = 1.0;
};

// True when the point lies within half a line width of the segment a-b.
bool OnSegment(double x, double y, double ax, double ay, double bx, double by, double halfWidth) {
  const double dx = bx - ax, dy = by - ay;
  const double length2 = dx * dx + dy * dy;
  const double t = length2 > 0 ? Clamp01(((x - ax) * dx + (y - ay) * dy) / length2) : 0.0;
  const double ex = ax + t * dx - x, ey = ay + t * dy - y;
  return ex * ex + ey * ey <= halfWidth * halfWidth;
}

void ShadeSky(double x, double y, Shaded& out) {
  const double t = Clamp01(y / Horizon);
  out.colour = Mix(Colour{60, 100, 185}, Colour{205, 215, 228}, std::pow(t, 0.8));
  // Clouds: stretched noise bands, thicker towards the horizon.
  const double cloud = Texture(x / 90.0, y / 22.0, 11);
  out.colour = Mix(out.colour, Colour{245, 245, 250}, Clamp01((cloud - 0.52) * 3.0) * 0.8);
  // The sun behind the veil, with a glow.
  const double sx = x - 720.0, sy = y - 110.0;
  const double distance = std::sqrt(sx * sx + sy * sy);
  if (distance < 26.0) {
    out.colour = Colour{255, 246, 215};
  } else {
    out.colour = Mix(out.colour, Colour{255, 236, 190}, 0.55 * std::exp(-(distance - 26.0) / 45.0));
  }
  out.depth = 1.0;
  // A few birds: small thin V marks.
  constexpr std::array<std::array<double, 2>, 5> birds = {{{300, 90}, {318, 84}, {331, 97}, {520, 150}, {160, 60}}};
  for (const auto& bird : birds) {
    const double span = 5.0;
    if (OnSegment(x, y, bird[0] - span, bird[1] - 2.5, bird[0], bird[1], 0.6) ||
        OnSegment(x, y, bird[0], bird[1], bird[0] + span, bird[1] - 2.5, 0.6)) {
      out.colour = Colour{50, 50, 60};
      out.depth = 0.85;
    }
  }
}

double FarRidge(double x) {
  return Horizon - 58.0 - 26.0 * std::sin(x * 0.011 + 0.4) - 14.0 * std::sin(x * 0.029 + 1.3) -
         6.0 * std::sin(x * 0.083 + 2.1);
}
double NearRidge(double x) {
  return Horizon - 22.0 - 16.0 * std::sin(x * 0.007 + 2.2) - 7.0 * std::sin(x * 0.021 + 0.3) -
         3.0 * Noise(x / 6.0, 0.0, 21);
}

void ShadeHills(double x, double y, Shaded& out) {
  const double far = FarRidge(x);
  if (y >= far) {
    const double height = (y - far) / (Horizon - far + 1.0);
    out.colour = Mix(Colour{115, 120, 150}, Colour{80, 95, 120}, Clamp01(height));
    // Snow on the peaks, thicker the higher the peak.
    if (y < far + (Horizon - 78.0 - far) * 0.7) out.colour = Colour{225, 228, 238};
    out.colour = Scale(out.colour, 0.85 + 0.3 * Texture(x / 14.0, y / 9.0, 31));
    out.depth = 0.92;
  }
  const double near = NearRidge(x);
  if (y >= near) {
    out.colour = Scale(Colour{55, 95, 55}, 0.7 + 0.6 * Texture(x / 4.0, y / 3.0, 41));
    out.depth = 0.8;
  }
}

void ShadeGround(double x, double y, Shaded& out) {
  const double distance = y - Horizon + 6.0;
  out.depth = GroundDepth(y);
  // Fields: a patchwork in perspective; crop rows run towards the vanishing point.
  const double across = (x - VanishingX) / distance;  // constant along lines through the vanishing point
  const double along = 900.0 / distance;               // constant along rows
  const auto patchX = static_cast<std::int32_t>(std::floor(across * 1.5));
  const auto patchY = static_cast<std::int32_t>(std::floor(along / 6.0));
  constexpr std::array<Colour, 4> fields = {{{90, 140, 60}, {140, 150, 70}, {110, 120, 50}, {160, 130, 80}}};
  Colour colour = fields[Hash(patchX, patchY, 51) % fields.size()];
  const double rows = 0.5 + 0.5 * std::sin(across * 40.0);
  colour = Scale(colour, 0.85 + 0.15 * rows);
  colour = Scale(colour, 0.8 + 0.4 * Texture(x / 7.0, y / 3.0, 61));
  out.colour = colour;

  // The lake, reflecting the sky, with thin ripple lines.
  const double lx = (x - 240.0) / 200.0, ly = (y - 352.0) / 30.0;
  if (lx * lx + ly * ly < 1.0 + 0.15 * (Noise(x / 20.0, y / 5.0, 71) - 0.5)) {
    Colour water = Mix(Colour{150, 170, 200}, Colour{60, 85, 130}, Clamp01((y - 322.0) / 60.0));
    if (Noise(x / 25.0, y * 0.9, 81) > 0.72) water = Mix(water, Colour{230, 235, 245}, 0.6);
    out.colour = water;
  }

  // The road with white edge lines and a dashed centre line.
  const double left = RoadLeft(y), right = RoadRight(y);
  if (x >= left && x <= right) {
    Colour road = Scale(Colour{95, 95, 100}, 0.85 + 0.3 * Hash01(static_cast<std::int32_t>(x * 2.0),
                                                                 static_cast<std::int32_t>(y * 2.0), 91));
    const double lineWidth = 0.6 + (y - Horizon) * 0.02;
    const double middle = (left + right) / 2.0;
    if (x - left < lineWidth || right - x < lineWidth) road = Colour{225, 225, 220};
    if (std::fabs(x - middle) < lineWidth && std::fmod(along, 3.0) < 1.4) road = Colour{235, 220, 120};
    out.colour = road;
  }
}

void ShadeHouse(const House& house, double x, double y, Shaded& out) {
  const double right = house.left + house.width;
  const double top = house.base - house.height;
  const double centre = house.left + house.width / 2.0;
  const double overhang = house.width * 0.08;
  // The roof: a triangle over the walls with a little overhang.
  if (y < top && y >= top - house.roof) {
    const double half = (house.width / 2.0 + overhang) * (y - (top - house.roof)) / house.roof;
    if (std::fabs(x - centre) <= half) {
      const double tiles = 0.85 + 0.15 * std::sin(y * 2.2);
      out.colour = Scale(house.roofColour, x < centre ? tiles : tiles * 0.75);
      out.depth = GroundDepth(house.base);
    }
    return;
  }
  if (x < house.left || x > right || y < top || y > house.base) return;
  Colour wall = Scale(house.wall, 0.9 + 0.1 * Hash01(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), 101));
  // Windows: a row of small lit panes with a dark frame; a door on the right.
  const double u = (x - house.left) / house.width, v = (y - top) / house.height;
  const double pane = std::fmod(u * 4.0, 1.0);
  if (v > 0.2 && v < 0.5 && pane > 0.25 && pane < 0.75 && u < 0.75) {
    wall = (pane < 0.3 || pane > 0.7 || v < 0.24 || v > 0.46) ? Colour{40, 35, 30} : Colour{240, 210, 120};
  }
  if (u > 0.78 && u < 0.93 && v > 0.45) wall = Colour{90, 55, 35};
  out.colour = wall;
  out.depth = GroundDepth(house.base);
}

void ShadeTree(const Tree& tree, double x, double y, Shaded& out) {
  const double trunkTop = tree.base - tree.trunkHeight;
  const double trunkHalf = std::max(0.6, tree.radius * 0.12);
  if (std::fabs(x - tree.x) < trunkHalf && y <= tree.base && y >= trunkTop) {
    out.colour = Colour{80, 55, 35};
    out.depth = GroundDepth(tree.base);
  }
  const double cy = trunkTop - tree.radius * 0.8;
  const double dx = (x - tree.x) / tree.radius, dy = (y - cy) / tree.radius;
  if (dx * dx + dy * dy >= 1.125) return;  // beyond the most ragged edge
  const double ragged = 1.0 + 0.25 * (Noise(x / 2.0, y / 2.0, tree.seed) - 0.5);
  if (dx * dx + dy * dy < ragged) {
    const double light = 0.75 + 0.35 * Clamp01(0.5 - 0.5 * (dx + dy));  // lit from the upper left
    const double leaves = 0.7 + 0.6 * Hash01(static_cast<std::int32_t>(x * 1.5), static_cast<std::int32_t>(y * 1.5),
                                             tree.seed);
    out.colour = Scale(Colour{50, 105, 45}, light * leaves);
    out.depth = GroundDepth(tree.base);
  }
}

void ShadePolesAndWires(const Scene& scene, double x, double y, Shaded& out) {
  for (std::size_t i = 0; i < scene.poles.size(); ++i) {
    const Pole& pole = scene.poles[i];
    const double half = std::max(0.5, pole.height * 0.012);
    if (std::fabs(x - pole.x) < half && y <= pole.base && y >= pole.base - pole.height) {
      out.colour = Colour{70, 60, 50};
      out.depth = GroundDepth(pole.base);
    }
    if (i + 1 == scene.poles.size()) break;
    // A sagging wire to the next pole: thin, one scene unit wide.
    const Pole& next = scene.poles[i + 1];
    const double x0 = next.x, x1 = pole.x;
    if (x < x0 || x > x1) continue;
    const double t = (x - x0) / (x1 - x0);
    const double y0 = next.base - next.height, y1 = pole.base - pole.height;
    const double wire = y0 + (y1 - y0) * t + 4.0 * (x1 - x0) / 100.0 * t * (1.0 - t) * 4.0;
    if (std::fabs(y - wire) < 0.55) {
      out.colour = Colour{40, 40, 45};
      out.depth = GroundDepth(next.base);
    }
  }
}

// A fence in the left foreground and a sign with lines of small text-like marks.
void ShadeForeground(const Scene& scene, double x, double y, Shaded& out) {
  if (x < 380.0 && y > 596.0 && y < 650.0) {
    const double post = std::fmod(x, 34.0);
    const bool rail = std::fabs(y - 610.0) < 1.0 || std::fabs(y - 628.0) < 1.0;
    if (post < 3.0 || (rail && y < 650.0)) {
      out.colour = Scale(Colour{150, 120, 85}, 0.8 + 0.3 * Hash01(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), 111));
      out.depth = GroundDepth(650.0);
    }
  }
  // Sign: a board on two posts.
  constexpr double boardLeft = 858.0, boardRight = 940.0, boardTop = 520.0, boardBottom = 566.0;
  if ((std::fabs(x - 868.0) < 1.5 || std::fabs(x - 930.0) < 1.5) && y >= boardBottom && y <= 612.0) {
    out.colour = Colour{90, 90, 95};
    out.depth = GroundDepth(612.0);
  }
  if (x >= boardLeft && x <= boardRight && y >= boardTop && y <= boardBottom) {
    Colour board{235, 235, 225};
    if (x < boardLeft + 1.0 || x > boardRight - 1.0 || y < boardTop + 1.0 || y > boardBottom - 1.0) board = Colour{30, 60, 120};
    // Four lines of glyph-like marks, each glyph a 3 x 5 grid of dots.
    const double gx = (x - boardLeft - 4.0) / 1.0, gy = (y - boardTop - 4.0) / 1.0;
    if (gx >= 0 && gy >= 0) {
      const auto column = static_cast<std::int32_t>(gx);
      const auto row = static_cast<std::int32_t>(gy);
      const std::int32_t line = row / 10, inLine = row % 10;
      const std::int32_t glyph = column / 5, inGlyph = column % 5;
      if (line < 4 && inLine < 6 && inGlyph < 4 && glyph < 14 &&
          ((scene.signLines[static_cast<std::size_t>(line)] >> (glyph % 16)) & 1u) != 0 &&
          Hash(glyph * 7 + line, inLine * 5 + inGlyph, 121) % 3 != 0) {
        board = Colour{25, 25, 30};
      }
    }
    out.colour = board;
    out.depth = GroundDepth(612.0);
  }
  // Grass blades along the bottom edge: thin strokes of varied height.
  if (y > 640.0) {
    const auto column = static_cast<std::int32_t>(std::floor(x * 1.3));
    const double bladeTop = 672.0 - 8.0 - 26.0 * Hash01(column, 0, 131);
    if (y > bladeTop && Hash(column, 1, 131) % 3 == 0) {
      out.colour = Scale(Colour{70, 120, 40}, 0.6 + 0.6 * Hash01(column, 2, 131));
      out.depth = 0.0;
    }
  }
}

Shaded ShadePoint(const Scene& scene, double x, double y) {
  Shaded out;
  if (y < Horizon) {
    ShadeSky(x, y, out);
    ShadeHills(x, y, out);
  } else {
    ShadeGround(x, y, out);
  }
  ShadePolesAndWires(scene, x, y, out);
  for (const House& house : scene.houses) ShadeHouse(house, x, y, out);
  for (const Tree& tree : scene.trees) ShadeTree(tree, x, y, out);
  ShadeForeground(scene, x, y, out);
  return out;
}

// [SECTION] Fog, colour cast and grain

constexpr Colour Haze{176, 186, 200};  // bluish grey

std::uint8_t ToByte(double v) { return static_cast<std::uint8_t>(std::clamp(v + 0.5, 0.0, 255.0)); }

}  // namespace

Picture MakeSampleScene(int width, int height) {
  Picture picture;
  if (width < 1 || height < 1) return picture;
  picture.width = width;
  picture.height = height;
  picture.rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
  const Scene scene = PlaceObjects();
  const double unitsX = SceneWidth / width, unitsY = SceneHeight / height;
  std::uint8_t* to = picture.rgb.data();
  for (int py = 0; py < height; ++py) {
    const double y = (py + 0.5) * unitsY;
    for (int px = 0; px < width; ++px, to += 3) {
      const double x = (px + 0.5) * unitsX;
      const Shaded point = ShadePoint(scene, x, y);
      // Fog thickens with distance over a light veil everywhere.
      const double fog = 0.12 + 0.68 * (1.0 - std::exp(-2.3 * point.depth));
      Colour c = Mix(point.colour, Haze, fog);
      // A dull yellow-green cast, and the whole picture a little dark.
      c = {c.r * 0.80 + 12.0, c.g * 0.84 + 16.0, c.b * 0.66 + 6.0};
      const double grain = (Hash01(px, py, 141) - 0.5) * 6.0;
      to[0] = ToByte(c.r + grain);
      to[1] = ToByte(c.g + grain);
      to[2] = ToByte(c.b + grain);
    }
  }
  return picture;
}
