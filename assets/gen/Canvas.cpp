#include "Canvas.h"

#include "Palette.h"

namespace assetgen {

RgbImage toRgb(const Canvas& canvas, double ditherAmplitude) {
    RgbImage out(canvas.width, canvas.height);
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const Colour c = canvas.at(x, y);
            const double d = ditherAmplitude * bayer8(x, y);
            auto q = [d](double v) { return std::uint8_t(std::clamp(std::lround(v + d), 0l, 255l)); };
            out.at(x, y) = {q(c.r), q(c.g), q(c.b)};
        }
    return out;
}

} // namespace assetgen
