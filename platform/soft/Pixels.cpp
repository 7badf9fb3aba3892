#include "platform/soft/Pixels.h"

#include <algorithm>
#include <cstring>

namespace flutt {

void CopyPixels(PixelView target, ConstPixelView source, PixelRect area) {
    const PixelRect r = Intersect(Intersect(area, target.Bounds()), source.Bounds());
    if (r.Empty()) return;
    const std::size_t bytes = std::size_t(r.right - r.left) * sizeof(std::uint32_t);
    for (int y = r.top; y < r.bottom; ++y) std::memcpy(target.Row(y) + r.left, source.Row(y) + r.left, bytes);
}

void PasteMasked(PixelView target, PixelRect clip, ConstPixelView sheet, int sx, int sy, int w, int h, int x, int y) {
    // Where the cell lands, cut to the clip and the target, and to the part
    // of the cell whose colour and mask pixels both lie in the sheet.
    PixelRect r = Intersect(Intersect(PixelRect{x, y, x + w, y + h}, clip), target.Bounds());
    r = Intersect(r, PixelRect{x - sx, y - sy, x - sx + sheet.width, y - sy + sheet.height});
    r = Intersect(r, PixelRect{x - sx, y - sy - h, x - sx + sheet.width, y - sy - h + sheet.height});
    if (r.Empty()) return;
    const int n = r.right - r.left;
    for (int ty = r.top; ty < r.bottom; ++ty) {
        std::uint32_t* d = target.Row(ty) + r.left;
        const std::uint32_t* c = sheet.Row(sy + ty - y) + sx + (r.left - x);
        const std::uint32_t* m = sheet.Row(sy + h + ty - y) + sx + (r.left - x);
        for (int i = 0; i < n; ++i) d[i] = (m[i] & ~d[i]) ^ c[i];
    }
}

}  // namespace flutt
