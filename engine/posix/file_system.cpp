#include "file_system.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "disk_space.h"

bool FileExists(const char* path) {
  struct stat info;
  return ::lstat(path, &info) == 0;  // a link counts, even one to nothing
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
