// Which background a run shows, and how its picture covers the screen.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/Surface.h"

namespace flutt {

enum class BackgroundFill { DesktopCopy, Stretch, Tile };

struct BackgroundEntry {
    int picture;  // imgBack<picture>; 0 for the desktop copy
    BackgroundFill fill;
};

// The background list of this build, indexed like the `back2` setting; the
// random entry comes right after it.
std::span<const BackgroundEntry> BackgroundTable(bool reduced);

// The entry a run uses for a stored `back2`: the random entry seeds the
// generator with the time and draws any entry (the desktop copy included);
// an index past the random entry, or a negative one, means the desktop copy.
int ResolveBackgroundIndex(int back2, bool reduced);

// Whether a run with this stored `back2` can end up showing the desktop copy:
// the desktop entry, an index outside the list, and the random entry (its
// draw comes later). A picture background never needs the copy.
bool MayShowDesktop(int back2, bool reduced);

// Covers `target` with copies of `picture` side by side from the top-left
// corner, cut at the right and bottom edges: each pixel (x, y) becomes the
// picture's (x mod pw, y mod ph). One copy of the picture, then the part
// already tiled copied beside itself, doubling across the first row of tiles,
// then that band copied below itself, doubling down: a few large copies
// where one a tile would take tens of thousands on a large screen.
void TileSurface(Surface& target, const Surface& picture);

}  // namespace flutt
