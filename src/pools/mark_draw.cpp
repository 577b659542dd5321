#include "pools/mark_draw.h"

#include <cstddef>

#include "random/shared_generator.h"

RowQuota row_quota{};
RowTally row_tally{};

namespace {

// One kind's tally in the current row and the quota it may rise to.
struct KindCount {
  std::int32_t& tally;
  std::int32_t quota;
  [[nodiscard]] bool open() const { return tally < quota; }
};

KindCount count_of(MarkKind kind) {
  switch (kind) {
    case MarkKind::Single:
      return {row_tally.singles, row_quota.singles};
    case MarkKind::HalfCover:
      return {row_tally.half_covers, row_quota.half_covers};
    case MarkKind::FullCover:
      break;
  }
  return {row_tally.full_covers, row_quota.full_covers};
}

}  // namespace

void draw_mark(MatchMark& out) {
  if (!count_of(MarkKind::Single).open() && !count_of(MarkKind::HalfCover).open() &&
      !count_of(MarkKind::FullCover).open()) {
    return;
  }
  for (;;) {
    const std::int32_t slot = shared_generator.next_int(1, kSlotCount);
    const MarkSlot& drawn = kMarkSlots[static_cast<std::size_t>(slot - 1)];
    const KindCount count = count_of(drawn.kind);
    if (count.open()) {
      out = drawn.mark;
      ++count.tally;
      return;
    }
  }
}
