#ifndef TIPSRAD_POOLS_ROW_DIALOGUE_H_
#define TIPSRAD_POOLS_ROW_DIALOGUE_H_

#include <array>
#include <cstdint>
#include <iosfwd>

#include "pools/mark_draw.h"

inline constexpr std::int32_t kMatchCount = 13;

// The 13 marks of one row, in match order. Match k's mark is drawn and printed
// before match k + 1 is drawn, and stays until the next row overwrites it.
using Row = std::array<MatchMark, kMatchCount>;
extern Row current_row;

// What became of one answer read from the user.
enum class ReadOutcome {
  Read,        // a value was taken
  Unreadable,  // no number where one should start; the rest of its line is dropped
  Ended,       // input ended, or failed, before the answer began
};

// Reads a count by formatted extraction: leading whitespace (line breaks
// included) skipped, one optional sign directly before the digits, decimal
// digits, the first non-digit left in `in`. A count beyond the 32-bit range
// takes the nearest 32-bit value, all its digits consumed. On Unreadable and
// Ended, `count` is left as it was. Reading flushes in.tie() first, so a
// question written to the tied stream is on screen before the wait.
ReadOutcome read_count(std::istream& in, std::int32_t& count);

// The quotas for a row of the given counts: singles = 13 - full - half, the
// three summing to exactly 13. When that difference leaves the 32-bit range,
// an equivalent triple is returned instead (a quota of 0 or less acts like 0
// and one of 13 or more like 13), so the row drawn is the one the exact
// counts give and every match still finds an open kind.
RowQuota quota_for(std::int32_t half_covers, std::int32_t full_covers);

// The dialogue: asks for the counts, warns about ones out of range without
// asking again, draws and writes a row, and repeats until the answer q. Ends
// with the farewell line, written and flushed, also when input ends or fails
// at any question, or at the first answer it would await once `out` has
// failed. A count that cannot be read counts as 0.
void run_rows(std::istream& in, std::ostream& out);

#endif  // TIPSRAD_POOLS_ROW_DIALOGUE_H_
