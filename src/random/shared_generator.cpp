#include "random/shared_generator.h"

#include <ctime>

// Both live in this one unit, start_seed first: initialisers within a unit run
// in order of definition, so the generator is seeded from the clock reading.
const std::uint32_t start_seed = static_cast<std::uint32_t>(std::time(nullptr));
MersenneGenerator shared_generator(start_seed);
