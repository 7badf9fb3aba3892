// A surface of 32-bit pixels in memory (0x00RRGGBB, top row first), with the
// same raster arithmetic as the display's bitmaps.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Surface.h"

namespace flutt {

class SoftSurface final : public Surface {
public:
    SoftSurface(int width, int height, std::uint32_t fill = 0);
    SoftSurface(int width, int height, std::vector<std::uint32_t> pixels);

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void Transfer(int dx, int dy, int w, int h, const Surface& source, int sx, int sy, RasterOp op) override;
    PixelView Pixels() override { return {pixels_.data(), width_, height_, width_}; }
    ConstPixelView Pixels() const override { return {pixels_.data(), width_, height_, width_}; }

    std::uint32_t Pixel(int x, int y) const { return pixels_[std::size_t(y) * width_ + x]; }
    void SetPixel(int x, int y, std::uint32_t value) { pixels_[std::size_t(y) * width_ + x] = value; }

private:
    int width_;
    int height_;
    std::vector<std::uint32_t> pixels_;
};

}  // namespace flutt
