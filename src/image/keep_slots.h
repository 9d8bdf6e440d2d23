// Keep slots: KEEP0.bmp ... KEEP13.bmp, one per page, and the compositing
// work files, as the close sequence deletes them.
#pragma once

inline constexpr int KeepSlotCount = 14;

#include <string>
#include <vector>

// Deletes KEEP0.bmp ... KEEP13.bmp in that order; missing files are skipped.
// Returns the names of the files that are there and could not be deleted.
std::vector<std::string> DeleteKeepFiles();

// Deletes "0000tar.bmp", "0000trfr.bmp", "0000back.bmp" and "0000iso.bmp";
// "0000start.bmp" is kept.
void DeleteAppearFiles();
