#include "request_rules.h"

#include <cstring>

#include "split_job.h"

RequestRefusal FirstRequestRefusal(const char* sourcePath, const char* destFolder,
                                   std::uint32_t partCount, PathPredicate fileExists,
                                   PathPredicate isFolder) {
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
      return {"Select a File to Split", RequestField::kSourceFile, false};
    case RequestRefusal::kSourceMissing:
      return {"File does not Exist", RequestField::kSourceFile, true};
    case RequestRefusal::kNoDestination:
      return {"Select a Destination Folder", RequestField::kDestination, false};
    case RequestRefusal::kDestinationNotFolder:
      return {"Directory not Valid / Insert Disk & Retry", RequestField::kDestination, true};
    case RequestRefusal::kPartCountOutOfRange:
      return {"Choose a split size, such that the number of split parts does not exceed 999 !",
              RequestField::kSizeList, false};
    case RequestRefusal::kNone:
      break;
  }
  return {nullptr, RequestField::kNone, false};
}

bool SourceFolderOf(const char* sourcePath, char* out, std::size_t outSize) {
  if (outSize == 0) return false;
  out[0] = '\0';
  std::size_t length = 0;
  const char first = static_cast<char>(sourcePath[0] | 0x20);
  const bool hasDrive = first >= 'a' && first <= 'z' && sourcePath[1] == ':';
  if (hasDrive) length = 2;
  // Up to and including the last separator after the drive; either slash counts.
  for (std::size_t i = length; sourcePath[i] != '\0'; ++i) {
    if (sourcePath[i] == '\\' || sourcePath[i] == '/') length = i + 1;
  }
  if (length >= outSize) return false;
  std::memcpy(out, sourcePath, length);
  out[length] = '\0';
  return true;
}
