// The merge batch beside the parts: run from their folder by the command
// interpreter, it joins them with copy /b into the source's own name.
#pragma once

#include <cstdint>
#include <string>

#include "split_job.h"
#include "split_ui.h"

// The whole script for `name` (the source's file name) and `partCount` parts.
// False when the name cannot be written safely into a batch: a character
// without an OEM equivalent, a control character or a double quote.
bool BuildMergeBatch(const char* name, std::uint32_t partCount, std::string* script);

// Writes NAME.bat into job.destFolder after the disk check. Returns kStatusOk;
// kStatusOverwriteDeclined when the user keeps an existing batch (currentPart
// is then advanced so the split reads as cancelled); kStatusBatchFailed after
// showing "Unable to Create BAT File 8000", with no partial file left behind.
std::uint32_t WriteMergeBatch(SplitJobRecord& job, SplitUi& ui, DiskSpace& disk);
