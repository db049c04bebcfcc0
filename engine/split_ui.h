// What the split run needs from its surroundings. The progress dialog, the
// command-line front end and the tests each provide their own.
#pragma once

#include <cstdint>

#include "disk_file.h"
#include "messages.h"

enum class SplitQuestion {
  kOverwrite,   // OK / Cancel: an existing part or batch file
  kInsertDisk,  // Retry / Cancel: another removable disk
  kDiskFull,    // OK only: a fixed disk without room
  kFailure,     // OK only: the run's end-of-run failure
};

// The box each kind is shown in: its catalogued message's style.
constexpr MessageStyle StyleOf(SplitQuestion kind) {
  switch (kind) {
    case SplitQuestion::kOverwrite:
      return MessageOf(MessageId::kOverwriteQuestion).style;
    case SplitQuestion::kInsertDisk:
      return MessageOf(MessageId::kInsertAnotherDisk).style;
    case SplitQuestion::kDiskFull:
      return MessageOf(MessageId::kDiskFull).style;
    case SplitQuestion::kFailure:
      break;
  }
  return kRunFailureStyle;
}

enum class SplitAnswer { kOk, kCancel, kRetry };

class SplitUi {
 public:
  virtual ~SplitUi() = default;
  virtual void ShowStatus(const char* text) = 0;
  virtual void StepProgress() = 0;
  virtual void FillProgress() = 0;  // to the top of the range
  virtual SplitAnswer Ask(SplitQuestion kind, const char* text) = 0;
  virtual void Pause(std::uint32_t milliseconds) = 0;
  virtual void RunOver() = 0;  // last call of every run
};

class DiskSpace {
 public:
  virtual ~DiskSpace() = default;
  // Bytes that this process may still write into `folder`: the smaller of the
  // volume's free bytes and the caller's share (quota, reserved blocks). The
  // volume's `root` is asked when the folder itself cannot be.
  virtual bool FreeBytes(const char* folder, const char* root, std::uint64_t* freeBytes) = 0;
  virtual bool IsRemovable(const char* root) = 0;
  // Closes a file that the run has written; false when the system could not
  // store all of it (network and quota-limited disks report that only here).
  virtual bool CloseWritten(DiskFile& file);
  // Appends the next `count` bytes of `source` to a part being written
  // (DiskFile::CopyFrom): with CloseWritten, every write of a part passes here.
  virtual CopyResult CopyToPart(DiskFile& part, DiskFile& source, void* buffer, std::uint32_t count);
};
