#include "linux/XText_x11.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "linux/TextLayout.h"

namespace flutt::hack {
namespace {

// The message's fonts: the one asked for, and for characters it lacks (the
// Japanese of a message, say) fonts of the same size that have them, as the
// system's font linking does on Windows. Each character's font is looked up
// once: one that no installed font has stays with the first font.
class FontSet {
public:
    FontSet(Display* display, const SaverSettings& s) : display_(display), size_(double(s.MessageFontSize)) {
        XftFont* font = XftFontOpen(display, DefaultScreen(display), XFT_FAMILY, XftTypeString,
                                    s.MessageFontName.c_str(), XFT_SIZE, XftTypeDouble, size_, nullptr);
        if (font) fonts_.push_back(font);
    }
    ~FontSet() {
        for (XftFont* font : fonts_) XftFontClose(display_, font);
    }
    FontSet(const FontSet&) = delete;
    FontSet& operator=(const FontSet&) = delete;

    XftFont* primary() const { return fonts_.empty() ? nullptr : fonts_.front(); }

    XftFont* For(FcChar32 c) {
        if (const auto known = chosen_.find(c); known != chosen_.end()) return known->second;
        XftFont* chosen = Find(c);
        chosen_.emplace(c, chosen);
        return chosen;
    }

private:
    XftFont* Find(FcChar32 c) {
        for (XftFont* font : fonts_)
            if (XftCharExists(display_, font, c)) return font;
        FcCharSet* wanted = FcCharSetCreate();
        FcCharSetAddChar(wanted, c);
        XftFont* font = XftFontOpen(display_, DefaultScreen(display_), XFT_SIZE, XftTypeDouble, size_, FC_CHARSET,
                                    FcTypeCharSet, wanted, nullptr);
        FcCharSetDestroy(wanted);
        // Fontconfig answers with its best match even when no font has the
        // character (it may be one already in the set, all of which lack it):
        // the first font then shows its box for it.
        if (!font) return primary();
        if (std::find(fonts_.begin(), fonts_.end(), font) != fonts_.end() || !XftCharExists(display_, font, c)) {
            XftFontClose(display_, font);
            return primary();
        }
        fonts_.push_back(font);
        return font;
    }

    Display* display_;
    double size_;
    std::vector<XftFont*> fonts_;
    std::unordered_map<FcChar32, XftFont*> chosen_;
};

// A pixmap, freed with its owner.
struct PixmapGuard {
    PixmapGuard(Display* d, Pixmap p) : display(d), pixmap(p) {}
    Display* display;
    Pixmap pixmap;
    ~PixmapGuard() { XFreePixmap(display, pixmap); }
    PixmapGuard(const PixmapGuard&) = delete;
    PixmapGuard& operator=(const PixmapGuard&) = delete;
};

}  // namespace

std::optional<MessageLayer> RasteriseMessage(Display* display, const SaverSettings& s, ScreenSize screen,
                                             const volatile std::sig_atomic_t& stop) {
    const std::u32string text = MessageLine(s.MessageText);
    if (text.empty()) return std::nullopt;
    FontSet fonts(display, s);
    XftFont* font = fonts.primary();
    if (!font) return std::nullopt;

    // Each glyph measured on its own and the widths summed in int: a line
    // may be far wider than the 16 bits of Xft's advance of a whole run.
    std::vector<XftFont*> glyphFonts;
    std::vector<int> advances;
    glyphFonts.reserve(text.size());
    advances.reserve(text.size());
    for (char32_t c : text) {
        // Many different glyphs at a huge size take a while: a stop request
        // is not kept waiting for them.
        if (stop) return std::nullopt;
        XftFont* glyphFont = fonts.For(FcChar32(c));
        const FcChar32 code = FcChar32(c);
        XGlyphInfo extents;
        XftTextExtents32(display, glyphFont, &code, 1, &extents);
        glyphFonts.push_back(glyphFont);
        advances.push_back(extents.xOff);
    }
    // Only the part of the line on the screen is drawn; a glyph's ink may
    // stray from its advance by about a line's height (italics, swashes).
    const int lineHeight = font->ascent + font->descent;
    const int reach = std::min(std::max(font->max_advance_width, lineHeight), 1 << 14);
    const LineLayout line = LayOutLine(advances, lineHeight, screen, reach);
    if (line.visible.Empty()) return std::nullopt;

    MessageLayer layer;
    layer.x = line.visible.left;
    layer.y = line.visible.top;
    layer.w = line.visible.right - line.visible.left;
    layer.h = line.visible.bottom - line.visible.top;
    layer.textColour = PixelOfColour(s.MessageFontColor);
    layer.boxColour = PixelOfColour(s.MessageBGColor);
    layer.opaque = !s.IsTransparent;

    // The glyphs' coverage, drawn into an 8-bit alpha pixmap: the same
    // values whatever the screen's depth and colour masks.
    const Window root = RootWindow(display, DefaultScreen(display));
    const PixmapGuard alpha{display, XCreatePixmap(display, root, unsigned(layer.w), unsigned(layer.h), 8)};
    {
        const GC gc = XCreateGC(display, alpha.pixmap, 0, nullptr);
        XSetForeground(display, gc, 0);
        XFillRectangle(display, alpha.pixmap, gc, 0, 0, unsigned(layer.w), unsigned(layer.h));
        XFreeGC(display, gc);
    }
    XftDraw* draw = XftDrawCreateAlpha(display, alpha.pixmap, 8);
    if (!draw) return std::nullopt;
    XftColor full = {};
    full.color = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    const int baseline = int(line.top - line.visible.top) + font->ascent;
    std::vector<XftCharFontSpec> glyphs;
    glyphs.reserve(line.drawn.size());
    for (const LineLayout::Glyph& g : line.drawn) {
        glyphs.push_back({glyphFonts[g.index], FcChar32(text[g.index]), short(g.x), short(baseline)});
    }
    if (!glyphs.empty()) XftDrawCharFontSpec(draw, &full, glyphs.data(), int(glyphs.size()));
    XftDrawDestroy(draw);

    XImage* image = XGetImage(display, alpha.pixmap, 0, 0, unsigned(layer.w), unsigned(layer.h), AllPlanes, ZPixmap);
    if (!image) return std::nullopt;
    layer.coverage.resize(std::size_t(layer.w) * std::size_t(layer.h));
    for (int y = 0; y < layer.h; ++y) {
        std::uint8_t* row = layer.coverage.data() + std::size_t(y) * std::size_t(layer.w);
        if (image->bits_per_pixel == 8) {
            std::memcpy(row, image->data + std::size_t(y) * std::size_t(image->bytes_per_line), std::size_t(layer.w));
        } else {
            for (int x = 0; x < layer.w; ++x) row[x] = std::uint8_t(XGetPixel(image, x, y));
        }
    }
    XDestroyImage(image);
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
