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

unique_hbitmap MakeBitmap(int width, int height, const Image32* picture) {
    const unique_window_dc screen(nullptr);
    unique_hbitmap bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
    if (!bitmap) RaiseLastWin32Error();
    if (picture) {
        // Set while the bitmap is not yet selected into any device context.
        const BITMAPINFO info = Describe32(width, height);
        if (!::SetDIBits(screen.get(), bitmap.get(), 0, UINT(height), picture->pixels.data(), &info, DIB_RGB_COLORS)) {
            RaiseLastWin32Error();
        }
    }
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
      bitmap_(MakeBitmap(width, height, picture)),
      dc_(MakeMemoryDc()),
      selection_(dc_.get(), bitmap_.get()) {
    if (!picture) ::PatBlt(dc_.get(), 0, 0, width, height, BLACKNESS);
}

void GdiSurface::Transfer(int dx, int dy, int w, int h, const Surface& source, int sx, int sy, RasterOp op) {
    const auto& src = static_cast<const GdiSurface&>(source);
    ::BitBlt(dc_.get(), dx, dy, w, h, src.dc_.get(), sx, sy, DWORD(op));
}

Image32 GdiSurface::ReadPixels() const {
    Image32 image{width_, height_, {}};
    image.pixels.resize(std::size_t(width_) * height_);
    BITMAPINFO info = Describe32(width_, height_);
    void* bits = nullptr;
    unique_hbitmap section(::CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section) RaiseLastWin32Error();
    const unique_hdc readDc = MakeMemoryDc();
    {
        const select_result selected(readDc.get(), section.get());
        ::BitBlt(readDc.get(), 0, 0, width_, height_, dc_.get(), 0, 0, SRCCOPY);
        ::GdiFlush();
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        for (std::size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = pixels[i] & 0x00FFFFFF;
    }
    return image;
}

}  // namespace flutt::win
