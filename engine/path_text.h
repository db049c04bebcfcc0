// Pure path-text rules of the split run. Windows paths use backslashes and
// drive letters; POSIX host paths use slashes.
#pragma once

#include <cstddef>

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

bool IsPathSeparator(char c);
// The part of `path` after its last separator (and after a drive's colon on
// Windows), extension included.
const char* FileNamePart(const char* path);
// Appends a separator in place unless `folder` is empty or already ends in
// one. False, leaving `folder` unchanged, when it would not fit `size`.
bool AddTrailingSeparator(char* folder, std::size_t size);
// The path whose volume holds `folder`: "X:\" for a drive-letter folder on
// Windows, else the folder itself with a trailing separator (a network share
// or a relative folder; every folder on POSIX). False when it does not fit.
bool VolumeRootOf(const char* folder, char* root, std::size_t size);
