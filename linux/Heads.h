// The heads (monitors) of an X screen and the parts of a window they show:
// which list of heads to believe, where each lies in the window, and what of
// the window no head shows. Plain logic, no X11.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "platform/BmpImage.h"
#include "platform/soft/Pixels.h"

namespace flutt::hack {

// The heads a server names, in its order, without empty rectangles and
// without rectangles that came before (mirrored heads count once).
std::vector<PixelRect> DistinctHeads(std::span<const PixelRect> named);

// The heads as parts of a window that lies at `window` (root coordinates):
// in the window's coordinates, cut to it, in the order given, those that
// miss it left out. A window that no head meets is one head of itself.
std::vector<PixelRect> HeadsInWindow(std::span<const PixelRect> heads, const PixelRect& window);

// What of `area` none of `covered` covers, as rectangles that do not overlap.
std::vector<PixelRect> Uncovered(const PixelRect& area, std::span<const PixelRect> covered);

// The part of `image` under `rect`, as a picture of its own: what a head at
// `rect` shows of the desktop. Nothing when `rect` misses the image.
std::optional<Image32> PartOf(const Image32& image, const PixelRect& rect);

}  // namespace flutt::hack
