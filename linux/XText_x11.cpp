#include "linux/XText_x11.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "linux/XTarget_x11.h"

namespace flutt::hack {
namespace {

// One line: line breaks do not break it.
std::string SingleLine(std::string text) {
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
    return text;
}

constexpr int kMaxTextWidth = 32767;  // the most an X pixmap can be wide


// The message's fonts: the one asked for, and for characters it lacks (the
// Japanese of a message, say) fonts of the same size that have them, as the
// system's font linking does on Windows.
class FontSet {
public:
    FontSet(Display* display, const SaverSettings& s) : display_(display), size_(double(s.MessageFontSize)) {
        fonts_.push_back(XftFontOpen(display, DefaultScreen(display), XFT_FAMILY, XftTypeString, s.MessageFontName.c_str(),
                                     XFT_SIZE, XftTypeDouble, size_, nullptr));
    }
    ~FontSet() {
        for (XftFont* font : fonts_)
            if (font) XftFontClose(display_, font);
    }
    FontSet(const FontSet&) = delete;
    FontSet& operator=(const FontSet&) = delete;

    XftFont* primary() const { return fonts_.front(); }

    XftFont* For(FcChar32 c) {
        for (XftFont* font : fonts_)
            if (XftCharExists(display_, font, c)) return font;
        FcCharSet* wanted = FcCharSetCreate();
        FcCharSetAddChar(wanted, c);
        XftFont* font = XftFontOpen(display_, DefaultScreen(display_), XFT_SIZE, XftTypeDouble, size_, FC_CHARSET,
                                    FcTypeCharSet, wanted, nullptr);
        FcCharSetDestroy(wanted);
        if (!font) return primary();
        fonts_.push_back(font);
        return font;
    }

private:
    Display* display_;
    double size_;
    std::vector<XftFont*> fonts_;
};

struct Run {
    XftFont* font;
    std::vector<FcChar32> text;
    int x;
};

// The text cut into runs of one font each, placed one after another.
std::vector<Run> Layout(Display* display, FontSet& fonts, const std::string& text, int& width) {
    std::vector<Run> runs;
    width = 0;
    const auto* bytes = reinterpret_cast<const FcChar8*>(text.data());
    int left = int(text.size());
    while (left > 0) {
        FcChar32 c;
        const int used = FcUtf8ToUcs4(bytes, &c, left);
        if (used <= 0) break;
        bytes += used;
        left -= used;
        XftFont* font = fonts.For(c);
        if (runs.empty() || runs.back().font != font) runs.push_back({font, {}, 0});
        runs.back().text.push_back(c);
    }
    for (Run& run : runs) {
        XGlyphInfo extents;
        XftTextExtents32(display, run.font, run.text.data(), int(run.text.size()), &extents);
        run.x = width;
        width += extents.xOff;
    }
    return runs;
}

}  // namespace

std::optional<MessageLayer> RasteriseMessage(Display* display, const SaverSettings& s, ScreenSize screen) {
    const std::string text = SingleLine(s.MessageText);
    if (text.empty()) return std::nullopt;
    FontSet fonts(display, s);
    XftFont* font = fonts.primary();
    if (!font) return std::nullopt;
    int width = 0;
    const std::vector<Run> runs = Layout(display, fonts, text, width);
    MessageLayer layer;
    layer.w = std::clamp(width, 1, kMaxTextWidth);
    // One line of the font asked for, as the saver's box.
    layer.h = std::max(font->ascent + font->descent, 1);
    // Centred the way the saver centres its line: (size - extent) / 2.
    layer.x = (screen.W - layer.w) / 2;
    layer.y = (screen.H - layer.h) / 2;
    layer.textColour = PixelOfColour(s.MessageFontColor);
    layer.boxColour = PixelOfColour(s.MessageBGColor);
    layer.opaque = !s.IsTransparent;

    // White glyphs on black give the coverage.
    const int number = DefaultScreen(display);
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
    for (const Run& run : runs) {
        XftDrawString32(draw, &colour, run.font, run.x, font->ascent, run.text.data(), int(run.text.size()));
    }
    const auto image = ReadDrawable(display, pixmap, layer.w, layer.h);
    XftColorFree(display, DefaultVisual(display, number), DefaultColormap(display, number), &colour);
    XftDrawDestroy(draw);
    XFreeGC(display, gc);
    XFreePixmap(display, pixmap);
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

PixelRect FpsOverlay::Draw(double seconds) {
    if (since_ < 0) {
        since_ = seconds;
    } else {
        ++frames_;
    }
    if (seconds - since_ >= 1.0) {
        char line[32];
        std::snprintf(line, sizeof line, "%.1f fps", frames_ / (seconds - since_));
        text_ = line;
        since_ = seconds;
        frames_ = 0;
    }
    if (!font_ || !draw_) return {};
    const PixelRect box{0, 0, 8 * 16, font_->ascent + font_->descent + 8};
    XRenderColor black = {0, 0, 0, 0xFFFF};
    XftColor background;
    XftColorAllocValue(display_, visual_, DefaultColormap(display_, DefaultScreen(display_)), &black, &background);
    XftDrawRect(draw_, &background, box.left, box.top, unsigned(box.right), unsigned(box.bottom));
    XftColorFree(display_, visual_, DefaultColormap(display_, DefaultScreen(display_)), &background);
    XftDrawStringUtf8(draw_, &colour_, font_, 4, 4 + font_->ascent, reinterpret_cast<const FcChar8*>(text_.data()),
                      int(text_.size()));
    return box;
}

}  // namespace flutt::hack
