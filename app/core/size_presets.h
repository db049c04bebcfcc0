// Part-size presets of the size list, and the part count of a request.
#pragma once

#include <cstddef>
#include <cstdint>

struct SizePreset {
  const char* text;
  std::uint32_t bytes;  // 0 for "Custom Size", which is asked for
};

constexpr std::size_t kSizePresetCount = 7;
constexpr int kFloppyPresetIndex = 3;
constexpr int kCustomSizeIndex = 6;
extern const SizePreset SizePresets[kSizePresetCount];

// List index of the preset holding exactly `bytes`, or -1 (custom sizes).
int PresetIndexOf(std::uint32_t bytes);

// fileSize / partSize rounded up; 1 for a file no larger than one part (an
// empty file included). 0, which no split accepts, for a partSize of 0 (what
// a run over an empty file leaves behind).
std::uint32_t PartCount(std::uint32_t fileSize, std::uint32_t partSize);
