// How an X visual keeps a colour in a pixel value: red, green and blue each
// in the bits of its mask, at any depth (15, 16, 24, 30, 32), and in a
// 32-bit visual with an alpha channel the bits left over. Plain logic, no X11.
#pragma once

#include <array>
#include <cstdint>

namespace flutt::hack {

class PixelFormat {
public:
    PixelFormat(std::uint32_t redMask, std::uint32_t greenMask, std::uint32_t blueMask, int depth);

    // A 0x00RRGGBB colour as this format's pixel: each channel scaled to the
    // nearest value its bits hold, the alpha bits (if any) all set: opaque.
    std::uint32_t Encode(std::uint32_t rgb) const {
        return red_.encoded[rgb >> 16 & 0xFF] | green_.encoded[rgb >> 8 & 0xFF] | blue_.encoded[rgb & 0xFF] | alphaMask_;
    }

    // A pixel of this format as 0x00RRGGBB: each channel scaled from its
    // bits to the nearest 8-bit value. Encode(Decode(p)) gives p back for
    // channels of up to 8 bits, and for wider ones where p came from Encode.
    std::uint32_t Decode(std::uint32_t pixel) const {
        return red_.Decode(pixel) << 16 | green_.Decode(pixel) << 8 | blue_.Decode(pixel);
    }

    // 8-bit red, green and blue where 0x00RRGGBB keeps them: pixels copy as
    // they are (with the alpha bits set).
    bool IsRgb888() const { return red_.mask == 0xFF0000 && green_.mask == 0xFF00 && blue_.mask == 0xFF; }
    std::uint32_t alphaMask() const { return alphaMask_; }

private:
    struct Channel {
        explicit Channel(std::uint32_t mask);
        std::uint32_t Decode(std::uint32_t pixel) const {
            if (!max) return 0;
            const std::uint64_t v = (pixel & mask) >> shift;
            return std::uint32_t((v * 255 + max / 2) / max);
        }
        std::uint32_t mask;
        int shift = 0;
        std::uint64_t max = 0;  // the channel's largest value
        std::array<std::uint32_t, 256> encoded{};
    };

    Channel red_, green_, blue_;
    std::uint32_t alphaMask_;
};

}  // namespace flutt::hack
