// The merge batch beside the parts: run by the receiver's command interpreter
// from anywhere, it joins the parts that lie beside it into the source's own
// name, or changes nothing and says why.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "split_job.h"
#include "split_ui.h"

// The whole script for `name` (the source's file name in UTF-16), cut into
// `partCount` parts of `partSize` bytes from `fileSize` bytes (the last part
// holds the rest). Only ASCII is written: a name that is not plain ASCII is
// found at run time from the parts themselves, so the script reads the same in
// every code page. False for an empty name or no parts.
bool BuildMergeBatch(const std::u16string& name, std::uint32_t fileSize, std::uint32_t partSize,
                     std::uint32_t partCount, std::string* script);

// Every line the batch can show besides the title: {N} stands for the name,
// {P} for a part's number with its dot (".002"). The help page on joining
// lists them all.
enum class BatchSays {
  kMerging,
  kMerged,
  kThanks,
  kNeedsWindows2000,
  kNoFolder,
  kMissing,
  kAmbiguous,
  kWrongSize,
  kFolder,
  kInTheWay,
  kIncomplete,
  kNotReplaced,
};
inline constexpr const char* kBatchLines[] = {
    "Merging Files ....",
    "{N} Successfully Merged !!!",
    "Thank you for using PLYX",
    "This batch file needs Windows 2000 or later - nothing was merged",
    "The folder of this batch file cannot be opened - nothing was merged",
    "{N}{P} is missing - nothing was merged",
    "More than one file is named like {N}.001 - nothing was merged",
    "{N}{P} does not have the size it was split with - nothing was merged",
    "{N}{P} is a folder - nothing was merged",
    "{N}.000 is in the way - move it elsewhere and start the batch again - nothing was merged",
    "{N} is incomplete - the join failed at {N}{P}, {N} is as it was",
    "{N} cannot be replaced - the join failed, {N} is as it was",
};
static_assert(sizeof kBatchLines / sizeof kBatchLines[0] == static_cast<std::size_t>(BatchSays::kNotReplaced) + 1,
              "one line per BatchSays, in its order");

// Writes NAME.bat into job.destFolder after the disk check, for parts of
// `partSize` bytes (job.partSize holds the last part's size after a run).
// Returns kStatusOk; kStatusOverwriteDeclined when the user keeps an existing
// batch or the run was cancelled meanwhile (currentPart is then advanced so
// the split reads as cancelled); kStatusBatchFailed after showing
// kBatchFailed, with no partial file left behind, or kStatusNoRoom after
// showing it when the user gave up the prompt for another disk
// (job.diskGivenUp set: the run reads as stopped by the user).
std::uint32_t WriteMergeBatch(SplitJobRecord& job, std::uint32_t partSize, SplitUi& ui, DiskSpace& disk);
