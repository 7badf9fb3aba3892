// The eight background pictures, all drawn procedurally.
#pragma once

#include "Image.h"

namespace assetgen {

IndexedImage drawCheckerRoom();  // 1: 480x360, up to 256 colours, a room with a checker floor
IndexedImage drawNightSky();     // 2: 320x240, up to 256 colours, stars, a moon, hills
IndexedImage drawWaveTile16();   // 3: 64x64, 16 colours, seamless waves
IndexedImage drawWaveTile2();    // 4: 64x64, 2 colours, seamless waves
RgbImage drawBrickTile();        // 5: 32x32, seamless brick wall

// The smooth abstract wallpapers: soft blue gradients crossed by flowing ribbons.
// Every one is periodic over its own size, so the tiled ones meet without a seam.
struct FlowStyle {
    int width;
    int height;
    std::uint32_t seed;
    double hueTurn;  // -1..1: towards teal (negative) or violet (positive)
    int slope;       // how many times the flow climbs (+) or falls (-) a picture height per width
};
inline constexpr FlowStyle kWide{1920, 1080, 28, 0.0, -1};        // 6
inline constexpr FlowStyle kTallTile{1024, 1536, 7, -0.55, 1};    // 7
inline constexpr FlowStyle kSquareTile{1024, 1024, 8, 0.6, -1};   // 8

RgbImage drawFlowWallpaper(const FlowStyle& style);

} // namespace assetgen
