#include "linux/Heads.h"

#include <algorithm>

namespace flutt::hack {
std::vector<PixelRect> DistinctHeads(std::span<const PixelRect> named) {
    std::vector<PixelRect> distinct;
    for (const PixelRect& r : named) {
        if (!r.Empty() && std::find(distinct.begin(), distinct.end(), r) == distinct.end()) distinct.push_back(r);
    }
    return distinct;
}

std::vector<PixelRect> HeadsInWindow(std::span<const PixelRect> heads, const PixelRect& window) {
    const PixelRect whole{0, 0, window.right - window.left, window.bottom - window.top};
    std::vector<PixelRect> parts;
    for (const PixelRect& head : heads) {
        const PixelRect part = Intersect(PixelRect{head.left - window.left, head.top - window.top,
                                                   head.right - window.left, head.bottom - window.top},
                                         whole);
        if (!part.Empty()) parts.push_back(part);
    }
    if (parts.empty() && !whole.Empty()) parts.push_back(whole);
    return parts;
}

std::vector<PixelRect> Uncovered(const PixelRect& area, std::span<const PixelRect> covered) {
    std::vector<PixelRect> left;
    if (!area.Empty()) left.push_back(area);
    for (const PixelRect& cut : covered) {
        std::vector<PixelRect> next;
        for (const PixelRect& r : left) {
            const PixelRect inside = Intersect(r, cut);
            if (inside.Empty()) {
                next.push_back(r);
                continue;
            }
            // Above and below the cut across the whole width, beside it in
            // the rows between.
            const PixelRect pieces[] = {{r.left, r.top, r.right, inside.top},
                                        {r.left, inside.bottom, r.right, r.bottom},
                                        {r.left, inside.top, inside.left, inside.bottom},
                                        {inside.right, inside.top, r.right, inside.bottom}};
            for (const PixelRect& piece : pieces) {
                if (!piece.Empty()) next.push_back(piece);
            }
        }
        left = std::move(next);
    }
    return left;
}

std::optional<Image32> PartOf(const Image32& image, const PixelRect& rect) {
    const PixelRect part = Intersect(rect, PixelRect{0, 0, image.width, image.height});
    if (part.Empty()) return std::nullopt;
    Image32 result{part.right - part.left, part.bottom - part.top, {}};
    result.pixels.reserve(std::size_t(result.width) * std::size_t(result.height));
    for (int y = part.top; y < part.bottom; ++y) {
        const auto row = image.pixels.begin() + std::ptrdiff_t(y) * image.width;
        result.pixels.insert(result.pixels.end(), row + part.left, row + part.right);
    }
    return result;
}

}  // namespace flutt::hack
