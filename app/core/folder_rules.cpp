#include "folder_rules.h"

#include <cstring>

namespace {

// A colon is allowed only as the second character.
bool IsRefusedCharacter(char c) { return c != '\0' && std::strchr(":/*?\"<>|", c) != nullptr; }

// "\", "X:\" and "\\server" or "\\server\share": roots keep their backslash
// when a trailing one is removed.
bool IsRootPath(const char* path, const LeadBytes& leads) {
  if (path[0] == '\\') {
    if (path[1] == '\0') return true;
    if (path[1] != '\\') return false;
    bool seenBackslash = false;
    for (const char* c = path + 2; *c != '\0'; c = leads.Next(c)) {
      if (*c != '\\') continue;
      if (seenBackslash) return false;
      seenBackslash = true;
    }
    return true;
  }
  return path[0] != '\0' && path[1] == ':' && path[2] == '\\' && path[3] == '\0';
}

std::size_t CharacterCount(const char* text, const LeadBytes& leads) {
  std::size_t count = 0;
  for (const char* c = text; *c != '\0'; c = leads.Next(c)) ++count;
  return count;
}

}  // namespace

// Every step looks at characters: a trail byte may be the byte of '\' or '|'.
FolderNameVerdict CheckFolderName(const char* name, char* probe, std::size_t probeSize, const LeadBytes& leads) {
  if (probeSize == 0) return FolderNameVerdict::kInvalid;
  probe[0] = '\0';
  if (name[0] == '\0') return FolderNameVerdict::kEmpty;
  if (CharacterCount(name, leads) < 3) return FolderNameVerdict::kInvalid;
  const std::size_t nameLength = std::strlen(name);
  if (nameLength >= probeSize) return FolderNameVerdict::kInvalid;
  std::memcpy(probe, name, nameLength + 1);

  std::size_t length = nameLength;
  char* last = probe + (leads.Last(probe) - probe);
  if (*last == '\\' && !IsRootPath(probe, leads)) {
    *last = '\0';
    length = static_cast<std::size_t>(last - probe);
    if (*leads.Last(probe) == '\\') {
      probe[0] = '\0';
      return FolderNameVerdict::kInvalid;
    }
  }

  // A drive letter and its colon: two characters of one byte each.
  bool wellFormed = !leads.IsLead(probe[0]) && !IsRefusedCharacter(probe[0]) && probe[1] == ':';
  for (const char* c = probe + 2; wellFormed && *c != '\0'; c = leads.Next(c)) { wellFormed = !IsRefusedCharacter(*c); }
  if (!wellFormed) {
    probe[0] = '\0';
    return FolderNameVerdict::kBadCharacters;
  }

  if (*leads.Last(probe) != '\\') {
    // A name that fills the buffer has no room for the backslash; appending
    // it regardless would write one byte past a 260-byte path buffer.
    if (length + 2 > probeSize) {
      probe[0] = '\0';
      return FolderNameVerdict::kInvalid;
    }
    probe[length++] = '\\';
    probe[length] = '\0';
  }
  return FolderNameVerdict::kWellFormed;
}

MessageId NoticeFor(FolderNameVerdict verdict) {
  return verdict == FolderNameVerdict::kBadCharacters ? MessageId::kBadFolderCharacters : MessageId::kInvalidFolderName;
}

MessageId NoticeForProbeError(std::uint32_t error) {
  switch (error) {
    case 2:  // ERROR_FILE_NOT_FOUND
    case 3:  // ERROR_PATH_NOT_FOUND
      return MessageId::kAskToCreateFolder;
    case 5:  // ERROR_ACCESS_DENIED
      return MessageId::kFolderAccessDenied;
    case 21:  // ERROR_NOT_READY
      return MessageId::kInsertDisk;
    case 53:  // ERROR_BAD_NETPATH
      return MessageId::kNetworkNotFound;
    default:
      return MessageId::kDiskAccessFailure;
  }
}
