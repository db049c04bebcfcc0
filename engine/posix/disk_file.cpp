#include "disk_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

DiskFile::~DiskFile() { Close(); }

bool DiskFile::Open(std::uint32_t mode, const char* path) {
  if (openState != 0 || mode < kDiskFileRead || mode > kDiskFileCreateNew) return false;
  readOnly = mode == kDiskFileRead;
  bool existed = false;
  int fd;
  // O_NONBLOCK: opening a FIFO would otherwise wait for its other end.
  if (readOnly) {
    fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  } else {
    // Not O_TRUNC: a file held by someone else must be refused before it is cut.
    fd = ::open(path, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST && mode == kDiskFileWrite) {
      existed = true;
      // Only a regular file is replaced: a link or a FIFO in a part's place
      // would send the part elsewhere or hang.
      fd = ::open(path, O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    }
  }
  if (fd < 0) return false;

  struct stat info;
  // flock stands in for Windows' share mode 0: a second open of the same file fails.
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
      (existed && ::ftruncate(fd, 0) != 0)) {
    ::close(fd);
    return false;
  }
  if (readOnly) {
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    fullSize = static_cast<std::uint64_t>(info.st_size);
    size = static_cast<std::uint32_t>(fullSize);
  }

  lastError = existed ? EEXIST : 0;
  handle = fd;
  openState = existed ? 2 : 1;
  return true;
}

bool DiskFile::Read(void* buffer, std::uint32_t count) {
  if (count == 0) return true;
  if (openState == 0) return false;
  auto* bytes = static_cast<char*>(buffer);
  std::uint32_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(static_cast<int>(handle), bytes + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::uint32_t>(n);
  }
  return true;
}

bool DiskFile::Write(const void* buffer, std::uint32_t count) {
  if (count == 0) return true;
  if (openState == 0 || readOnly) return false;
  const auto* bytes = static_cast<const char*>(buffer);
  std::uint32_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(static_cast<int>(handle), bytes + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::uint32_t>(n);
  }
  return true;
}

CopyResult DiskFile::CopyFrom(DiskFile& source, void* buffer, std::uint32_t count) {
  if (openState == 0 || readOnly || source.openState == 0) return CopyResult::kWriteFailed;
  // copy_file_range moves the bytes inside the kernel: one copy instead of a
  // read and a write through the buffer, which keeps the split as fast as cp.
  std::uint32_t done = 0;
  while (done < count && source.kernelCopy) {
    const ssize_t n =
        ::copy_file_range(static_cast<int>(source.handle), nullptr, static_cast<int>(handle), nullptr, count - done, 0);
    if (n == 0) return CopyResult::kReadFailed;  // the source ended early
    if (n > 0) {
      done += static_cast<std::uint32_t>(n);
    } else if (errno != EINTR) {
      // Not between these file systems or on this kernel, or a failure whose
      // side the read and write below will tell.
      source.kernelCopy = false;
    }
  }
  if (done == count) return CopyResult::kCopied;
  if (!source.Read(buffer, count - done)) return CopyResult::kReadFailed;
  return Write(buffer, count - done) ? CopyResult::kCopied : CopyResult::kWriteFailed;
}

bool DiskFile::Close() {
  if (openState == 0) return true;
  // No cut at the position as on Windows: Open emptied a written file and
  // Write only appends, so its end is already there. A network or
  // quota-limited file system may report a failed write only here.
  const bool closed = ::close(static_cast<int>(handle)) == 0;
  handle = -1;
  openState = 0;
  return closed;
}
