// Reducing a full-colour picture to a palette picture, deterministically.
#pragma once

#include "Image.h"

#include <vector>

namespace assetgen {

// Median cut: at most maxColours colours that represent the picture's pixels.
std::vector<Rgb> medianCutPalette(const RgbImage& image, int maxColours);

// Each pixel takes the nearest palette colour. With ditherAmplitude > 0 an 8x8 ordered
// dither of that many levels (peak to peak) is added first, which hides banding in gradients.
IndexedImage mapToPalette(const RgbImage& image, const std::vector<Rgb>& palette, double ditherAmplitude);

// The 8x8 Bayer threshold in [-0.5, 0.5).
double bayer8(int x, int y);

} // namespace assetgen
