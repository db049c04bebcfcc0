// The merge batch beside the parts: run by the receiver's command interpreter
// from anywhere, it joins the parts that lie beside it into the source's own
// name, or changes nothing and says why.
#pragma once

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

// Writes NAME.bat into job.destFolder after the disk check, for parts of
// `partSize` bytes (job.partSize holds the last part's size after a run).
// Returns kStatusOk; kStatusOverwriteDeclined when the user keeps an existing
// batch or the run was cancelled meanwhile (currentPart is then advanced so
// the split reads as cancelled); kStatusBatchFailed after showing
// kBatchFailed, with no partial file left behind.
std::uint32_t WriteMergeBatch(SplitJobRecord& job, std::uint32_t partSize, SplitUi& ui, DiskSpace& disk);
