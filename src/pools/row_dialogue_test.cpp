#include "pools/row_dialogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <utility>

namespace {

constexpr std::int32_t kMin = INT32_MIN;
constexpr std::int32_t kMax = INT32_MAX;

TEST(ReadCountTest, TakesWhatFormattedExtractionWouldAndLeavesTheRest) {
  constexpr std::int32_t kUntouched = 99;
  const struct {
    std::string input;
    ReadOutcome outcome;
    std::int32_t count;
    std::string rest;
  } cases[] = {
      {"42\n", ReadOutcome::Read, 42, "\n"},
      {" \t\n\v\f\r7 x", ReadOutcome::Read, 7, " x"},
      {"+5,", ReadOutcome::Read, 5, ","},
      {"-12abc\n", ReadOutcome::Read, -12, "abc\n"},
      {"010", ReadOutcome::Read, 10, ""},
      {"-0", ReadOutcome::Read, 0, ""},
      {"5\r\n", ReadOutcome::Read, 5, "\r\n"},
      {"3 2\n", ReadOutcome::Read, 3, " 2\n"},
      // Beyond 32 bits: the nearest 32-bit value, every digit consumed.
      {"2147483647\n", ReadOutcome::Read, kMax, "\n"},
      {"2147483648\n", ReadOutcome::Read, kMax, "\n"},
      {"99999999999999999999999999x", ReadOutcome::Read, kMax, "x"},
      {"-2147483648\n", ReadOutcome::Read, kMin, "\n"},
      {"-2147483649\n", ReadOutcome::Read, kMin, "\n"},
      {"-000000000000000000000000012 ", ReadOutcome::Read, -12, " "},
      // No number: the rest of the line goes, the next line stays.
      {"abc 5\n6\n", ReadOutcome::Unreadable, kUntouched, "6\n"},
      {"- 5\n6", ReadOutcome::Unreadable, kUntouched, "6"},
      {"+-5\n", ReadOutcome::Unreadable, kUntouched, ""},
      {"-\n7", ReadOutcome::Unreadable, kUntouched, "7"},
      {"-", ReadOutcome::Unreadable, kUntouched, ""},
      {std::string("\0 1\n2", 5), ReadOutcome::Unreadable, kUntouched, "2"},
      {"x", ReadOutcome::Unreadable, kUntouched, ""},
      // Nothing but whitespace before the end.
      {"", ReadOutcome::Ended, kUntouched, ""},
      {" \n\t\r\n", ReadOutcome::Ended, kUntouched, ""},
  };
  for (const auto& c : cases) {
    std::istringstream in(c.input);
    std::int32_t count = kUntouched;
    EXPECT_EQ(c.outcome, read_count(in, count)) << '"' << c.input << '"';
    EXPECT_EQ(c.count, count) << '"' << c.input << '"';
    in.clear();
    const std::string rest{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(c.rest, rest) << '"' << c.input << '"';
  }
}

TEST(ReadCountTest, EndOfInputAfterACountEndsTheNextRead) {
  std::istringstream in("12");
  std::int32_t count = 0;
  EXPECT_EQ(ReadOutcome::Read, read_count(in, count));
  EXPECT_EQ(12, count);
  EXPECT_EQ(ReadOutcome::Ended, read_count(in, count));
}

// Output that counts its flushes and, when asked to, fails them, as a full
// disk shows only when written through.
class CountingSync : public std::stringbuf {
 public:
  explicit CountingSync(bool fail = false) : fail_(fail) {}
  int syncs = 0;

 private:
  int sync() override {
    ++syncs;
    return fail_ ? -1 : 0;
  }
  bool fail_;
};

// Input that notes how often `output` had been flushed when it was first read.
class WatchingInput : public std::streambuf {
 public:
  WatchingInput(const CountingSync& output, std::string text)
      : output_(output), text_(std::move(text)) {}
  int syncs_before_reading = -1;

 private:
  int_type underflow() override {
    if (syncs_before_reading >= 0) return traits_type::eof();
    syncs_before_reading = output_.syncs;
    setg(text_.data(), text_.data(), text_.data() + text_.size());
    return traits_type::to_int_type(text_.front());
  }
  const CountingSync& output_;
  std::string text_;
};

TEST(ReadCountTest, FlushesTheTiedStreamBeforeWaiting) {
  CountingSync written;
  std::ostream out(&written);
  WatchingInput typed(written, "1\n");
  std::istream in(&typed);
  in.tie(&out);
  out << "question?";
  std::int32_t count = 0;
  EXPECT_EQ(ReadOutcome::Read, read_count(in, count));
  EXPECT_EQ(1, typed.syncs_before_reading);
}

TEST(QuotaForTest, SumsToThirteenAndDrawsLikeTheExactCounts) {
  const struct {
    std::int32_t half, full;
    RowQuota expected;
  } cases[] = {
      {2, 1, {10, 2, 1}},
      {0, 0, {13, 0, 0}},
      {14, 0, {-1, 14, 0}},
      {-5, 15, {3, -5, 15}},
      {10, 5, {-2, 10, 5}},
      {kMax, -kMax, {13, kMax, -kMax}},
      {kMin, 0, {13, 0, 0}},  // 13 + 2^31 leaves 32 bits: 13 singles all the same
      {kMin, kMin + 100, {13, 0, 0}},
      {kMax, kMax, {-13, 13, 13}},
      {kMax, 14, {kMin, kMax, 14}},  // singles exactly -2^31: still 32 bits
      {kMin, 20, {kMax - 6, kMin, 20}},
      {kMin, -20, {13, 0, 0}},
      {kMax, 20, {-13, 13, 13}},
      {5, kMin, {13, 5, -5}},
      {kMax, kMin, {14, kMax, kMin}},
      {kMin + 13, 1, {kMax, kMin + 13, 1}},
  };
  for (const auto& c : cases) {
    const RowQuota q = quota_for(c.half, c.full);
    EXPECT_EQ(c.expected.singles, q.singles) << c.half << ", " << c.full;
    EXPECT_EQ(c.expected.half_covers, q.half_covers) << c.half << ", " << c.full;
    EXPECT_EQ(c.expected.full_covers, q.full_covers) << c.half << ", " << c.full;
  }
}

TEST(QuotaForTest, ExtremeCountsKeepTheDrawsView) {
  const std::int32_t values[] = {kMin, kMin + 1, kMin + 13, -14, -1,        0,
                                 1,    6,        13,        14,  kMax - 13, kMax};
  const auto view = [](std::int64_t quota) { return std::clamp<std::int64_t>(quota, 0, 13); };
  for (const std::int32_t half : values) {
    for (const std::int32_t full : values) {
      const RowQuota q = quota_for(half, full);
      EXPECT_EQ(13, std::int64_t{q.singles} + q.half_covers + q.full_covers)
          << half << ", " << full;
      EXPECT_EQ(view(std::int64_t{13} - full - half), view(q.singles)) << half << ", " << full;
      EXPECT_EQ(view(half), view(q.half_covers)) << half << ", " << full;
      EXPECT_EQ(view(full), view(q.full_covers)) << half << ", " << full;
    }
  }
}

TEST(RunRowsTest, EndOfInputAtTheFirstQuestionSaysFarewell) {
  std::istringstream in("  \n");
  std::ostringstream out;
  run_rows(in, out);
  EXPECT_EQ("Hur manga halv-garderingar vill du ha pa ditt ystem?\nquitting menu\n", out.str());
}

TEST(RunRowsTest, FailedFarewellFlushShowsInTheStream) {
  std::istringstream in("1\n1\nq\n");
  CountingSync buffer(true);
  std::ostream out(&buffer);
  run_rows(in, out);
  EXPECT_TRUE(out.bad());
  EXPECT_TRUE(buffer.str().ends_with("quitting menu\n"));
}

}  // namespace
