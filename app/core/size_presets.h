// Part-size presets of the size list, and the part count of a request.
#pragma once

#include <cstddef>
#include <cstdint>

#include "split_job.h"

struct SizePreset {
  const char* text;
  std::uint32_t bytes;  // 0 for "Custom Size", which is asked for
};

// The size list in its order, "Custom Size" last. A preset is one row here
// (and one in the help page's list, resources/help/sizes.html).
inline constexpr SizePreset SizePresets[] = {
    {"256 KB", 262144}, {"512 KB", 524288}, {"1 MB", 1048576},  {"1.44 MB (Floppy Disk)", kFloppyPartSize},
    {"2 MB", 2097152},  {"3 MB", 3145728},  {"Custom Size", 0},
};
constexpr std::size_t kSizePresetCount = sizeof SizePresets / sizeof SizePresets[0];
constexpr int kCustomSizeIndex = static_cast<int>(kSizePresetCount) - 1;

// List index of the preset holding exactly `bytes`, or -1 (custom sizes).
constexpr int PresetIndexOf(std::uint32_t bytes) {
  for (int i = 0; i < kCustomSizeIndex; ++i) {
    if (SizePresets[i].bytes == bytes) return i;
  }
  return -1;
}

// The list's first choice, matching the part size a request starts with.
constexpr int kFloppyPresetIndex = PresetIndexOf(kFloppyPartSize);
static_assert(kFloppyPresetIndex >= 0 && SizePresets[kCustomSizeIndex].bytes == 0, "the floppy preset, custom last");

// fileSize / partSize rounded up; 1 for a file no larger than one part (an
// empty file included). 0, which no split accepts, for a partSize of 0 (what
// a run over an empty file leaves behind).
std::uint32_t PartCount(std::uint32_t fileSize, std::uint32_t partSize);
