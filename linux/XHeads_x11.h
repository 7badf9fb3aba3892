// The hack's window as heads, each drawn as its own animation. Without
// -every-head the window is one head of itself: the one-screen picture. With
// it, each head of the X screen (RandR's monitors or Xinerama's screens) that
// the window shows gets its own background, population and message, made in
// its own coordinates (origin at its top-left) for its own size, and
// presented at its place in the window; what no head shows stays black.
#pragma once

#include <X11/Xlib.h>

#include <csignal>
#include <memory>
#include <optional>
#include <vector>

#include "anim/SoftAnimation.h"
#include "linux/XPresenter_x11.h"
#include "linux/XTarget_x11.h"

namespace flutt::hack {

// Where the heads lie in the window, followed as the window moves or takes
// another size.
class HeadLayout {
public:
    HeadLayout(Display* display, const XTarget& target, bool everyHead);

    // Notes the events that may move the heads.
    void Handle(const XEvent& event);

    // The heads' rectangles in the window when they may have changed since
    // the last call (the first call always gives them); nothing otherwise.
    std::optional<std::vector<PixelRect>> Changed();

private:
    Display* display_;
    const XTarget& target_;
    bool everyHead_;
    bool dirty_ = true;
};

class HeadAnimations {
public:
    // `settings` are every head's and outlive them: the first background
    // composed draws the random entry for all. `desktop` is the window's
    // picture of the desktop, in its coordinates.
    HeadAnimations(Display* display, const XTarget& target, SaverSettings& settings, std::optional<Image32> desktop);
    ~HeadAnimations();
    HeadAnimations(const HeadAnimations&) = delete;
    HeadAnimations& operator=(const HeadAnimations&) = delete;

    // The heads at these rectangles of a window of this size: one whose
    // rectangle it had keeps its animation, every other gets a new one with
    // its population made for its size. The next presenting paints all of
    // the window.
    void Arrange(const std::vector<PixelRect>& rects, ScreenSize window);

    // The next frame of every head in turn. False when `stop` came while a
    // message was being rasterised.
    bool Draw(const volatile std::sig_atomic_t& stop);

    // Every head's last changes (all of it when `whole`) and what lies under
    // `also` (window coordinates), and black where no head draws when that
    // is due. True when anything was sent.
    bool Present(bool whole, const PixelRect& also);

    // Whether every head presents through MIT-SHM.
    bool shared() const;

private:
    struct Head;
    void Fail(Head& head);

    Display* display_;
    const XTarget& target_;
    SaverSettings& settings_;
    std::optional<Image32> desktop_;
    GC black_;
    std::vector<Head> heads_;
    ScreenSize window_;
    bool blackDue_ = true;
};

}  // namespace flutt::hack
