#include "path_text.h"

#include <cstring>

namespace {

bool IsSeparator(char c, PathStyle style) { return c == '/' || (style == PathStyle::kWindows && c == '\\'); }

bool HasDriveLetter(const char* path, PathStyle style) {
  const char c = path[0];
  return style == PathStyle::kWindows && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && path[1] == ':';
}

}  // namespace

const char* FileNamePart(const char* path, const LeadBytes& leads, PathStyle style) {
  const char* name = HasDriveLetter(path, style) ? path + 2 : path;
  for (const char* c = name; *c != '\0'; c = leads.Next(c)) {
    if (IsSeparator(*c, style)) name = c + 1;
  }
  return name;
}

bool AddTrailingSeparator(char* folder, std::size_t size, const LeadBytes& leads, PathStyle style) {
  const std::size_t length = std::strlen(folder);
  if (length == 0 || IsSeparator(*leads.Last(folder), style)) return true;
  if (length + 2 > size) return false;
  folder[length] = style == PathStyle::kWindows ? '\\' : '/';
  folder[length + 1] = '\0';
  return true;
}

bool VolumeRootOf(const char* folder, char* root, std::size_t size, const LeadBytes& leads, PathStyle style) {
  if (HasDriveLetter(folder, style)) {
    if (size < 4) return false;
    root[0] = folder[0];
    root[1] = ':';
    root[2] = '\\';
    root[3] = '\0';
    return true;
  }
  const std::size_t length = std::strlen(folder);
  if (length + 1 > size) return false;
  std::memcpy(root, folder, length + 1);
  return AddTrailingSeparator(root, size, leads, style);
}
