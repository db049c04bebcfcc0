#include "size_presets.h"

const SizePreset SizePresets[kSizePresetCount] = {
    {"256 KB", 262144},
    {"512 KB", 524288},
    {"1 MB", 1048576},
    {"1.44 MB (Floppy Disk)", 1457664},
    {"2 MB", 2097152},
    {"3 MB", 3145728},
    {"Custom Size", 0},
};

int PresetIndexOf(std::uint32_t bytes) {
  for (int i = 0; i < kCustomSizeIndex; ++i) {
    if (SizePresets[i].bytes == bytes) return i;
  }
  return -1;
}

std::uint32_t PartCount(std::uint32_t fileSize, std::uint32_t partSize) {
  if (partSize == 0) return 0;
  if (fileSize <= partSize) return 1;
  return fileSize / partSize + (fileSize % partSize != 0 ? 1 : 0);
}
