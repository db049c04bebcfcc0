// The split run over a heap handed in by the caller, so that a heap that
// cannot give the copy buffer can be tried. RunSplit uses a fresh one.
#pragma once

#include <cstdint>

#include "buffer_heap.h"
#include "split_job.h"
#include "split_ui.h"

std::uint32_t RunSplitWithHeap(SplitJobRecord& job, SplitUi& ui, DiskSpace& disk,
                               BufferHeap& heap);

// The question before an existing part or batch file is replaced.
constexpr const char kOverwriteQuestion[] = "%s exists already, do you want to OverWrite it?";
// Room for that question about any path that fits a path buffer.
constexpr std::size_t kQuestionBufferSize = kPathBufferSize + sizeof kOverwriteQuestion;

// Texts of the refusals that the run adds to its end-of-run messages.
constexpr const char kMemoryFailureText[] = "Unexpected Error : Memory Allocation Failure : 0001";
constexpr const char kPathTooLongText[] =
    "Destination path too long for the part files - Unable to Create Destination File : 2000";
constexpr const char kBatchFailedText[] = "Unable to Create BAT File 8000";
