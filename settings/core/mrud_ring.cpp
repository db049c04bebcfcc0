#include "mrud_ring.h"

#include <cstring>

namespace {

std::uint32_t SlotBelow(std::uint32_t slot, std::uint32_t limit) { return slot > 1 ? slot - 1 : limit; }

}  // namespace

bool MrudLimitFits(std::uint32_t limit) { return limit >= 1 && limit <= kMrudSlotCount; }

bool MrudHeadFits(std::uint32_t head, std::uint32_t limit) {
  return head >= 1 && head <= limit && MrudLimitFits(limit);
}

StartupValue StartupMrudLimit(StoredRead read, std::uint32_t stored) {
  switch (read) {
    case StoredRead::kFailed:
      return {kDefaultMrudLimit, false};
    case StoredRead::kMissing:
    case StoredRead::kUnusable:
      return {kDefaultMrudLimit, true};
    case StoredRead::kValue:
      break;
  }
  if (MrudLimitFits(stored)) return {stored, false};
  return {kDefaultMrudLimit, true};
}

StartupValue StartupMrudHead(StoredRead read, std::uint32_t stored, std::uint32_t limit) {
  if (read == StoredRead::kValue && MrudHeadFits(stored, limit)) return {stored, false};
  return {kDefaultMrudHead, true};
}

MrudAddPlan PlanMrudAdd(const char* path, std::uint32_t head, std::uint32_t limit, const MrudSlotContent* slots) {
  const MrudAddPlan nothing{MrudAddAction::kNothing, 0};
  if (path == nullptr || path[0] == '\0') return nothing;
  if (::strnlen(path, kPathBufferSize) == kPathBufferSize) return nothing;
  if (!MrudLimitFits(limit)) limit = kDefaultMrudLimit;
  if (!MrudHeadFits(head, limit)) head = kDefaultMrudHead;

  std::uint32_t firstEmpty = 0;
  for (std::uint32_t i = 0; i < limit; ++i) {
    const std::uint32_t slot = (head - 1 + i) % limit + 1;
    const MrudSlotContent& content = slots[slot - 1];
    if (!content.readable) continue;
    // Readers stop at the terminator; a slot filled to the brim holds no path.
    if (::strnlen(content.path, kPathBufferSize) == kPathBufferSize) continue;
    if (content.path[0] == '\0') {
      if (firstEmpty == 0) firstEmpty = slot;
      continue;
    }
    if (std::strcmp(content.path, path) == 0) return nothing;
  }
  if (firstEmpty != 0) return {MrudAddAction::kFillEmpty, firstEmpty};
  return {MrudAddAction::kReplaceOldest, head < limit ? head + 1 : 1};
}

std::uint32_t MrudWalk::Start(std::uint32_t head, std::uint32_t limitNow) {
  limit = MrudLimitFits(limitNow) ? limitNow : kDefaultMrudLimit;
  if (!MrudHeadFits(head, limit)) head = kDefaultMrudHead;
  stop = head;
  position = SlotBelow(head, limit);
  return head;
}

bool MrudWalk::Next(std::uint32_t* slot) {
  if (position == stop) return false;
  *slot = position;
  position = SlotBelow(position, limit);
  return true;
}
