#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "settings.h"
#include "settings_registry.h"

namespace {

using SettingsStore = PlyxKeyTest;

TEST_F(SettingsStore, FirstStartCreatesEveryValueWithItsDefault) {
  Settings settings;
  EXPECT_EQ(settings.status, 0);
  EXPECT_EQ(settings.disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
  EXPECT_EQ(settings.mrudLimit, 5u);
  EXPECT_EQ(settings.mrudDefault, 1u);

  char module[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameA(nullptr, module, sizeof module), 0u);
  const RawValue appPath = QueryRaw("App Path");
  EXPECT_EQ(appPath.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(appPath.bytes.size(), 260u);
  EXPECT_STREQ(appPath.bytes.c_str(), module);

  for (int slot = 1; slot <= 7; ++slot) {
    const std::string name = "MRUD" + std::to_string(slot);
    const RawValue value = QueryRaw(name.c_str());
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ)) << name;
    EXPECT_EQ(value.bytes, std::string(260, '\0')) << name;
  }
  const struct {
    const char* name;
    DWORD value;
  } dwords[] = {{"MRUDLimit", 5}, {"MRUDDefault", 1}, {"UseMRUD", 0},
                {"MinToSysTray", 1}, {"ShlRtClkEn", 1}, {"ToolTipEn", 1}};
  for (const auto& d : dwords) {
    EXPECT_EQ(QueryRaw(d.name).bytes.size(), 4u) << d.name;
    EXPECT_EQ(RawDword(d.name), d.value) << d.name;
  }

  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kPlyxKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD valueCount = 0;
  DWORD subkeyCount = 0;
  EXPECT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeyCount, nullptr, nullptr, &valueCount,
                             nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(valueCount, 14u);
  EXPECT_EQ(subkeyCount, 0u);
}

TEST_F(SettingsStore, SecondStartKeepsValuesAndRewritesAppPath) {
  { Settings first; }
  SetRawPath("App Path", "C:\\old\\plyx.exe");
  SetRawDword("MinToSysTray", 0);
  SetRawPath("MRUD3", "D:\\kept\\");
  Settings settings;
  EXPECT_EQ(settings.status, 0);
  EXPECT_EQ(settings.disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
  EXPECT_NE(RawPath("App Path"), "C:\\old\\plyx.exe");
  EXPECT_FALSE(settings.GetMinToSysTray());
  EXPECT_EQ(RawPath("MRUD3"), "D:\\kept\\");
}

TEST_F(SettingsStore, StoredLimitAndHeadAreBroughtIntoRange) {
  const struct {
    DWORD limit, head;
    std::uint32_t wantLimit, wantHead;
  } cases[] = {
      {9, 1, 5, 1},   {7, 7, 7, 7},  {5, 8, 5, 1},  {0, 1, 5, 1},  {5, 0, 5, 1},
      {3, 5, 3, 1},   // the limit was lowered below the head
      {1000, 2, 5, 2}, {2000, 2000, 5, 1},  // stored numbers that look like result codes
  };
  for (const auto& c : cases) {
    DeletePlyxKey();
    SetRawDword("MRUDLimit", c.limit);
    SetRawDword("MRUDDefault", c.head);
    Settings settings;
    const std::string label = "stored " + std::to_string(c.limit) + "/" + std::to_string(c.head);
    EXPECT_EQ(settings.status, 0) << label;
    EXPECT_EQ(settings.mrudLimit, c.wantLimit) << label;
    EXPECT_EQ(settings.mrudDefault, c.wantHead) << label;
    EXPECT_EQ(RawDword("MRUDLimit"), c.wantLimit) << label;
    EXPECT_EQ(RawDword("MRUDDefault"), c.wantHead) << label;
  }
}

TEST_F(SettingsStore, FlagsReadAnyNonzeroAsTrueAndWriteOneOrZero) {
  SetRawDword("UseMRUD", 2);
  SetRawDword("ToolTipEn", 0);
  Settings settings;
  EXPECT_TRUE(settings.GetUseMRUD());
  EXPECT_FALSE(settings.GetToolTipEn());
  EXPECT_EQ(RawDword("UseMRUD"), 2u) << "a present flag is not rewritten";

  EXPECT_TRUE(settings.SetToolTipEn(true));
  EXPECT_EQ(RawDword("ToolTipEn"), 1u);
  EXPECT_TRUE(settings.SetShlRtClkEn(false));
  EXPECT_EQ(RawDword("ShlRtClkEn"), 0u);
  EXPECT_FALSE(settings.GetShlRtClkEn());
  EXPECT_TRUE(settings.SetMinToSysTray(true));
  EXPECT_TRUE(settings.GetMinToSysTray());
  EXPECT_TRUE(settings.SetUseMRUD(false));
  EXPECT_EQ(RawDword("UseMRUD"), 0u);
}

TEST_F(SettingsStore, UnreadableFlagStopsInitialiseAndLeavesLaterFlags) {
  const DWORD eightBytes[2] = {1, 0};
  const WORD twoBytes = 1;
  const struct {
    const char* label;
    DWORD type;
    const void* data;
    DWORD size;
  } cases[] = {
      {"string", REG_SZ, "1", 2},
      {"eight bytes", REG_BINARY, eightBytes, sizeof eightBytes},
      {"short dword", REG_DWORD, &twoBytes, sizeof twoBytes},
  };
  for (const auto& c : cases) {
    DeletePlyxKey();
    SetRaw("MinToSysTray", c.type, c.data, c.size);
    SetRawDword("ToolTipEn", 0);
    Settings settings;
    EXPECT_NE(settings.status, 0) << c.label;
    EXPECT_NE(settings.status, kSettingsUnusable) << c.label << ": a failed flag read is no start-up failure";
    EXPECT_EQ(settings.Initialise(), kSettingsReadFailed) << c.label;
    EXPECT_EQ(RawDword("UseMRUD"), 0u) << c.label << ": the flag before it is set up";
    EXPECT_FALSE(settings.GetMinToSysTray()) << c.label;
    EXPECT_EQ(QueryRaw("ShlRtClkEn").result, ERROR_FILE_NOT_FOUND) << c.label;
    EXPECT_FALSE(settings.GetShlRtClkEn()) << c.label;
    EXPECT_EQ(RawDword("ToolTipEn"), 0u) << c.label;
  }
}

TEST_F(SettingsStore, ControlGettersReturnValueOrCode) {
  Settings settings;
  EXPECT_EQ(settings.GetMRUDLimit(), 5u);
  EXPECT_EQ(settings.GetMRUDDefault(), 1u);
  DeleteRaw("MRUDLimit");
  EXPECT_EQ(settings.GetMRUDLimit(), kSettingsMissing);
  EXPECT_EQ(settings.status, ERROR_FILE_NOT_FOUND);
  SetRawPath("MRUDDefault", "3");
  EXPECT_EQ(settings.GetMRUDDefault(), kSettingsReadFailed);
  EXPECT_NE(settings.status, 0);
}

TEST_F(SettingsStore, OutOfRangeSettersAndSlotsTouchNothing) {
  Settings settings;
  settings.status = 1234;  // a marker that only a registry call would change
  for (std::uint32_t n : {0u, 8u, 1000u}) {
    EXPECT_FALSE(settings.SetMRUDLimit(n)) << n;
    EXPECT_FALSE(settings.SetMRUDDefault(n)) << n;
    EXPECT_FALSE(settings.WriteMRUD("C:\\x\\", n)) << n;
    char buffer[260];
    std::memset(buffer, 'q', sizeof buffer);
    EXPECT_EQ(settings.ReadMRUD(buffer, n), kSettingsBadSlot) << n;
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(260, 'q')) << n;
  }
  EXPECT_EQ(settings.status, 1234);
  EXPECT_EQ(RawDword("MRUDLimit"), 5u);
  EXPECT_EQ(RawDword("MRUDDefault"), 1u);
  EXPECT_EQ(QueryRaw("MRUD8").result, ERROR_FILE_NOT_FOUND);

  EXPECT_TRUE(settings.SetMRUDLimit(7));
  EXPECT_EQ(RawDword("MRUDLimit"), 7u);
  EXPECT_TRUE(settings.SetMRUDLimit(1));
  EXPECT_EQ(RawDword("MRUDLimit"), 1u);
  EXPECT_EQ(settings.mrudLimit, 5u) << "the slot count is fixed for the run";
}

TEST_F(SettingsStore, SlotsAreWrittenAs260BytesWithAZeroTail) {
  Settings settings;
  char buffer[260];
  std::memset(buffer, 'G', sizeof buffer);  // leftover bytes past the terminator
  std::memcpy(buffer, "C:\\dest\\", 9);
  ASSERT_TRUE(settings.WriteMRUD(buffer, 4));
  const RawValue value = QueryRaw("MRUD4");
  EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(value.bytes, std::string("C:\\dest\\") + std::string(260 - 8, '\0'));

  char read[260];
  std::memset(read, 'r', sizeof read);
  EXPECT_EQ(settings.ReadMRUD(read, 4), kSettingsOk);
  EXPECT_STREQ(read, "C:\\dest\\");

  std::memset(buffer, 'G', sizeof buffer);  // no terminator at all
  EXPECT_FALSE(settings.WriteMRUD(buffer, 4));
  EXPECT_EQ(RawPath("MRUD4"), "C:\\dest\\");
}

TEST_F(SettingsStore, SlotsThatAreNotPathsReadAsFailures) {
  Settings settings;
  char full[260];
  std::memset(full, 'Z', sizeof full);
  const DWORD number = 7;
  const struct {
    const char* label;
    DWORD type;
    const void* data;
    DWORD size;
  } cases[] = {
      {"dword", REG_DWORD, &number, sizeof number},
      {"binary", REG_BINARY, "C:\\x\\", 6},
      {"no terminator", REG_BINARY, full, sizeof full},
  };
  for (const auto& c : cases) {
    SetRaw("MRUD2", c.type, c.data, c.size);
    char buffer[260];
    std::memset(buffer, 'q', sizeof buffer);
    EXPECT_EQ(settings.ReadMRUD(buffer, 2), kSettingsReadFailed) << c.label;
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(260, 'q')) << c.label;
  }
  char buffer[260] = {};
  DeleteRaw("MRUD2");
  EXPECT_EQ(settings.ReadMRUD(buffer, 2), kSettingsMissing);
}

TEST_F(SettingsStore, StartupNotesAnUnreadableSlot) {
  SetRawDword("MRUD6", 1);
  Settings settings;
  EXPECT_EQ(settings.status, kSettingsUnusable);
}

// HKCU\Software\Plyx as a volatile registry link to a place where no key
// can be created, so that creating or opening it fails. Wine ignores an empty
// access list on a key for its (administrator) user, so a locked key would
// not do.
class DanglingPlyxLink {
 public:
  DanglingPlyxLink() {
    HKEY link = nullptr;
    created = RegCreateKeyExA(HKEY_CURRENT_USER, kPlyxKey, 0, nullptr, REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &link, nullptr) == ERROR_SUCCESS;
    if (!created) return;
    static const wchar_t kTarget[] = L"\\Registry\\Nowhere\\Plyx";
    linked = RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(kTarget),
                            sizeof kTarget - sizeof(wchar_t)) == ERROR_SUCCESS;
    RegCloseKey(link);
  }
  ~DanglingPlyxLink() {
    HKEY self = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kPlyxKey, REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS, &self) != ERROR_SUCCESS) {
      return;
    }
    // A link key is removed only through its own handle.
    using NtDeleteKeyFn = LONG(WINAPI*)(HANDLE);
    const FARPROC proc = GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey");
    if (proc != nullptr) {
      reinterpret_cast<NtDeleteKeyFn>(reinterpret_cast<void (*)()>(proc))(self);
    }
    RegCloseKey(self);
  }
  bool created = false;
  bool linked = false;
};

TEST_F(SettingsStore, KeyThatCannotBeCreatedMarksTheStoreUnusable) {
  DanglingPlyxLink link;
  ASSERT_TRUE(link.created && link.linked);
  Settings settings;
  EXPECT_EQ(settings.status, kSettingsUnusable);
  EXPECT_EQ(settings.key, nullptr);
  // Later calls fail quietly rather than touch a null key.
  EXPECT_FALSE(settings.GetToolTipEn());
  EXPECT_EQ(settings.GetMRUDLimit(), kSettingsReadFailed);
  EXPECT_FALSE(settings.SetUseMRUD(true));
  char buffer[260] = "untouched";
  EXPECT_TRUE(settings.NextMRUD(buffer, 1));
  EXPECT_STREQ(buffer, "");
  EXPECT_TRUE(settings.AddMRUD("C:\\x\\"));
}

}  // namespace
