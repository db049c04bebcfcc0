// Free-space check before each part and before the batch; on a full removable
// disk it asks for another one.
#pragma once

#include <chrono>
#include <cstdint>

#include "split_ui.h"

// What the last free-space query of a run found. While the disk has ample room
// the next parts are checked against it, less what they take, instead of
// asking the system again: under Wine one query costs about as much as
// writing a 256 KB part.
struct FreeSpaceMemo {
  std::uint64_t freeBytes = 0;
  std::chrono::steady_clock::time_point queried;
  bool known = false;
};

// 0 when the volume holding destFolder has bytesNeeded free; else 1000, 3000 or 4000.
std::uint32_t CheckDiskSpace(const char* destFolder, std::uint32_t bytesNeeded, SplitUi& ui,
                             DiskSpace& disk, FreeSpaceMemo* memo = nullptr);

// The platform's own free-space and drive-type queries.
DiskSpace& SystemDiskSpace();
