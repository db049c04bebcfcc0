#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings.h"
#include "settings_registry.h"

namespace {

using SettingsHistory = PlyxKeyTest;

struct WalkResult {
  int filled = 0;  // calls that returned true
  std::vector<std::string> items;  // non-empty buffers, as the combo box gets them
};

// Fills a list as the main dialog does: mode 1, then mode 2 while true.
WalkResult WalkHistory(Settings& settings) {
  WalkResult result;
  char buffer[260] = {};
  for (int mode = 1; settings.NextMRUD(buffer, mode) && result.filled < 20; mode = 2) {
    ++result.filled;
    if (buffer[0] != '\0') result.items.push_back(buffer);
  }
  return result;
}

using List = std::vector<std::string>;

TEST_F(SettingsHistory, AddsUpwardAndWalksNewestFirst) {
  Settings settings;
  for (const char* p : {"C:\\P1\\", "C:\\P2\\", "C:\\P3\\"}) EXPECT_TRUE(settings.AddMRUD(p));
  EXPECT_EQ(RawPath("MRUD1"), "C:\\P1\\");
  EXPECT_EQ(RawPath("MRUD3"), "C:\\P3\\");
  EXPECT_EQ(RawDword("MRUDDefault"), 3u);
  EXPECT_EQ(settings.mrudDefault, 3u);
  const WalkResult walk = WalkHistory(settings);
  EXPECT_EQ(walk.filled, 5);
  EXPECT_EQ(walk.items, (List{"C:\\P3\\", "C:\\P2\\", "C:\\P1\\"}));

  // Survives a restart.
  Settings again;
  EXPECT_EQ(again.mrudDefault, 3u);
  EXPECT_EQ(WalkHistory(again).items, (List{"C:\\P3\\", "C:\\P2\\", "C:\\P1\\"}));
}

TEST_F(SettingsHistory, RepeatsEmptyPathsAndCaseVariants) {
  Settings settings;
  for (const char* p : {"C:\\Data\\", "C:\\P2\\", "C:\\P2\\", "", "C:\\Data\\", "c:\\data\\"}) {
    EXPECT_TRUE(settings.AddMRUD(p)) << p;
  }
  EXPECT_EQ(settings.mrudDefault, 3u);
  EXPECT_EQ(WalkHistory(settings).items, (List{"c:\\data\\", "C:\\P2\\", "C:\\Data\\"}));
  EXPECT_EQ(RawPath("MRUD4"), "");
}

TEST_F(SettingsHistory, FullRingWrapsOverTheOldest) {
  Settings settings;
  for (const char* p : {"P1", "P2", "P3", "P4", "P5"}) settings.AddMRUD(p);
  EXPECT_EQ(settings.mrudDefault, 5u);
  settings.AddMRUD("P6");
  EXPECT_EQ(RawPath("MRUD1"), "P6");
  EXPECT_EQ(RawDword("MRUDDefault"), 1u);
  EXPECT_EQ(WalkHistory(settings).items, (List{"P6", "P5", "P4", "P3", "P2"}));
  settings.AddMRUD("P7");
  EXPECT_EQ(RawPath("MRUD2"), "P7");
  EXPECT_EQ(RawDword("MRUDDefault"), 2u);
  EXPECT_EQ(WalkHistory(settings).items, (List{"P7", "P6", "P5", "P4", "P3"}));
  EXPECT_EQ(RawPath("MRUD6"), "") << "slots above the limit stay out of use";
}

TEST_F(SettingsHistory, SlotsAboveTheLimitKeepTheirContent) {
  SetRawPath("MRUD6", "D:\\six\\");
  SetRawPath("MRUD7", "D:\\seven\\");
  Settings settings;
  ASSERT_EQ(settings.mrudLimit, 5u);
  for (const char* p : {"P1", "P2", "P3", "P4", "P5", "P6", "P7", "D:\\six\\"}) settings.AddMRUD(p);
  EXPECT_EQ(WalkHistory(settings).items, (List{"D:\\six\\", "P7", "P6", "P5", "P4"}));
  EXPECT_EQ(RawPath("MRUD6"), "D:\\six\\");
  EXPECT_EQ(RawPath("MRUD7"), "D:\\seven\\");
}

TEST_F(SettingsHistory, LimitOneHoldsOnlyTheNewest) {
  SetRawDword("MRUDLimit", 1);
  Settings settings;
  for (const char* p : {"A", "B", "C"}) {
    settings.AddMRUD(p);
    const WalkResult walk = WalkHistory(settings);
    EXPECT_EQ(walk.filled, 1) << p;
    EXPECT_EQ(walk.items, List{p});
  }
  EXPECT_EQ(RawPath("MRUD2"), "");
}

TEST_F(SettingsHistory, WalkReadsExactlyTheLimitThenStops) {
  for (DWORD limit = 1; limit <= 7; ++limit) {
    DeletePlyxKey();
    SetRawDword("MRUDLimit", limit);
    SetRawDword("MRUDDefault", limit);
    Settings settings;
    EXPECT_EQ(WalkHistory(settings).filled, static_cast<int>(limit)) << "limit " << limit;
    char buffer[260] = "kept";
    EXPECT_FALSE(settings.NextMRUD(buffer, 2)) << "limit " << limit;
    EXPECT_STREQ(buffer, "kept");
  }
  Settings settings;
  char buffer[260] = "kept";
  EXPECT_FALSE(settings.NextMRUD(buffer, 0));
  EXPECT_FALSE(settings.NextMRUD(buffer, 3));
  EXPECT_STREQ(buffer, "kept");
}

TEST_F(SettingsHistory, HeadAboveALoweredLimitStillWalksAndAdds) {
  SetRawDword("MRUDLimit", 3);
  SetRawDword("MRUDDefault", 6);
  for (const char* slot : {"MRUD1", "MRUD2", "MRUD3", "MRUD6"}) SetRawPath(slot, slot);
  Settings settings;
  ASSERT_EQ(settings.mrudDefault, 1u);
  EXPECT_EQ(WalkHistory(settings).items, (List{"MRUD1", "MRUD3", "MRUD2"}));
  settings.AddMRUD("new");
  EXPECT_EQ(RawPath("MRUD2"), "new");
  EXPECT_EQ(RawPath("MRUD6"), "MRUD6");
}

TEST_F(SettingsHistory, UnreadableSlotGivesNoItemAndNoMatch) {
  Settings settings;
  settings.AddMRUD("P1");
  SetRaw("MRUD2", REG_BINARY, "P2", 3);  // changed from outside
  WalkResult walk = WalkHistory(settings);
  EXPECT_EQ(walk.filled, 5);
  EXPECT_EQ(walk.items, List{"P1"});

  settings.AddMRUD("P2");
  EXPECT_EQ(RawPath("MRUD3"), "P2") << "the unreadable slot is skipped, not matched or filled";
  EXPECT_EQ(QueryRaw("MRUD2").type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(settings.mrudDefault, 3u);
}

// Swaps the store's handle for a read-only one on the same key, so every
// write fails while every read still works.
void MakeReadOnly(Settings& settings) {
  HKEY readOnly = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kPlyxKey, 0, KEY_READ, &readOnly), ERROR_SUCCESS);
  RegCloseKey(settings.key);
  settings.key = readOnly;
}

TEST_F(SettingsHistory, FullRingWhoseHeadCannotBeWrittenStoresNothing) {
  Settings settings;
  for (const char* p : {"P1", "P2", "P3", "P4", "P5"}) settings.AddMRUD(p);
  MakeReadOnly(settings);
  EXPECT_TRUE(settings.AddMRUD("P6"));
  EXPECT_EQ(settings.mrudDefault, 5u);
  EXPECT_EQ(RawDword("MRUDDefault"), 5u);
  EXPECT_EQ(WalkHistory(settings).items, (List{"P5", "P4", "P3", "P2", "P1"}));
}

}  // namespace
