// The panel face: FreeType glyphs of the face fontconfig gives for
// "MS Gothic:lang=ja" (IPAGothic on a Debian desktop), cached per height and
// weight.
//
// Text is laid out in fixed pitch on character cells: a cell is `height`
// pixels high (ascent + descent = height, as a font made with a positive
// height), half-width characters (ASCII and half-width katakana) advance
// height / 2 and every other character advances height, as a double-byte
// character does in the program's Japanese code page. Glyphs are hinted and
// rendered as grey-scale coverage (anti-aliased), the same at every run; bold
// is FreeType's outline emboldening, across only, so a bold glyph keeps its
// advance, its height and its baseline. Only Surface draws glyphs; the pages
// go through it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One glyph, ready to stamp: `ink` holds width x rows coverage bytes, 0 (none)
// to 255 (full). (left, top) is the ink's offset from the top-left of the cell.
struct PanelGlyph {
  int left = 0;
  int top = 0;
  int width = 0;
  int rows = 0;
  int advance = 0;
  std::vector<std::uint8_t> ink;
};

// The next code point of a UTF-8 string, from `pos` on (advanced past it).
// A malformed byte gives U+FFFD and skips that one byte.
char32_t NextCodePoint(std::string_view utf8, std::size_t& pos);

// True for the characters that take half a cell (ASCII, half-width katakana).
bool IsHalfWidth(char32_t codePoint);

// The advance of one character, and of a whole string, at a cell height.
int CharAdvance(int height, char32_t codePoint);
int PanelTextWidth(int height, std::string_view utf8);

// The glyph of a character at a cell height, from the cache (rendered on
// first use). A character the face lacks is drawn as a hollow box.
const PanelGlyph& GlyphFor(int height, bool bold, char32_t codePoint);

// The font file in use (canonical path), empty when no face could be loaded.
// Tests of exact screens name the file they expect and skip without it.
std::string PanelFontFile();
// True when the face in use covers Japanese.
bool PanelFontIsJapanese();

// Uses the given font file instead of the fontconfig choice (empty: back to
// fontconfig) and empties the glyph cache. False when the file cannot be
// loaded; glyphs are then boxes. For tests and tools.
bool UsePanelFontFile(const std::string& path);
