#include "anim/Moving.h"

#include "anim/Random.h"

namespace flutt {
namespace {

// How far below or above the screen a character may start.
constexpr int kStartSpread = 600;

// A velocity component for a speed and a direction setting: 0 one way, 1 the
// other way, 2 both ways. No random number is drawn for a speed of 0.
std::int32_t DrawVelocity(std::int32_t speed, std::int32_t direction, bool directionZeroIsNegative) {
    if (speed == 0) return 0;
    switch (direction) {
        case 0: {
            const std::int32_t step = RandomNext() % speed;
            return directionZeroIsNegative ? -step : step;
        }
        case 1: {
            const std::int32_t step = RandomNext() % speed;
            return directionZeroIsNegative ? step : -step;
        }
        default: return RandomNext() % (2 * speed) - speed;
    }
}

}  // namespace

moving::moving(const SheetSlots& CharImage, const SaverSettings& settings, ScreenSize screen) : frame(0) {
    int slot;
    do {
        slot = RandomNext() % kCharacterCount;
    } while (!settings.Character[slot]);
    image = CharImage[slot];
    w = image->Width();
    h = image->Height() / 2;

    // LR: 0 drifts left, 1 right. updown: 0 falls (down is positive), 1 rises.
    vx = DrawVelocity(settings.LRspeed, settings.LR, /*directionZeroIsNegative=*/true);
    vy = DrawVelocity(settings.downspeed, settings.updown, /*directionZeroIsNegative=*/false);
    x = RandomNext() % screen.W;
    y = vy > 0 ? -(RandomNext() % kStartSpread) : screen.H + RandomNext() % kStartSpread;
}

void moving::move(ScreenSize screen) {
    x += vx;
    y += vy;
    if (y > screen.H && vy > 0) y -= screen.H + h;
    if (y < 0 && vy <= 0) y += screen.H + h;
    if (x > screen.W && vx > 0) x = -w;
    if (x < -w && vx < 0) x += screen.W;
}

void moving::draw(Surface& FrameBitmap) const {
    FrameBitmap.Transfer(x, y, w, h, *image, frame * w, h, RasterOp::SrcErase);
    FrameBitmap.Transfer(x, y, w, h, *image, frame * w, 0, RasterOp::SrcInvert);
}

std::vector<moving> MakeCharacters(const SheetSlots& CharImage, const SaverSettings& settings, ScreenSize screen) {
    std::vector<moving> chars;
    chars.reserve(std::size_t(settings.num));
    for (std::int32_t i = 0; i < settings.num; ++i) chars.emplace_back(CharImage, settings, screen);
    return chars;
}

}  // namespace flutt
