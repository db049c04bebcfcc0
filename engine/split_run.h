// The split run over a heap handed in by the caller, so that a heap that
// cannot give the copy buffer can be tried. RunSplit uses a fresh one.
#pragma once

#include <cstdint>
#include <string>

#include "buffer_heap.h"
#include "split_job.h"
#include "split_ui.h"

std::uint32_t RunSplitWithHeap(SplitJobRecord& job, SplitUi& ui, DiskSpace& disk, BufferHeap& heap);

// Room for the question before an existing part or batch file is replaced,
// about any path that fits a path buffer.
constexpr std::size_t kQuestionBufferSize =
    kPathBufferSize + std::char_traits<char>::length(MessageOf(MessageId::kOverwriteQuestion).text);
