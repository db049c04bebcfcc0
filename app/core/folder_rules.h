// Rules for a typed destination folder name, and what to tell the user about
// it, apart from the file system calls that probe and create the folder.
#pragma once

#include <cstddef>
#include <cstdint>

#include "file_system.h"
#include "messages.h"

enum class FolderNameVerdict {
  kEmpty,          // nothing typed: no message
  kWellFormed,     // probe path is ready
  kInvalid,        // too short, two trailing backslashes, or too long to probe
  kBadCharacters,  // not "X:" followed by allowed characters
};

// Checks a name that is not an existing folder. On kWellFormed, probe holds the
// name with exactly one trailing backslash, ready for the attribute query and
// the folder creation.
FolderNameVerdict CheckFolderName(const char* name, char* probe, std::size_t probeSize,
                                  const LeadBytes& leads = PathLeadBytes());

// The refusal of a name that is neither empty nor well formed.
MessageId NoticeFor(FolderNameVerdict verdict);

// What a failed attribute query of the probe path (by its error code) leads
// to: the question whether to create the folder, or a refusal.
MessageId NoticeForProbeError(std::uint32_t error);
