#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "settings.h"
#include "settings_registry.h"

namespace {

using SettingsStore = PlyxKeyTest;

TEST_F(SettingsStore, FirstStartCreatesEveryValueWithItsDefault) {
  Settings settings;
  EXPECT_EQ(settings.status, 0);
  EXPECT_EQ(settings.mrudLimit, 5u);
  EXPECT_EQ(settings.mrudDefault, 1u);
  char module[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, module, sizeof module);
  const RawValue appPath = QueryRaw("App Path");
  EXPECT_EQ(appPath.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(appPath.bytes, module + std::string(260 - std::strlen(module), '\0'));
  for (const char* slot : {"MRUD1", "MRUD2", "MRUD3", "MRUD4", "MRUD5", "MRUD6", "MRUD7"}) {
    EXPECT_EQ(QueryRaw(slot).type, static_cast<DWORD>(REG_SZ)) << slot;
    EXPECT_EQ(QueryRaw(slot).bytes, std::string(260, '\0')) << slot;
  }
  const std::pair<const char*, DWORD> dwords[] = {{"MRUDLimit", 5}, {"MRUDDefault", 1}, {"UseMRUD", 0},
                                                  {"MinToSysTray", 1}, {"ShlRtClkEn", 1}, {"ToolTipEn", 1}};
  for (const auto& d : dwords) EXPECT_EQ(RawDword(d.first), d.second) << d.first;
  DWORD valueCount = 0;
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kPlyxKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &valueCount, nullptr, nullptr,
                   nullptr, nullptr);
  RegCloseKey(key);
  EXPECT_EQ(valueCount, 14u);

  // A second start keeps what is there and rewrites only the program's path.
  SetRawPath("App Path", "C:\\old.exe");
  SetRawDword("MinToSysTray", 0);
  SetRawPath("MRUD3", "D:\\kept\\");
  Settings again;
  EXPECT_STREQ(RawPath("App Path").c_str(), module);
  EXPECT_FALSE(again.GetMinToSysTray());
  EXPECT_EQ(RawPath("MRUD3"), "D:\\kept\\");
}

TEST_F(SettingsStore, StoredLimitAndHeadAreBroughtIntoRangeAndWrittenBack) {
  const struct {
    DWORD limit, head, wantLimit, wantHead;
  } cases[] = {
      {9, 1, 5, 1}, {7, 7, 7, 7}, {5, 8, 5, 1}, {0, 1, 5, 1}, {5, 0, 5, 1},
      {3, 5, 3, 1},      // the limit was lowered below the head
      {1000, 2, 5, 2},   // a stored number that looks like a result code
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
  Settings settings;
  EXPECT_TRUE(settings.GetUseMRUD());
  EXPECT_EQ(RawDword("UseMRUD"), 2u);
  EXPECT_TRUE(settings.SetShlRtClkEn(false));
  EXPECT_EQ(RawDword("ShlRtClkEn"), 0u);
  EXPECT_FALSE(settings.GetShlRtClkEn());
  EXPECT_TRUE(settings.SetUseMRUD(true));
  EXPECT_EQ(RawDword("UseMRUD"), 1u);
}

TEST_F(SettingsStore, UnreadableFlagStopsInitialiseAndLeavesLaterFlags) {
  const DWORD eightBytes[2] = {1, 0};
  const WORD twoBytes = 1;
  const struct {
    const char* label;
    DWORD type;
    const void* data;
    DWORD size;
  } cases[] = {{"string", REG_SZ, "1", 2},
               {"eight bytes", REG_BINARY, eightBytes, sizeof eightBytes},
               {"short dword", REG_DWORD, &twoBytes, sizeof twoBytes}};
  for (const auto& c : cases) {
    DeletePlyxKey();
    SetRaw("MinToSysTray", c.type, c.data, c.size);
    SetRawDword("ToolTipEn", 0);
    Settings settings;
    EXPECT_NE(settings.status, 0) << c.label;
    EXPECT_NE(settings.status, kSettingsUnusable) << c.label << ": no start-up failure";
    EXPECT_EQ(settings.Initialise(), kSettingsReadFailed) << c.label;
    EXPECT_EQ(RawDword("UseMRUD"), 0u) << c.label;
    EXPECT_FALSE(settings.GetMinToSysTray()) << c.label;
    EXPECT_EQ(QueryRaw("ShlRtClkEn").result, ERROR_FILE_NOT_FOUND) << c.label;
    EXPECT_FALSE(settings.GetShlRtClkEn()) << c.label;
    EXPECT_EQ(RawDword("ToolTipEn"), 0u) << c.label;
  }
}

TEST_F(SettingsStore, OutOfRangeNumbersTouchNeitherRegistryNorBuffer) {
  Settings settings;
  settings.status = 1234;  // only a registry call would change it
  for (std::uint32_t n : {0u, 8u}) {
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
  EXPECT_TRUE(settings.SetMRUDLimit(7));
  EXPECT_EQ(settings.GetMRUDLimit(), 7u);
  EXPECT_EQ(settings.mrudLimit, 5u) << "the slot count is fixed for the run";
}

TEST_F(SettingsStore, SlotsHoldOnlyTheirPath) {
  Settings settings;
  char buffer[260];
  std::memset(buffer, 'G', sizeof buffer);  // leftovers past the terminator
  std::memcpy(buffer, "C:\\dest\\", 9);
  ASSERT_TRUE(settings.WriteMRUD(buffer, 4));
  EXPECT_EQ(QueryRaw("MRUD4").bytes, std::string("C:\\dest\\") + std::string(252, '\0'));
  std::memset(buffer, 'G', sizeof buffer);  // no terminator at all
  EXPECT_FALSE(settings.WriteMRUD(buffer, 4));
  EXPECT_EQ(RawPath("MRUD4"), "C:\\dest\\");

  // Values changed from outside that are not paths leave the buffer alone.
  const DWORD number = 7;
  const struct {
    DWORD type;
    const void* data;
    DWORD size;
  } notPaths[] = {{REG_DWORD, &number, 4}, {REG_BINARY, "C:\\x\\", 6}, {REG_BINARY, buffer, 260}};
  for (std::size_t i = 0; i < sizeof notPaths / sizeof notPaths[0]; ++i) {
    SetRaw("MRUD2", notPaths[i].type, notPaths[i].data, notPaths[i].size);
    char read[260] = "kept";
    EXPECT_EQ(settings.ReadMRUD(read, 2), kSettingsReadFailed) << "case " << i;
    EXPECT_STREQ(read, "kept") << "case " << i;
  }
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kPlyxKey, "MRUD2");
  char read[260] = {};
  EXPECT_EQ(settings.ReadMRUD(read, 2), kSettingsMissing);
  EXPECT_EQ(settings.GetMRUDDefault(), 1u);
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kPlyxKey, "MRUDDefault");
  EXPECT_EQ(settings.GetMRUDDefault(), kSettingsMissing);
}

// HKCU\Software\Plyx as a volatile registry link to where no key can be
// created. Wine ignores an empty access list on a key for its (administrator)
// user, so a locked key would not make the creation fail.
struct DanglingPlyxLink {
  DanglingPlyxLink() {
    HKEY link = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kPlyxKey, 0, nullptr, REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &link, nullptr) != ERROR_SUCCESS) {
      return;
    }
    static const wchar_t kTarget[] = L"\\Registry\\Nowhere\\Plyx";
    made = RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(kTarget),
                          sizeof kTarget - sizeof(wchar_t)) == ERROR_SUCCESS;
    RegCloseKey(link);
  }
  ~DanglingPlyxLink() {
    HKEY self = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kPlyxKey, REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS, &self) != ERROR_SUCCESS) return;
    // A link key can only be removed through its own handle.
    using NtDeleteKeyFn = LONG(WINAPI*)(HANDLE);
    const FARPROC proc = GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey");
    if (proc != nullptr) reinterpret_cast<NtDeleteKeyFn>(reinterpret_cast<void (*)()>(proc))(self);
    RegCloseKey(self);
  }
  bool made = false;
};

TEST_F(SettingsStore, KeyThatCannotBeCreatedMarksTheStoreUnusable) {
  DanglingPlyxLink link;
  ASSERT_TRUE(link.made);
  Settings settings;
  EXPECT_EQ(settings.status, kSettingsUnusable);
  EXPECT_EQ(settings.key, nullptr);
  EXPECT_FALSE(settings.GetToolTipEn());
  char buffer[260] = "old";
  EXPECT_TRUE(settings.NextMRUD(buffer, 1));
  EXPECT_STREQ(buffer, "");
}

TEST_F(SettingsStore, UnreadableSlotAtStartUpMarksTheStoreUnusable) {
  SetRawDword("MRUD6", 1);
  Settings settings;
  EXPECT_EQ(settings.status, kSettingsUnusable);
}

}  // namespace
