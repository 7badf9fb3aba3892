// Text through Xft: the message, rasterised once into a layer the frame
// pipeline draws, and the frame-rate line.
#pragma once

#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>

#include <csignal>
#include <optional>
#include <string>

#include "anim/SoftAnimation.h"

namespace flutt::hack {

// The message of the settings as one line centred on a screen of `screen`'s
// size, with its box as high as the font's line, as far as it lies on the
// screen; nothing when the text is empty, no font can be opened, or `stop`
// is set while the glyphs are measured.
std::optional<MessageLayer> RasteriseMessage(Display* display, const SaverSettings& settings, ScreenSize screen,
                                             const volatile std::sig_atomic_t& stop);

// "NN.N fps" in the top-left corner of a window, on a black box.
class FpsOverlay {
public:
    FpsOverlay(Display* display, Drawable target, Visual* visual);
    ~FpsOverlay();
    FpsOverlay(const FpsOverlay&) = delete;
    FpsOverlay& operator=(const FpsOverlay&) = delete;

    // Counts one frame at `seconds` and draws the rate; returns the area used.
    PixelRect Draw(double seconds);

private:
    Display* display_;
    XftDraw* draw_ = nullptr;
    XftFont* font_ = nullptr;
    XftColor colour_ = {};
    Visual* visual_;
    double since_ = -1;
    int frames_ = 0;
    std::string text_ = "-- fps";
};

}  // namespace flutt::hack
