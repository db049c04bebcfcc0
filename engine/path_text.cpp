#include "path_text.h"

#include <cstring>

bool IsPathSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

static bool HasDriveLetter(const char* path) {
#ifdef _WIN32
  const char c = path[0];
  return ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && path[1] == ':';
#else
  (void)path;
  return false;
#endif
}

const char* FileNamePart(const char* path) {
  const char* name = HasDriveLetter(path) ? path + 2 : path;
  for (const char* p = name; *p != '\0'; ++p) {
    if (IsPathSeparator(*p)) name = p + 1;
  }
  return name;
}

bool AddTrailingSeparator(char* folder, std::size_t size) {
  const std::size_t length = std::strlen(folder);
  if (length == 0 || IsPathSeparator(folder[length - 1])) return true;
  if (length + 2 > size) return false;
  folder[length] = kPathSeparator;
  folder[length + 1] = '\0';
  return true;
}

bool VolumeRootOf(const char* folder, char* root, std::size_t size) {
  if (HasDriveLetter(folder)) {
    if (size < 4) return false;
    root[0] = folder[0];
    root[1] = ':';
    root[2] = kPathSeparator;
    root[3] = '\0';
    return true;
  }
  const std::size_t length = std::strlen(folder);
  if (length + 1 > size) return false;
  std::memcpy(root, folder, length + 1);
  return AddTrailingSeparator(root, size);
}
