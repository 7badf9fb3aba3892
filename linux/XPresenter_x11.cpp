#include "linux/XPresenter_x11.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

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

void XPresenter::Fill(const SoftSurface& frame, const PixelRect& r) {
    const ConstPixelView pixels = frame.Pixels();
    const int w = r.right - r.left;
    for (int y = r.top; y < r.bottom; ++y) {
        const std::uint32_t* from = pixels.Row(y) + r.left;
        if (SameLayout(image_)) {
            std::memcpy(image_->data + std::size_t(y) * std::size_t(image_->bytes_per_line) + std::size_t(r.left) * 4, from,
                        std::size_t(w) * 4);
        } else {
            // Other visuals: let Xlib place each channel.
            for (int x = 0; x < w; ++x) {
                const std::uint32_t p = from[x];
                const unsigned long red = p >> 16 & 0xFF, green = p >> 8 & 0xFF, blue = p & 0xFF;
                auto scale = [](unsigned long v, unsigned long mask) {
                    if (!mask) return 0ul;
                    const int shift = __builtin_ctzl(mask);
                    return ((v * (mask >> shift) + 127) / 255) << shift;
                };
                XPutPixel(image_, r.left + x, y,
                          scale(red, visual_->red_mask) | scale(green, visual_->green_mask) | scale(blue, visual_->blue_mask));
            }
        }
    }
}

void XPresenter::Present(const SoftSurface& frame, std::span<const PixelRect> rects) {
    if (!image_ || image_->width != frame.Width() || image_->height != frame.Height()) {
        Allocate(frame.Width(), frame.Height());
    }
    // The rectangles' pixels into the image, then onto the target: shared
    // pixels in one put of their bounding box clipped to them (one request
    // however many there are); plain images rectangle by rectangle, as each
    // put sends its pixels.
    std::vector<XRectangle> clip;
    PixelRect box;
    for (const PixelRect& given : rects) {
        const PixelRect r = Intersect(given, PixelRect{0, 0, frame.Width(), frame.Height()});
        if (r.Empty()) continue;
        Fill(frame, r);
        clip.push_back({short(r.left), short(r.top), static_cast<unsigned short>(r.right - r.left),
                        static_cast<unsigned short>(r.bottom - r.top)});
        box = box.Empty() ? r
                          : PixelRect{std::min(box.left, r.left), std::min(box.top, r.top), std::max(box.right, r.right),
                                      std::max(box.bottom, r.bottom)};
    }
    if (clip.empty()) return;
    if (shm_) {
        if (clip.size() > 1) XSetClipRectangles(display_, gc_, 0, 0, clip.data(), int(clip.size()), Unsorted);
        XShmPutImage(display_, target_, gc_, image_, box.left, box.top, box.left, box.top, unsigned(box.right - box.left),
                     unsigned(box.bottom - box.top), False);
        if (clip.size() > 1) XSetClipMask(display_, gc_, None);
    } else {
        for (const XRectangle& r : clip) XPutImage(display_, target_, gc_, image_, r.x, r.y, r.x, r.y, r.width, r.height);
    }
    // The next frame writes into the same shared pixels: the server must be
    // done with these first.
    XSync(display_, False);
}

}  // namespace flutt::hack
