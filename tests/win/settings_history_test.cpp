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

// Which slot an add takes and the walk's order are host-tested (settings_ring_test);
// here what reaches the registry and what a restart reads back.
TEST_F(SettingsHistory, AddsUpwardIgnoresRepeatsWrapsOverTheOldestAndLeavesSlotsAboveTheLimit) {
  SetRawPath("MRUD6", "D:\\six\\");
  SetRawPath("MRUD7", "D:\\seven\\");
  Settings settings;
  for (const char* p : {"P1", "P2", "P3", "P2", "", "P4", "P5", "P6", "D:\\six\\"}) EXPECT_TRUE(settings.AddMRUD(p));
  EXPECT_EQ(RawPath("MRUD1"), "P6");
  EXPECT_EQ(RawPath("MRUD2"), "D:\\six\\");
  EXPECT_EQ(RawPath("MRUD5"), "P5");
  EXPECT_EQ(RawDword("MRUDDefault"), 2u);
  EXPECT_EQ(RawPath("MRUD6") + RawPath("MRUD7"), "D:\\six\\D:\\seven\\");
  Settings restarted;
  EXPECT_EQ(WalkHistory(restarted), (List{"D:\\six\\", "P6", "P5", "P4", "P3"}));
}

TEST_F(SettingsHistory, WalkReadsExactlyTheLimitAndAnUnreadableSlotGivesNoItemAndNoMatch) {
  SetRawDword("MRUDLimit", 7);
  Settings settings;
  settings.AddMRUD("P1");
  SetRaw("MRUD2", REG_BINARY, "P2", 3);  // changed from outside
  int reads = 0;
  EXPECT_EQ(WalkHistory(settings, &reads), List{"P1"});
  EXPECT_EQ(reads, 7);
  char buffer[260] = "kept";
  EXPECT_FALSE(settings.NextMRUD(buffer, 2)) << "the walk has ended";
  EXPECT_STREQ(buffer, "kept");
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
