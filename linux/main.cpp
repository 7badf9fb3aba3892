// fluttons: the saver's animation as an XScreenSaver hack. It draws ten
// frames a second into the window XScreenSaver gives it (-window-id or
// $XSCREENSAVER_WINDOW), into the root window (-root), or into a window of
// its own, and ends on SIGTERM or SIGINT, or when its window goes away.
#include <X11/Xlib.h>
#include <sys/resource.h>
#include <sys/select.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <exception>
#include <memory>
#include <string_view>
#include <vector>

#include "linux/Options.h"
#include "linux/XHeads_x11.h"
#include "linux/XTarget_x11.h"
#include "linux/XText_x11.h"

namespace flutt::hack {
namespace {

constexpr double kTickSeconds = 0.1;  // ten frames a second, as the saver's timer

volatile std::sig_atomic_t stopRequested = 0;
XTarget* currentTarget = nullptr;

// The first SIGTERM or SIGINT asks the animation to end after the frame in
// hand; a second one ends the program at once, also while it waits for an
// X server that does not answer.
void RequestStop(int) {
    stopRequested = 1;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

// The first X error the animation got, kept until the event queue tells
// whether its window went away (then it is no error of ours).
struct PendingXError {
    bool any = false;
    char text[256] = {};
};
PendingXError pendingError;

// A request on a window that has gone away ends the hack quietly, as do the
// failures that follow it (the frame-rate line's picture of the window, the
// clean-up); another error is kept for the animation to report and end on.
int OnXError(Display* display, XErrorEvent* error) {
    if (currentTarget && (error->error_code == BadWindow || error->error_code == BadDrawable) &&
        error->resourceid == currentTarget->window()) {
        currentTarget->MarkGone();
        return 0;
    }
    if ((currentTarget && currentTarget->gone()) || pendingError.any) return 0;
    pendingError.any = true;
    XGetErrorText(display, error->error_code, pendingError.text, sizeof pendingError.text);
    return 0;
}

double Now() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double CpuSeconds() {
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

double Median(std::vector<double> samples) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// Two full-screen 32-bit memory copies: the floor the Windows benchmark
// measures its frames against.
double FloorMs(ScreenSize screen) {
    const std::size_t bytes = std::size_t(screen.W) * std::size_t(screen.H) * 4;
    std::vector<std::uint8_t> a(bytes, 1), b(bytes, 2), c(bytes, 3);
    std::vector<double> samples;
    for (int i = 0; i < 120; ++i) {
        const double start = Now();
        std::memcpy(b.data(), a.data(), bytes);
        std::memcpy(c.data(), b.data(), bytes);
        samples.push_back((Now() - start) * 1000);
        a[std::size_t(i)] = c[bytes - 1 - std::size_t(i)];
    }
    return Median(samples);
}

// The -bench figures: CPU and time per frame from the second frame on (the
// first composes the background).
class FrameCost {
public:
    void Frame(int frames, double drawMs, double presentMs) {
        if (frames == 1) {
            startCpu_ = CpuSeconds();
            std::printf("fluttons: measuring from the second frame\n");
            std::fflush(stdout);
        } else if (frames > 1) {
            drawMs_.push_back(drawMs);
            presentMs_.push_back(presentMs);
        }
    }

    void Report(ScreenSize size, int num, bool shared) const {
        const auto measured = double(drawMs_.size());
        const double cpuMs = (CpuSeconds() - startCpu_) * 1000;
        std::printf("fluttons %d x %d, num %d, %s, %zu frames measured\n", size.W, size.H, num,
                    shared ? "MIT-SHM" : "XPutImage", drawMs_.size());
        std::printf("floor (two full-screen 32-bit memory copies): %.3f ms\n", FloorMs(size));
        std::printf("frame (median): drawing %.3f ms, presenting %.3f ms\n", Median(drawMs_), Median(presentMs_));
        std::printf("process CPU: %.3f ms per frame\n", measured > 0 ? cpuMs / measured : 0.0);
        std::fflush(stdout);
    }

private:
    double startCpu_ = 0;
    std::vector<double> drawMs_;
    std::vector<double> presentMs_;
};

// Waits for X events until `deadline`, or a signal.
void WaitUntil(Display* display, double deadline) {
    const double left = deadline - Now();
    if (left <= 0 || XPending(display)) return;
    const int fd = ConnectionNumber(display);
    fd_set read;
    FD_ZERO(&read);
    FD_SET(fd, &read);
    timeval timeout = {time_t(left), suseconds_t((left - double(time_t(left))) * 1e6)};
    select(fd + 1, &read, nullptr, nullptr, &timeout);
}

// The animation in `target` until a signal, the window's end, or the end of
// a benchmark. Returns the exit code: 1 when the window cannot be drawn into.
int Animate(Display* display, XTarget& target, const HackOptions& options) {
    // Each head's population is drawn for the size it has at the start, as
    // the saver draws it for the screen's size, and drawn afresh when the
    // window or the heads take another size (HeadAnimations::Arrange).
    SaverSettings settings = options.settings;
    HeadLayout layout(display, target, options.everyHead);
    HeadAnimations heads(display, target, settings, target.TakeDesktop());
    heads.Arrange(*layout.Changed(), target.size());
    std::unique_ptr<FpsOverlay> fps;
    if (options.fps) fps = std::make_unique<FpsOverlay>(display, target.window(), target.visual());

    int frames = 0;
    bool repaint = false;
    PixelRect fpsBox;
    double next = Now();
    const double start = next;
    FrameCost cost;
    while (!stopRequested && !target.gone()) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            repaint = target.Handle(event) || repaint;
            layout.Handle(event);
        }
        if (target.gone() || stopRequested) break;
        // Another error than the window's end would come again every frame.
        if (pendingError.any) {
            std::fprintf(stderr, "fluttons: cannot draw into window 0x%lx: %s\n", target.window(), pendingError.text);
            return 1;
        }
        const double now = Now();
        if (now >= next) {
            // After -stop-after's frame the picture stays as it is.
            const bool advance = options.stopAfter == 0 || frames < options.stopAfter;
            const double t0 = Now();
            if (advance) {
                if (auto rects = layout.Changed()) heads.Arrange(*rects, target.size());
                if (!heads.Draw(stopRequested)) break;
                ++frames;
            }
            const double t1 = Now();
            // The frame's pixels back under the old rate line, which is drawn
            // anew on every frame.
            if (heads.Present(repaint && frames > 0, fps && advance ? fpsBox : PixelRect{})) {
                if (fps) fpsBox = fps->Draw(now);
                XFlush(display);
            }
            repaint = false;
            const double t2 = Now();
            if (advance && options.benchSeconds) cost.Frame(frames, (t1 - t0) * 1000, (t2 - t1) * 1000);
            if (advance && frames == options.stopAfter) {
                std::printf("fluttons: stopped at frame %d\n", frames);
                std::fflush(stdout);
            }
            // A late tick is not made up for, as a timer's ticks are not.
            next = std::max(next + kTickSeconds, now);
            if (options.benchSeconds && now - start >= options.benchSeconds) break;
        }
        WaitUntil(display, next);
    }

    if (options.benchSeconds) cost.Report(target.size(), settings.num, heads.shared());
    return 0;
}

int Run(const HackOptions& options) {
    Display* display = XOpenDisplay(options.display.empty() ? nullptr : options.display.c_str());
    if (!display) {
        std::fprintf(stderr, "fluttons: cannot open display \"%s\"\n", XDisplayName(options.display.c_str()));
        return 1;
    }
    XSetErrorHandler(OnXError);
    int status = 0;
    {
        XTarget target(display, options);
        currentTarget = &target;
        XSync(display, False);
        if (target.gone()) {
            std::fprintf(stderr, "fluttons: window 0x%lx does not exist\n", target.window());
            status = 1;
        } else if (!target.unusable().empty()) {
            if (target.window()) {
                std::fprintf(stderr, "fluttons: cannot draw into window 0x%lx: %s\n", target.window(),
                             target.unusable().c_str());
            } else {
                std::fprintf(stderr, "fluttons: cannot draw on this screen: %s\n", target.unusable().c_str());
            }
            status = 1;
        } else {
            // What failed while reading the desktop leaves it black; the
            // animation's own errors count from here.
            pendingError = {};
            status = Animate(display, target, options);
        }
        XSync(display, False);
        currentTarget = nullptr;
    }
    XCloseDisplay(display);
    return status;
}

}  // namespace
}  // namespace flutt::hack

int main(int argc, char** argv) {
    using namespace flutt::hack;
    std::vector<std::string_view> args(argv + 1, argv + argc);
    const ParsedOptions parsed = ParseOptions(args, std::getenv("XSCREENSAVER_WINDOW"));
    if (!parsed.options) {
        std::fprintf(stderr, "fluttons: %s\n", parsed.error.c_str());
        return 2;
    }
    if (parsed.options->help) {
        std::fputs(Usage("fluttons").c_str(), stdout);
        return 0;
    }
    struct sigaction action = {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    try {
        return Run(*parsed.options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "fluttons: %s\n", error.what());
        return 1;
    }
}
