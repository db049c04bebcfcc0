// Pure path-text rules of the split run. Windows paths use backslashes and
// drive letters; POSIX host paths use slashes. A path is walked by character
// in the code page that `leads` describes, by default the one paths are
// written in here: a trail byte may be the byte of a backslash.
#pragma once

#include <cstddef>

#include "file_system.h"

enum class PathStyle {
  kWindows,  // '\' and '/' separate, "X:" names a drive
  kPosix,    // only '/' separates
};

#ifdef _WIN32
constexpr PathStyle kNativePathStyle = PathStyle::kWindows;
constexpr char kPathSeparator = '\\';
#else
constexpr PathStyle kNativePathStyle = PathStyle::kPosix;
constexpr char kPathSeparator = '/';
#endif

// The part of `path` after its last separator (and after a drive's colon on
// Windows), extension included.
const char* FileNamePart(const char* path, const LeadBytes& leads = PathLeadBytes(),
                         PathStyle style = kNativePathStyle);
// Appends a separator in place unless `folder` is empty or already ends in
// one. False, leaving `folder` unchanged, when it would not fit `size`.
bool AddTrailingSeparator(char* folder, std::size_t size, const LeadBytes& leads = PathLeadBytes(),
                          PathStyle style = kNativePathStyle);
// The path whose volume holds `folder`: "X:\" for a drive-letter folder on
// Windows, else the folder itself with a trailing separator (a network share
// or a relative folder; every folder on POSIX). False when it does not fit.
bool VolumeRootOf(const char* folder, char* root, std::size_t size, const LeadBytes& leads = PathLeadBytes(),
                  PathStyle style = kNativePathStyle);
