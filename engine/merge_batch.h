// The merge batch beside the parts: run from their folder by the command
// interpreter, it joins them with copy /b into the source's own name.
#pragma once

#include <cstdint>
#include <string>

#include "split_job.h"
#include "split_ui.h"

// False when `name` cannot be written safely into a batch: a character without
// an OEM equivalent, a control character or a double quote.
bool CanNameInBatch(const char* name);

// The whole script for `name` (the source's file name), cut into `partCount`
// parts of `partSize` bytes from `fileSize` bytes (the last part holds the
// rest). Before the first copy it checks that every part is there, and where
// the interpreter can tell, that each has its size; false as CanNameInBatch.
bool BuildMergeBatch(const char* name, std::uint32_t fileSize, std::uint32_t partSize,
                     std::uint32_t partCount, std::string* script);

// Writes NAME.bat into job.destFolder after the disk check, for parts of
// `partSize` bytes (job.partSize holds the last part's size after a run).
// Returns kStatusOk; kStatusOverwriteDeclined when the user keeps an existing
// batch or the run was cancelled meanwhile (currentPart is then advanced so
// the split reads as cancelled); kStatusBatchFailed after showing "Unable to
// Create BAT File 8000", with no partial file left behind.
std::uint32_t WriteMergeBatch(SplitJobRecord& job, std::uint32_t partSize, SplitUi& ui,
                              DiskSpace& disk);
