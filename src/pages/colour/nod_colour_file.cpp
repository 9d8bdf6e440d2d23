#include "pages/colour/nod_colour_file.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>

#include "platform/files.h"
#include "platform/language.h"

namespace {

// "%3d" of a value 0..255: right-aligned in three characters. Every path
// into a table keeps its values within 0..255; the clamp only guarantees the
// line stays 12 bytes whatever a caller hands in.
void PrintField(std::uint8_t* out, std::int32_t value) {
  std::array<char, 16> text{};
  std::snprintf(text.data(), text.size(), "%3d", std::clamp(static_cast<int>(value), 0, 255));
  for (std::size_t i = 0; i < 3; ++i) out[i] = static_cast<std::uint8_t>(text[i]);
}

// Three characters as "%3d" prints a value 0..255: spaces, then digits with
// no leading zero (a lone "0" excepted). -1 for anything else.
int ParseField(const std::uint8_t* field) {
  std::size_t i = 0;
  while (i < 2 && field[i] == ' ') ++i;
  if (field[i] == '0' && i < 2) return -1;  // a leading zero: not as printed
  int value = 0;
  for (; i < 3; ++i) {
    if (field[i] < '0' || field[i] > '9') return -1;
    value = value * 10 + (field[i] - '0');
  }
  return value <= 255 ? value : -1;
}

}  // namespace

std::vector<std::uint8_t> EncodeNodColourFile(const NodTable& table) {
  std::vector<std::uint8_t> bytes(NodColourFileBytes, 0);
  std::size_t line = 0;
  for (const NodColumn& column : table.columns) {
    for (const NodColour& c : column) {
      std::uint8_t* out = bytes.data() + line * NodColourLineBytes;
      PrintField(out, c.red);
      out[3] = ' ';
      PrintField(out + 4, c.green);
      out[7] = ' ';
      PrintField(out + 8, c.blue);
      out[11] = '\n';
      ++line;
    }
  }
  return bytes;
}

std::optional<NodTable> DecodeNodColourFile(std::span<const std::uint8_t> file) {
  std::size_t lineBytes = 0;
  if (file.size() == NodColourFileBytes) lineBytes = NodColourLineBytes;
  if (file.size() == NodColourFileCrLfBytes) lineBytes = NodColourLineBytes + 1;
  if (lineBytes == 0) return std::nullopt;
  NodTable table;
  for (std::size_t line = 0; line < NodColourFileLines; ++line) {
    const std::uint8_t* in = file.data() + line * lineBytes;
    if (in[3] != ' ' || in[7] != ' ') return std::nullopt;
    if (lineBytes == NodColourLineBytes + 1 && in[11] != '\r') return std::nullopt;
    if (in[lineBytes - 1] != '\n') return std::nullopt;
    const int red = ParseField(in), green = ParseField(in + 4), blue = ParseField(in + 8);
    if (red < 0 || green < 0 || blue < 0) return std::nullopt;
    table.columns[line / 7][line % 7] = NodColour{red, green, blue};
  }
  return table;
}

std::optional<NodTable> ReadNodColourFile(const std::string& path) {
  // Only a regular file: opening a named pipe or a device to read it could
  // block the program or never end.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  const std::optional<std::vector<std::uint8_t>> bytes = ReadWholeFile(path, NodColourFileCrLfBytes);
  if (!bytes) return std::nullopt;
  return DecodeNodColourFile(*bytes);
}

bool WriteNodColourFile(const std::string& path, const NodTable& table) {
  return WriteFileAtomically(path, EncodeNodColourFile(table));
}

std::string NotNodColourFileText(const std::string& path) {
  if (LanguageId == EnglishLanguage)
    return "\"" + path +
           "\" is not a nod color file (21 lines of 12 bytes \"%3d %3d %3d\", values 0..255); the colors stay as they were.";
  return "「" + path + "」は節色ファイルではありません（21行, 各行12バイト \"%3d %3d %3d\", 値 0～255）。配色は変わりません。";
}
