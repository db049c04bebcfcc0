// The destination history ring's decisions: the stored limit and head it can
// live with, the newest-first walk, and the slot a new path takes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "mrud_ring.h"

namespace {

// Lost data: an unreadable limit must not be overwritten with the default.
TEST(SettingsRing, StoredLimitAndHeadAreBroughtIntoRange) {
  const struct {
    StoredRead read;
    std::uint32_t stored, limitForHead;
    StartupValue limit, head;
  } cases[] = {
      {StoredRead::kValue, 7, 7, {7, false}, {7, false}},
      {StoredRead::kValue, 0, 5, {5, true}, {1, true}},
      {StoredRead::kValue, 8, 7, {5, true}, {1, true}},
      {StoredRead::kValue, 6, 5, {6, false}, {1, true}},  // limit lowered below the head
      {StoredRead::kMissing, 3, 5, {5, true}, {1, true}},
      {StoredRead::kUnusable, 3, 5, {5, true}, {1, true}},  // wrong type: repaired, PLYX starts
      {StoredRead::kFailed, 3, 5, {5, false}, {1, true}},   // an unreadable limit is not overwritten
  };
  auto pair = [](StartupValue v) { return std::make_pair(v.value, v.writeBack); };
  for (const auto& c : cases) {
    EXPECT_EQ(pair(StartupMrudLimit(c.read, c.stored)), pair(c.limit)) << c.stored;
    EXPECT_EQ(pair(StartupMrudHead(c.read, c.stored, c.limitForHead)), pair(c.head)) << c.stored;
  }
}

// Bound: a walk from an out-of-range head or limit must still end.
TEST(SettingsRing, WalkVisitsEachSlotInUseOnceNewestFirstThenStops) {
  const struct {
    std::uint32_t head, limit;
    std::vector<std::uint32_t> order;
  } cases[] = {
      {1, 1, {1}},
      {3, 5, {3, 2, 1, 5, 4}},
      {2, 7, {2, 1, 7, 6, 5, 4, 3}},
      // Out of range: brought back so that the walk still ends.
      {6, 5, {1, 5, 4, 3, 2}},
      {0, 3, {1, 3, 2}},
      {2, 9, {2, 1, 5, 4, 3}},
  };
  for (const auto& c : cases) {
    MrudWalk walk;
    std::uint32_t slot = 0;
    EXPECT_FALSE(walk.Next(&slot)) << "nothing before a start";
    std::vector<std::uint32_t> order{walk.Start(c.head, c.limit)};
    while (order.size() < 20 && walk.Next(&slot)) order.push_back(slot);
    EXPECT_EQ(order, c.order) << "head " << c.head << " limit " << c.limit;
    EXPECT_FALSE(walk.Next(&slot)) << "head " << c.head << " limit " << c.limit;
  }
}

TEST(SettingsRing, AddPicksTheSlotForANewPath) {
  using A = MrudAddAction;
  const char* const kUnreadable = "?";
  const struct {
    std::vector<const char*> slots;  // slot 1 first; "?" cannot be read
    std::uint32_t head;
    const char* path;
    A action;
    std::uint32_t slot;
  } cases[] = {
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
  for (const auto& c : cases) {
    MrudSlotContent slots[kMrudSlotCount];
    for (std::size_t n = 0; n < c.slots.size(); ++n) {
      slots[n].readable = c.slots[n] != kUnreadable;
      std::snprintf(slots[n].path, kPathBufferSize, "%s", c.slots[n]);
    }
    const MrudAddPlan plan = PlanMrudAdd(c.path, c.head, static_cast<std::uint32_t>(c.slots.size()), slots);
    EXPECT_EQ(plan.action, c.action) << c.path << " head " << c.head;
    EXPECT_EQ(plan.slot, c.slot) << c.path << " head " << c.head;
  }
}

// Bound: a text without its terminator within 260 bytes is no path.
TEST(SettingsRing, AddIgnoresTextWithoutATerminator) {
  MrudSlotContent slots[kMrudSlotCount];
  for (MrudSlotContent& s : slots) s.readable = true;
  char unterminated[kPathBufferSize];
  std::memset(unterminated, 'X', sizeof unterminated);
  EXPECT_EQ(PlanMrudAdd(unterminated, 1, 5, slots).action, MrudAddAction::kNothing);
  std::memcpy(slots[0].path, unterminated, kPathBufferSize);  // not a path, so no match
  EXPECT_EQ(PlanMrudAdd("X", 1, 5, slots).slot, 2u);
}

}  // namespace
