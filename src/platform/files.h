// Files, in place of the Windows file calls. Every write of a whole file goes
// to a temporary file in the same folder and is renamed over the target only
// when every byte is on disk, so a failed write never damages what was stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Writes bytes as the whole content of path. False on any failure; the old
// file (if any) is then left exactly as it was and no temporary file remains.
bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

// Reads at most maxBytes of path. Nothing when the file cannot be opened or
// read, or is larger than maxBytes.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, std::size_t maxBytes);

// Deletes path; a missing file is no error. False when it is there and could
// not be deleted.
bool DeleteFileQuietly(const std::string& path);

bool FileExists(const std::string& path);
