#include "linux/XText_x11.h"

#include <algorithm>
#include <cstdio>

#include "linux/XTarget_x11.h"

namespace flutt::hack {
namespace {

// One line: line breaks do not break it.
std::string SingleLine(std::string text) {
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
    return text;
}

constexpr int kMaxTextWidth = 32767;  // the most an X pixmap can be wide

}  // namespace

std::optional<MessageLayer> RasteriseMessage(Display* display, const SaverSettings& s, ScreenSize screen) {
    const std::string text = SingleLine(s.MessageText);
    if (text.empty()) return std::nullopt;
    const int number = DefaultScreen(display);
    XftFont* font = XftFontOpen(display, number, XFT_FAMILY, XftTypeString, s.MessageFontName.c_str(), XFT_SIZE,
                                XftTypeDouble, double(s.MessageFontSize), nullptr);
    if (!font) return std::nullopt;
    const auto* bytes = reinterpret_cast<const FcChar8*>(text.data());
    XGlyphInfo extents;
    XftTextExtentsUtf8(display, font, bytes, int(text.size()), &extents);
    MessageLayer layer;
    layer.w = std::clamp(int(extents.xOff), 1, kMaxTextWidth);
    layer.h = std::max(font->ascent + font->descent, 1);
    // Centred the way the saver centres its line: (size - extent) / 2.
    layer.x = (screen.W - layer.w) / 2;
    layer.y = (screen.H - layer.h) / 2;
    layer.textColour = PixelOfColour(s.MessageFontColor);
    layer.boxColour = PixelOfColour(s.MessageBGColor);
    layer.opaque = !s.IsTransparent;

    // White glyphs on black give the coverage.
    const Window root = RootWindow(display, number);
    const int depth = DefaultDepth(display, number);
    const Pixmap pixmap = XCreatePixmap(display, root, unsigned(layer.w), unsigned(layer.h), unsigned(depth));
    const GC gc = XCreateGC(display, pixmap, 0, nullptr);
    XSetForeground(display, gc, BlackPixel(display, number));
    XFillRectangle(display, pixmap, gc, 0, 0, unsigned(layer.w), unsigned(layer.h));
    XftDraw* draw = XftDrawCreate(display, pixmap, DefaultVisual(display, number), DefaultColormap(display, number));
    XRenderColor white = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    XftColor colour;
    XftColorAllocValue(display, DefaultVisual(display, number), DefaultColormap(display, number), &white, &colour);
    XftDrawStringUtf8(draw, &colour, font, 0, font->ascent, bytes, int(text.size()));
    const auto image = ReadDrawable(display, pixmap, layer.w, layer.h);
    XftColorFree(display, DefaultVisual(display, number), DefaultColormap(display, number), &colour);
    XftDrawDestroy(draw);
    XFreeGC(display, gc);
    XFreePixmap(display, pixmap);
    XftFontClose(display, font);
    if (!image) return std::nullopt;
    layer.coverage.reserve(image->pixels.size());
    for (std::uint32_t p : image->pixels) layer.coverage.push_back(std::uint8_t(p >> 8 & 0xFF));
    return layer;
}

FpsOverlay::FpsOverlay(Display* display, Drawable target, Visual* visual) : display_(display), visual_(visual) {
    const int number = DefaultScreen(display);
    font_ = XftFontOpen(display, number, XFT_FAMILY, XftTypeString, "monospace", XFT_PIXEL_SIZE, XftTypeDouble, 16.0,
                        nullptr);
    draw_ = XftDrawCreate(display, target, visual, DefaultColormap(display, number));
    XRenderColor yellow = {0xFFFF, 0xFFFF, 0x0000, 0xFFFF};
    XftColorAllocValue(display, visual, DefaultColormap(display, number), &yellow, &colour_);
}

FpsOverlay::~FpsOverlay() {
    XftColorFree(display_, visual_, DefaultColormap(display_, DefaultScreen(display_)), &colour_);
    if (draw_) XftDrawDestroy(draw_);
    if (font_) XftFontClose(display_, font_);
}

FrameRect FpsOverlay::Draw(double seconds) {
    if (since_ < 0) since_ = seconds;
    ++frames_;
    if (seconds - since_ >= 1.0) {
        char line[32];
        std::snprintf(line, sizeof line, "%.1f fps", frames_ / (seconds - since_));
        text_ = line;
        since_ = seconds;
        frames_ = 0;
    }
    if (!font_ || !draw_) return {0, 0, 0, 0};
    const FrameRect box{0, 0, 8 * 16, font_->ascent + font_->descent + 8};
    XRenderColor black = {0, 0, 0, 0xFFFF};
    XftColor background;
    XftColorAllocValue(display_, visual_, DefaultColormap(display_, DefaultScreen(display_)), &black, &background);
    XftDrawRect(draw_, &background, box.x, box.y, unsigned(box.w), unsigned(box.h));
    XftColorFree(display_, visual_, DefaultColormap(display_, DefaultScreen(display_)), &background);
    XftDrawStringUtf8(draw_, &colour_, font_, 4, 4 + font_->ascent, reinterpret_cast<const FcChar8*>(text_.data()),
                      int(text_.size()));
    return box;
}

}  // namespace flutt::hack
