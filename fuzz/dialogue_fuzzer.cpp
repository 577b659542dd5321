// Coverage-guided fuzzing of the dialogue: the input bytes are everything the
// user types. The oracle: the dialogue ends, writes only its own texts in
// their order, every row is 13 labelled lines of valid marks, and the last
// row holds what its quotas allow when it ends the dialogue (the quotas are
// reset as the next pass starts, so only then are they still known).
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "pools/mark_draw.h"
#include "pools/row_dialogue.h"
#include "random/shared_generator.h"

namespace {

constexpr std::string_view kAskHalf = "Hur manga halv-garderingar vill du ha pa ditt ystem?\n";
constexpr std::string_view kAskFull = "Hur manga hel-garderingar vill du ha pa ditt ystem?\n";
constexpr std::string_view kTooMany = "Hmm...Det ar ju bara 13 matcher pa tipset!\n";
constexpr std::string_view kNegativeHalf = "Hmm...Minustal gar inte!!!!\n";
constexpr std::string_view kNegativeSum = "Hmm....Minustal gar inte!!!\n";
constexpr std::string_view kClosing =
    "\nVill du avsluta? Tryck q och enter for att avsluta.\n"
    "Slumpa fram en till rad? Tryck vilken knapp som helst foljd av enter!\n";
constexpr std::string_view kFarewell = "quitting menu\n";
constexpr std::string_view kSeparator = "------------------\n";

[[noreturn]] void fail(const char* what, std::size_t at) {
  static_cast<void>(std::fprintf(stderr, "transcript check failed: %s at byte %zu\n", what, at));
  std::abort();
}

// Walks a transcript; `at` is how far it has been checked.
class Transcript {
 public:
  explicit Transcript(std::string_view text) : text_(text) {}

  bool take(std::string_view part) {
    if (text_.substr(at_).substr(0, part.size()) != part) return false;
    at_ += part.size();
    return true;
  }
  void expect(std::string_view part, const char* what) {
    if (!take(part)) fail(what, at_);
  }
  // True at the farewell, which must end the transcript.
  bool at_farewell() {
    if (!take(kFarewell)) return false;
    if (at_ != text_.size()) fail("text after the farewell", at_);
    return true;
  }
  // Reads one mark up to its line break and returns its kind (0, 1 or 2).
  std::size_t mark() {
    const std::size_t end = text_.find('\n', at_);
    if (end == std::string_view::npos) fail("unterminated match line", at_);
    const std::string_view mark = text_.substr(at_, end - at_);
    at_ = end + 1;
    if (mark == "1" || mark == "x" || mark == "2") return 0;
    if (mark == "1x" || mark == "x2" || mark == "12") return 1;
    if (mark == "1x2") return 2;
    fail("not a mark", at_);
  }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
};

// Checks the whole transcript; returns the kinds of the row that ends it, if
// a row does.
std::optional<std::array<std::int32_t, 3>> check(std::string_view text) {
  Transcript t(text);
  for (;;) {
    t.expect(kAskHalf, "half-cover question");
    t.take(kTooMany);
    t.take(kNegativeHalf);
    if (t.at_farewell()) return std::nullopt;
    t.expect(kAskFull, "full-cover question");
    t.take(kTooMany);
    t.take(kNegativeSum);
    if (t.at_farewell()) return std::nullopt;
    t.expect("\n", "blank line before the row");
    std::array<std::int32_t, 3> kinds{};
    for (int match = 1; match <= kMatchCount; ++match) {
      const std::string label = "Tipsmatch " + std::to_string(match) + (match < 10 ? ":  " : ": ");
      t.expect(label, "match label");
      ++kinds[t.mark()];
      if (match == 3 || match == 6 || match == 9) t.expect(kSeparator, "separator");
    }
    t.expect(kClosing, "closing questions");
    if (t.at_farewell()) return kinds;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  shared_generator.seed(0);  // the same input always replays the same run
  row_quota = {};
  row_tally = {};
  std::istringstream in(std::string(data, data + size));
  std::ostringstream out;
  run_rows(in, out);

  const std::optional<std::array<std::int32_t, 3>> last_row = check(out.str());
  if (!last_row) return 0;
  const std::array<std::int32_t, 3>& kinds = *last_row;
  const std::array<std::int32_t, 3> tally{row_tally.singles, row_tally.half_covers,
                                          row_tally.full_covers};
  const std::array<std::int32_t, 3> quota{row_quota.singles, row_quota.half_covers,
                                          row_quota.full_covers};
  if (kinds != tally) fail("last row differs from the tally", 0);
  bool all_in_range = true;
  for (std::size_t k = 0; k < 3; ++k) {
    if (kinds[k] > std::max(quota[k], 0)) fail("a kind beyond its quota", 0);
    all_in_range = all_in_range && quota[k] >= 0 && quota[k] <= kMatchCount;
  }
  if (all_in_range && kinds != quota) fail("last row differs from its quotas", 0);
  return 0;
}
