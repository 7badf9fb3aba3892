// The seam to raster drawing: a 32-bit bitmap that block transfers write
// into and whose pixels the program can address. The saver draws on GDI
// bitmaps; tests and tools use a software surface with the same arithmetic.
#pragma once

#include <cstdint>

#include "platform/soft/Pixels.h"

namespace flutt {

// Raster operations by their platform values. S is the source pixel, D the
// destination pixel; they combine bit by bit.
enum class RasterOp : std::uint32_t {
    SrcCopy = 0x00CC0020,    // S
    SrcErase = 0x00440328,   // S AND (NOT D)
    SrcInvert = 0x00660046,  // S XOR D
};

class Surface {
public:
    virtual ~Surface() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;

    // Combines the w x h rectangle of `source` at (sx, sy) into this surface
    // at (dx, dy). Whatever falls outside this surface is clipped away.
    // `source` is a surface of the same kind.
    virtual void Transfer(int dx, int dy, int w, int h, const Surface& source, int sx, int sy, RasterOp op) = 0;

    // The surface's own 32-bit pixels, to read and write directly; whatever
    // the platform drew into them before is there.
    virtual PixelView Pixels() = 0;
    virtual ConstPixelView Pixels() const = 0;

protected:
    Surface() = default;
    Surface(const Surface&) = default;
    Surface& operator=(const Surface&) = default;
};

}  // namespace flutt
