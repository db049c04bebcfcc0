#include "disk_space.h"

#include "disk_file.h"
#include "path_text.h"
#include "split_job.h"

bool DiskSpace::CloseWritten(DiskFile& file) { return file.Close(); }

CopyResult DiskSpace::CopyToPart(DiskFile& part, DiskFile& source, void* buffer, std::uint32_t count) {
  return part.CopyFrom(source, buffer, count);
}

std::uint32_t CheckDiskSpace(const char* destFolder, std::uint32_t bytesNeeded, SplitUi& ui, DiskSpace& disk,
                             bool* givenUp) {
  // The folder itself is measured, as a volume may be mounted on it; its root
  // answers the drive type. A folder without a drive letter (a network share)
  // is its own root: an empty root would measure the current drive instead.
  char root[kPathBufferSize];
  if (!VolumeRootOf(destFolder, root, sizeof root)) return kStatusQueryFailed;

  std::uint64_t freeBytes = 0;
  if (!disk.FreeBytes(destFolder, root, &freeBytes)) return kStatusQueryFailed;
  bool fits = freeBytes >= bytesNeeded;
  SplitAnswer lastAnswer = SplitAnswer::kRetry;
  bool userChose = false;  // the last answer was a prompt's, not a full fixed disk's
  while (!fits && lastAnswer == SplitAnswer::kRetry) {
    if (disk.IsRemovable(root)) {
      char text[kPathBufferSize];
      ComposeMessage(text, sizeof text, MessageId::kInsertAnotherDisk, static_cast<unsigned long>(bytesNeeded));
      lastAnswer =
          ui.Ask(SplitQuestion::kInsertDisk, text) == SplitAnswer::kRetry ? SplitAnswer::kRetry : SplitAnswer::kCancel;
      userChose = true;
    } else {
      ui.Ask(SplitQuestion::kDiskFull, MessageOf(MessageId::kDiskFull).text);
      lastAnswer = SplitAnswer::kCancel;
      userChose = false;
    }
    if (lastAnswer == SplitAnswer::kRetry) {
      if (!disk.FreeBytes(destFolder, root, &freeBytes)) return kStatusRetryQueryFailed;
      fits = freeBytes >= bytesNeeded;
    }
  }
  if (givenUp != nullptr) *givenUp = userChose && lastAnswer == SplitAnswer::kCancel;
  return lastAnswer == SplitAnswer::kCancel ? kStatusNoRoom : kStatusOk;
}
