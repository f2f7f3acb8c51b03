#pragma once
// Math.random's generator: the 48-bit linear congruential generator of the POSIX drand48 family
// (X <- 0x5DEECE66D * X + 0xB mod 2^48), one state for the whole process, seeded by the srand48
// rule from a time in seconds. Engines created in the same second repeat the same sequence.
#include <cstdint>

namespace vexil::script {

// State: low word 0x330E, middle word the low 16 bits of t, high word the high 16 bits of t.
void seedRandom(uint32_t seconds);
// Advances the state and answers it as a fraction in [0, 1).
double nextRandom();

}  // namespace vexil::script
