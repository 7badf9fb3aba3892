// Which parts of the desktop a full-screen run covers with plain black
// windows besides its own: the monitors the saver window leaves uncovered.
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

}  // namespace flutt
