#include "platform/win/GdiSurface.h"

#include <stdexcept>

#include "platform/win/Win32Error.h"

namespace flutt::win {
namespace {

// A top-down 32-bit DIB description of width x height.
BITMAPINFO Describe32(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A 32-bit top-down DIB section: GDI draws into it and the program reads
// and writes its pixels directly. A section of a valid size that cannot be
// made is one the process has no memory (or address space) left for.
unique_hbitmap MakeBitmap(int width, int height, void*& bits) {
    const BITMAPINFO info = Describe32(width, height);
    unique_hbitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap && width > 0 && height > 0) throw OutOfMemory();
    if (!bitmap) RaiseLastWin32Error();
    return bitmap;
}

unique_hdc MakeMemoryDc() {
    unique_hdc dc(::CreateCompatibleDC(nullptr));
    if (!dc) RaiseLastWin32Error();
    return dc;
}

}  // namespace

GdiSurface::GdiSurface(int width, int height) : GdiSurface(width, height, nullptr) {}

GdiSurface::GdiSurface(const Image32& image) : GdiSurface(image.width, image.height, &image) {}

GdiSurface::GdiSurface(int width, int height, const Image32* picture)
    : width_(width),
      height_(height),
      bitmap_(MakeBitmap(width, height, bits_)),
      dc_(MakeMemoryDc()),
      selection_(dc_.get(), bitmap_.get()) {
    // A new section's memory is fresh zeroed pages, already black: writing
    // it would only fault in a full-screen buffer's pages before its first use.
    if (!picture) return;
    const PixelView pixels = Pixels();
    for (int y = 0; y < height; ++y) {
        std::uint32_t* row = pixels.Row(y);
        for (int x = 0; x < width; ++x) row[x] = picture->Pixel(x, y) & 0x00FFFFFF;
    }
}

void GdiSurface::Transfer(int dx, int dy, int w, int h, const Surface& source, int sx, int sy, RasterOp op) {
    const auto& src = static_cast<const GdiSurface&>(source);
    ::BitBlt(dc_.get(), dx, dy, w, h, src.dc_.get(), sx, sy, DWORD(op));
}

PixelView GdiSurface::Pixels() { return {static_cast<std::uint32_t*>(bits_), width_, height_, width_}; }

ConstPixelView GdiSurface::Pixels() const {
    return {static_cast<const std::uint32_t*>(bits_), width_, height_, width_};
}

Image32 GdiSurface::ReadPixels() const {
    ::GdiFlush();
    Image32 image{width_, height_, {}};
    image.pixels.reserve(std::size_t(width_) * height_);
    const ConstPixelView pixels = Pixels();
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) image.pixels.push_back(pixels.Row(y)[x] & 0x00FFFFFF);
    return image;
}

}  // namespace flutt::win
