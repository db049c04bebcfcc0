// The destination history ring: the stored limit and head, the walk, the slot a new path takes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <tuple>
#include <utility>
#include <vector>

#include "mrud_ring.h"

namespace {

// Lost data: an unreadable limit must not be overwritten with the default.
TEST(SettingsRing, StoredLimitAndHeadAreBroughtIntoRange) {
  const std::tuple<StoredRead, std::uint32_t, std::uint32_t, StartupValue, StartupValue> cases[] = {
      {StoredRead::kValue, 7, 7, {7, false}, {7, false}},
      {StoredRead::kValue, 0, 5, {5, true}, {1, true}},
      {StoredRead::kValue, 8, 7, {5, true}, {1, true}},
      {StoredRead::kValue, 6, 5, {6, false}, {1, true}},  // limit lowered below the head
      {StoredRead::kMissing, 3, 5, {5, true}, {1, true}},
      {StoredRead::kUnusable, 3, 5, {5, true}, {1, true}},  // wrong type: repaired, PLYX starts
      {StoredRead::kFailed, 3, 5, {5, false}, {1, true}},   // an unreadable limit is not overwritten
  };
  auto pair = [](StartupValue v) { return std::make_pair(v.value, v.writeBack); };
  for (const auto& [read, stored, limitForHead, limit, head] : cases) {
    EXPECT_EQ(pair(StartupMrudLimit(read, stored)), pair(limit)) << stored;
    EXPECT_EQ(pair(StartupMrudHead(read, stored, limitForHead)), pair(head)) << stored;
  }
}

// Bound: a walk from an out-of-range head or limit must still end.
TEST(SettingsRing, WalkVisitsEachSlotInUseOnceNewestFirstThenStops) {
  const std::tuple<std::uint32_t, std::uint32_t, std::vector<std::uint32_t>> cases[] = {
      {1, 1, {1}},       {3, 5, {3, 2, 1, 5, 4}}, {2, 7, {2, 1, 7, 6, 5, 4, 3}}, {6, 5, {1, 5, 4, 3, 2}},
      {0, 3, {1, 3, 2}}, {2, 9, {2, 1, 5, 4, 3}},
  };
  for (const auto& [head, limit, expected] : cases) {
    MrudWalk walk;
    std::uint32_t slot = 0;
    EXPECT_FALSE(walk.Next(&slot)) << "nothing before a start";
    std::vector<std::uint32_t> order{walk.Start(head, limit)};
    while (order.size() < 20 && walk.Next(&slot)) order.push_back(slot);
    EXPECT_EQ(order, expected) << "head " << head << " limit " << limit;
    EXPECT_FALSE(walk.Next(&slot)) << "head " << head << " limit " << limit;
  }
}

TEST(SettingsRing, AddPicksTheSlotForANewPath) {
  using A = MrudAddAction;
  const char* const kUnreadable = "?";
  // slot 1 first ("?" cannot be read), head, the new path, what is done and in which slot
  const std::tuple<std::vector<const char*>, std::uint32_t, const char*, A, std::uint32_t> cases[] = {
      {{"P1", "", "", "P4", ""}, 4, "N", A::kFillEmpty, 5},
      {{"P1", "", "", "P4", "P5"}, 4, "N", A::kFillEmpty, 2},  // wraps past the limit
      {{"P1", "P2", "P3", "", ""}, 3, "P1", A::kNothing, 0},
      {{"P1", "P2", "P3", "", ""}, 3, "", A::kNothing, 0},
      {{"C:\\Data\\", "", "", "", ""}, 1, "c:\\data\\", A::kFillEmpty, 2},
      {{"P1", "P2", "P3", "P4", "P5"}, 5, "P6", A::kReplaceOldest, 1},
      {{"A"}, 1, "B", A::kReplaceOldest, 1},
      {{"P1", kUnreadable, "", "", ""}, 1, "?", A::kFillEmpty, 3},     // no match, no hole
      {{"P1", "P2", "P3", "P4", "P5"}, 9, "N", A::kReplaceOldest, 2},  // head 9 taken as 1
  };
  for (const auto& [texts, head, path, action, slot] : cases) {
    MrudSlotContent slots[kMrudSlotCount];
    for (std::size_t n = 0; n < texts.size(); ++n) {
      slots[n].readable = texts[n] != kUnreadable;
      std::snprintf(slots[n].path, kPathBufferSize, "%s", texts[n]);
    }
    const MrudAddPlan plan = PlanMrudAdd(path, head, static_cast<std::uint32_t>(texts.size()), slots);
    EXPECT_EQ(plan.action, action) << path << " head " << head;
    EXPECT_EQ(plan.slot, slot) << path << " head " << head;
  }
  // Bound: a text without its terminator within 260 bytes is no path.
  MrudSlotContent slots[kMrudSlotCount];
  for (MrudSlotContent& s : slots) s.readable = true;
  char unterminated[kPathBufferSize];
  std::memset(unterminated, 'X', sizeof unterminated);
  EXPECT_EQ(PlanMrudAdd(unterminated, 1, 5, slots).action, MrudAddAction::kNothing);
  std::memcpy(slots[0].path, unterminated, kPathBufferSize);  // not a path, so no match
  EXPECT_EQ(PlanMrudAdd("X", 1, 5, slots).slot, 2u);
}

}  // namespace
