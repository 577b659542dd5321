#ifndef TIPSRAD_RANDOM_MERSENNE_GENERATOR_H_
#define TIPSRAD_RANDOM_MERSENNE_GENERATOR_H_

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

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

  explicit MersenneGenerator(std::uint32_t value) { seed(value); }

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
  // max - min + 1, clamped to max, where x * width is the IEEE double product:
  // rounded once to 53 significant bits, ties to even. When max < min,
  // returns -2147483648 instead (the output is still used up). The width is
  // taken in 64 bits, so the whole 32-bit range is defined too: any
  // min <= max gives a value in [min, max].
  //
  // The product is formed in integers, u * width for the output u, exact in
  // 64 bits, then rounded as a double would be: the same result on every
  // platform, also where the floating-point unit keeps wider intermediates
  // (x87). Up to widths of 2^21 nothing needs rounding: floor(u * width / 2^32).
  std::int32_t next_int(std::int32_t min, std::int32_t max) {
    const std::uint32_t u = next_u32();
    if (max < min) return INT32_MIN;
    const auto width = static_cast<std::uint64_t>(std::int64_t{max} - min) + 1;  // 1 to 2^32
    // The rounding may reach width * 2^32 itself; the clamp catches that.
    const auto offset = static_cast<std::int64_t>(round_as_double(u * width) >> 32);
    const std::int64_t r = min + offset;
    return static_cast<std::int32_t>(r > max ? max : r);
  }

  // The state, public so that tests can look at it. Outputs 1 to 351 after a
  // regeneration read mt[0] to mt[350]; index counts the words handed out,
  // and any index of 351 or more means the state is used up.
  std::array<std::uint32_t, kN> mt;
  std::uint32_t index;

 private:
  static constexpr std::uint64_t kOneBits = 0x3FF0000000000000U;  // 1.0
  static constexpr std::uint64_t kDoubleDigits = 53;              // significant bits of a double

  // u / 2^32, formed by placing u in the fraction of a double in [1, 2) and
  // subtracting 1: exact, and no division.
  static double unit_from(std::uint64_t u) {
    return std::bit_cast<double>(kOneBits | (u << 20)) - 1.0;
  }

  // `exact` rounded to a double's significant bits, ties to even. Never wraps:
  // a product below 2^64 - 2^32 rounds to at most 2^64 - 2^32.
  static std::uint64_t round_as_double(std::uint64_t exact) {
    const std::uint64_t digits = std::bit_width(exact);
    if (digits <= kDoubleDigits) return exact;
    const std::uint64_t unit = std::uint64_t{1} << (digits - kDoubleDigits);
    const std::uint64_t rest = exact & (unit - 1);
    const std::uint64_t kept = exact - rest;
    const bool up = rest > unit / 2 || (rest == unit / 2 && (kept & unit) != 0);
    return up ? kept + unit : kept;
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
  // new mt[0]. Where the processor has AVX2, eight words at a time (defining
  // TIPSRAD_PORTABLE_TWIST keeps to the word-by-word form everywhere).
  void regenerate() {
#if defined(__x86_64__) && defined(__GNUC__) && !defined(TIPSRAD_PORTABLE_TWIST)
    __builtin_cpu_init();  // also safe when called from a static initialiser
    if (__builtin_cpu_supports("avx2")) {
      regenerate_avx2();
      return;
    }
#endif
    std::uint32_t i = 0;
    for (; i < kN - kM; ++i) mt[i] = twist(mt[i], mt[i + 1], mt[i + kM]);
    for (; i < kN - 1; ++i) mt[i] = twist(mt[i], mt[i + 1], mt[i + kM - kN]);
    mt[kN - 1] = twist(mt[kN - 1], mt[0], mt[kM - 1]);
    index = 0;
  }

#if defined(__x86_64__) && defined(__GNUC__) && !defined(TIPSRAD_PORTABLE_TWIST)
  // The same three runs on vectors of eight words. Each vector reads the
  // words after it before they are rewritten, and its partners are either
  // all ahead (first run) or all rewritten already (second run), exactly as
  // word by word. The first run is 22 vectors; the second 21 and 6 words.
  static constexpr std::uint32_t kLanes = 8;
  static_assert((kN - kM) % kLanes == 0);

  [[gnu::target("avx2"), gnu::noinline]] void regenerate_avx2() {
    std::uint32_t i = 0;
    for (; i < kN - kM; i += kLanes) twist_eight(i, i + kM);
    for (; i + kLanes < kN - 1; i += kLanes) twist_eight(i, i + kM - kN);
    for (; i < kN - 1; ++i) mt[i] = twist(mt[i], mt[i + 1], mt[i + kM - kN]);
    mt[kN - 1] = twist(mt[kN - 1], mt[0], mt[kM - 1]);
    index = 0;
  }

  // twist() on mt[i] to mt[i + 7], with partners from mt[partner] on.
  [[gnu::target("avx2"), gnu::always_inline]] void twist_eight(std::uint32_t i,
                                                               std::uint32_t partner) {
    using Words = std::uint32_t __attribute__((vector_size(kLanes * 4)));
    Words word{};
    Words after{};
    Words ahead{};
    std::memcpy(&word, &mt[i], sizeof word);
    std::memcpy(&after, &mt[i + 1], sizeof after);
    std::memcpy(&ahead, &mt[partner], sizeof ahead);
    const Words y = (word & kUpperMask) | (after & kLowerMask);
    const Words twisted = ahead ^ (y >> 1) ^ (kMatrixA & -(y & 1U));
    std::memcpy(&mt[i], &twisted, sizeof twisted);
  }
#endif
};

#endif  // TIPSRAD_RANDOM_MERSENNE_GENERATOR_H_
