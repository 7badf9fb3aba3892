#include "linux/PixelFormat.h"

#include <bit>

namespace flutt::hack {

PixelFormat::Channel::Channel(std::uint32_t m) : mask(m) {
    if (!mask) return;
    shift = std::countr_zero(mask);
    max = mask >> shift;
    for (std::uint64_t c = 0; c < 256; ++c) encoded[c] = std::uint32_t((c * max + 127) / 255) << shift;
}

PixelFormat::PixelFormat(std::uint32_t redMask, std::uint32_t greenMask, std::uint32_t blueMask, int depth)
    : red_(redMask),
      green_(greenMask),
      blue_(blueMask),
      alphaMask_((depth >= 32 ? 0xFFFFFFFFu : (std::uint32_t(1) << depth) - 1) & ~(redMask | greenMask | blueMask)) {}

}  // namespace flutt::hack
