// A 32-bit top-down DIB section (the display's format: 32 bits a pixel)
// with its own memory device context, selected once for the bitmap's whole
// life: block transfers between such surfaces are single BitBlt calls, and
// the program reaches the pixels directly. Call GdiFlush before touching
// pixels that GDI drew.
#pragma once

#include <windows.h>

#include "platform/BmpImage.h"
#include "platform/Surface.h"
#include "platform/win/Handles.h"

namespace flutt::win {

class GdiSurface final : public Surface {
public:
    // A black bitmap.
    GdiSurface(int width, int height);
    // A picture converted to the display's format once, here.
    explicit GdiSurface(const Image32& image);
    GdiSurface(const GdiSurface&) = delete;
    GdiSurface& operator=(const GdiSurface&) = delete;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void Transfer(int dx, int dy, int w, int h, const Surface& source, int sx, int sy, RasterOp op) override;
    PixelView Pixels() override;
    ConstPixelView Pixels() const override;

    HDC Dc() const { return dc_.get(); }

    // The pixels as 0x00RRGGBB, top row first (for checks of what was drawn).
    Image32 ReadPixels() const;

private:
    GdiSurface(int width, int height, const Image32* picture);

    int width_;
    int height_;
    void* bits_ = nullptr;  // the section's pixels, owned by bitmap_
    unique_hbitmap bitmap_;
    unique_hdc dc_;
    select_result selection_;  // released first: the bitmap leaves the DC before either is deleted
};

}  // namespace flutt::win
