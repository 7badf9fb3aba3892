// The process-wide pseudo-random generator shared by the characters and the
// random background. Its state is 1 when the process starts.
#pragma once

#include <cstdint>

namespace flutt {

// Advances the generator and returns a number in 0 .. 32767.
int RandomNext();

void RandomSeed(std::uint32_t seed);

// The calendar time in whole seconds since 1970-01-01, used as a seed.
std::uint32_t CurrentTime();

}  // namespace flutt
