#include "disk_file.h"

#include <windows.h>

namespace {
HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
}  // namespace

DiskFile::~DiskFile() { Close(); }

bool DiskFile::Open(std::uint32_t mode, const char* path) {
  if (openState != 0 || mode < kDiskFileRead || mode > kDiskFileCreateNew) return false;
  readOnly = mode == kDiskFileRead;
  const DWORD access = readOnly ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
  const DWORD disposition = readOnly ? OPEN_EXISTING : mode == kDiskFileWrite ? CREATE_ALWAYS : CREATE_NEW;
  HANDLE file =
      CreateFileA(path, access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  lastError = GetLastError();
  handle = reinterpret_cast<std::intptr_t>(file);
  openState = lastError == ERROR_ALREADY_EXISTS ? 2 : 1;
  if (readOnly) {
    LARGE_INTEGER fileSize;
    // GetFileSize alone would hide a size of 4 GB and more in its high part.
    fullSize = GetFileSizeEx(file, &fileSize) ? static_cast<std::uint64_t>(fileSize.QuadPart) : 0;
    size = static_cast<std::uint32_t>(fullSize);
  }
  return true;
}

bool DiskFile::Read(void* buffer, std::uint32_t count) {
  if (count == 0) return true;
  if (openState == 0) return false;
  DWORD done = 0;
  return ReadFile(AsHandle(handle), buffer, count, &done, nullptr) && done == count;
}

bool DiskFile::Write(const void* buffer, std::uint32_t count) {
  if (count == 0) return true;
  if (openState == 0 || readOnly) return false;
  DWORD done = 0;
  // On a full disk WriteFile may first succeed with fewer bytes, then fail (error 112).
  return WriteFile(AsHandle(handle), buffer, count, &done, nullptr) && done == count;
}

CopyResult DiskFile::CopyFrom(DiskFile& source, void* buffer, std::uint32_t count) {
  if (!source.Read(buffer, count)) return CopyResult::kReadFailed;
  return Write(buffer, count) ? CopyResult::kCopied : CopyResult::kWriteFailed;
}

bool DiskFile::Close() {
  if (openState == 0) return true;
  // No SetEndOfFile: Open emptied a written file and Write only appends, so
  // its end is already at the position; under Wine the cut costs a server
  // call per part. Network and quota-limited disks may report a failed write
  // only at the close.
  const bool closed = CloseHandle(AsHandle(handle)) != FALSE;
  handle = reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE);
  openState = 0;
  return closed;
}
