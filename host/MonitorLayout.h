// The monitors of a full-screen run: which parts of the desktop get a plain
// black cover besides the saver window, and, in a run on every monitor,
// which monitors get an animation of their own and which of those go on
// when the monitors change.
#pragma once

#include <vector>

#include "platform/soft/Pixels.h"

namespace flutt {

// Monitor rectangles are in screen coordinates, right and bottom exclusive;
// a monitor left of or above the primary one has negative coordinates.
using ScreenRect = PixelRect;

// The rectangles that get a cover: every monitor that is not wholly inside
// the saver window (the primary screen, or a monitor that mirrors it), each
// once, in the order given. Empty monitors get none.
std::vector<ScreenRect> CoverRects(const std::vector<ScreenRect>& monitors, const ScreenRect& saverWindow);

// One monitor of the desktop as the system reports it.
struct Monitor {
    ScreenRect rect;
    int dpi = 96;
    bool primary = false;

    int Width() const { return rect.right - rect.left; }
    int Height() const { return rect.bottom - rect.top; }
    bool operator==(const Monitor&) const = default;
};

// The monitors that show an animation each: the primary first (the first
// one given when none is marked), then the others in the order given. A
// monitor wholly inside one listed before it (a mirror) shows that one's,
// and an empty one shows none.
std::vector<Monitor> AnimatedMonitors(const std::vector<Monitor>& monitors);

// For each monitor of a new layout, the monitor of the old one whose
// animation it goes on with, or -1 for one that needs a new animation. An
// animation is drawn in its monitor's own coordinates, so it goes on
// wherever its monitor went: the same rectangle and DPI are matched first,
// then the same size and DPI elsewhere, then the same top-left corner (a
// monitor whose mode or scale changed: its animation follows the new size).
// Each old animation goes on at most once.
std::vector<int> KeptAnimations(const std::vector<Monitor>& before, const std::vector<Monitor>& after);

}  // namespace flutt
