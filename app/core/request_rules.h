// Decisions about a split request that need no window: which check refuses a
// request first, and which folder a chosen file's parts go to by default.
#pragma once

#include <cstddef>
#include <cstdint>

#include "file_system.h"
#include "messages.h"

enum class RequestRefusal {
  kNone,
  kNoSource,
  kSourceMissing,
  kNoDestination,
  kDestinationNotFolder,  // missing, a file, or on a drive without its disk
  kPartCountOutOfRange,   // more than 999 parts, or none
};

// Which field of the main dialog a refusal sends the user back to.
enum class RequestField { kNone, kSourceFile, kDestination, kSizeList };

struct RefusalReaction {
  MessageId message;   // not shown for kNone
  RequestField field;  // gets the focus
  bool selectText;     // select the field's whole text after moving the focus
};

using PathPredicate = bool (*)(const char* path);

// The first check that fails, in the order the user is told about them. Looks
// only at the request, never at the controls; the predicates answer for the
// file system.
RequestRefusal FirstRequestRefusal(const char* sourcePath, const char* destFolder, std::uint32_t partCount,
                                   PathPredicate fileExists, PathPredicate isFolder);

RefusalReaction ReactionTo(RequestRefusal refusal);

// Drive and folder of a path, trailing separator kept: "D:\data\big.iso" gives
// "D:\data\", "\\srv\share\a.bin" gives "\\srv\share\", "big.iso" gives "".
// Either slash separates, on every platform. False (and out empty) when the
// result does not fit outSize.
bool SourceFolderOf(const char* sourcePath, char* out, std::size_t outSize, const LeadBytes& leads = PathLeadBytes());
