// One on-screen character: which sheet it shows, where it is, how fast it
// travels. Only the position changes after construction; it wraps around
// the screen edges for ever.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/Surface.h"
#include "settings/SaverSettings.h"

namespace flutt {

struct ScreenSize {
    int W = 0;
    int H = 0;
};

// The saver window's character sheet slots, in catalogue order. A sheet is
// w wide and 2h high: the colour image on top, its mask below.
using SheetSlots = std::array<const Surface*, kCharacterCount>;

class moving {
public:
    // Chooses the sheet, velocity and start position, drawing random numbers
    // in a fixed order. `settings` must have at least one character enabled.
    moving(const SheetSlots& CharImage, const SaverSettings& settings, ScreenSize screen);

    // One step of motion, then the wrap rules, on the screen's current size.
    void move(ScreenSize screen);

    // Pastes the character through its mask into the frame: the mask half
    // with SRCERASE, then the colour half with SRCINVERT.
    void draw(Surface& FrameBitmap) const;

    const Surface* image;  // not owned: the saver window keeps its sheets for the whole run
    std::int32_t x;
    std::int32_t y;
    std::int32_t w;
    std::int32_t h;
    std::int32_t vx;
    std::int32_t vy;
    std::int32_t frame;
};

// The population: `num` characters, constructed in table order.
std::vector<moving> MakeCharacters(const SheetSlots& CharImage, const SaverSettings& settings, ScreenSize screen);

}  // namespace flutt
