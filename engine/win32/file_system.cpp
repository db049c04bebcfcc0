#include "file_system.h"

#include <windows.h>
#include <shlwapi.h>

#include <vector>

#include "ansi_text.h"
#include "disk_space.h"

// Not FindFirstFileA, which takes wildcards and misses a drive's root; and no
// "insert a disk" box for an empty drive.
bool FileExists(const char* path) { return PathFileExistsA(path) != FALSE; }

bool FolderExists(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool RemoveFile(const char* path) { return DeleteFileA(path) != FALSE; }

bool NameInUtf16(const char* name, std::u16string* wide) {
  wide->clear();
  if (name[0] == '\0') return true;
  const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name, -1, nullptr, 0);
  if (length <= 0) return false;
  std::vector<wchar_t> units(static_cast<std::size_t>(length));
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name, -1, units.data(), length);
  wide->assign(units.begin(), units.end() - 1);
  return true;
}

const LeadBytes& PathLeadBytes() {
  static const LeadBytes leads = LeadBytesOf(CP_ACP);
  return leads;
}

namespace {
bool QueryFreeBytes(const char* path, std::uint64_t* freeBytes) {
  ULARGE_INTEGER available, total, totalFree;
  if (!GetDiskFreeSpaceExA(path[0] != '\0' ? path : nullptr, &available, &total, &totalFree)) { return false; }
  // A quota can leave the caller less than the disk has free.
  *freeBytes = available.QuadPart < totalFree.QuadPart ? available.QuadPart : totalFree.QuadPart;
  return true;
}

class Win32DiskSpace : public DiskSpace {
 public:
  bool FreeBytes(const char* folder, const char* root, std::uint64_t* freeBytes) override {
    // The folder may be a mounted volume of its own (under Wine: any Linux
    // mount below Z:), which its drive's root would not measure.
    return QueryFreeBytes(folder, freeBytes) || QueryFreeBytes(root, freeBytes);
  }
  bool IsRemovable(const char* root) override {
    return GetDriveTypeA(root[0] != '\0' ? root : nullptr) == DRIVE_REMOVABLE;
  }
};
}  // namespace

DiskSpace& SystemDiskSpace() {
  static Win32DiskSpace disk;
  return disk;
}
