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
