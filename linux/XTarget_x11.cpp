#include "linux/XTarget_x11.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <bit>

namespace flutt::hack {
namespace {

// XScreenSaver keeps a picture of the desktop, taken before it blanked the
// screen, as a pixmap named by this property of its window.
std::optional<Image32> ScreenSaverScreenshot(Display* display, Window window) {
    const Atom property = XInternAtom(display, "_SCREENSAVER_SCREENSHOT", True);
    if (property == None) return std::nullopt;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_PIXMAP, &type, &format, &count, &after, &data) !=
            Success ||
        !data) {
        return std::nullopt;
    }
    const Pixmap pixmap = count == 1 && format == 32 ? Pixmap(*reinterpret_cast<unsigned long*>(data)) : None;
    XFree(data);
    if (pixmap == None) return std::nullopt;
    Window root;
    int x, y;
    unsigned int w, h, border, depth;
    if (!XGetGeometry(display, pixmap, &root, &x, &y, &w, &h, &border, &depth)) return std::nullopt;
    // A pixmap has no visual: it is the screen's picture, in the screen's
    // format, or one of a TrueColor visual of its depth.
    const int screen = DefaultScreen(display);
    const Visual* visual = DefaultVisual(display, screen);
    XVisualInfo info;
    if (int(depth) != DefaultDepth(display, screen)) {
        if (!XMatchVisualInfo(display, screen, int(depth), TrueColor, &info)) return std::nullopt;
        visual = info.visual;
    }
    return ReadDrawable(display, pixmap, int(w), int(h), FormatOf(visual, int(depth)));
}

}  // namespace

PixelFormat FormatOf(const Visual* visual, int depth) {
    return PixelFormat(std::uint32_t(visual->red_mask), std::uint32_t(visual->green_mask),
                       std::uint32_t(visual->blue_mask), depth);
}

std::optional<Image32> ReadDrawable(Display* display, Drawable drawable, int width, int height,
                                    const PixelFormat& format) {
    if (width <= 0 || height <= 0) return std::nullopt;
    XImage* image = XGetImage(display, drawable, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    if (!image) return std::nullopt;
    Image32 result{width, height, std::vector<std::uint32_t>(std::size_t(width) * std::size_t(height))};
    const bool hostOrder = image->byte_order == (std::endian::native == std::endian::little ? LSBFirst : MSBFirst);
    for (int y = 0; y < height; ++y) {
        const char* row = image->data + std::size_t(y) * std::size_t(image->bytes_per_line);
        std::uint32_t* out = result.pixels.data() + std::size_t(y) * std::size_t(width);
        if (hostOrder && image->bits_per_pixel == 32) {
            const auto* in = reinterpret_cast<const std::uint32_t*>(row);
            for (int x = 0; x < width; ++x) out[x] = format.Decode(in[x]);
        } else if (hostOrder && image->bits_per_pixel == 16) {
            const auto* in = reinterpret_cast<const std::uint16_t*>(row);
            for (int x = 0; x < width; ++x) out[x] = format.Decode(in[x]);
        } else {
            for (int x = 0; x < width; ++x) out[x] = format.Decode(std::uint32_t(XGetPixel(image, x, y)));
        }
    }
    XDestroyImage(image);
    return result;
}

XTarget::XTarget(Display* display, const HackOptions& options) : display_(display) {
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    if (options.windowId || options.root) {
        window_ = options.windowId ? Window(*options.windowId) : root;
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, window_, &attributes)) {
            gone_ = destroyed_ = true;
            return;
        }
        visual_ = attributes.visual;
        depth_ = attributes.depth;
        size_ = {attributes.width, attributes.height};
        if (attributes.c_class == InputOnly) {
            unusable_ = "it is an InputOnly window";
            return;
        }
        if (visual_->c_class != TrueColor && visual_->c_class != DirectColor) {
            unusable_ = "its visual keeps no red, green and blue in its pixels (not TrueColor)";
            return;
        }
        format_ = FormatOf(visual_, depth_);
        desktop_ = options.windowId ? ScreenSaverScreenshot(display, window_) : std::nullopt;
        if (!desktop_) {
            desktop_ = ReadDrawable(display, root, DisplayWidth(display, screen), DisplayHeight(display, screen),
                                    FormatOf(DefaultVisual(display, screen), DefaultDepth(display, screen)));
        }
        XSelectInput(display, window_, StructureNotifyMask | ExposureMask);
        return;
    }
    own_ = true;
    visual_ = DefaultVisual(display, screen);
    depth_ = DefaultDepth(display, screen);
    size_ = {DisplayWidth(display, screen), DisplayHeight(display, screen)};
    if (visual_->c_class != TrueColor && visual_->c_class != DirectColor) {
        unusable_ = "the screen's visual keeps no red, green and blue in its pixels (not TrueColor)";
        return;
    }
    format_ = FormatOf(visual_, depth_);
    desktop_ = ReadDrawable(display, root, size_.W, size_.H, format_);
    XSetWindowAttributes attributes = {};
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.event_mask = StructureNotifyMask | ExposureMask | KeyPressMask;
    window_ = XCreateWindow(display, root, 0, 0, unsigned(size_.W), unsigned(size_.H), 0, depth_, InputOutput, visual_,
                            CWBackPixel | CWEventMask, &attributes);
    XStoreName(display, window_, "fluttons");
    XClassHint hint = {const_cast<char*>("fluttons"), const_cast<char*>("Fluttons")};
    XSetClassHint(display, window_, &hint);
    // Which process owns the window, for window managers and tools.
    const long pid = long(getpid());
    XChangeProperty(display, window_, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    deleteWindow_ = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window_, &deleteWindow_, 1);
    XMapRaised(display, window_);
}

XTarget::~XTarget() {
    if (own_ && window_ && !destroyed_) XDestroyWindow(display_, window_);
}

bool XTarget::Handle(const XEvent& event) {
    switch (event.type) {
        case ConfigureNotify:
            if (event.xconfigure.window == window_) size_ = {event.xconfigure.width, event.xconfigure.height};
            return false;
        case DestroyNotify:
            if (event.xdestroywindow.window == window_) gone_ = destroyed_ = true;
            return false;
        case ClientMessage:
            // The window manager's close box ends a hack in a window of its own.
            if (own_ && Atom(event.xclient.data.l[0]) == deleteWindow_) gone_ = true;
            return false;
        case Expose:
            return event.xexpose.window == window_ && event.xexpose.count == 0;
        default: return false;
    }
}

}  // namespace flutt::hack
