// A file opened either for reading or for writing, exclusively and with the
// sequential-scan hint, whose reads and writes move all the bytes or fail.
#pragma once

#include <cstdint>

enum DiskFileMode : std::uint32_t {
  kDiskFileRead = 1,
  kDiskFileWrite = 2,
  kDiskFileCreateNew = 3,  // writing, but only a file that does not exist yet
};

enum class CopyResult { kCopied, kReadFailed, kWriteFailed };

class DiskFile {
 public:
  DiskFile() = default;
  virtual ~DiskFile();
  DiskFile(const DiskFile&) = delete;
  DiskFile& operator=(const DiskFile&) = delete;

  // Reading opens an existing regular file; writing creates the file or cuts an
  // existing one to nothing (on POSIX only a regular file, never through a
  // link); creating new fails when the name exists. Fails while the file is
  // open anywhere else.
  bool Open(std::uint32_t mode, const char* path);
  // True only when exactly `count` bytes were moved (a short read at the end
  // of the file fails). A count of 0 succeeds without touching the file.
  bool Read(void* buffer, std::uint32_t count);
  bool Write(const void* buffer, std::uint32_t count);
  // Appends the next `count` bytes of `source` to this written file, through
  // `buffer` (room for `count` bytes), or where the system copies between
  // files itself (Linux), without passing them through memory at all.
  CopyResult CopyFrom(DiskFile& source, void* buffer, std::uint32_t count);
  // Closes the file (a written one ends where the writes did); harmless when
  // not open. False when the system reports that a written file could not be
  // stored whole: a failed write.
  bool Close();

  bool IsOpen() const { return openState != 0; }
  std::uint32_t OpenState() const { return openState; }  // 2: the file existed
  std::uint32_t LastError() const { return lastError; }
  std::uint32_t Size() const { return size; }          // low 32 bits
  std::uint64_t FullSize() const { return fullSize; }  // reveals 4 GB and more
  bool ReadOnly() const { return readOnly; }

 private:
  std::uint32_t lastError = 0;
  std::intptr_t handle = -1;  // INVALID_HANDLE_VALUE, or no descriptor
  std::uint32_t openState = 0;
  std::uint32_t size = 0;
  bool readOnly = true;
  std::uint64_t fullSize = 0;
  [[maybe_unused]] bool kernelCopy = true;  // POSIX: false once the system refused to copy from this file
};
