#include "pools/row_dialogue.h"

#include <algorithm>
#include <cstddef>
#include <istream>
#include <limits>
#include <ostream>
#include <streambuf>
#include <string>

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

using Traits = std::char_traits<char>;

bool is_digit(int c) { return c >= '0' && c <= '9'; }

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
  // The sentry flushes the tied stream and skips whitespace, as any formatted
  // extraction does; it fails when input ends first.
  const std::istream::sentry ready(in);
  if (!ready) return ReadOutcome::Ended;

  std::streambuf& source = *in.rdbuf();
  int c = source.sgetc();
  const bool negative = c == '-';
  if (c == '-' || c == '+') c = source.snextc();
  if (!is_digit(c)) {
    if (Traits::eq_int_type(c, Traits::eof())) {
      in.setstate(std::ios_base::eofbit);
    } else {
      in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    return ReadOutcome::Unreadable;
  }

  // Magnitudes saturate at 2^31, just past the largest count of either sign.
  constexpr std::int64_t kLimit = std::int64_t{1} << 31;
  std::int64_t magnitude = 0;
  for (; is_digit(c); c = source.snextc()) {
    magnitude = std::min(magnitude * 10 + (c - '0'), kLimit);
  }
  if (Traits::eq_int_type(c, Traits::eof())) in.setstate(std::ios_base::eofbit);
  count = static_cast<std::int32_t>(negative ? -magnitude : std::min(magnitude, kLimit - 1));
  return ReadOutcome::Read;
}

RowQuota quota_for(std::int32_t half_covers, std::int32_t full_covers) {
  const std::int64_t singles = std::int64_t{kMatchCount} - full_covers - half_covers;
  if (singles >= std::numeric_limits<std::int32_t>::min() &&
      singles <= std::numeric_limits<std::int32_t>::max()) {
    return {static_cast<std::int32_t>(singles), half_covers, full_covers};
  }
  // Only the draw's view of a quota matters, so clamp each to 0..13. With both
  // counts in 32 bits, that leaves a sum of 13 or more (13 singles, or 13 half
  // and 13 full covers); the surplus goes to a kind whose exact quota is below
  // 0, where it changes nothing. The exact quotas sum to 13, so one exists.
  const std::array<std::int64_t, 3> exact{singles, half_covers, full_covers};
  std::array<std::int64_t, 3> equivalent{};
  std::int64_t surplus = -kMatchCount;
  for (std::size_t i = 0; i < exact.size(); ++i) {
    equivalent[i] = std::clamp<std::int64_t>(exact[i], 0, kMatchCount);
    surplus += equivalent[i];
  }
  for (std::size_t i = 0; i < exact.size(); ++i) {
    if (surplus > 0 && exact[i] < 0) {
      equivalent[i] -= surplus;
      break;
    }
  }
  return {static_cast<std::int32_t>(equivalent[0]), static_cast<std::int32_t>(equivalent[1]),
          static_cast<std::int32_t>(equivalent[2])};
}

void run_rows(std::istream& in, std::ostream& out) {
  bool quit = false;
  while (!quit) {
    row_quota = {};
    row_tally = {};

    out << kAskHalfCovers;
    if (read_count(in, row_quota.half_covers) == ReadOutcome::Ended) break;
    const std::int32_t half_covers = row_quota.half_covers;
    if (half_covers > kMatchCount) out << kTooMany;
    if (half_covers < 0) out << kNegativeHalfCovers;

    out << kAskFullCovers;
    if (read_count(in, row_quota.full_covers) == ReadOutcome::Ended) break;
    const std::int64_t sum = std::int64_t{half_covers} + row_quota.full_covers;
    if (sum > kMatchCount) out << kTooMany;
    if (sum < 0) out << kNegativeSum;

    row_quota = quota_for(half_covers, row_quota.full_covers);
    out << '\n';
    draw_and_write_row(out);
    out << '\n' << kAskToQuit << kOfferRow;

    char answer = 0;
    if (!(in >> answer)) break;
    quit = answer == 'q';
  }
  out << kFarewell << std::endl;
}
