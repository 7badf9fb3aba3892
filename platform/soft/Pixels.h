// Pixel buffers the program addresses itself, and the raster operations a
// frame needs on them. Pixels are 32 bits, 0x00RRGGBB in the low bytes (the
// byte order of a 32-bit top-down bitmap), top row first, rows `stride`
// pixels apart. The operations compute all 32 bits exactly as the platform's
// block transfers do, so a frame built here equals one built with BitBlt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace flutt {

// A rectangle of pixels: columns left .. right-1, rows top .. bottom-1.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool Empty() const { return right <= left || bottom <= top; }
    long long Area() const { return Empty() ? 0 : (long long)(right - left) * (bottom - top); }
    bool operator==(const PixelRect&) const = default;
};

inline PixelRect Intersect(const PixelRect& a, const PixelRect& b) {
    PixelRect r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
                a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
    return r.Empty() ? PixelRect{} : r;
}

// The smallest rectangle that holds both; an empty one adds nothing.
inline PixelRect BoundingBox(const PixelRect& a, const PixelRect& b) {
    if (a.Empty()) return b;
    if (b.Empty()) return a;
    return {a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top, a.right > b.right ? a.right : b.right,
            a.bottom > b.bottom ? a.bottom : b.bottom};
}

// A non-owning view of a pixel buffer.
template <class Pixel>
struct BasicPixelView {
    Pixel* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;  // pixels from the start of one row to the next

    Pixel* Row(int y) const { return pixels + y * stride; }
    PixelRect Bounds() const { return {0, 0, width, height}; }

    template <class Other>
        requires std::is_same_v<Other, const Pixel>
    operator BasicPixelView<Other>() const {
        return {pixels, width, height, stride};
    }
};
using PixelView = BasicPixelView<std::uint32_t>;
using ConstPixelView = BasicPixelView<const std::uint32_t>;

// SRCCOPY of `area` from `source` to the same place in `target`, clipped to both.
void CopyPixels(PixelView target, ConstPixelView source, PixelRect area);

// SRCCOPY of `area` from a source whose rows repeat down the target: target
// row y takes source row y mod source.height, at the same columns; clipped to
// the target and to the source's width. A source as high as the target is
// CopyPixels.
void CopyRepeatedRows(PixelView target, ConstPixelView source, PixelRect area);

// A character cell w x h pasted through its mask at (x, y), clipped to
// `clip` and to the target: the mask is the sheet's rectangle at (sx, sy + h),
// the colour image the one at (sx, sy). Per pixel D becomes (M AND NOT D) XOR
// C, what SRCERASE of the mask and then SRCINVERT of the colour give; parts
// of the cell outside the sheet leave D as it is, as such block transfers do.
void PasteMasked(PixelView target, PixelRect clip, ConstPixelView sheet, int sx, int sy, int w, int h, int x, int y);

// The same paste k times larger: each pixel of the w x h cell becomes a
// k x k block of the target, the cell's top-left at (x, y) of the target.
// Pixel for pixel what PasteMasked gives on a target k times smaller, then
// enlarged; k = 1 is PasteMasked.
void PasteMaskedScaled(PixelView target, PixelRect clip, ConstPixelView sheet, int sx, int sy, int w, int h, int x,
                       int y, int k);

// `source` enlarged k times by repeating each pixel as a k x k block, into
// the top-left of `target` (clipped to it).
void EnlargePixels(PixelView target, ConstPixelView source, int k);

}  // namespace flutt
