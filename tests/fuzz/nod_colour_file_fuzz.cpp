// Fuzz target: the nod colour file reader. Whatever the bytes, the reader
// either refuses them or gives a table of 0..255 values; a table read from a
// line-feed file is written back as the very same bytes, and a CR LF file
// gives the table of its line-feed twin.
//
// Short inputs rarely hit the two accepted lengths, so besides the input as
// it is, the target also lays the input over the built-in table's file (252
// bytes) and over its CR LF copy (273 bytes).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

#include "pages/colour/nod_colour_file.h"

namespace {

void Check(std::span<const std::uint8_t> file) {
  const std::optional<NodTable> table = DecodeNodColourFile(file);
  if (!table) return;
  for (const NodColumn& column : table->columns) {
    for (const NodColour& c : column) {
      if (c.red < 0 || c.red > 255 || c.green < 0 || c.green > 255 || c.blue < 0 || c.blue > 255) std::abort();
    }
  }
  const std::vector<std::uint8_t> written = EncodeNodColourFile(*table);
  if (file.size() == NodColourFileBytes && !std::equal(written.begin(), written.end(), file.begin())) std::abort();
  if (DecodeNodColourFile(written) != table) std::abort();
}

std::vector<std::uint8_t> Overlaid(std::vector<std::uint8_t> base, const std::uint8_t* data, std::size_t size) {
  if (size == 0) return base;
  const std::size_t at = data[0] % base.size();
  for (std::size_t i = 1; i < size && at + i - 1 < base.size(); ++i) base[at + i - 1] = data[i];
  return base;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Check(std::span<const std::uint8_t>(data, size));
  const std::vector<std::uint8_t> lf = EncodeNodColourFile(BuiltInNodColours);
  std::vector<std::uint8_t> crlf;
  for (const std::uint8_t b : lf) {
    if (b == '\n') crlf.push_back('\r');
    crlf.push_back(b);
  }
  Check(Overlaid(lf, data, size));
  Check(Overlaid(crlf, data, size));
  return 0;
}
