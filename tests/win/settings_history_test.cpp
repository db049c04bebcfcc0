#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings.h"
#include "settings_registry.h"

namespace {

using SettingsHistory = PlyxKeyTest;
using List = std::vector<std::string>;

// Fills a list as the main dialog does; `reads` counts the true results.
List WalkHistory(Settings& settings, int* reads = nullptr) {
  List items;
  char buffer[260] = {};
  int count = 0;
  for (int mode = 1; count < 20 && settings.NextMRUD(buffer, mode); mode = 2, ++count) {
    if (buffer[0] != '\0') items.push_back(buffer);
  }
  if (reads != nullptr) *reads = count;
  return items;
}

TEST_F(SettingsHistory, AddsUpwardIgnoresRepeatsAndWrapsOverTheOldest) {
  Settings settings;
  for (const char* p : {"P1", "P2", "P3", "P2", "P1", "", "C:\\Data\\", "c:\\data\\"}) EXPECT_TRUE(settings.AddMRUD(p));
  EXPECT_EQ(WalkHistory(settings), (List{"c:\\data\\", "C:\\Data\\", "P3", "P2", "P1"}));
  EXPECT_EQ(RawDword("MRUDDefault"), 5u);
  settings.AddMRUD("P6");
  EXPECT_EQ(RawPath("MRUD1"), "P6");
  EXPECT_EQ(RawDword("MRUDDefault"), 1u);
  settings.AddMRUD("P7");
  EXPECT_EQ(RawPath("MRUD2"), "P7");
  EXPECT_EQ(settings.mrudDefault, 2u);
  EXPECT_EQ(WalkHistory(settings), (List{"P7", "P6", "c:\\data\\", "C:\\Data\\", "P3"}));
  EXPECT_EQ(RawPath("MRUD6"), "") << "slots above the limit stay out of use";

  Settings restarted;
  EXPECT_EQ(WalkHistory(restarted), (List{"P7", "P6", "c:\\data\\", "C:\\Data\\", "P3"}));
}

TEST_F(SettingsHistory, WalkReadsExactlyTheLimitThenStops) {
  for (DWORD limit = 1; limit <= 7; ++limit) {
    DeletePlyxKey();
    SetRawDword("MRUDLimit", limit);
    Settings settings;
    settings.AddMRUD("A");
    settings.AddMRUD("B");
    int reads = 0;
    EXPECT_EQ(WalkHistory(settings, &reads), limit == 1 ? List{"B"} : (List{"B", "A"})) << "limit " << limit;
    EXPECT_EQ(reads, static_cast<int>(limit));
    char buffer[260] = "kept";
    EXPECT_FALSE(settings.NextMRUD(buffer, 2)) << "limit " << limit;
    EXPECT_STREQ(buffer, "kept");
  }
}

TEST_F(SettingsHistory, SlotsAboveTheLimitKeepTheirContent) {
  SetRawPath("MRUD6", "D:\\six\\");
  SetRawPath("MRUD7", "D:\\seven\\");
  Settings settings;
  for (const char* p : {"P1", "P2", "P3", "P4", "P5", "P6", "D:\\six\\"}) settings.AddMRUD(p);
  EXPECT_EQ(WalkHistory(settings), (List{"D:\\six\\", "P6", "P5", "P4", "P3"}));
  EXPECT_EQ(RawPath("MRUD6"), "D:\\six\\");
  EXPECT_EQ(RawPath("MRUD7"), "D:\\seven\\");
}

TEST_F(SettingsHistory, UnreadableSlotGivesNoItemAndNoMatch) {
  Settings settings;
  settings.AddMRUD("P1");
  SetRaw("MRUD2", REG_BINARY, "P2", 3);  // changed from outside
  int reads = 0;
  EXPECT_EQ(WalkHistory(settings, &reads), List{"P1"});
  EXPECT_EQ(reads, 5);
  settings.AddMRUD("P2");
  EXPECT_EQ(RawPath("MRUD3"), "P2");
  EXPECT_EQ(QueryRaw("MRUD2").type, static_cast<DWORD>(REG_BINARY));
}

TEST_F(SettingsHistory, FullRingWhoseHeadCannotBeWrittenStoresNothing) {
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
