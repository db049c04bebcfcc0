#include "split_worker.h"

#include <cstdio>
#include <cstring>

#include "disk_file.h"
#include "disk_space.h"
#include "file_system.h"
#include "merge_batch.h"
#include "path_text.h"
#include "split_run.h"

namespace {

// The part path (three-digit number) must fit its 260-byte buffer; the batch
// path is as long.
bool PartPathsFit(const char* destFolder, const char* name) {
  return std::strlen(destFolder) + std::strlen(name) + 4 < kPathBufferSize;
}

bool Fits(int formattedLength) {
  return formattedLength >= 0 && static_cast<std::size_t>(formattedLength) < kPathBufferSize;
}

// Copies one part into the open `part`; returns the status, and through
// `remaining` how much of the part was left uncopied.
std::uint32_t CopyPart(SplitJobRecord& job, SplitUi& ui, DiskSpace& disk, DiskFile& source, char* buffer,
                       DiskFile& part, std::uint32_t* remaining) {
  std::uint32_t status = kStatusOk;
  while (*remaining > 0 && status == kStatusOk && !job.cancelRequested) {
    const std::uint32_t n = *remaining < kChunkSize ? *remaining : kChunkSize;
    const CopyResult copied = disk.CopyToPart(part, source, buffer, n);
    if (copied == CopyResult::kReadFailed) {
      status = kStatusReadFailed;
    } else if (copied == CopyResult::kWriteFailed) {
      status = kStatusWriteFailed;
    }
    *remaining -= n;
  }
  // A part whose data the system could not store at the close is not written.
  if (!disk.CloseWritten(part) && status == kStatusOk && *remaining == 0) { status = kStatusWriteFailed; }
  if (!job.cancelRequested) ui.StepProgress();
  return status;
}

std::uint32_t SplitParts(SplitJobRecord& job, SplitUi& ui, DiskSpace& disk, DiskFile& source, char* buffer,
                         const char* name) {
  std::uint32_t status = kStatusNotStarted;
  while (job.currentPart <= job.partCount && (status == kStatusOk || status == kStatusNotStarted) &&
         !job.cancelRequested) {
    char text[kPathBufferSize];
    std::snprintf(text, sizeof text, "Spliting file into - %d of %d part(s)", static_cast<int>(job.currentPart),
                  static_cast<int>(job.partCount));
    ui.ShowStatus(text);

    if (job.currentPart == job.partCount) { job.partSize = job.fileSize - job.partSize * (job.partCount - 1); }
    // An empty source still gets its one (empty) part, so that the batch can
    // restore it; only a part that an inconsistent count left empty is skipped.
    if (job.partSize == 0 && job.fileSize != 0) {
      ++job.currentPart;
      continue;
    }

    status = CheckDiskSpace(job.destFolder, job.partSize, ui, disk, &job.diskGivenUp);
    if (status != kStatusOk) break;

    // PartPathsFit has vouched for the path; a truncation here still never
    // names the wrong file.
    char partPath[kPathBufferSize];
    if (!Fits(std::snprintf(partPath, sizeof partPath, "%s%s.%03u", job.destFolder, name,
                            static_cast<unsigned>(job.currentPart)))) {
      status = kStatusCreateFailed;
      break;
    }
    // A new name is created at once: Wine scans the whole folder for each
    // lookup of a missing name, so a separate existence test doubles the cost
    // of every part. Only when that fails is the user asked.
    DiskFile part;
    if (!part.Open(kDiskFileCreateNew, partPath)) {
      if (FileExists(partPath)) {
        char question[kQuestionBufferSize];
        ComposeMessage(question, sizeof question, MessageId::kOverwriteQuestion, partPath);
        if (ui.Ask(SplitQuestion::kOverwrite, question) != SplitAnswer::kOk) { status = kStatusOverwriteDeclined; }
      }
      // A cancel confirmed while the question was open: the old part stays whole.
      if (job.cancelRequested) break;
      if (status == kStatusOk && !part.Open(kDiskFileWrite, partPath)) status = kStatusCreateFailed;
    }

    std::uint32_t remaining = job.partSize;
    if (status == kStatusOk) status = CopyPart(job, ui, disk, source, buffer, part, &remaining);
    if (status == kStatusOk && remaining == 0) ++job.currentPart;
  }
  return status;
}

}  // namespace

std::uint32_t RunSplitWithHeap(SplitJobRecord& job, SplitUi& ui, DiskSpace& disk, BufferHeap& heap) {
  std::uint32_t status = kStatusNotStarted;
  job.currentPart = 1;
  job.finished = false;
  job.diskGivenUp = false;

  void* buffer = heap.Alloc(kChunkSize);
  const char* name = FileNamePart(job.sourcePath);
  bool sourceOpened = false;
  if (buffer == nullptr) {
    ui.Ask(SplitQuestion::kFailure, MessageOf(MessageId::kMemoryFailure).text);
  } else if (!AddTrailingSeparator(job.destFolder, sizeof job.destFolder) || !PartPathsFit(job.destFolder, name)) {
    heap.Free(buffer);
    ui.Ask(SplitQuestion::kFailure, MessageOf(MessageId::kPathTooLong).text);
    status = kStatusCreateFailed;
  } else {
    const std::uint32_t partSize = job.partSize;  // the run turns it into the last part's size
    DiskFile source;
    if (source.Open(kDiskFileRead, job.sourcePath)) {
      sourceOpened = true;
      if (source.FullSize() != job.fileSize) {
        // Changed since it was chosen: the parts would miss its tail or end short.
        status = kStatusReadFailed;
      } else {
        status = SplitParts(job, ui, disk, source, static_cast<char*>(buffer), name);
      }
      source.Close();
    }
    heap.Free(buffer);

    const bool cancelled = job.cancelRequested;
    if (cancelled && sourceOpened && (status == kStatusOk || status == kStatusNotStarted)) {
      // A confirmed cancel ends silently, also before the first part began.
      status = kStatusOverwriteDeclined;
    } else if (status == kStatusOk) {
      ui.ShowStatus("Creating BAT file");
      status = WriteMergeBatch(job, partSize, ui, disk);
      ui.FillProgress();
      ui.Pause(200);
    } else if (status != kStatusOverwriteDeclined) {
      ui.Ask(SplitQuestion::kFailure, RunFailureText(status));
    }
  }

  job.finished = true;
  ui.RunOver();
  return status;
}

std::uint32_t RunSplit(SplitJobRecord& job, SplitUi& ui, DiskSpace& disk) {
  BufferHeap heap;
  return RunSplitWithHeap(job, ui, disk, heap);
}

SplitOutcome OutcomeOf(const SplitJobRecord& job, std::uint32_t status) {
  if (status == kStatusOk && job.currentPart == job.partCount + 1) return SplitOutcome::kSplit;
  const bool answered = status == kStatusOverwriteDeclined || (status == kStatusNoRoom && job.diskGivenUp);
  return answered ? SplitOutcome::kStoppedByUser : SplitOutcome::kFailed;
}
