// Free-space check before each part and before the batch; on a full removable
// disk it asks for another one.
#pragma once

#include <cstdint>

#include "split_ui.h"

// 0 when the volume holding destFolder has bytesNeeded free; else 1000, 3000 or
// 4000. *givenUp, if given, tells a 4000 that the user chose (Cancel at the
// prompt for another disk) from a full fixed disk.
std::uint32_t CheckDiskSpace(const char* destFolder, std::uint32_t bytesNeeded, SplitUi& ui, DiskSpace& disk,
                             bool* givenUp = nullptr);

// The platform's own free-space and drive-type queries.
DiskSpace& SystemDiskSpace();
