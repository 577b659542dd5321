#ifndef TIPSRAD_RANDOM_SHARED_GENERATOR_H_
#define TIPSRAD_RANDOM_SHARED_GENERATOR_H_

#include <cstdint>

#include "random/mersenne_generator.h"

// The calendar clock in whole seconds, low 32 bits, read once during static
// initialisation. It only seeds shared_generator.
extern const std::uint32_t start_seed;

// The process's one generator, seeded with start_seed before main runs and
// never re-seeded, so its sequence runs on unbroken from row to row.
extern MersenneGenerator shared_generator;

#endif  // TIPSRAD_RANDOM_SHARED_GENERATOR_H_
