#include "linux/XPresenter_x11.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace flutt::hack {
namespace {

bool attachFailed = false;

int NoteAttachError(Display*, XErrorEvent*) {
    attachFailed = true;
    return 0;
}

bool HostOrder(const XImage* image) {
    return image->byte_order == (std::endian::native == std::endian::little ? LSBFirst : MSBFirst);
}

}  // namespace

XPresenter::XPresenter(Display* display, Drawable target, Visual* visual, int depth, const PixelFormat& format,
                       int left, int top)
    : display_(display),
      target_(target),
      visual_(visual),
      depth_(depth),
      format_(format),
      left_(left),
      top_(top),
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
            // Marked for removal at once, while attached: it goes away with
            // the last detach, however the program ends (a SIGKILL too). The
            // X server on this machine may still attach it: Linux lets a
            // marked segment be attached until its last user detaches.
            if (segment_.shmid >= 0) shmctl(segment_.shmid, IPC_RMID, nullptr);
            if (segment_.shmaddr != reinterpret_cast<char*>(-1)) {
                image_->data = segment_.shmaddr;
                segment_.readOnly = False;
                attachFailed = false;
                XSync(display_, False);
                const auto previous = XSetErrorHandler(NoteAttachError);
                XShmAttach(display_, &segment_);
                XSync(display_, False);
                XSetErrorHandler(previous);
                if (!attachFailed) {
                    shm_ = true;
                    return;
                }
                shmdt(segment_.shmaddr);
            }
            image_->data = nullptr;
            XDestroyImage(image_);
            image_ = nullptr;
        }
        shmAvailable_ = false;
    }
    image_ = XCreateImage(display_, visual_, unsigned(depth_), ZPixmap, 0, nullptr, unsigned(width), unsigned(height), 32, 0);
    if (!image_) throw std::bad_alloc();
    image_->data = static_cast<char*>(std::malloc(std::size_t(image_->bytes_per_line) * std::size_t(height)));
    if (!image_->data) {
        XDestroyImage(image_);
        image_ = nullptr;
        throw std::bad_alloc();
    }
}

void XPresenter::Fill(const SoftSurface& frame, const PixelRect& r) {
    const ConstPixelView pixels = frame.Pixels();
    const int w = r.right - r.left;
    const bool hostOrder = HostOrder(image_);
    const bool copy = format_.IsRgb888() && image_->bits_per_pixel == 32 && hostOrder;
    const std::uint32_t alpha = format_.alphaMask();
    for (int y = r.top; y < r.bottom; ++y) {
        const std::uint32_t* from = pixels.Row(y) + r.left;
        char* row = image_->data + std::size_t(y) * std::size_t(image_->bytes_per_line);
        if (copy && !alpha) {
            std::memcpy(row + std::size_t(r.left) * 4, from, std::size_t(w) * 4);
        } else if (copy) {
            // A 32-bit ARGB visual: the same pixels, opaque.
            auto* to = reinterpret_cast<std::uint32_t*>(row) + r.left;
            for (int x = 0; x < w; ++x) to[x] = from[x] | alpha;
        } else if (image_->bits_per_pixel == 32 && hostOrder) {
            auto* to = reinterpret_cast<std::uint32_t*>(row) + r.left;
            for (int x = 0; x < w; ++x) to[x] = format_.Encode(from[x]);
        } else if (image_->bits_per_pixel == 16 && hostOrder) {
            auto* to = reinterpret_cast<std::uint16_t*>(row) + r.left;
            for (int x = 0; x < w; ++x) to[x] = std::uint16_t(format_.Encode(from[x]));
        } else {
            for (int x = 0; x < w; ++x) XPutPixel(image_, r.left + x, y, format_.Encode(from[x]));
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
        box = BoundingBox(box, r);
    }
    if (clip.empty()) return;
    if (shm_) {
        if (clip.size() > 1) XSetClipRectangles(display_, gc_, left_, top_, clip.data(), int(clip.size()), Unsorted);
        XShmPutImage(display_, target_, gc_, image_, box.left, box.top, left_ + box.left, top_ + box.top,
                     unsigned(box.right - box.left), unsigned(box.bottom - box.top), False);
        if (clip.size() > 1) XSetClipMask(display_, gc_, None);
    } else {
        for (const XRectangle& r : clip) {
            XPutImage(display_, target_, gc_, image_, r.x, r.y, left_ + r.x, top_ + r.y, r.width, r.height);
        }
    }
    // The next frame writes into the same shared pixels: the server must be
    // done with these first.
    XSync(display_, False);
}

}  // namespace flutt::hack
