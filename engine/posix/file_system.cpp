#include "file_system.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>

#include "disk_space.h"

bool FileExists(const char* path) {
  struct stat info;
  return ::lstat(path, &info) == 0;  // a link counts, even one to nothing
}

bool FolderExists(const char* path) {
  struct stat info;
  return ::stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool FolderTakesNewFiles(const char* folder) { return ::access(folder, W_OK | X_OK) == 0 || errno != EACCES; }

bool RemoveFile(const char* path) { return ::unlink(path) == 0; }

bool NameInUtf16(const char* name, std::u16string* wide) {
  wide->clear();
  for (auto* p = reinterpret_cast<const unsigned char*>(name); *p != 0;) {
    const int length = *p < 0x80 ? 1 : *p >> 5 == 6 ? 2 : *p >> 4 == 14 ? 3 : *p >> 3 == 30 ? 4 : 0;
    char32_t c = *p & (length == 1 ? 0x7F : 0xFF >> (length + 1));
    int n = 1;
    while (n < length && (p[n] & 0xC0) == 0x80) c = c << 6 | (p[n++] & 0x3F);
    if (length == 0 || n < length || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
      wide->push_back(u'\uFFFD');  // a stray byte stands for one character
      ++p;
    } else if (c >= 0x10000) {
      wide->push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      wide->push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
      p += n;
    } else {
      wide->push_back(static_cast<char16_t>(c));
      p += n;
    }
  }
  return true;
}

const LeadBytes& PathLeadBytes() {
  static const LeadBytes none;
  return none;
}

namespace {
bool QueryFreeBytes(const char* path, std::uint64_t* freeBytes) {
  struct statvfs info;
  if (::statvfs(path[0] != '\0' ? path : ".", &info) != 0) return false;
  // The blocks left to unprivileged users: the reserved ones are not ours.
  *freeBytes = static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
  return true;
}

class PosixDiskSpace : public DiskSpace {
 public:
  bool FreeBytes(const char* folder, const char* root, std::uint64_t* freeBytes) override {
    return QueryFreeBytes(folder, freeBytes) || QueryFreeBytes(root, freeBytes);
  }
  bool IsRemovable(const char*) override { return false; }
};
}  // namespace

DiskSpace& SystemDiskSpace() {
  static PosixDiskSpace disk;
  return disk;
}
