// What every layer shares, portable: the application's title and the size of
// its path buffers.
#pragma once

#include <cstddef>

#include "version.h"  // written by CMake

// Caption of the windows and message boxes; also the identity by which a
// second start finds the running copy.
constexpr const char kAppTitle[] = PLYX_TITLE;

// MAX_PATH, terminator included: every path and path-sized text buffer.
constexpr std::size_t kPathBufferSize = 260;
