#include "request_rules.h"

#include <cstring>

#include "path_text.h"
#include "split_job.h"

RequestRefusal FirstRequestRefusal(const char* sourcePath, const char* destFolder, std::uint32_t partCount,
                                   PathPredicate fileExists, PathPredicate isFolder) {
  if (sourcePath[0] == '\0') return RequestRefusal::kNoSource;
  if (!fileExists(sourcePath)) return RequestRefusal::kSourceMissing;
  if (destFolder[0] == '\0') return RequestRefusal::kNoDestination;
  if (!isFolder(destFolder)) return RequestRefusal::kDestinationNotFolder;
  if (partCount < 1 || partCount > kMaxParts) return RequestRefusal::kPartCountOutOfRange;
  return RequestRefusal::kNone;
}

RefusalReaction ReactionTo(RequestRefusal refusal) {
  switch (refusal) {
    case RequestRefusal::kNoSource:
      return {MessageId::kNoSource, RequestField::kSourceFile, false};
    case RequestRefusal::kSourceMissing:
      return {MessageId::kSourceMissing, RequestField::kSourceFile, true};
    case RequestRefusal::kNoDestination:
      return {MessageId::kNoDestination, RequestField::kDestination, false};
    case RequestRefusal::kDestinationNotFolder:
      return {MessageId::kDestinationNotFolder, RequestField::kDestination, true};
    case RequestRefusal::kPartCountOutOfRange:
      return {MessageId::kTooManyParts, RequestField::kSizeList, false};
    case RequestRefusal::kNone:
      break;
  }
  return {MessageId::kNoSource, RequestField::kNone, false};
}

NameVerdict JudgeName(NameField field, NameEntry entry, const NameFacts& facts) {
  // Typed text and the command line replace what the field named before.
  const bool clears = entry == NameEntry::kTyped || (entry == NameEntry::kCommandLine && field == NameField::kSource);
  if (!facts.exact) {
    // Told where the user chose or typed it; a command line only when it names something.
    const bool told =
        entry == NameEntry::kPicker || entry == NameEntry::kTyped || (entry == NameEntry::kCommandLine && facts.exists);
    return {false, clears, told ? std::optional<MessageId>(MessageId::kInexactName) : std::nullopt};
  }
  if (facts.bytes >= kPathBufferSize) {
    // A typed file as a missing one; a typed folder is refused by its own check.
    const bool told = entry == NameEntry::kTyped && field == NameField::kSource;
    return {false, clears, told ? std::optional<MessageId>(MessageId::kSourceMissing) : std::nullopt};
  }
  // What a second start or the command line names is taken only if it exists;
  // typed and picked names are checked by the size read, the field's check or Split.
  if ((entry == NameEntry::kCommandLine || entry == NameEntry::kHandOver) && !facts.exists) {
    return {false, clears, std::nullopt};
  }
  return {true, false, std::nullopt};
}

bool SourceFolderOf(const char* sourcePath, char* out, std::size_t outSize, const LeadBytes& leads) {
  if (outSize == 0) return false;
  out[0] = '\0';
  const std::size_t length =
      static_cast<std::size_t>(FileNamePart(sourcePath, leads, PathStyle::kWindows) - sourcePath);
  if (length >= outSize) return false;
  std::memcpy(out, sourcePath, length);
  out[length] = '\0';
  return true;
}
