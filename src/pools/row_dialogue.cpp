#include "pools/row_dialogue.h"

#include <algorithm>
#include <cstddef>
#include <istream>
#include <limits>
#include <ostream>

Row current_row{};

namespace {

constexpr const char* kAskHalfCovers = "Hur manga halv-garderingar vill du ha pa ditt ystem?\n";
constexpr const char* kAskFullCovers = "Hur manga hel-garderingar vill du ha pa ditt ystem?\n";
constexpr const char* kTooMany = "Hmm...Det ar ju bara 13 matcher pa tipset!\n";
constexpr const char* kNegativeHalfCovers = "Hmm...Minustal gar inte!!!!\n";
constexpr const char* kNegativeSum = "Hmm....Minustal gar inte!!!\n";
constexpr const char* kSeparator = "------------------\n";
constexpr const char* kAskToQuit = "Vill du avsluta? Tryck q och enter for att avsluta.\n";
constexpr const char* kOfferRow =
    "Slumpa fram en till rad? Tryck vilken knapp som helst foljd av enter!\n";
constexpr const char* kFarewell = "quitting menu";

// Writes the row's 13 lines as they are drawn, in groups of 3, 3, 3 and 4.
void draw_and_write_row(std::ostream& out) {
  for (std::int32_t match = 1; match <= kMatchCount; ++match) {
    MatchMark& mark = current_row[static_cast<std::size_t>(match - 1)];
    draw_mark(mark);
    // Labels are 14 characters wide: one space less after two digits.
    out << "Tipsmatch " << match << (match < 10 ? ":  " : ": ") << mark.text.data() << '\n';
    if (match == 3 || match == 6 || match == 9) out << kSeparator;
  }
}

}  // namespace

ReadOutcome read_count(std::istream& in, std::int32_t& count) {
  // Blanks are skipped first to tell input that ends before a count from a
  // malformed count; std::ws flushes the tied stream, as every input does.
  if (!(in >> std::ws) || in.eof()) return ReadOutcome::Ended;
  const std::int32_t kept = count;
  if (in >> count) return ReadOutcome::Read;
  // A failed extraction stores the nearest limit for a count beyond 32 bits,
  // having consumed all its digits, and 0 where no number starts.
  in.clear();
  if (count == std::numeric_limits<std::int32_t>::max() ||
      count == std::numeric_limits<std::int32_t>::min()) {
    return ReadOutcome::Read;
  }
  count = kept;
  in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
  return ReadOutcome::Unreadable;
}

RowQuota quota_for(std::int32_t half_covers, std::int32_t full_covers) {
  const std::int64_t singles = std::int64_t{kMatchCount} - full_covers - half_covers;
  if (singles < std::numeric_limits<std::int32_t>::min()) {
    // Both counts are above 14: no singles, and each cover up to 13.
    return {-kMatchCount, kMatchCount, kMatchCount};
  }
  if (singles > std::numeric_limits<std::int32_t>::max()) {
    // One count is far below 0 and the other below 14: 13 singles, and the
    // other's covers, if any, balanced by the negative one.
    const std::int32_t half = std::max(half_covers, 0);
    const std::int32_t full = std::max(full_covers, 0);
    return {kMatchCount, half_covers < 0 ? -full : half, full_covers < 0 ? -half : full};
  }
  return {static_cast<std::int32_t>(singles), half_covers, full_covers};
}

void run_rows(std::istream& in, std::ostream& out) {
  // Once the output has failed (a full disk, a pipe whose reader has gone), no
  // one sees the dialogue: it ends at the next answer it would wait for, rather
  // than draw rows for nobody until the input ends, which it may never do.
  const auto writing = [&out] { return static_cast<bool>(out); };
  bool quit = false;
  while (!quit) {
    row_quota = {};
    row_tally = {};

    out << kAskHalfCovers;
    if (!writing() || read_count(in, row_quota.half_covers) == ReadOutcome::Ended) break;
    const std::int32_t half_covers = row_quota.half_covers;
    if (half_covers > kMatchCount) out << kTooMany;
    if (half_covers < 0) out << kNegativeHalfCovers;

    out << kAskFullCovers;
    if (!writing() || read_count(in, row_quota.full_covers) == ReadOutcome::Ended) break;
    const std::int64_t sum = std::int64_t{half_covers} + row_quota.full_covers;
    if (sum > kMatchCount) out << kTooMany;
    if (sum < 0) out << kNegativeSum;

    row_quota = quota_for(half_covers, row_quota.full_covers);
    out << '\n';
    draw_and_write_row(out);
    out << '\n' << kAskToQuit << kOfferRow;

    char answer = 0;
    if (!writing() || !(in >> answer)) break;
    quit = answer == 'q';
  }
  out << kFarewell << std::endl;
}
