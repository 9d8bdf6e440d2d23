// The nod colour file: a text file of 21 lines, each the red, green and blue
// of one nod colour printed "%3d %3d %3d\n" (12 bytes), column A's nod
// colours 1..7 first, then B's, then C's: 252 bytes, no header.
//
// The reader takes a file only when it is exactly that layout with every
// value 0..255 (a copy whose lines end in CR LF, 273 bytes, is read the same);
// anything else is refused as a whole and changes nothing. A file larger than
// the layout is refused from its size alone, without being read.
//
// Routines:
//   EncodeNodColourFile    the 252 bytes of a table
//   DecodeNodColourFile    the table in a file's bytes, nothing when not the layout
//   ReadNodColourFile      the same from a path (size checked before reading)
//   WriteNodColourFile     a table to a path through a temporary file and a rename
//   NotNodColourFileText   the refusal message in the current language, naming the file
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "pages/colour/nod_colours.h"

inline constexpr std::size_t NodColourFileLines = 21;
inline constexpr std::size_t NodColourLineBytes = 12;
inline constexpr std::size_t NodColourFileBytes = NodColourFileLines * NodColourLineBytes;             // 252
inline constexpr std::size_t NodColourFileCrLfBytes = NodColourFileLines * (NodColourLineBytes + 1);  // 273

std::vector<std::uint8_t> EncodeNodColourFile(const NodTable& table);
std::optional<NodTable> DecodeNodColourFile(std::span<const std::uint8_t> file);

// Nothing when the file is missing, unreadable, larger than 273 bytes or not
// the layout.
std::optional<NodTable> ReadNodColourFile(const std::string& path);

// True when every byte is on disk under path; on failure the old file, if
// any, stays as it was.
bool WriteNodColourFile(const std::string& path, const NodTable& table);

// The message and title of a refused file.
std::string NotNodColourFileText(const std::string& path);
inline constexpr const char* NodColourFileTitle = "GetColor";
