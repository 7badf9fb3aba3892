#include "linux/XPresenter_x11.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace flutt::hack {
namespace {

bool attachFailed = false;

int NoteAttachError(Display*, XErrorEvent*) {
    attachFailed = true;
    return 0;
}

bool SameLayout(const XImage* image) {
    return image->bits_per_pixel == 32 && image->red_mask == 0xFF0000 && image->green_mask == 0xFF00 &&
           image->blue_mask == 0xFF && image->byte_order == LSBFirst;
}

}  // namespace

XPresenter::XPresenter(Display* display, Drawable target, Visual* visual, int depth)
    : display_(display),
      target_(target),
      visual_(visual),
      depth_(depth),
      gc_(XCreateGC(display, target, 0, nullptr)),
      // A server on another machine (or one that refuses) gets plain images.
      shmAvailable_(XShmQueryExtension(display) && !std::getenv("FLUTTONS_NO_SHM")) {}

XPresenter::~XPresenter() {
    Release();
    XFreeGC(display_, gc_);
}

void XPresenter::Release() {
    if (!image_) return;
    if (shm_) {
        XShmDetach(display_, &segment_);
        XSync(display_, False);
        XDestroyImage(image_);
        shmdt(segment_.shmaddr);
    } else {
        XDestroyImage(image_);  // frees the pixel buffer too
    }
    image_ = nullptr;
    shm_ = false;
}

void XPresenter::Allocate(int width, int height) {
    Release();
    if (shmAvailable_) {
        image_ = XShmCreateImage(display_, visual_, unsigned(depth_), ZPixmap, nullptr, &segment_, unsigned(width),
                                 unsigned(height));
        if (image_) {
            segment_.shmid = shmget(IPC_PRIVATE, std::size_t(image_->bytes_per_line) * std::size_t(height), IPC_CREAT | 0600);
            segment_.shmaddr = segment_.shmid >= 0 ? static_cast<char*>(shmat(segment_.shmid, nullptr, 0)) : reinterpret_cast<char*>(-1);
            if (segment_.shmaddr != reinterpret_cast<char*>(-1)) {
                image_->data = segment_.shmaddr;
                segment_.readOnly = False;
                attachFailed = false;
                XSync(display_, False);
                const auto previous = XSetErrorHandler(NoteAttachError);
                XShmAttach(display_, &segment_);
                XSync(display_, False);
                XSetErrorHandler(previous);
                // Marked for removal now: it goes away with the last detach,
                // however the program ends.
                shmctl(segment_.shmid, IPC_RMID, nullptr);
                if (!attachFailed) {
                    shm_ = true;
                    return;
                }
                shmdt(segment_.shmaddr);
            } else if (segment_.shmid >= 0) {
                shmctl(segment_.shmid, IPC_RMID, nullptr);
            }
            image_->data = nullptr;
            XDestroyImage(image_);
            image_ = nullptr;
        }
        shmAvailable_ = false;
    }
    image_ = XCreateImage(display_, visual_, unsigned(depth_), ZPixmap, 0, nullptr, unsigned(width), unsigned(height), 32, 0);
    image_->data = static_cast<char*>(std::malloc(std::size_t(image_->bytes_per_line) * std::size_t(height)));
}

void XPresenter::Fill(const SoftSurface& frame, const FrameRect& r) {
    const std::uint32_t* pixels = frame.Pixels().data();
    const auto width = std::size_t(frame.Width());
    for (int y = r.y; y < r.y + r.h; ++y) {
        const std::uint32_t* from = pixels + std::size_t(y) * width + std::size_t(r.x);
        if (SameLayout(image_)) {
            std::memcpy(image_->data + std::size_t(y) * std::size_t(image_->bytes_per_line) + std::size_t(r.x) * 4, from,
                        std::size_t(r.w) * 4);
        } else {
            // Other visuals: let Xlib place each channel.
            for (int x = 0; x < r.w; ++x) {
                const std::uint32_t p = from[x];
                const unsigned long red = p >> 16 & 0xFF, green = p >> 8 & 0xFF, blue = p & 0xFF;
                auto scale = [](unsigned long v, unsigned long mask) {
                    if (!mask) return 0ul;
                    const int shift = __builtin_ctzl(mask);
                    return ((v * (mask >> shift) + 127) / 255) << shift;
                };
                XPutPixel(image_, r.x + x, y,
                          scale(red, visual_->red_mask) | scale(green, visual_->green_mask) | scale(blue, visual_->blue_mask));
            }
        }
    }
}

void XPresenter::Present(const SoftSurface& frame, std::span<const FrameRect> rects) {
    if (!image_ || image_->width != frame.Width() || image_->height != frame.Height()) {
        Allocate(frame.Width(), frame.Height());
    }
    for (FrameRect r : rects) {
        const int x0 = std::max(r.x, 0), y0 = std::max(r.y, 0);
        const int x1 = std::min(r.x + r.w, frame.Width()), y1 = std::min(r.y + r.h, frame.Height());
        if (x1 <= x0 || y1 <= y0) continue;
        r = {x0, y0, x1 - x0, y1 - y0};
        Fill(frame, r);
        if (shm_) {
            XShmPutImage(display_, target_, gc_, image_, r.x, r.y, r.x, r.y, unsigned(r.w), unsigned(r.h), False);
        } else {
            XPutImage(display_, target_, gc_, image_, r.x, r.y, r.x, r.y, unsigned(r.w), unsigned(r.h));
        }
    }
    // The next frame writes into the same shared pixels: the server must be
    // done with these first.
    XSync(display_, False);
}

}  // namespace flutt::hack
