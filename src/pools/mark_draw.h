#ifndef TIPSRAD_POOLS_MARK_DRAW_H_
#define TIPSRAD_POOLS_MARK_DRAW_H_

#include <array>
#include <cstdint>

// The text of one match's mark: one of "1", "x", "2", "1x", "x2", "12",
// "1x2", terminated, outcomes always in the order 1, x, 2.
struct MatchMark {
  std::array<char, 4> text;
};

enum class MarkKind { Single, HalfCover, FullCover };

// How many marks of each kind the current row may hold.
struct RowQuota {
  std::int32_t singles;
  std::int32_t half_covers;
  std::int32_t full_covers;
};

// How many marks of each kind the current row has been handed so far.
struct RowTally {
  std::int32_t singles;
  std::int32_t half_covers;
  std::int32_t full_covers;
};

// Set by the dialogue at the start of every row; only draw_mark raises the
// tally.
extern RowQuota row_quota;
extern RowTally row_tally;

struct MarkSlot {
  MarkKind kind;
  MatchMark mark;
};

// The weighted outcomes: slot number s (1 to 15) is kMarkSlots[s - 1]. Within
// a kind the outcomes are deliberately unequal: a single is "1" three times in
// six, "2" twice and "x" once; a half cover is "1x" three times in seven.
inline constexpr std::int32_t kSlotCount = 15;
inline constexpr std::array<MarkSlot, kSlotCount> kMarkSlots{{
    {MarkKind::Single, {"1"}},
    {MarkKind::Single, {"1"}},
    {MarkKind::Single, {"1"}},
    {MarkKind::Single, {"x"}},
    {MarkKind::Single, {"2"}},
    {MarkKind::Single, {"2"}},
    {MarkKind::HalfCover, {"1x"}},
    {MarkKind::HalfCover, {"1x"}},
    {MarkKind::HalfCover, {"1x"}},
    {MarkKind::HalfCover, {"x2"}},
    {MarkKind::HalfCover, {"x2"}},
    {MarkKind::HalfCover, {"12"}},
    {MarkKind::HalfCover, {"12"}},
    {MarkKind::FullCover, {"1x2"}},
    {MarkKind::FullCover, {"1x2"}},
}};

// Draws one match's mark into `out`: takes slots from shared_generator until
// one's kind still has quota left (tally below quota), copies its mark and
// raises that kind's tally. A kind whose quota is 0 or less never occurs.
//
// REQUIRES: some kind has its tally below its quota. The dialogue guarantees it
// for all 13 matches by handing over quotas that sum to exactly 13. Should it
// not hold, the call returns at once: `out`, the tallies and the generator are
// left as they were.
void draw_mark(MatchMark& out);

#endif  // TIPSRAD_POOLS_MARK_DRAW_H_
