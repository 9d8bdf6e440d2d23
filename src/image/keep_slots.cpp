#include "image/keep_slots.h"

#include "image/bmp_files.h"
#include "platform/files.h"

std::vector<std::string> DeleteKeepFiles() {
  std::vector<std::string> kept;
  for (int slot = 0; slot < KeepSlotCount; ++slot) {
    if (!DeleteFileQuietly(KeepFileName(slot))) kept.push_back(KeepFileName(slot));
  }
  return kept;
}

void DeleteAppearFiles() {
  for (int file = 1; file <= 4; ++file) DeleteFileQuietly(AppearFileNames[static_cast<unsigned>(file)]);
}
