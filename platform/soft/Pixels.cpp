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

void CopyRepeatedRows(PixelView target, ConstPixelView source, PixelRect area) {
    const PixelRect r = Intersect(Intersect(area, target.Bounds()), {0, 0, source.width, target.height});
    if (r.Empty() || source.height <= 0) return;
    const std::size_t bytes = std::size_t(r.right - r.left) * sizeof(std::uint32_t);
    int sy = r.top % source.height;
    for (int y = r.top; y < r.bottom; ++y) {
        std::memcpy(target.Row(y) + r.left, source.Row(sy) + r.left, bytes);
        if (++sy == source.height) sy = 0;
    }
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

void PasteMaskedScaled(PixelView target, PixelRect clip, ConstPixelView sheet, int sx, int sy, int w, int h, int x,
                       int y, int k) {
    if (k == 1) {
        PasteMasked(target, clip, sheet, sx, sy, w, h, x, y);
        return;
    }
    // The cell's columns and rows whose colour and mask pixels both lie in
    // the sheet, then where their blocks land, cut to the clip and the target.
    const int i0 = std::max(0, -sx), i1 = std::min(w, sheet.width - sx);
    const int j0 = std::max({0, -sy, -sy - h}), j1 = std::min({h, sheet.height - sy, sheet.height - sy - h});
    if (i1 <= i0 || j1 <= j0) return;
    const PixelRect r = Intersect(Intersect(PixelRect{x + k * i0, y + k * j0, x + k * i1, y + k * j1}, clip),
                                  target.Bounds());
    if (r.Empty()) return;
    // Each row of the cell is enlarged once into scratch rows of colour and
    // mask, which then serve its k rows of the target with the plain paste's loop.
    constexpr int kChunk = 256;
    std::uint32_t colour[kChunk], mask[kChunk];
    for (int left = r.left; left < r.right; left += kChunk) {
        const int n = std::min(kChunk, r.right - left);
        int enlargedRow = -1;
        for (int ty = r.top; ty < r.bottom; ++ty) {
            const int j = (ty - y) / k;
            if (j != enlargedRow) {
                const std::uint32_t* c = sheet.Row(sy + j) + sx;
                const std::uint32_t* m = sheet.Row(sy + h + j) + sx;
                for (int i = 0; i < n; ++i) {
                    const int column = (left + i - x) / k;
                    colour[i] = c[column];
                    mask[i] = m[column];
                }
                enlargedRow = j;
            }
            std::uint32_t* d = target.Row(ty) + left;
            for (int i = 0; i < n; ++i) d[i] = (mask[i] & ~d[i]) ^ colour[i];
        }
    }
}

void EnlargePixels(PixelView target, ConstPixelView source, int k) {
    const int width = std::min(target.width, source.width * k), height = std::min(target.height, source.height * k);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* s = source.Row(y / k);
        std::uint32_t* d = target.Row(y);
        for (int x = 0; x < width; ++x) d[x] = s[x / k];
    }
}

}  // namespace flutt
