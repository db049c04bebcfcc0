// Decisions about a split request that need no window: which check refuses a
// request first, and which folder a chosen file's parts go to by default.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

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

// Where a name for the request comes from: each way refuses in its own manner.
enum class NameEntry { kCommandLine, kHandOver, kDrop, kPicker, kTyped, kHistory, kSourceFolder };
enum class NameField { kSource, kDestination };

// A name as it arrives. bytes: of its ANSI form, terminator excluded.
struct NameFacts {
  bool exact;  // it has an exact form in the ANSI code page
  std::size_t bytes;
  bool exists;  // it reaches an existing file or folder
};

struct NameVerdict {
  bool taken;                        // written whole into the request
  bool clears;                       // refused, and the field's earlier name goes too (the text that named it is gone)
  std::optional<MessageId> refusal;  // what the user is told, if anything
};

// Whether a name goes into the request as the file to split or the
// destination. A name is written whole or not at all: a best fit or a cut
// name would reach another file.
NameVerdict JudgeName(NameField field, NameEntry entry, const NameFacts& facts);

// Drive and folder of a path, trailing separator kept: "D:\data\big.iso" gives
// "D:\data\", "\\srv\share\a.bin" gives "\\srv\share\", "big.iso" gives "".
// Either slash separates, on every platform. False (and out empty) when the
// result does not fit outSize.
bool SourceFolderOf(const char* sourcePath, char* out, std::size_t outSize, const LeadBytes& leads = PathLeadBytes());
