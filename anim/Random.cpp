#include "anim/Random.h"

#include <ctime>

namespace flutt {
namespace {

std::uint32_t randomState = 1;

}  // namespace

int RandomNext() {
    randomState = randomState * 22695477u + 1u;
    return int((randomState >> 16) & 0x7FFFu);
}

void RandomSeed(std::uint32_t seed) { randomState = seed; }

std::uint32_t CurrentTime() { return static_cast<std::uint32_t>(std::time(nullptr)); }

}  // namespace flutt
