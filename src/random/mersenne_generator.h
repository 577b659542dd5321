#ifndef TIPSRAD_RANDOM_MERSENNE_GENERATOR_H_
#define TIPSRAD_RANDOM_MERSENNE_GENERATOR_H_

#include <array>
#include <bit>
#include <cstdint>

// A 32-bit Mersenne twister with a state of 351 words (the parameter set with
// middle offset 175 and a 13/19 bit split), seeded by its own recurrence
// s = s * 29943829 - 1 rather than the usual initialisation.
//
// It is small, fast and fully reproducible from a 32-bit seed, which is all a
// coupon drawer needs. It is NOT suitable for anything cryptographic: the
// state can be recovered from 351 consecutive outputs.
//
// Every drawing operation consumes exactly one 32-bit output, whatever its
// arguments, so the sequence of outputs depends only on the number of calls.
// The state lives inline (no heap); the object is about 1.4 KiB.
// Not thread-safe: every drawing operation mutates the state.
class MersenneGenerator {
 public:
  static constexpr std::uint32_t kN = 351;  // words of state
  static constexpr std::uint32_t kM = 175;  // middle offset of the recurrence
  static constexpr std::uint32_t kR = 19;   // bits in the lower mask
  static constexpr std::uint32_t kUpperMask = 0xFFF80000U;
  static constexpr std::uint32_t kLowerMask = 0x0007FFFFU;
  static constexpr std::uint32_t kMatrixA = 0xE4BD75F5U;
  static constexpr std::uint32_t kTemperU = 11;
  static constexpr std::uint32_t kTemperS = 7;
  static constexpr std::uint32_t kTemperB = 0x655E5280U;
  static constexpr std::uint32_t kTemperT = 15;
  static constexpr std::uint32_t kTemperC = 0xFFD58000U;
  static constexpr std::uint32_t kTemperL = 17;
  static constexpr std::uint32_t kSeedMultiplier = 29943829U;

  static_assert(kLowerMask == (1U << kR) - 1 && kUpperMask == ~kLowerMask);

  explicit MersenneGenerator(std::uint32_t value) noexcept { seed(value); }

  // Refills the whole state from `value`. Every value, 0 included, is a valid
  // seed. The first output afterwards regenerates the state.
  void seed(std::uint32_t value) {
    std::uint32_t s = value;
    for (std::uint32_t& word : mt) {
      s = s * kSeedMultiplier - 1U;  // modulo 2^32: unsigned wrap is intended
      word = s;
    }
    index = kN;
  }

  // Returns the next tempered 32-bit output.
  std::uint32_t next_u32() {
    if (index >= kN) regenerate();
    std::uint32_t y = mt[index];
    ++index;
    y ^= y >> kTemperU;
    y ^= (y << kTemperS) & kTemperB;
    y ^= (y << kTemperT) & kTemperC;
    y ^= y >> kTemperL;
    return y;
  }

  // Returns u / 2^32 for the next output u: a multiple of 2^-32 in [0, 1),
  // 0.0 only when u is 0.
  double next_unit() { return unit_from(next_u32()); }

  // Returns min + trunc(x * width) for the next unit real x and width =
  // max - min + 1, clamped to max, where x * width is the IEEE double product.
  // When max < min, returns -2147483648 instead (the output is still used
  // up). The width is taken in 64 bits, so the whole 32-bit range is defined
  // too: any min <= max gives a value in [min, max].
  std::int32_t next_int(std::int32_t min, std::int32_t max) {
    const std::uint32_t u = next_u32();
    if (max < min) return INT32_MIN;
    const auto width = static_cast<std::uint64_t>(std::int64_t{max} - min) + 1;  // 1 to 2^32
    std::int64_t offset = 0;
    if (width <= kExactWidth) {
      // u * width is below 2^53, so the double product is exact, and so is
      // this: the same value for the price of one integer multiply.
      offset = static_cast<std::int64_t>(u * width >> 32);
    } else {
      // The product needs at most 64 significant bits, so x87 (32-bit x86)
      // forms it exactly in its 80-bit registers; storing it through a
      // volatile double rounds it once, as SSE and every other platform do.
      const volatile double product = unit_from(u) * static_cast<double>(width);
      offset = static_cast<std::int64_t>(product);
    }
    // x is at most 1 - 2^-32, and width * 2^-32 is more than half a unit in
    // the last place of the product, so no rounding reaches width; the clamp
    // is the contract's promise of at most max, not a repair.
    const std::int64_t r = min + offset;
    return static_cast<std::int32_t>(r > max ? max : r);
  }

  // The state, public so that tests can look at it. Outputs 1 to 351 after a
  // regeneration read mt[0] to mt[350]; index counts the words handed out,
  // and any index of 351 or more means the state is used up.
  std::array<std::uint32_t, kN> mt;
  std::uint32_t index;

 private:
  static constexpr std::uint64_t kOneBits = 0x3FF0000000000000U;        // 1.0
  static constexpr std::uint64_t kExactWidth = std::uint64_t{1} << 21;  // 2^32 * 2^21 = 2^53

  // u / 2^32, formed by placing u in the fraction of a double in [1, 2) and
  // subtracting 1: exact, and no division.
  static double unit_from(std::uint64_t u) {
    return std::bit_cast<double>(kOneBits | (u << 20)) - 1.0;
  }

  // One step of the recurrence: the top bits of `upper`, the low bits of
  // `lower`, twisted into `partner`.
  static std::uint32_t twist(std::uint32_t upper, std::uint32_t lower, std::uint32_t partner) {
    const std::uint32_t y = (upper & kUpperMask) | (lower & kLowerMask);
    return partner ^ (y >> 1) ^ (kMatrixA & (0U - (y & 1U)));
  }

  // Rewrites the state in place. Split in three runs so that the partner
  // index kM words ahead never needs a modulo: from i = kN - kM on it wraps
  // to words already rewritten in this pass, and the last word pairs with the
  // new mt[0].
  void regenerate() {
    std::uint32_t i = 0;
    for (; i < kN - kM; ++i) mt[i] = twist(mt[i], mt[i + 1], mt[i + kM]);
    for (; i < kN - 1; ++i) mt[i] = twist(mt[i], mt[i + 1], mt[i + kM - kN]);
    mt[kN - 1] = twist(mt[kN - 1], mt[0], mt[kM - 1]);
    index = 0;
  }
};

#endif  // TIPSRAD_RANDOM_MERSENNE_GENERATOR_H_
