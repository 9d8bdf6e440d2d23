#include "image/keep_slots.h"

#include "image/bmp_files.h"
#include "platform/files.h"

void DeleteKeepFiles() {
  for (int slot = 0; slot < KeepSlotCount; ++slot) DeleteFileQuietly(KeepFileName(slot));
}

void DeleteAppearFiles() {
  for (int file = 1; file <= 4; ++file) DeleteFileQuietly(AppearFileNames[static_cast<unsigned>(file)]);
}
