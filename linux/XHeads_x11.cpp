#include "linux/XHeads_x11.h"

#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <cstdio>
#include <new>

#include "linux/Artwork.h"
#include "linux/Heads.h"
#include "linux/XText_x11.h"

namespace flutt::hack {
namespace {

ScreenSize SizeOf(const PixelRect& r) { return {r.right - r.left, r.bottom - r.top}; }

// The heads of the screen in root coordinates: Xinerama's screens when it
// names two or more, else RandR's monitors (RandR 1.5), else nothing.
// Current servers answer Xinerama's request from RandR's monitors; where
// Xinerama joins several X screens into one, RandR speaks for the first one
// only, and Xephyr with +xinerama even sends a ConfigureNotify that gives the
// root that screen's size to everyone who asks it for its monitors.
std::vector<PixelRect> QueryScreenHeads(Display* display) {
    int event = 0, error = 0, count = 0;
    std::vector<PixelRect> named;
    if (XineramaQueryExtension(display, &event, &error) && XineramaIsActive(display)) {
        const std::unique_ptr<XineramaScreenInfo, decltype(&XFree)> info(XineramaQueryScreens(display, &count), XFree);
        for (int i = 0; info && i < count; ++i) {
            const XineramaScreenInfo& s = info.get()[i];
            named.push_back({s.x_org, s.y_org, s.x_org + s.width, s.y_org + s.height});
        }
        std::vector<PixelRect> screens = DistinctHeads(named);
        if (screens.size() > 1) return screens;
    }
    int major = 0, minor = 0;
    named.clear();
    if (XRRQueryExtension(display, &event, &error) && XRRQueryVersion(display, &major, &minor) &&
        (major > 1 || minor >= 5)) {
        const std::unique_ptr<XRRMonitorInfo, decltype(&XRRFreeMonitors)> info(
            XRRGetMonitors(display, DefaultRootWindow(display), True, &count), XRRFreeMonitors);
        for (int i = 0; info && i < count; ++i) {
            const XRRMonitorInfo& m = info.get()[i];
            named.push_back({m.x, m.y, m.x + m.width, m.y + m.height});
        }
    }
    return DistinctHeads(named);
}

}  // namespace

HeadLayout::HeadLayout(Display* display, const XTarget& target, bool everyHead)
    : display_(display), target_(target), everyHead_(everyHead) {}

// The heads are asked again whenever the window is configured, which for
// -root includes the root's new size when a monitor comes or goes.
void HeadLayout::Handle(const XEvent& event) {
    if (event.type == ConfigureNotify && event.xconfigure.window == target_.window()) dirty_ = true;
}

std::optional<std::vector<PixelRect>> HeadLayout::Changed() {
    if (!dirty_) return std::nullopt;
    dirty_ = false;
    const ScreenSize size = target_.size();
    if (!everyHead_) return std::vector<PixelRect>{{0, 0, size.W, size.H}};
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(display_, target_.window(), DefaultRootWindow(display_), 0, 0, &x, &y, &child);
    return HeadsInWindow(QueryScreenHeads(display_), PixelRect{x, y, x + size.W, y + size.H});
}

struct HeadAnimations::Head {
    PixelRect rect;                            // in the window
    std::unique_ptr<SoftAnimation> animation;  // none: the head could not get its buffers
    std::unique_ptr<XPresenter> presenter;
    ScreenSize messageFor;
    bool drawn = false;              // it has a frame
    std::vector<PixelRect> changed;  // by its last frame, to present
};

HeadAnimations::HeadAnimations(Display* display, const XTarget& target, SaverSettings& settings,
                               std::optional<Image32> desktop)
    : display_(display), target_(target), settings_(settings), desktop_(std::move(desktop)) {
    XGCValues values = {};
    values.foreground = target.format().Encode(0);
    black_ = XCreateGC(display, target.window(), GCForeground, &values);
}

HeadAnimations::~HeadAnimations() { XFreeGC(display_, black_); }

void HeadAnimations::Fail(Head& head) {
    std::fprintf(stderr, "fluttons: no memory for the head of %dx%d at %d,%d; it stays black\n",
                 head.rect.right - head.rect.left, head.rect.bottom - head.rect.top, head.rect.left, head.rect.top);
    head.animation.reset();
    head.presenter.reset();
    head.changed.clear();
    blackDue_ = true;
}

void HeadAnimations::Arrange(const std::vector<PixelRect>& rects, ScreenSize window) {
    std::vector<Head> heads;
    for (const PixelRect& rect : rects) {
        const auto kept = std::find_if(heads_.begin(), heads_.end(), [&](const Head& h) { return h.rect == rect; });
        if (kept != heads_.end()) {
            heads.push_back(std::move(*kept));
            kept->rect = {};  // taken
            continue;
        }
        Head& head = heads.emplace_back();
        head.rect = rect;
        try {
            head.animation = std::make_unique<SoftAnimation>(settings_, ArtworkPicture);
            head.animation->LoadSheets();
            head.animation->CreateCharacters(SizeOf(rect));
            if (desktop_) {
                if (auto part = PartOf(*desktop_, rect)) head.animation->SetDesktop(std::move(*part));
            }
            head.presenter = std::make_unique<XPresenter>(display_, target_.window(), target_.visual(), target_.depth(),
                                                          target_.format(), rect.left, rect.top);
        } catch (const std::bad_alloc&) {
            Fail(head);
        }
    }
    heads_ = std::move(heads);
    window_ = window;
    blackDue_ = true;
}

bool HeadAnimations::Draw(const volatile std::sig_atomic_t& stop) {
    for (Head& head : heads_) {
        if (!head.animation) continue;
        const ScreenSize size = SizeOf(head.rect);
        if (settings_.IsShownMessage && (size.W != head.messageFor.W || size.H != head.messageFor.H)) {
            head.animation->SetMessage(RasteriseMessage(display_, settings_, size, stop));
            head.messageFor = size;
            if (stop) return false;
        }
        try {
            const std::vector<PixelRect>& boxes = head.animation->DrawFrame(size).boxes;
            head.changed.assign(boxes.begin(), boxes.end());
            head.drawn = true;
        } catch (const std::bad_alloc&) {
            Fail(head);
        }
    }
    return true;
}

bool HeadAnimations::Present(bool whole, const PixelRect& also) {
    bool sent = false;
    for (Head& head : heads_) {
        if (!head.animation || !head.drawn) continue;
        const SoftSurface& frame = head.animation->Frame();
        if (whole) head.changed = {PixelRect{0, 0, frame.Width(), frame.Height()}};
        const PixelRect under = Intersect(also, head.rect);
        if (!under.Empty()) {
            head.changed.push_back({under.left - head.rect.left, under.top - head.rect.top,
                                    under.right - head.rect.left, under.bottom - head.rect.top});
        }
        if (head.changed.empty()) continue;
        try {
            head.presenter->Present(frame, head.changed);
            sent = true;
        } catch (const std::bad_alloc&) {
            Fail(head);
        }
        head.changed.clear();
    }
    // What no head draws: black, once after each new layout or failure, and
    // again whenever the window is painted whole.
    if (blackDue_ || whole) {
        std::vector<PixelRect> drawn;
        for (const Head& head : heads_) {
            if (head.animation) drawn.push_back(head.rect);
        }
        std::vector<XRectangle> black;
        for (const PixelRect& r : Uncovered(PixelRect{0, 0, window_.W, window_.H}, drawn)) {
            black.push_back({short(r.left), short(r.top), static_cast<unsigned short>(r.right - r.left),
                             static_cast<unsigned short>(r.bottom - r.top)});
        }
        if (!black.empty()) {
            XFillRectangles(display_, target_.window(), black_, black.data(), int(black.size()));
            sent = true;
        }
        blackDue_ = false;
    }
    return sent;
}

bool HeadAnimations::shared() const {
    return std::ranges::all_of(heads_, [](const Head& h) { return !h.presenter || h.presenter->shared(); });
}

}  // namespace flutt::hack
