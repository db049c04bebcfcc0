// The destination history ring's decisions, apart from the registry: which
// slot receives a path, the newest-first walk, and the stored slot count and
// head that the ring can live with.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app_constants.h"

constexpr std::uint32_t kMrudSlotCount = 7;  // MRUD1 to MRUD7
constexpr std::uint32_t kDefaultMrudLimit = 5;
constexpr std::uint32_t kDefaultMrudHead = 1;

bool MrudLimitFits(std::uint32_t limit);
bool MrudHeadFits(std::uint32_t head, std::uint32_t limit);

// How a stored value came back from the store. kUnusable: read, but of the
// wrong type or size, as a value changed from outside may be.
enum class StoredRead { kValue, kMissing, kUnusable, kFailed };

struct StartupValue {
  std::uint32_t value;  // what the ring uses for this run
  bool writeBack;       // the store must be given `value`
};

// A limit that cannot be read is not replaced (the store may be fine and
// merely unreachable now); one that is missing, unusable or out of 1..7
// becomes 5.
StartupValue StartupMrudLimit(StoredRead read, std::uint32_t stored);
// A head that is missing, unreadable or outside 1..limit becomes 1, so that
// the walk and the insertion always come back to it.
StartupValue StartupMrudHead(StoredRead read, std::uint32_t stored, std::uint32_t limit);

// One slot as read for an insertion. An unreadable slot is neither a match
// nor an empty slot to fill.
struct MrudSlotContent {
  bool readable = false;
  char path[kPathBufferSize] = {};
};

enum class MrudAddAction {
  kNothing,        // empty path, or already held
  kFillEmpty,      // write the slot, then move the head there
  kReplaceOldest,  // move the head there first; write only if that worked
};

struct MrudAddPlan {
  MrudAddAction action;
  std::uint32_t slot;  // 0 with kNothing
};

// slots[n - 1] is slot n; the first `limit` are visited from the head upward.
// A path that is not terminated within kPathBufferSize bytes is not stored.
MrudAddPlan PlanMrudAdd(const char* path, std::uint32_t head, std::uint32_t limit, const MrudSlotContent* slots);

// The newest-first walk: head, head - 1, ..., 1, limit, ..., head + 1, then
// no more. Out-of-range arguments are brought into range so a walk always ends.
class MrudWalk {
 public:
  std::uint32_t Start(std::uint32_t head, std::uint32_t limit);  // slot to read
  bool Next(std::uint32_t* slot);                                // false once back at the start

 private:
  std::uint32_t position = 0;
  std::uint32_t stop = 0;
  std::uint32_t limit = 0;
};
