#include "pools/mark_draw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "random/shared_generator.h"

namespace {

// The kind a mark's text stands for; fails the test for any other text.
MarkKind kind_of(const MatchMark& mark) {
  const std::string text = mark.text.data();
  if (text == "1" || text == "x" || text == "2") return MarkKind::Single;
  if (text == "1x" || text == "x2" || text == "12") return MarkKind::HalfCover;
  EXPECT_EQ("1x2", text);
  return MarkKind::FullCover;
}

// Draws a whole row of 13 under `quota`, as the dialogue does.
std::vector<MatchMark> draw_row(RowQuota quota) {
  row_quota = quota;
  row_tally = {};
  std::vector<MatchMark> row(13);
  for (MatchMark& mark : row) draw_mark(mark);
  return row;
}

TEST(MarkDrawTest, FinishedRowHoldsTheQuotasKinds) {
  const struct {
    RowQuota quota;
    std::array<int, 3> expected;  // singles, half covers, full covers
  } cases[] = {
      {{13, 0, 0}, {13, 0, 0}},   {{0, 13, 0}, {0, 13, 0}},  {{0, 0, 13}, {0, 0, 13}},
      {{10, 2, 1}, {10, 2, 1}},   {{5, 4, 4}, {5, 4, 4}},    {{1, 0, 12}, {1, 0, 12}},
      {{-1, 14, 0}, {0, 13, 0}},  {{14, 0, -1}, {13, 0, 0}}, {{-13, 13, 13}, {0, -1, -1}},
      {{3, -5, 15}, {-1, 0, -1}}, {{8, 5, 0}, {8, 5, 0}},
  };
  // An expected count of -1 means "not fixed": the row only keeps below the quota.
  for (const auto& c : cases) {
    for (const std::uint32_t seed : {1U, 2U, 3U, 77U, 1733668307U}) {
      shared_generator.seed(seed);
      std::array<int, 3> counts{};
      for (const MatchMark& mark : draw_row(c.quota))
        ++counts[static_cast<std::size_t>(kind_of(mark))];
      const std::array<int, 3> quota{c.quota.singles, c.quota.half_covers, c.quota.full_covers};
      for (std::size_t k = 0; k < 3; ++k) {
        if (c.expected[k] >= 0) {
          EXPECT_EQ(c.expected[k], counts[k]) << "kind " << k << " seed " << seed;
        } else {
          EXPECT_LE(counts[k], std::max(quota[k], 0)) << "kind " << k << " seed " << seed;
        }
      }
      EXPECT_EQ(counts[0], row_tally.singles);
      EXPECT_EQ(counts[1], row_tally.half_covers);
      EXPECT_EQ(counts[2], row_tally.full_covers);
    }
  }
}

TEST(MarkDrawTest, RowFromSeedOne) {
  shared_generator.seed(1);
  const std::vector<MatchMark> row = draw_row({10, 2, 1});
  const std::vector<std::string> expected{"1x", "1x2", "1x", "1", "1", "1", "1",
                                          "1",  "x",   "1",  "x", "1", "1"};
  std::vector<std::string> marks(row.size());
  std::transform(row.begin(), row.end(), marks.begin(),
                 [](const MatchMark& mark) { return mark.text.data(); });
  EXPECT_EQ(expected, marks);
  EXPECT_EQ(29U, shared_generator.index);  // slot draws since the first regeneration
}

TEST(MarkDrawTest, OutcomesFollowTheSlotWeights) {
  const struct {
    RowQuota quota;
    std::array<std::string, 3> marks;
    std::array<double, 3> weights;
  } cases[] = {
      {{13, 0, 0}, {"1", "x", "2"}, {3.0 / 6, 1.0 / 6, 2.0 / 6}},
      {{0, 13, 0}, {"1x", "x2", "12"}, {3.0 / 7, 2.0 / 7, 2.0 / 7}},
  };
  for (const auto& c : cases) {
    shared_generator.seed(5);
    std::array<int, 3> seen{};
    for (int row = 0; row < 3000; ++row) {
      for (const MatchMark& mark : draw_row(c.quota)) {
        const auto* const found = std::find(c.marks.begin(), c.marks.end(), mark.text.data());
        ASSERT_NE(c.marks.end(), found) << mark.text.data();
        ++seen[static_cast<std::size_t>(found - c.marks.begin())];
      }
    }
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_NEAR(c.weights[i], seen[i] / (3000.0 * 13), 0.01) << c.marks[i];
    }
  }
}

TEST(MarkDrawTest, NoOpenKindLeavesEverythingAsItWas) {
  for (const RowQuota quota : {RowQuota{0, 0, 0}, RowQuota{-4, -1, 0}, RowQuota{2, 1, 0}}) {
    shared_generator.seed(9);
    row_quota = quota;
    row_tally = {2, 1, 0};
    MatchMark mark{{'1', 'x', 0, 0}};
    draw_mark(mark);
    EXPECT_STREQ("1x", mark.text.data());
    EXPECT_EQ(2, row_tally.singles);
    EXPECT_EQ(1, row_tally.half_covers);
    EXPECT_EQ(0, row_tally.full_covers);
    EXPECT_EQ(MersenneGenerator::kN, shared_generator.index);  // nothing drawn
  }
}

}  // namespace
