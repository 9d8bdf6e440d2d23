// The panel face through fontconfig and FreeType, and its glyph cache.
//
// [SECTION] UTF-8 and cell widths
// [SECTION] The face: found once through fontconfig, loaded once
// [SECTION] Glyphs: grey-scale hinted rendering, FreeType emboldening, missing-glyph box
// [SECTION] The cache
#include "platform/text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <unordered_map>

// -----------------------------------------------------------------------------
// [SECTION] UTF-8 and cell widths
// -----------------------------------------------------------------------------

char32_t NextCodePoint(std::string_view utf8, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  int extra = 0;
  char32_t cp = 0;
  char32_t least = 0;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1, cp = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, cp = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, cp = lead & 0x07, least = 0x10000;
  } else {
    ++pos;
    return 0xFFFD;
  }
  if (pos + static_cast<std::size_t>(extra) >= utf8.size()) {
    ++pos;
    return 0xFFFD;
  }
  for (int k = 1; k <= extra; ++k) {
    const unsigned char c = byte(pos + static_cast<std::size_t>(k));
    if ((c & 0xC0) != 0x80) {
      ++pos;
      return 0xFFFD;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++pos;
    return 0xFFFD;
  }
  pos += static_cast<std::size_t>(extra) + 1;
  return cp;
}

bool IsHalfWidth(char32_t cp) { return cp < 0x80 || (cp >= 0xFF61 && cp <= 0xFF9F); }

int CharAdvance(int height, char32_t cp) { return IsHalfWidth(cp) ? height / 2 : height; }

int PanelTextWidth(int height, std::string_view utf8) {
  int width = 0;
  std::size_t pos = 0;
  while (pos < utf8.size()) width += CharAdvance(height, NextCodePoint(utf8, pos));
  return width;
}

// -----------------------------------------------------------------------------
// [SECTION] The face
// -----------------------------------------------------------------------------

namespace {

constexpr const char* FacePattern = "MS Gothic:lang=ja";

struct FaceState {
  bool tried = false;
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  std::string file;     // canonical path of the loaded face
  bool japanese = false;
  double ascentShare = 0.88;  // ascender / (ascender - descender)
  double emPerCell = 1.0;     // units per em / (ascender - descender)
  std::string overrideFile;   // set by UsePanelFontFile
  bool useOverride = false;
};

FaceState& Face() {
  static FaceState state;
  return state;
}

// The file and face index fontconfig picks for the pattern. The pattern asks
// for Japanese coverage, so a desktop without a Japanese face answers with a
// Latin one; LoadFace then finds out.
bool FindFaceFile(std::string& file, int& index) {
  if (!FcInit()) return false;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(FacePattern));
  if (pattern == nullptr) return false;
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return false;
  FcChar8* path = nullptr;
  bool found = false;
  if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr) {
    file = reinterpret_cast<const char*>(path);
    int i = 0;
    index = FcPatternGetInteger(match, FC_INDEX, 0, &i) == FcResultMatch ? i : 0;
    found = true;
  }
  FcPatternDestroy(match);
  return found;
}

void DropFace(FaceState& s) {
  if (s.face != nullptr) FT_Done_Face(s.face);
  s.face = nullptr;
  s.file.clear();
  s.japanese = false;
}

bool LoadFace(FaceState& s, const std::string& file, int index) {
  if (s.library == nullptr && FT_Init_FreeType(&s.library) != 0) {
    s.library = nullptr;
    return false;
  }
  FT_Face face = nullptr;
  if (FT_New_Face(s.library, file.c_str(), index, &face) != 0) return false;
  if (!FT_IS_SCALABLE(face) || face->ascender - face->descender <= 0) {
    FT_Done_Face(face);
    return false;
  }
  s.face = face;
  std::error_code ec;
  const std::filesystem::path canonical = std::filesystem::canonical(file, ec);
  s.file = ec ? file : canonical.string();
  const double cell = static_cast<double>(face->ascender - face->descender);
  s.ascentShare = face->ascender / cell;
  s.emPerCell = face->units_per_EM / cell;
  s.japanese = FT_Get_Char_Index(face, 0x3042) != 0 && FT_Get_Char_Index(face, 0x30A2) != 0 &&
               FT_Get_Char_Index(face, 0x4E00) != 0;
  return true;
}

// Loads the face on first use. Warns once on standard error when no Japanese
// face is there; the program runs on, drawing missing characters as boxes.
FaceState& ReadyFace() {
  FaceState& s = Face();
  if (s.tried) return s;
  s.tried = true;
  std::string file;
  int index = 0;
  bool loaded = false;
  if (s.useOverride) {
    loaded = !s.overrideFile.empty() && LoadFace(s, s.overrideFile, 0);
  } else if (FindFaceFile(file, index)) {
    loaded = LoadFace(s, file, index);
  }
  static bool warned = false;
  if (!warned && (!loaded || !s.japanese) && !s.useOverride) {
    warned = true;
    if (!loaded)
      std::fprintf(stderr,
                   "vazesample: warning: no font found for \"%s\"; text is drawn as boxes "
                   "(install fonts-ipafont-gothic)\n",
                   FacePattern);
    else
      std::fprintf(stderr,
                   "vazesample: warning: no Japanese font found for \"%s\" (got %s); Japanese text is drawn "
                   "as boxes (install fonts-ipafont-gothic)\n",
                   FacePattern, s.file.c_str());
  }
  return s;
}

// -----------------------------------------------------------------------------
// [SECTION] Glyphs
// -----------------------------------------------------------------------------

// A hollow box filling the cell less a one-pixel margin: what is shown for a
// character the face lacks.
PanelGlyph BoxGlyph(int height, int advance) {
  PanelGlyph g;
  g.advance = advance;
  g.left = 1;
  g.top = 1;
  g.width = std::max(advance - 2, 0);
  g.rows = std::max(height - 2, 0);
  g.ink.assign(static_cast<std::size_t>(g.width) * g.rows, 0);
  for (int r = 0; r < g.rows; ++r)
    for (int c = 0; c < g.width; ++c)
      if (r == 0 || c == 0 || r == g.rows - 1 || c == g.width - 1)
        g.ink[static_cast<std::size_t>(r) * g.width + c] = 255;
  return g;
}

// How much wider bold strokes are, in 26.6 pixels per pixel of em: the
// share FreeType's own emboldening uses (an em / 24), applied across only,
// so that bold glyphs keep their height and sit on the same baseline.
constexpr double BoldShare = 1.0 / 24.0;

PanelGlyph RenderGlyph(int height, bool bold, char32_t cp) {
  PanelGlyph g;
  g.advance = CharAdvance(height, cp);
  if (cp < 0x20 || cp == 0x20 || cp == 0x3000) return g;  // blanks and control characters: no ink
  FaceState& s = ReadyFace();
  if (s.face == nullptr) return BoxGlyph(height, g.advance);
  const FT_UInt index = FT_Get_Char_Index(s.face, cp);
  if (index == 0) return BoxGlyph(height, g.advance);

  // The em that makes ascender - descender exactly one cell.
  const double em = height * s.emPerCell;
  const auto em64 = static_cast<FT_F26Dot6>(std::lround(em * 64.0));
  if (FT_Set_Char_Size(s.face, 0, em64, 72, 72) != 0) return BoxGlyph(height, g.advance);
  // Hinted outlines (the face's own instructions, else the auto-hinter),
  // rendered as 256 levels of grey coverage.
  if (FT_Load_Glyph(s.face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL) != 0)
    return BoxGlyph(height, g.advance);
  FT_GlyphSlot slot = s.face->glyph;
  if (bold && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    const auto strength = static_cast<FT_Pos>(std::lround(em * 64.0 * BoldShare));
    FT_Outline_EmboldenXY(&slot->outline, strength, 0);
  }
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return BoxGlyph(height, g.advance);

  const FT_Bitmap& bitmap = slot->bitmap;
  if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return BoxGlyph(height, g.advance);
  const int ascent = static_cast<int>(std::lround(height * s.ascentShare));
  g.width = static_cast<int>(bitmap.width);
  g.rows = static_cast<int>(bitmap.rows);
  g.left = slot->bitmap_left;
  g.top = ascent - slot->bitmap_top;
  g.ink.assign(static_cast<std::size_t>(g.width) * g.rows, 0);
  for (int r = 0; r < g.rows; ++r) {
    const unsigned char* src = bitmap.buffer + static_cast<std::ptrdiff_t>(r) * bitmap.pitch;
    std::copy(src, src + g.width, g.ink.data() + static_cast<std::size_t>(r) * g.width);
  }
  return g;
}

// -----------------------------------------------------------------------------
// [SECTION] The cache
// -----------------------------------------------------------------------------

std::unordered_map<std::uint64_t, PanelGlyph>& Cache() {
  static std::unordered_map<std::uint64_t, PanelGlyph> cache;
  return cache;
}

}  // namespace

const PanelGlyph& GlyphFor(int height, bool bold, char32_t codePoint) {
  const std::uint64_t key = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(height)) << 33) |
                            (static_cast<std::uint64_t>(bold ? 1 : 0) << 32) | codePoint;
  auto& cache = Cache();
  auto found = cache.find(key);
  if (found != cache.end()) return found->second;
  return cache.emplace(key, RenderGlyph(height, bold, codePoint)).first->second;
}

std::string PanelFontFile() { return ReadyFace().file; }

bool PanelFontIsJapanese() { return ReadyFace().japanese; }

bool UsePanelFontFile(const std::string& path) {
  FaceState& s = Face();
  DropFace(s);
  Cache().clear();
  s.useOverride = !path.empty();
  s.overrideFile = path;
  s.tried = false;
  ReadyFace();
  return s.face != nullptr;
}
