#include "platform/soft/SoftSurface.h"

#include <algorithm>
#include <stdexcept>

namespace flutt {
namespace {

constexpr std::uint32_t kColourBits = 0x00FFFFFFu;

std::uint32_t Combine(std::uint32_t s, std::uint32_t d, RasterOp op) {
    switch (op) {
        case RasterOp::SrcCopy: return s;
        case RasterOp::SrcErase: return s & ~d & kColourBits;
        case RasterOp::SrcInvert: return s ^ d;
    }
    return d;
}

}  // namespace

SoftSurface::SoftSurface(int width, int height, std::uint32_t fill)
    : width_(width), height_(height), pixels_(std::size_t(width) * std::size_t(height), fill) {}

SoftSurface::SoftSurface(int width, int height, std::vector<std::uint32_t> pixels)
    : width_(width), height_(height), pixels_(std::move(pixels)) {
    if (pixels_.size() != std::size_t(width) * std::size_t(height)) throw std::invalid_argument("pixel count");
}

void SoftSurface::Transfer(int dx, int dy, int w, int h, const Surface& source, int sx, int sy, RasterOp op) {
    const auto& src = dynamic_cast<const SoftSurface&>(source);
    // Clip against this surface and against the source.
    for (int row = 0; row < h; ++row) {
        const int ty = dy + row, fy = sy + row;
        if (ty < 0 || ty >= height_ || fy < 0 || fy >= src.height_) continue;
        const int first = std::max({0, -dx, -sx});
        const int last = std::min({w, width_ - dx, src.width_ - sx});
        for (int col = first; col < last; ++col) {
            std::uint32_t& d = pixels_[std::size_t(ty) * width_ + (dx + col)];
            d = Combine(src.Pixel(sx + col, fy), d, op);
        }
    }
}

}  // namespace flutt
