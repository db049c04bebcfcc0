// The one record of the split request and of the running split, shared by the
// main dialog, the progress dialog and the worker thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "app_constants.h"
#include "messages.h"  // the run's statuses

class AnimationControl;
class ProgressBar;

constexpr std::uint32_t kFloppyPartSize = 1457664;
constexpr std::uint32_t kChunkSize = 65536;
constexpr std::uint32_t kMaxParts = 999;

// The top of the progress range: one step a part and one for the batch.
constexpr std::uint32_t ProgressMaxOf(std::uint32_t partCount) { return partCount > 1 ? partCount + 1 : 2; }

// How a run ended, for the report after it.
enum class SplitOutcome {
  kSplit,          // every part and the batch written
  kStoppedByUser,  // the user's answer: a confirmed cancel, a declined overwrite, a disk prompt given up
  kFailed,         // a failure, reported by the run itself
};

struct SplitJobRecord {
  char sourcePath[kPathBufferSize] = {};
  char destFolder[kPathBufferSize] = {};
  std::uint32_t fileSize = 0;
  std::uint32_t partSize = kFloppyPartSize;
  std::uint32_t partCount = 0;
  std::uint32_t currentPart = 1;
  std::uint32_t progressMax = 1;
  void* workerThread = nullptr;           // thread handle, owned by the progress dialog
  AnimationControl* animation = nullptr;  // owned by the progress dialog
  ProgressBar* progressBar = nullptr;     // owned by the progress dialog
  std::atomic<bool> cancelRequested{false};
  std::atomic<bool> finished{false};
  // Set by the run when the user gave up its prompt for another disk: its
  // status, 4000, also stands for a full fixed disk.
  bool diskGivenUp = false;
};

// The process-wide request.
extern SplitJobRecord SplitJob;
