#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "settings.h"
#include "settings_registry.h"

namespace {

using SettingsStore = PlyxKeyTest;

TEST_F(SettingsStore, FirstStartWritesPaddedPathsAndASecondKeepsWhatIsThere) {
  EXPECT_EQ(Settings().status, 0);
  char module[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, module, sizeof module);
  for (const char* name : {"App Path", "MRUD7"}) EXPECT_EQ(QueryRaw(name).type, DWORD{REG_SZ}) << name;
  EXPECT_EQ(QueryRaw("App Path").bytes, module + std::string(260 - std::strlen(module), '\0'));
  EXPECT_EQ(QueryRaw("MRUD7").bytes, std::string(260, '\0'));

  // A second start keeps what is there and rewrites only the program's path
  // and a limit out of range (its range is host-tested in settings_ring_test);
  // flags read any nonzero as true and are written as one or zero.
  SetRawPath("App Path", "C:\\old.exe");
  SetRawDword("MRUDLimit", 1000);  // a number that looks like a result code
  SetRawDword("MRUDDefault", 2);
  SetRawDword("MinToSysTray", 0);
  SetRawDword("UseMRUD", 2);
  SetRawPath("MRUD3", "D:\\kept\\");
  Settings again;
  EXPECT_EQ(again.status, 0);
  EXPECT_STREQ(RawPath("App Path").c_str(), module);
  EXPECT_EQ(again.mrudLimit, 5u);
  EXPECT_EQ(RawDword("MRUDLimit"), 5u);
  EXPECT_EQ(RawDword("MRUDDefault"), 2u);
  EXPECT_FALSE(again.GetMinToSysTray());
  EXPECT_TRUE(again.GetUseMRUD());
  EXPECT_EQ(RawDword("UseMRUD"), 2u);
  EXPECT_EQ(RawPath("MRUD3"), "D:\\kept\\");
  EXPECT_TRUE(again.SetShlRtClkEn(false) && again.SetUseMRUD(true));
  EXPECT_EQ(RawDword("ShlRtClkEn"), 0u);
  EXPECT_EQ(RawDword("UseMRUD"), 1u);
}

TEST_F(SettingsStore, UnreadableFlagStopsInitialiseAndLeavesLaterFlags) {
  const DWORD eightBytes[2] = {1, 0};
  const std::pair<DWORD, DWORD> cases[] = {{REG_BINARY, 8}, {REG_DWORD, 2}};
  for (const auto& [type, size] : cases) {
    SCOPED_TRACE(testing::Message() << "type " << type << ", " << size << " bytes");
    DeletePlyxKey();
    SetRaw("MinToSysTray", type, eightBytes, size);
    SetRawDword("ToolTipEn", 0);
    Settings settings;
    EXPECT_NE(settings.status, 0);
    EXPECT_NE(settings.status, kSettingsUnusable) << "no start-up failure";
    EXPECT_EQ(settings.Initialise(), kSettingsReadFailed);
    EXPECT_FALSE(settings.GetMinToSysTray());
    EXPECT_EQ(QueryRaw("ShlRtClkEn").result, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RawDword("ToolTipEn"), 0u);
  }
}

TEST_F(SettingsStore, SlotsHoldOnlyTheirPathAndOutOfRangeNumbersTouchNeitherRegistryNorBuffer) {
  Settings settings;
  char buffer[260];
  std::memset(buffer, 'G', sizeof buffer);  // leftovers past the terminator
  std::memcpy(buffer, "C:\\dest\\", 9);
  ASSERT_TRUE(settings.WriteMRUD(buffer, 4));
  EXPECT_EQ(QueryRaw("MRUD4").bytes, std::string("C:\\dest\\") + std::string(252, '\0'));
  std::memset(buffer, 'G', sizeof buffer);  // no terminator at all
  EXPECT_FALSE(settings.WriteMRUD(buffer, 4));
  EXPECT_EQ(RawPath("MRUD4"), "C:\\dest\\");
  SetRaw("MRUD2", REG_BINARY, buffer, 260);  // changed from outside, no terminator
  char read[260] = "kept";
  EXPECT_EQ(settings.ReadMRUD(read, 2), kSettingsReadFailed);
  EXPECT_STREQ(read, "kept");
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kPlyxKey, "MRUD2");
  EXPECT_EQ(settings.ReadMRUD(read, 2), kSettingsMissing);
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kPlyxKey, "MRUDDefault");
  EXPECT_EQ(settings.GetMRUDDefault(), kSettingsMissing);

  settings.status = 1234;  // only a registry call would change it
  for (std::uint32_t n : {0u, 8u}) {
    SCOPED_TRACE(n);
    EXPECT_FALSE(settings.SetMRUDLimit(n) || settings.SetMRUDDefault(n) || settings.WriteMRUD("C:\\x\\", n));
    std::memset(buffer, 'q', sizeof buffer);
    EXPECT_EQ(settings.ReadMRUD(buffer, n), kSettingsBadSlot);
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(260, 'q'));
  }
  EXPECT_EQ(settings.status, 1234);
  EXPECT_EQ(RawDword("MRUDLimit"), 5u);
  EXPECT_TRUE(settings.SetMRUDLimit(7));
  EXPECT_EQ(settings.mrudLimit, 5u) << "the slot count is fixed for the run";
}

// HKCU\Software\Plyx as a volatile registry link to where no key can be
// created. Wine ignores an empty access list on a key for its (administrator)
// user, so a locked key would not make the creation fail.
struct DanglingPlyxLink {
  DanglingPlyxLink() {
    HKEY link = nullptr;
    static const wchar_t kTarget[] = L"\\Registry\\Nowhere\\Plyx";
    made = RegCreateKeyExA(HKEY_CURRENT_USER, kPlyxKey, 0, nullptr, REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, &link, nullptr) == ERROR_SUCCESS &&
           RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(kTarget),
                          sizeof kTarget - sizeof(wchar_t)) == ERROR_SUCCESS;
    if (link != nullptr) RegCloseKey(link);
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
