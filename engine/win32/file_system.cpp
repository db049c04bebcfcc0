#include "file_system.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstring>

#include "ansi_text.h"
#include "disk_space.h"
#include "path_text.h"

// Not FindFirstFileA, which takes wildcards and misses a drive's root; and no
// "insert a disk" box for an empty drive.
bool FileExists(const char* path) { return PathFileExistsA(path) != FALSE; }

bool FolderExists(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A file created there and gone again when its handle closes (also if PLYX
// ends meanwhile): the one probe that both Windows, by the folder's access
// list (Program Files to a standard user), and Wine, by the Unix permissions,
// answer. Opening the folder for FILE_ADD_FILE would not do: Wine grants it.
bool FolderTakesNewFiles(const char* folder) {
  char probe[kPathBufferSize];
  const int length = std::snprintf(probe, sizeof probe, "%s", folder);
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof probe || !AddTrailingSeparator(probe, sizeof probe)) {
    return true;  // the steps after it refuse a path that long
  }
  const std::size_t used = std::strlen(probe);
  const int named = std::snprintf(probe + used, sizeof probe - used, "~plyx-%lu.tmp", GetCurrentProcessId());
  if (named <= 0 || static_cast<std::size_t>(named) >= sizeof probe - used) return true;
  const HANDLE file =
      CreateFileA(probe, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                  FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError() != ERROR_ACCESS_DENIED;
  CloseHandle(file);
  return true;
}

bool RemoveFile(const char* path) { return DeleteFileA(path) != FALSE; }

bool NameInUtf16(const char* name, std::u16string* wide) {
  wide->clear();
  if (name[0] == '\0') return true;
  std::wstring units;
  if (!AnsiToWideExactly(name, std::strlen(name), &units)) return false;
  wide->assign(units.begin(), units.end());
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
