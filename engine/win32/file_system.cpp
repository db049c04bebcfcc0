#include "file_system.h"

#include <windows.h>
#include <shlwapi.h>

#include <vector>

#include "disk_space.h"

// Not FindFirstFileA, which takes wildcards and misses a drive's root; and no
// "insert a disk" box for an empty drive.
bool FileExists(const char* path) { return PathFileExistsA(path) != FALSE; }

bool FolderExists(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool RemoveFile(const char* path) { return DeleteFileA(path) != FALSE; }

bool ConvertToOemCodePage(const char* text, std::string* oem) {
  oem->clear();
  if (text[0] == '\0') return true;
  const int wideLength = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
  if (wideLength <= 0) return false;
  std::vector<wchar_t> wide(static_cast<std::size_t>(wideLength));
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, wide.data(), wideLength);
  // No best fit: "e" for "ė" would name a file that does not exist.
  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, wide.data(), -1,
                                         nullptr, 0, nullptr, &usedDefault);
  if (length <= 0 || usedDefault) return false;
  std::vector<char> bytes(static_cast<std::size_t>(length));
  WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, wide.data(), -1, bytes.data(), length,
                      nullptr, &usedDefault);
  if (usedDefault) return false;
  oem->assign(bytes.data());
  return true;
}

namespace {
class Win32DiskSpace : public DiskSpace {
 public:
  bool FreeBytes(const char* root, std::uint64_t* freeBytes) override {
    ULARGE_INTEGER totalFree;
    // The third result: free bytes on the whole disk, not the caller's quota.
    if (!GetDiskFreeSpaceExA(root[0] != '\0' ? root : nullptr, nullptr, nullptr, &totalFree)) {
      return false;
    }
    *freeBytes = totalFree.QuadPart;
    return true;
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
