// Puts the changed parts of a frame onto a window: through a shared-memory
// image when the X server offers MIT-SHM for this connection, else through
// plain XPutImage.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <span>

#include "anim/SoftAnimation.h"
#include "linux/PixelFormat.h"

namespace flutt::hack {

class XPresenter {
public:
    // `format` is the visual's: pixels go out in its colour masks, opaque.
    // The frame's top-left corner goes to (left, top) of the target.
    XPresenter(Display* display, Drawable target, Visual* visual, int depth, const PixelFormat& format, int left = 0,
               int top = 0);
    ~XPresenter();
    XPresenter(const XPresenter&) = delete;
    XPresenter& operator=(const XPresenter&) = delete;

    // Copies the rectangles of `frame` into the image and onto the target,
    // and waits until the server has taken them. Throws std::bad_alloc when
    // no image of the frame's size can be had.
    void Present(const SoftSurface& frame, std::span<const PixelRect> rects);

    bool shared() const { return shm_; }

private:
    void Allocate(int width, int height);
    void Release();
    void Fill(const SoftSurface& frame, const PixelRect& rect);

    Display* display_;
    Drawable target_;
    Visual* visual_;
    int depth_;
    PixelFormat format_;
    int left_;
    int top_;
    GC gc_;
    bool shmAvailable_;
    bool shm_ = false;
    XImage* image_ = nullptr;
    XShmSegmentInfo segment_ = {};
};

}  // namespace flutt::hack
