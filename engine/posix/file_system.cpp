#include "file_system.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "disk_space.h"

bool FileExists(const char* path) {
  struct stat info;
  return ::stat(path, &info) == 0;
}

bool FolderExists(const char* path) {
  struct stat info;
  return ::stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool RemoveFile(const char* path) { return ::unlink(path) == 0; }

bool ConvertToOemCodePage(const char* text, std::string* oem) {
  *oem = text;
  return true;
}

namespace {
class PosixDiskSpace : public DiskSpace {
 public:
  bool FreeBytes(const char* root, std::uint64_t* freeBytes) override {
    struct statvfs info;
    if (::statvfs(root[0] != '\0' ? root : ".", &info) != 0) return false;
    // Every free block, not only the part left to unprivileged users.
    *freeBytes = static_cast<std::uint64_t>(info.f_bfree) * info.f_frsize;
    return true;
  }
  bool IsRemovable(const char*) override { return false; }
};
}  // namespace

DiskSpace& SystemDiskSpace() {
  static PosixDiskSpace disk;
  return disk;
}
