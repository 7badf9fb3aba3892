// Which background a run shows, and how its picture covers the screen.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

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

struct TilePosition {
    int x;
    int y;
};

// Where copies of a pw x ph tile go to cover a W x H screen, column by
// column from the top-left corner: W div pw + 1 columns of H div ph + 1.
std::vector<TilePosition> TilePlan(int W, int H, int pw, int ph);

}  // namespace flutt
