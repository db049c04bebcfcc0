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

  // A second start keeps what is there and rewrites only the program's path;
  // flags read any nonzero as true and are written as one or zero.
  SetRawPath("App Path", "C:\\old.exe");
  SetRawDword("MinToSysTray", 0);
  SetRawDword("UseMRUD", 2);
  SetRawPath("MRUD3", "D:\\kept\\");
  Settings again;
  EXPECT_STREQ(RawPath("App Path").c_str(), module);
  EXPECT_FALSE(again.GetMinToSysTray());
  EXPECT_TRUE(again.GetUseMRUD());
  EXPECT_EQ(RawDword("UseMRUD"), 2u);
  EXPECT_EQ(RawPath("MRUD3"), "D:\\kept\\");
  EXPECT_TRUE(again.SetShlRtClkEn(false) && again.SetUseMRUD(true));
  EXPECT_EQ(RawDword("ShlRtClkEn"), 0u);
  EXPECT_FALSE(again.GetShlRtClkEn());
  EXPECT_EQ(RawDword("UseMRUD"), 1u);
}

// The ranges themselves are host-tested (settings_ring_test); here the write-back.
TEST_F(SettingsStore, StoredLimitAndHeadAreBroughtIntoRangeAndWrittenBack) {
  const struct {
    DWORD limit, head, wantLimit, wantHead;
  } cases[] = {{9, 1, 5, 1}, {3, 5, 3, 1}, {1000, 2, 5, 2} /* a number that looks like a result code */};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "stored " << c.limit << "/" << c.head);
    DeletePlyxKey();
    SetRawDword("MRUDLimit", c.limit);
    SetRawDword("MRUDDefault", c.head);
    Settings settings;
    EXPECT_EQ(settings.status, 0);
    EXPECT_EQ(settings.mrudLimit, c.wantLimit);
    EXPECT_EQ(settings.mrudDefault, c.wantHead);
    EXPECT_EQ(RawDword("MRUDLimit"), c.wantLimit);
    EXPECT_EQ(RawDword("MRUDDefault"), c.wantHead);
  }
}

TEST_F(SettingsStore, UnreadableFlagStopsInitialiseAndLeavesLaterFlags) {
  const DWORD eightBytes[2] = {1, 0};
  const WORD twoBytes = 1;
  const struct {
    DWORD type;
    const void* data;
    DWORD size;
  } cases[] = {{REG_SZ, "1", 2}, {REG_BINARY, eightBytes, sizeof eightBytes}, {REG_DWORD, &twoBytes, sizeof twoBytes}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << ", " << c.size << " bytes");
    DeletePlyxKey();
    SetRaw("MinToSysTray", c.type, c.data, c.size);
    SetRawDword("ToolTipEn", 0);
    Settings settings;
    EXPECT_NE(settings.status, 0);
    EXPECT_NE(settings.status, kSettingsUnusable) << "no start-up failure";
    EXPECT_EQ(settings.Initialise(), kSettingsReadFailed);
    EXPECT_EQ(RawDword("UseMRUD"), 0u);
    EXPECT_FALSE(settings.GetMinToSysTray());
    EXPECT_EQ(QueryRaw("ShlRtClkEn").result, ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(settings.GetShlRtClkEn());
    EXPECT_EQ(RawDword("ToolTipEn"), 0u);
  }
}

TEST_F(SettingsStore, OutOfRangeNumbersTouchNeitherRegistryNorBuffer) {
  Settings settings;
  settings.status = 1234;  // only a registry call would change it
  for (std::uint32_t n : {0u, 8u}) {
    SCOPED_TRACE(n);
    EXPECT_FALSE(settings.SetMRUDLimit(n) || settings.SetMRUDDefault(n) || settings.WriteMRUD("C:\\x\\", n));
    char buffer[260];
    std::memset(buffer, 'q', sizeof buffer);
    EXPECT_EQ(settings.ReadMRUD(buffer, n), kSettingsBadSlot);
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(260, 'q'));
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
  for (const auto& c : notPaths) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << ", " << c.size << " bytes");
    SetRaw("MRUD2", c.type, c.data, c.size);
    char read[260] = "kept";
    EXPECT_EQ(settings.ReadMRUD(read, 2), kSettingsReadFailed);
    EXPECT_STREQ(read, "kept");
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
                        KEY_ALL_ACCESS, nullptr, &link, nullptr) != ERROR_SUCCESS)
      return;
    static const wchar_t kTarget[] = L"\\Registry\\Nowhere\\Plyx";
    made = RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(kTarget),
                          sizeof kTarget - sizeof(wchar_t)) == ERROR_SUCCESS;
    RegCloseKey(link);
  }
  ~DanglingPlyxLink() {
    // A link key can only be removed through its own handle.
    HKEY self = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kPlyxKey, REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS, &self) != ERROR_SUCCESS) return;
    const FARPROC proc = GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey");
    if (proc != nullptr) reinterpret_cast<LONG(WINAPI*)(HANDLE)>(reinterpret_cast<void (*)()>(proc))(self);
    RegCloseKey(self);
  }
  bool made = false;
};

TEST_F(SettingsStore, KeyThatCannotBeCreatedOrAnUnreadableSlotMarksTheStoreUnusable) {
  {
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
  SetRawDword("MRUD6", 1);
  EXPECT_EQ(Settings().status, kSettingsUnusable);
}

}  // namespace
