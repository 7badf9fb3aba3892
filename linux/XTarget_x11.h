// Where the hack draws: the window XScreenSaver names, the root window, or a
// window of its own; its size as it changes, and whether it is gone.
#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <string>

#include "anim/Moving.h"
#include "linux/Options.h"
#include "linux/PixelFormat.h"
#include "platform/BmpImage.h"

namespace flutt::hack {

class XTarget {
public:
    // Chooses the window: -window-id or $XSCREENSAVER_WINDOW first, then
    // -root, else a new top-level window the size of the screen. The screen
    // is captured before a window of its own is shown.
    XTarget(Display* display, const HackOptions& options);
    ~XTarget();
    XTarget(const XTarget&) = delete;
    XTarget& operator=(const XTarget&) = delete;

    Window window() const { return window_; }
    Visual* visual() const { return visual_; }
    int depth() const { return depth_; }
    const PixelFormat& format() const { return format_; }
    ScreenSize size() const { return size_; }
    bool gone() const { return gone_; }
    // Why nothing can be drawn into the window (an InputOnly window, one
    // without red, green and blue masks); empty when it can be.
    const std::string& unusable() const { return unusable_; }

    // The desktop as it looked before the hack covered it.
    std::optional<Image32> TakeDesktop() { return std::move(desktop_); }

    // Size changes, the window's end, exposure. True when the window needs a
    // full repaint.
    bool Handle(const XEvent& event);

    // Called by the error handler when a request on the window failed.
    void MarkGone() { gone_ = destroyed_ = true; }

private:
    Display* display_;
    Window window_ = 0;
    bool own_ = false;
    Visual* visual_ = nullptr;
    int depth_ = 0;
    PixelFormat format_{0, 0, 0, 0};
    std::string unusable_;
    ScreenSize size_;
    bool gone_ = false;       // the hack should end
    bool destroyed_ = false;  // the window no longer exists
    std::optional<Image32> desktop_;
    Atom deleteWindow_ = 0;
};

// The pixel format of a visual at a depth.
PixelFormat FormatOf(const Visual* visual, int depth);

// The contents of a drawable of that format as 0x00RRGGBB pixels; nothing
// when it cannot be read (gone).
std::optional<Image32> ReadDrawable(Display* display, Drawable drawable, int width, int height,
                                    const PixelFormat& format);

}  // namespace flutt::hack
