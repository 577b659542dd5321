#include "random/mersenne_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

// Inverts the tempering, so a test can choose the next raw output.
std::uint32_t untemper(std::uint32_t y) {
  const auto undo_right = [](std::uint32_t v, std::uint32_t shift) {
    std::uint32_t x = v;
    for (int i = 0; i < 32; ++i) x = v ^ (x >> shift);
    return x;
  };
  const auto undo_left = [](std::uint32_t v, std::uint32_t shift, std::uint32_t mask) {
    std::uint32_t x = v;
    for (int i = 0; i < 32; ++i) x = v ^ ((x << shift) & mask);
    return x;
  };
  y = undo_right(y, MersenneGenerator::kTemperL);
  y = undo_left(y, MersenneGenerator::kTemperT, MersenneGenerator::kTemperC);
  y = undo_left(y, MersenneGenerator::kTemperS, MersenneGenerator::kTemperB);
  return undo_right(y, MersenneGenerator::kTemperU);
}

// A generator whose next 32-bit output is `u`.
MersenneGenerator about_to_give(std::uint32_t u) {
  MersenneGenerator generator(0);
  generator.mt[0] = untemper(u);
  generator.index = 0;
  return generator;
}

TEST(MersenneGeneratorTest, KnownAnswersFromFixedSeeds) {
  const struct {
    std::uint32_t seed;
    std::vector<std::uint32_t> outputs;
  } cases[] = {
      {0, {0x0ACB5648, 0xA08C5AF8, 0x42234EDB, 0x400CDDD2}},
      {1, {0x869FE549, 0xFC5471FB, 0x6FBD4F13, 0xF90D5455}},
  };
  for (const auto& c : cases) {
    MersenneGenerator generator(c.seed);
    for (const std::uint32_t expected : c.outputs) {
      EXPECT_EQ(expected, generator.next_u32()) << "seed " << c.seed;
    }
  }
}

TEST(MersenneGeneratorTest, SeedingStoresTheFirstWordAlreadyTransformed) {
  MersenneGenerator generator(0);
  EXPECT_EQ(0xFFFFFFFFU, generator.mt[0]);
  EXPECT_EQ(0xFFFFFFFFU * 29943829U - 1U, generator.mt[1]);
  EXPECT_EQ(351U, generator.index);
}

TEST(MersenneGeneratorTest, SlotSequenceFromSeedZero) {
  MersenneGenerator generator(0);
  for (const std::int32_t expected : {1, 10, 4, 4, 15, 15, 3, 8, 2, 1}) {
    EXPECT_EQ(expected, generator.next_int(1, 15));
  }
}

TEST(MersenneGeneratorTest, RegeneratesAtFirstAnd352ndOutput) {
  MersenneGenerator generator(7);
  const std::array<std::uint32_t, MersenneGenerator::kN> seeded = generator.mt;
  generator.next_u32();
  EXPECT_NE(seeded, generator.mt);
  EXPECT_EQ(1U, generator.index);

  const std::array<std::uint32_t, MersenneGenerator::kN> first_pass = generator.mt;
  for (int i = 2; i <= 351; ++i) generator.next_u32();
  EXPECT_EQ(first_pass, generator.mt);
  EXPECT_EQ(351U, generator.index);

  generator.next_u32();
  EXPECT_NE(first_pass, generator.mt);
  EXPECT_EQ(1U, generator.index);
}

TEST(MersenneGeneratorTest, ReseedingRestartsTheSameStream) {
  for (const std::uint32_t seed : {0U, 1U, 12345U, 0xFFFFFFFFU}) {
    MersenneGenerator fresh(seed);
    MersenneGenerator reused(seed ^ 0x5A5A5A5AU);
    for (int i = 0; i < 500; ++i) reused.next_u32();
    reused.seed(seed);
    for (int i = 0; i < 1000; ++i) {
      ASSERT_EQ(fresh.next_u32(), reused.next_u32());
      ASSERT_EQ(fresh.next_unit(), reused.next_unit());
      ASSERT_EQ(fresh.next_int(-3, 97), reused.next_int(-3, 97));
    }
  }
}

TEST(MersenneGeneratorTest, UnitRealIsTheOutputOver2To32) {
  for (const std::uint32_t u : {0U, 1U, 0x80000000U, 0xFFFFFFFEU, 0xFFFFFFFFU}) {
    MersenneGenerator generator = about_to_give(u);
    const double x = generator.next_unit();
    EXPECT_EQ(std::ldexp(static_cast<double>(u), -32), x) << u;
    EXPECT_LT(x, 1.0);
  }
  MersenneGenerator raw(99);
  MersenneGenerator unit(99);
  for (int i = 0; i < 2000; ++i) {
    const std::uint32_t u = raw.next_u32();
    const double x = unit.next_unit();
    ASSERT_EQ(std::ldexp(static_cast<double>(u), -32), x);
    ASSERT_EQ(u == 0, x == 0.0);
  }
}

TEST(MersenneGeneratorTest, IntegerRangeEdges) {
  constexpr std::int32_t kMin = INT32_MIN;
  constexpr std::int32_t kMax = INT32_MAX;
  const struct {
    std::uint32_t u;
    std::int32_t min, max, expected;
  } cases[] = {
      {0x00000000, 1, 15, 1},
      {0x80000000, 1, 15, 8},
      {0xFFFFFFFF, 1, 15, 15},
      {0x11111111, 1, 15, 1},  // 15 * u is 2^32 - 1
      {0x11111112, 1, 15, 2},  // 15 * u is 2^32 + 14
      {0x00000000, 7, 7, 7},
      {0xFFFFFFFF, 7, 7, 7},
      {0xFFFFFFFF, -5, -1, -1},
      {0x00000000, 5, 4, kMin},
      {0xFFFFFFFF, kMax, kMin, kMin},
      {0xFFFFFFFF, kMax, kMax, kMax},
      {0xFFFFFFFF, kMin, kMin, kMin},
      {0xFFFFFFFF, 0, kMax - 1, kMax - 1},    // widest range that fits 32 bits
      {0x80000001, 0, kMax - 1, 1073741824},  // the double product rounds up here
      {0x80000101, 0, kMax - 1, 1073741952},  // ... and here only at 53 bits, not 54
      // Just wider than 2^21: the rounded double product, one above the floor.
      {4294785079, 0, 2097784, 2097696},
      {4292872191, 0, 2099200, 2098177},
      // Where x87 keeps the product in 80 bits, these came out one lower.
      {0xB3333333, kMin, 4, -644245091},
      {0xBFFFFFFF, kMin, 1 << 30, 268435456},
      // Wider than 32 bits: the same mapping, on a 64-bit width.
      {0x00000000, kMin, kMax, kMin},
      {0x80000000, kMin, kMax, 0},
      {0xFFFFFFFF, kMin, kMax, kMax},
      {0xFFFFFFFF, kMin, -1, -1},
      {0xFFFFFFFF, -1, kMax, kMax},
  };
  for (const auto& c : cases) {
    MersenneGenerator generator = about_to_give(c.u);
    EXPECT_EQ(c.expected, generator.next_int(c.min, c.max))
        << "u " << c.u << " range " << c.min << ".." << c.max;
  }
}

// The range mapping as defined: the double product u / 2^32 * width, truncated.
// The store rounds the product to a double also where x87 forms it wider.
std::int64_t reference_int(std::uint32_t u, std::int32_t min, std::int32_t max) {
  const auto width = static_cast<double>(std::int64_t{max} - min + 1);
  const volatile double product = std::ldexp(u, -32) * width;
  const std::int64_t r = min + static_cast<std::int64_t>(product);
  return std::min<std::int64_t>(r, max);
}

TEST(MersenneGeneratorTest, IntegerRangeEqualsTheDoubleProductBitForBit) {
  const std::int32_t mins[] = {INT32_MIN, -1000, 0, 1, 5};
  const std::int64_t widths[] = {1,
                                 2,
                                 3,
                                 15,
                                 1000,
                                 1 << 20,
                                 (1 << 21) - 1,
                                 1 << 21,
                                 (1 << 21) + 1,
                                 1 << 30,
                                 INT32_MAX - 1000,
                                 INT32_MAX,
                                 1LL << 31,
                                 1LL << 32};
  MersenneGenerator source(31337);
  std::vector<std::uint32_t> outputs{0, 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFE, 0xFFFFFFFF};
  for (int i = 0; i < 2000; ++i) outputs.push_back(source.next_u32());
  for (const std::int32_t min : mins) {
    for (const std::int64_t width : widths) {
      if (min + width - 1 > INT32_MAX) continue;
      const auto max = static_cast<std::int32_t>(min + width - 1);
      for (const std::uint32_t u : outputs) {
        MersenneGenerator generator = about_to_give(u);
        ASSERT_EQ(reference_int(u, min, max), generator.next_int(min, max))
            << "u " << u << " range " << min << ".." << max;
      }
    }
  }
}

TEST(MersenneGeneratorTest, EveryDrawUsesExactlyOneOutput) {
  MersenneGenerator reference(3);
  MersenneGenerator mixed(3);
  reference.next_u32();
  reference.next_u32();
  reference.next_u32();
  mixed.next_int(5, 4);
  mixed.next_int(7, 7);
  mixed.next_unit();
  EXPECT_EQ(reference.next_u32(), mixed.next_u32());
}

// Seeds the standard engine with the recurrence's words.
struct RecurrenceSeed {
  using result_type = std::uint32_t;
  std::uint32_t value;
  template <typename It>
  void generate(It first, It last) const {
    std::uint32_t s = value;
    for (; first != last; ++first) {
      s = s * 29943829U - 1U;
      *first = s;
    }
  }
};

using StandardTwister =
    std::mersenne_twister_engine<std::uint32_t, 32, 351, 175, 19, 0xE4BD75F5, 11, 0xFFFFFFFF, 7,
                                 0x655E5280, 15, 0xFFD58000, 17, 1812433253>;

TEST(MersenneGeneratorTest, MatchesTheStandardEngineWithTheSameParameters) {
  for (const std::uint32_t seed : {0U, 1U, 4357U, 1733668307U, 0xFFFFFFFFU}) {
    RecurrenceSeed sequence{seed};
    StandardTwister standard(sequence);
    MersenneGenerator ours(seed);
    for (int i = 0; i < 351 * 12; ++i) {
      ASSERT_EQ(standard(), ours.next_u32()) << "seed " << seed << " output " << i;
    }
  }
}

}  // namespace
