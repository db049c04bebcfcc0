// The registry store: what a start writes and keeps, values changed from outside, the history.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "holders.h"
#include "settings.h"
#include "support/files.h"
#include "support/registry.h"

namespace {

class SettingsStore : public ::testing::Test {
 protected:
  PlyxKey key;
};

using List = std::vector<std::string>;

// Fills a list as the main dialog does; `reads` counts the true results.
List WalkHistory(Settings& settings, int* reads = nullptr) {
  List items;
  char buffer[kPathBufferSize] = {};
  int count = 0;
  for (int mode = 1; count < 20 && settings.NextMRUD(buffer, mode); mode = 2, ++count)
    if (buffer[0] != '\0') items.push_back(buffer);
  if (reads != nullptr) *reads = count;
  return items;
}

// Lost data: a second start keeps what the first stored, in the 260-byte form other copies read.
TEST_F(SettingsStore, FirstStartWritesPaddedPathsAndASecondKeepsWhatIsThere) {
  EXPECT_EQ(Settings().status, 0);
  char module[kPathBufferSize] = {};
  GetModuleFileNameA(nullptr, module, sizeof module);
  for (const char* name : {"App Path", "MRUD7"}) EXPECT_EQ(QueryRaw(name).type, DWORD{REG_SZ}) << name;
  EXPECT_EQ(QueryRaw("App Path").bytes, module + std::string(kPathBufferSize - std::strlen(module), '\0'));

  // Rewritten: the program's path, a limit out of range, values of another type or size
  // (which failed every start with the registry message); flags read any nonzero as true.
  SetRawPath("App Path", "C:\\old.exe");
  SetRawDword("MRUDLimit", 1000);  // a number that looks like a result code
  SetRaw("MRUDDefault", REG_BINARY, "\2\0\0\0\0\0\0\0", 8);
  SetRawDword("MRUD4", 1);
  SetRaw("MRUD5", REG_SZ, std::string(300, 'x').c_str(), 301);
  SetRawDword("MinToSysTray", 0);
  SetRawDword("UseMRUD", 2);
  SetRawPath("MRUD3", "D:\\kept\\");
  Settings again;
  EXPECT_EQ(again.status, 0);
  EXPECT_STREQ(RawPath("App Path").c_str(), module);
  EXPECT_EQ(again.mrudLimit, 5u);
  EXPECT_EQ(RawDword("MRUDLimit"), 5u);
  EXPECT_EQ(RawDword("MRUDDefault"), 1u);
  for (const char* slot : {"MRUD4", "MRUD5", "MRUD7"})
    EXPECT_EQ(QueryRaw(slot).bytes, std::string(kPathBufferSize, '\0')) << slot;
  EXPECT_FALSE(again.GetMinToSysTray());
  EXPECT_TRUE(again.GetUseMRUD());
  EXPECT_EQ(RawDword("UseMRUD"), 2u);
  EXPECT_EQ(RawPath("MRUD3"), "D:\\kept\\");
}

// Lost data: a flag that cannot be read is not overwritten, nor are the flags after it.
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

// Bounds: a slot holds only its path; a slot out of range touches neither registry nor buffer.
TEST_F(SettingsStore, SlotsHoldOnlyTheirPathAndOutOfRangeNumbersTouchNeitherRegistryNorBuffer) {
  Settings settings;
  char buffer[kPathBufferSize];
  std::memset(buffer, 'G', sizeof buffer);  // leftovers past the terminator
  std::memcpy(buffer, "C:\\dest\\", 9);
  ASSERT_TRUE(settings.WriteMRUD(buffer, 4));
  EXPECT_EQ(QueryRaw("MRUD4").bytes, std::string("C:\\dest\\") + std::string(252, '\0'));
  std::memset(buffer, 'G', sizeof buffer);  // no terminator at all
  EXPECT_FALSE(settings.WriteMRUD(buffer, 4));
  EXPECT_EQ(RawPath("MRUD4"), "C:\\dest\\");
  SetRaw("MRUD2", REG_BINARY, buffer, sizeof buffer);  // changed from outside, no terminator
  char read[kPathBufferSize] = "kept";
  EXPECT_EQ(settings.ReadMRUD(read, 2), kSettingsReadFailed);
  EXPECT_STREQ(read, "kept");
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kPlyxKey, "MRUD2");
  EXPECT_EQ(settings.ReadMRUD(read, 2), kSettingsMissing);

  settings.status = 1234;  // only a registry call would change it
  for (std::uint32_t n : {0u, 8u}) {
    EXPECT_FALSE(settings.SetMRUDLimit(n)) << n;
    EXPECT_FALSE(settings.SetMRUDDefault(n)) << n;
    EXPECT_FALSE(settings.WriteMRUD("C:\\x\\", n)) << n;
    std::memset(buffer, 'q', sizeof buffer);
    EXPECT_EQ(settings.ReadMRUD(buffer, n), kSettingsBadSlot);
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(kPathBufferSize, 'q')) << n;
  }
  EXPECT_EQ(settings.status, 1234);
  EXPECT_EQ(RawDword("MRUDLimit"), 5u);
  EXPECT_TRUE(settings.SetMRUDLimit(7));
  EXPECT_EQ(settings.mrudLimit, 5u) << "the slot count is fixed for the run";
}

// A failure reported as success: a store that could not be set up must say so at start-up.
TEST_F(SettingsStore, KeyThatCannotBeCreatedMarksTheStoreUnusable) {
  // HKCU\Software\Plyx as a volatile link to nowhere: Wine ignores a locked key's access list.
  static const wchar_t kTarget[] = L"\\Registry\\Nowhere\\Plyx";
  RegistryKey link;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kPlyxKey, 0, nullptr, REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, link.Out(), nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExW(link.Get(), L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(kTarget),
                           sizeof kTarget - sizeof(wchar_t)),
            ERROR_SUCCESS);
  Settings settings;
  EXPECT_EQ(settings.status, kSettingsUnusable);
  EXPECT_EQ(settings.key, nullptr);
  EXPECT_FALSE(settings.GetToolTipEn());
  char buffer[kPathBufferSize] = "old";
  EXPECT_TRUE(settings.NextMRUD(buffer, 1));
  EXPECT_STREQ(buffer, "");
  // A link key can only be removed through its own handle.
  reinterpret_cast<LONG(WINAPI*)(HANDLE)>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey")))(link.Get());
}

// Bound: the walk reads exactly the limit's slots; a slot changed from outside is neither shown nor matched.
TEST_F(SettingsStore, HistoryWalkReadsExactlyTheLimitAndAnUnreadableSlotGivesNoItemAndNoMatch) {
  SetRawDword("MRUDLimit", 7);
  Settings settings;
  settings.AddMRUD("P1");
  SetRaw("MRUD2", REG_BINARY, "P2", 3);  // changed from outside
  int reads = 0;
  EXPECT_EQ(WalkHistory(settings, &reads), List{"P1"});
  EXPECT_EQ(reads, 7);
  char buffer[kPathBufferSize] = "kept";
  EXPECT_FALSE(settings.NextMRUD(buffer, 2)) << "the walk has ended";
  EXPECT_STREQ(buffer, "kept");
  settings.AddMRUD("P2");
  EXPECT_EQ(RawPath("MRUD3"), "P2");
  EXPECT_EQ(QueryRaw("MRUD2").type, DWORD{REG_BINARY});
}

// Lost data: a path reads back as written whatever code page wrote it (260 units from 1252
// outgrow 260 UTF-8 bytes with their padding); one this code page lacks is kept, not emptied.
TEST_F(SettingsStore, PathsReadBackAsWrittenWhateverCodePageWroteThem) {
  const std::wstring zoe = L"D:\\Zo\u00eb\\", tokyo = L"E:\\\u6771\u4eac \u2713\\";
  for (const auto& [slot, path, units] : {std::tuple{"MRUD1", zoe, kPathBufferSize}, {"MRUD2", tokyo, 250}}) {
    std::wstring stored = path;
    stored.resize(units, L'\0');
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Plyx", Widen(slot).c_str(), REG_SZ, stored.data(),
                              static_cast<DWORD>(stored.size() * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }
  SetRawDword("MRUDDefault", 2);
  Settings settings;
  EXPECT_EQ(settings.status, 0);
  EXPECT_EQ(WalkHistory(settings), (AnsiIsUtf8() ? List{Narrow(tokyo), Narrow(zoe)} : List{Narrow(zoe)}));
  EXPECT_NE(RawPath("MRUD2"), "") << "emptied";
  const std::wstring out = L"F:\\\u51fa\u529b \U0001f4c1\\";
  settings.AddMRUD(Narrow(out).c_str());
  EXPECT_EQ(RawPath("MRUD3"), Narrow(out));
}

// Lost data: a full ring whose head cannot be moved must not overwrite its newest entry.
TEST_F(SettingsStore, HistoryFullRingWhoseHeadCannotBeWrittenStoresNothing) {
  Settings settings;
  for (const char* p : {"P1", "P2", "P3", "P4", "P5"}) settings.AddMRUD(p);
  // A read-only handle on the same key: every write fails, every read works.
  HKEY readOnly = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kPlyxKey, 0, KEY_READ, &readOnly), ERROR_SUCCESS);
  RegCloseKey(settings.key);
  settings.key = readOnly;
  EXPECT_TRUE(settings.AddMRUD("P6"));
  EXPECT_EQ(settings.mrudDefault, 5u);
  EXPECT_EQ(WalkHistory(settings), (List{"P5", "P4", "P3", "P2", "P1"}));
}

}  // namespace
