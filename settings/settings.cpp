#include "settings.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include "ansi_text.h"

Settings* AppSettings = nullptr;

bool UseMRUD() { return AppSettings != nullptr && AppSettings->GetUseMRUD(); }
bool MinToSysTray() { return AppSettings != nullptr && AppSettings->GetMinToSysTray(); }
bool ToolTipEn() { return AppSettings != nullptr && AppSettings->GetToolTipEn(); }

namespace {

constexpr char kKeyPath[] = "Software\\Plyx";
constexpr char kLimitName[] = "MRUDLimit";
constexpr char kHeadName[] = "MRUDDefault";

struct FlagDefault {
  const char* name;
  bool (Settings::*set)(bool);
  bool value;
};

// Order matters: a failed read stops the walk and leaves the later flags alone.
const FlagDefault kFlagDefaults[] = {
    {"UseMRUD", &Settings::SetUseMRUD, false},
    {"MinToSysTray", &Settings::SetMinToSysTray, true},
    {"ShlRtClkEn", &Settings::SetShlRtClkEn, true},
    {"ToolTipEn", &Settings::SetToolTipEn, true},
};

// The accessors' code for a read: a value that cannot be used is a failed read.
std::uint32_t CodeOf(StoredRead read) {
  switch (read) {
    case StoredRead::kValue:
      return kSettingsOk;
    case StoredRead::kMissing:
      return kSettingsMissing;
    default:
      return kSettingsReadFailed;
  }
}

bool SlotFits(std::uint32_t slot) { return slot >= 1 && slot <= kMrudSlotCount; }

void SlotName(std::uint32_t slot, char (&name)[8]) {
  std::snprintf(name, sizeof name, "MRUD%i", static_cast<int>(slot));
}

// Value names are ASCII, the same in every code page.
std::wstring Widened(const char* ascii) { return std::wstring(ascii, ascii + std::strlen(ascii)); }

// A slot whose path this code page cannot hold, or not in 260 bytes: written
// under another code page, it is kept for the copy of PLYX that can read it.
bool HeldForAnotherCodePage(std::int32_t status) {
  return status == ERROR_NO_UNICODE_TRANSLATION || status == ERROR_FILENAME_EXCED_RANGE;
}

}  // namespace

Settings::Settings() {
  const std::uint32_t result = Initialise();
  if (startupFailureNoted || result == kSettingsFlagWriteFailed) status = kSettingsUnusable;
}

Settings::~Settings() {
  if (key != nullptr) RegCloseKey(key);
}

std::uint32_t Settings::Initialise() {
  startupFailureNoted = false;
  if (key != nullptr) {
    RegCloseKey(key);
    key = nullptr;
  }
  status =
      static_cast<std::int32_t>(RegCreateKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, const_cast<char*>(""),
                                                REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, &disposition));
  if (status != ERROR_SUCCESS) {
    key = nullptr;
    startupFailureNoted = true;
  }

  // A path that is not exactly the program's would name another file, so
  // none is stored instead.
  char appPath[kPathBufferSize] = {};
  if (!ModulePathExactly(appPath)) appPath[0] = '\0';
  if (!WriteText("App Path", appPath)) startupFailureNoted = true;

  SetUpHistory();
  if (!SetUpSlots()) startupFailureNoted = true;

  for (const FlagDefault& flag : kFlagDefaults) {
    DWORD value = 0;
    const std::uint32_t read = ReadDword(flag.name, &value);
    if (read == kSettingsMissing) {
      if (!(this->*flag.set)(flag.value)) return kSettingsFlagWriteFailed;
    } else if (read != kSettingsOk) {
      return kSettingsReadFailed;
    }
  }
  return kSettingsOk;
}

void Settings::SetUpHistory() {
  DWORD stored = 0;
  StoredRead read = ReadControl(kLimitName, &stored);
  if (read == StoredRead::kFailed) startupFailureNoted = true;
  const StartupValue limit = StartupMrudLimit(read, stored);
  if (limit.writeBack && !SetMRUDLimit(limit.value)) startupFailureNoted = true;
  mrudLimit = limit.value;

  read = ReadControl(kHeadName, &stored);
  if (read == StoredRead::kFailed) startupFailureNoted = true;
  const StartupValue head = StartupMrudHead(read, stored, mrudLimit);
  if (head.writeBack && !SetMRUDDefault(head.value)) startupFailureNoted = true;
  mrudDefault = head.value;
}

// All seven slots, whatever the limit, so that a raised limit finds them. A
// slot that holds no path (changed from outside) is emptied, not a failure:
// the store works, and nothing else would ever repair it.
bool Settings::SetUpSlots() {
  for (std::uint32_t slot = 1; slot <= kMrudSlotCount; ++slot) {
    char scratch[kPathBufferSize];
    const StoredRead read = ReadSlot(scratch, slot);
    if (read == StoredRead::kFailed) return false;
    if (read != StoredRead::kValue && !HeldForAnotherCodePage(status)) {
      const char empty[kPathBufferSize] = {};
      if (!WriteMRUD(empty, slot)) return false;
    }
  }
  return true;
}

// The wide calls: the registry holds text in UTF-16, and only its exact
// conversion gives a path back as it was, whatever code page wrote it.
StoredRead Settings::QueryValue(const char* name, DWORD type, void* data, DWORD size) {
  dataSize = size;
  status = key == nullptr ? ERROR_INVALID_HANDLE
                          : static_cast<std::int32_t>(RegQueryValueExW(key, Widened(name).c_str(), nullptr, &valueType,
                                                                       static_cast<BYTE*>(data), &dataSize));
  switch (status) {
    case ERROR_SUCCESS:
      break;
    case ERROR_FILE_NOT_FOUND:
      return StoredRead::kMissing;
    case ERROR_MORE_DATA:  // larger than any value PLYX writes
      return StoredRead::kUnusable;
    default:
      return StoredRead::kFailed;
  }
  if (valueType == type) return StoredRead::kValue;
  status = ERROR_DATATYPE_MISMATCH;
  return StoredRead::kUnusable;
}

bool Settings::SetValue(const char* name, DWORD type, const void* data, DWORD size) {
  dataSize = size;
  status = key == nullptr ? ERROR_INVALID_HANDLE
                          : static_cast<std::int32_t>(RegSetValueExW(key, Widened(name).c_str(), 0, type,
                                                                     static_cast<const BYTE*>(data), size));
  return status == ERROR_SUCCESS;
}

StoredRead Settings::ReadControl(const char* name, DWORD* value) {
  DWORD data = 0;
  const StoredRead read = QueryValue(name, REG_DWORD, &data, sizeof data);
  if (read != StoredRead::kValue) return read;
  // A shorter value would come back as a partial number.
  if (dataSize != sizeof data) {
    status = ERROR_INVALID_DATA;
    return StoredRead::kUnusable;
  }
  *value = data;
  return StoredRead::kValue;
}

std::uint32_t Settings::ReadDword(const char* name, DWORD* value) { return CodeOf(ReadControl(name, value)); }

bool Settings::WriteDword(const char* name, DWORD value) { return SetValue(name, REG_DWORD, &value, sizeof value); }

bool Settings::WriteText(const char* name, const char* text) {
  const std::size_t length = ::strnlen(text, kPathBufferSize);
  if (length == kPathBufferSize) return false;
  // Copied into a zeroed buffer so that the 260 bytes stored never carry
  // whatever followed the caller's terminator.
  char data[kPathBufferSize] = {};
  std::memcpy(data, text, length);
  // Stored as RegSetValueExA would store it: the 260 bytes in UTF-16.
  std::wstring wide;
  if (!AnsiToWideExactly(data, sizeof data, &wide)) {
    status = ERROR_NO_UNICODE_TRANSLATION;
    return false;
  }
  return SetValue(name, REG_SZ, wide.data(), static_cast<DWORD>(wide.size() * sizeof(wchar_t)));
}

bool Settings::ReadFlag(const char* name) {
  DWORD value = 0;
  return ReadDword(name, &value) == kSettingsOk && value != 0;
}

std::uint32_t Settings::GetMRUDLimit() {
  DWORD value = 0;
  const std::uint32_t read = ReadDword(kLimitName, &value);
  return read == kSettingsOk ? value : read;
}

std::uint32_t Settings::GetMRUDDefault() {
  DWORD value = 0;
  const std::uint32_t read = ReadDword(kHeadName, &value);
  return read == kSettingsOk ? value : read;
}

bool Settings::SetMRUDLimit(std::uint32_t n) { return MrudLimitFits(n) && WriteDword(kLimitName, n); }

bool Settings::SetMRUDDefault(std::uint32_t n) { return SlotFits(n) && WriteDword(kHeadName, n); }

StoredRead Settings::ReadSlot(char* buffer, std::uint32_t slot) {
  char name[8];
  SlotName(slot, name);
  // Read aside and handed over only when whole, so a failed read leaves the
  // caller's buffer as it was.
  // 260 bytes of any code page are at most 260 UTF-16 units.
  wchar_t data[kPathBufferSize] = {};
  const StoredRead read = QueryValue(name, REG_SZ, data, sizeof data);
  if (read != StoredRead::kValue) return read;
  // A value changed from outside may lack its terminator within the 260 units.
  if (std::wmemchr(data, L'\0', kPathBufferSize) == nullptr) {
    status = ERROR_INVALID_DATA;
    return StoredRead::kUnusable;
  }
  std::string path;
  if (!WideToExactAnsi(data, &path)) {
    status = ERROR_NO_UNICODE_TRANSLATION;
    return StoredRead::kUnusable;
  }
  if (path.size() >= kPathBufferSize) {
    status = ERROR_FILENAME_EXCED_RANGE;
    return StoredRead::kUnusable;
  }
  std::memset(buffer, 0, kPathBufferSize);
  path.copy(buffer, path.size());
  return StoredRead::kValue;
}

std::uint32_t Settings::ReadMRUD(char* buffer, std::uint32_t slot) {
  if (!SlotFits(slot)) return kSettingsBadSlot;
  return CodeOf(ReadSlot(buffer, slot));
}

bool Settings::WriteMRUD(const char* buffer, std::uint32_t slot) {
  if (!SlotFits(slot)) return false;
  char name[8];
  SlotName(slot, name);
  return WriteText(name, buffer);
}

bool Settings::GetUseMRUD() { return ReadFlag("UseMRUD"); }
bool Settings::GetMinToSysTray() { return ReadFlag("MinToSysTray"); }
bool Settings::GetShlRtClkEn() { return ReadFlag("ShlRtClkEn"); }
bool Settings::GetToolTipEn() { return ReadFlag("ToolTipEn"); }
bool Settings::SetUseMRUD(bool on) { return WriteDword("UseMRUD", on ? 1 : 0); }
bool Settings::SetMinToSysTray(bool on) { return WriteDword("MinToSysTray", on ? 1 : 0); }
bool Settings::SetShlRtClkEn(bool on) { return WriteDword("ShlRtClkEn", on ? 1 : 0); }
bool Settings::SetToolTipEn(bool on) { return WriteDword("ToolTipEn", on ? 1 : 0); }

bool Settings::AddMRUD(const char* path) {
  if (path == nullptr || path[0] == '\0') return true;
  MrudSlotContent slots[kMrudSlotCount];
  for (std::uint32_t slot = 1; slot <= mrudLimit && slot <= kMrudSlotCount; ++slot) {
    slots[slot - 1].readable = ReadMRUD(slots[slot - 1].path, slot) == kSettingsOk;
  }
  const MrudAddPlan plan = PlanMrudAdd(path, mrudDefault, mrudLimit, slots);
  switch (plan.action) {
    case MrudAddAction::kNothing:
      break;
    case MrudAddAction::kFillEmpty:
      WriteMRUD(path, plan.slot);
      SetMRUDDefault(plan.slot);
      mrudDefault = plan.slot;
      break;
    case MrudAddAction::kReplaceOldest:
      // The head goes first: if it cannot be moved, the oldest entry stays
      // rather than a ring whose head no longer points at its newest entry.
      if (SetMRUDDefault(plan.slot)) {
        mrudDefault = plan.slot;
        WriteMRUD(path, plan.slot);
      }
      break;
  }
  return true;
}

bool Settings::NextMRUD(char* buffer, int mode) {
  std::uint32_t slot = 0;
  if (mode == 1) {
    slot = walk.Start(mrudDefault, mrudLimit);
  } else if (mode != 2 || !walk.Next(&slot)) {
    return false;
  }
  // An unreadable slot still counts as a step of the walk, as an empty one.
  if (ReadMRUD(buffer, slot) != kSettingsOk) buffer[0] = '\0';
  return true;
}
