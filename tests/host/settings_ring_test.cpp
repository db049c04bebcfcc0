#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "mrud_ring.h"

namespace {

struct StartupCase {
  StoredRead read;
  std::uint32_t stored;
  std::uint32_t limit;  // head cases only
  StartupValue expected;
};

TEST(SettingsRingStartup, LimitIsBroughtInto1To7) {
  const StartupCase cases[] = {
      {StoredRead::kValue, 1, 0, {1, false}},
      {StoredRead::kValue, 7, 0, {7, false}},
      {StoredRead::kValue, 0, 0, {5, true}},
      {StoredRead::kValue, 8, 0, {5, true}},
      {StoredRead::kValue, 9, 0, {5, true}},
      {StoredRead::kValue, 1000, 0, {5, true}},  // a stored number, not a failure code
      {StoredRead::kMissing, 0, 0, {5, true}},
      {StoredRead::kFailed, 3, 0, {5, false}},   // unreadable is not overwritten
  };
  for (std::size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const StartupCase& c = cases[i];
    const StartupValue got = StartupMrudLimit(c.read, c.stored);
    EXPECT_EQ(got.value, c.expected.value) << "case " << i;
    EXPECT_EQ(got.writeBack, c.expected.writeBack) << "case " << i;
  }
}

TEST(SettingsRingStartup, HeadIsBroughtInto1ToLimit) {
  const StartupCase cases[] = {
      {StoredRead::kValue, 1, 5, {1, false}},
      {StoredRead::kValue, 5, 5, {5, false}},
      {StoredRead::kValue, 7, 7, {7, false}},
      {StoredRead::kValue, 6, 5, {1, true}},  // limit lowered below the head
      {StoredRead::kValue, 8, 7, {1, true}},
      {StoredRead::kValue, 0, 5, {1, true}},
      {StoredRead::kValue, 2, 1, {1, true}},
      {StoredRead::kMissing, 0, 5, {1, true}},
      {StoredRead::kFailed, 3, 5, {1, true}},
  };
  for (std::size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const StartupCase& c = cases[i];
    const StartupValue got = StartupMrudHead(c.read, c.stored, c.limit);
    EXPECT_EQ(got.value, c.expected.value) << "case " << i;
    EXPECT_EQ(got.writeBack, c.expected.writeBack) << "case " << i;
  }
}

std::vector<std::uint32_t> Walk(std::uint32_t head, std::uint32_t limit) {
  MrudWalk walk;
  std::vector<std::uint32_t> order{walk.Start(head, limit)};
  std::uint32_t slot = 0;
  // Bounded so that a walk that never ends fails instead of hanging.
  while (order.size() < 20 && walk.Next(&slot)) order.push_back(slot);
  return order;
}

TEST(SettingsRingWalk, VisitsEachSlotInUseOnceNewestFirst) {
  struct {
    std::uint32_t head, limit;
    std::vector<std::uint32_t> order;
  } const cases[] = {
      {1, 1, {1}},
      {1, 5, {1, 5, 4, 3, 2}},
      {3, 5, {3, 2, 1, 5, 4}},
      {5, 5, {5, 4, 3, 2, 1}},
      {7, 7, {7, 6, 5, 4, 3, 2, 1}},
      {2, 7, {2, 1, 7, 6, 5, 4, 3}},
      // Out of range: brought back so that the walk still ends.
      {6, 5, {1, 5, 4, 3, 2}},
      {0, 3, {1, 3, 2}},
      {1, 0, {1, 5, 4, 3, 2}},
      {2, 9, {2, 1, 5, 4, 3}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Walk(c.head, c.limit), c.order) << "head " << c.head << " limit " << c.limit;
  }
}

TEST(SettingsRingWalk, StaysEndedAndCanStartAgain) {
  MrudWalk walk;
  std::uint32_t slot = 99;
  EXPECT_FALSE(walk.Next(&slot)) << "no walk started yet";
  EXPECT_EQ(slot, 99u);
  walk.Start(2, 2);
  EXPECT_TRUE(walk.Next(&slot));
  EXPECT_EQ(slot, 1u);
  EXPECT_FALSE(walk.Next(&slot));
  EXPECT_FALSE(walk.Next(&slot));
  EXPECT_EQ(walk.Start(1, 2), 1u);
  EXPECT_TRUE(walk.Next(&slot));
  EXPECT_EQ(slot, 2u);
}

// A ring held in memory, changed the way the store changes the registry.
struct Ring {
  std::uint32_t limit = 5;
  std::uint32_t head = 1;
  MrudSlotContent slots[kMrudSlotCount];
  bool headWritable = true;

  Ring() {
    for (MrudSlotContent& s : slots) s.readable = true;
  }
  MrudAddPlan Add(const char* path) {
    const MrudAddPlan plan = PlanMrudAdd(path, head, limit, slots);
    if (plan.action == MrudAddAction::kFillEmpty) {
      std::snprintf(slots[plan.slot - 1].path, kMrudPathSize, "%s", path);
      head = plan.slot;
    } else if (plan.action == MrudAddAction::kReplaceOldest && headWritable) {
      head = plan.slot;
      std::snprintf(slots[plan.slot - 1].path, kMrudPathSize, "%s", path);
    }
    return plan;
  }
  std::vector<std::string> List() const {
    std::vector<std::string> list;
    for (std::uint32_t slot : Walk(head, limit)) {
      if (slots[slot - 1].readable && slots[slot - 1].path[0] != '\0') list.push_back(slots[slot - 1].path);
    }
    return list;
  }
};

TEST(SettingsRingAdd, FillsUpwardFromTheHeadAndListsNewestFirst) {
  Ring ring;
  ring.Add("C:\\P1\\");
  ring.Add("C:\\P2\\");
  ring.Add("C:\\P3\\");
  EXPECT_EQ(ring.head, 3u);
  EXPECT_STREQ(ring.slots[0].path, "C:\\P1\\");
  EXPECT_STREQ(ring.slots[2].path, "C:\\P3\\");
  EXPECT_EQ(ring.List(), (std::vector<std::string>{"C:\\P3\\", "C:\\P2\\", "C:\\P1\\"}));
}

TEST(SettingsRingAdd, RepeatsEmptyAndUnterminatedPathsChangeNothing) {
  Ring ring;
  ring.Add("C:\\P1\\");
  ring.Add("C:\\P2\\");
  ring.Add("C:\\P3\\");
  char unterminated[kMrudPathSize];
  std::memset(unterminated, 'a', sizeof unterminated);
  const char* const paths[] = {"C:\\P2\\", "C:\\P1\\", "C:\\P3\\", "", unterminated};
  for (std::size_t i = 0; i < sizeof paths / sizeof paths[0]; ++i) {
    EXPECT_EQ(ring.Add(paths[i]).action, MrudAddAction::kNothing) << "path " << i;
    EXPECT_EQ(ring.head, 3u) << "path " << i;
  }
  EXPECT_EQ(ring.Add(nullptr).action, MrudAddAction::kNothing);
  EXPECT_EQ(ring.List(), (std::vector<std::string>{"C:\\P3\\", "C:\\P2\\", "C:\\P1\\"}));
}

TEST(SettingsRingAdd, ComparesBytesNotNames) {
  Ring ring;
  ring.Add("C:\\Data\\");
  ring.Add("c:\\data\\");
  ring.Add("C:\\Data");   // no trailing backslash: another entry too
  EXPECT_EQ(ring.List(), (std::vector<std::string>{"C:\\Data", "c:\\data\\", "C:\\Data\\"}));
}

TEST(SettingsRingAdd, FullRingReplacesTheOldestAndWraps) {
  Ring ring;
  for (const char* p : {"P1", "P2", "P3", "P4", "P5"}) ring.Add(p);
  EXPECT_EQ(ring.head, 5u);
  const MrudAddPlan plan = ring.Add("P6");
  EXPECT_EQ(plan.action, MrudAddAction::kReplaceOldest);
  EXPECT_EQ(plan.slot, 1u);
  EXPECT_EQ(ring.List(), (std::vector<std::string>{"P6", "P5", "P4", "P3", "P2"}));
  ring.Add("P7");
  EXPECT_EQ(ring.head, 2u);
  EXPECT_STREQ(ring.slots[1].path, "P7");
  EXPECT_EQ(ring.List(), (std::vector<std::string>{"P7", "P6", "P5", "P4", "P3"}));
}

TEST(SettingsRingAdd, LimitOneKeepsOnlyTheNewest) {
  Ring ring;
  ring.limit = 1;
  for (const char* p : {"A", "B", "C"}) {
    ring.Add(p);
    EXPECT_EQ(ring.head, 1u);
    EXPECT_EQ(ring.List(), std::vector<std::string>{p});
  }
  EXPECT_STREQ(ring.slots[1].path, "") << "slot 2 is out of use";
}

TEST(SettingsRingAdd, FirstEmptySlotCountsUpwardFromTheHead) {
  Ring ring;
  ring.head = 4;
  std::snprintf(ring.slots[3].path, kMrudPathSize, "P4");
  std::snprintf(ring.slots[0].path, kMrudPathSize, "P1");
  EXPECT_EQ(ring.Add("N").slot, 5u);
  EXPECT_EQ(ring.Add("M").slot, 2u) << "wraps past slot 1, which is taken";
}

TEST(SettingsRingAdd, UnreadableSlotIsNeitherAMatchNorAHole) {
  Ring ring;
  ring.head = 1;
  std::snprintf(ring.slots[0].path, kMrudPathSize, "P1");
  ring.slots[1].readable = false;
  std::snprintf(ring.slots[1].path, kMrudPathSize, "P2");
  const MrudAddPlan plan = ring.Add("P2");
  EXPECT_EQ(plan.action, MrudAddAction::kFillEmpty);
  EXPECT_EQ(plan.slot, 3u);

  Ring blank;  // an unreadable slot with no text is not taken as empty
  blank.slots[0].readable = false;
  EXPECT_EQ(blank.Add("X").slot, 2u);

  Ring brim;  // readable but with no terminator: not compared
  std::memset(brim.slots[0].path, 'X', kMrudPathSize);
  EXPECT_EQ(brim.Add("X").slot, 2u);
}

TEST(SettingsRingAdd, FullRingWhoseHeadCannotBeWrittenStoresNothing) {
  Ring ring;
  for (const char* p : {"P1", "P2", "P3", "P4", "P5"}) ring.Add(p);
  ring.headWritable = false;
  ring.Add("P6");
  EXPECT_EQ(ring.head, 5u);
  EXPECT_EQ(ring.List(), (std::vector<std::string>{"P5", "P4", "P3", "P2", "P1"}));
}

TEST(SettingsRingAdd, OutOfRangeHeadOrLimitStillPicksASlotInUse) {
  struct {
    std::uint32_t head, limit, slot;
  } const cases[] = {{0, 5, 1}, {9, 5, 1}, {3, 0, 3}, {3, 12, 3}};
  for (const auto& c : cases) {
    Ring ring;
    ring.head = c.head;
    ring.limit = c.limit;
    EXPECT_EQ(PlanMrudAdd("Z", c.head, c.limit, ring.slots).slot, c.slot)
        << "head " << c.head << " limit " << c.limit;
  }
}

}  // namespace
