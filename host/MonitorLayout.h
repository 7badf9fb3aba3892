// Which parts of the desktop a full-screen run covers with plain black
// windows besides its own: the monitors the saver window leaves uncovered.
#pragma once

#include <vector>

namespace flutt {

// A rectangle in screen coordinates, right and bottom exclusive; a monitor
// left of or above the primary one has negative coordinates.
struct ScreenRect {
    int left;
    int top;
    int right;
    int bottom;
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// The rectangles that get a cover: every monitor that is not wholly inside
// the saver window (the primary screen, or a monitor that mirrors it), each
// once, in the order given. Empty monitors get none.
std::vector<ScreenRect> CoverRects(const std::vector<ScreenRect>& monitors, const ScreenRect& saverWindow);

}  // namespace flutt
