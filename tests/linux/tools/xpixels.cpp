// Pixels of an X screen for the hack's tests, read and written through the
// colour masks of each visual, whatever its depth:
//   xpixels paint-root IN.ppm       the root window's background becomes the
//                                   picture, each colour at the nearest value
//                                   the root's visual holds
//   xpixels dump WINDOW OUT.ppm     a window's pixels as 8-bit colours
//   xpixels compare WINDOW REF.ppm  how many pixels differ from the picture
//                                   taken through the window's masks, and how
//                                   many are not opaque (32-bit ARGB windows)
//   xpixels window DEPTH X Y W H    a mapped window of the screen's depth or a
//                                   32-bit ARGB one: prints its id, stays
//                                   until killed
//   xpixels input-only-window       the same for an InputOnly window
//   xpixels idle-window SECONDS     a mapped window over the whole screen that
//                                   wakes every 100 ms and draws nothing (the
//                                   idle floor of the hack's benchmark), for
//                                   SECONDS; then prints its own CPU per tick
// WINDOW is "root" or an id. The scaling between n-bit channels and 8 bits is
// the nearest value either way, written here on its own, not taken from the
// program under test.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/select.h>
#include <sys/time.h>
#include <sys/resource.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;  // 3 bytes a pixel
};

bool ReadPpm(const char* path, Picture& picture) {
    FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    int maxval = 0;
    const bool header = std::fscanf(file, "P6 %d %d %d", &picture.width, &picture.height, &maxval) == 3 &&
                        maxval == 255 && std::fgetc(file) != EOF;
    picture.rgb.resize(header ? std::size_t(picture.width) * std::size_t(picture.height) * 3 : 0);
    const bool ok = header && std::fread(picture.rgb.data(), 1, picture.rgb.size(), file) == picture.rgb.size();
    std::fclose(file);
    return ok;
}

bool WritePpm(const char* path, const Picture& picture) {
    FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    std::fprintf(file, "P6\n%d %d\n255\n", picture.width, picture.height);
    const bool ok = std::fwrite(picture.rgb.data(), 1, picture.rgb.size(), file) == picture.rgb.size();
    return std::fclose(file) == 0 && ok;
}

// One channel's bits in a pixel.
struct Channel {
    unsigned long mask;
    int shift = 0;
    unsigned long max = 0;
    explicit Channel(unsigned long m) : mask(m) {
        if (!m) return;
        while (!(m >> shift & 1)) ++shift;
        max = m >> shift;
    }
    unsigned long Encode(unsigned c) const { return max ? ((c * max + 127) / 255) << shift : 0; }
    unsigned Decode(unsigned long pixel) const {
        return max ? unsigned((((pixel & mask) >> shift) * 255 + max / 2) / max) : 0;
    }
};

struct Format {
    Channel red, green, blue;
    unsigned long alpha;
    Format(const Visual* v, int depth)
        : red(v->red_mask), green(v->green_mask), blue(v->blue_mask),
          alpha((depth >= 32 ? 0xFFFFFFFFul : (1ul << depth) - 1) & ~(v->red_mask | v->green_mask | v->blue_mask)) {}
    unsigned long Encode(const std::uint8_t* rgb) const {
        return red.Encode(rgb[0]) | green.Encode(rgb[1]) | blue.Encode(rgb[2]);
    }
};

Window WindowOf(Display* display, const char* text) {
    return std::strcmp(text, "root") == 0 ? DefaultRootWindow(display) : Window(std::strtoul(text, nullptr, 0));
}

// A window's pixels, its visual's format and size.
struct Contents {
    XImage* image = nullptr;
    Format format;
};

Contents Read(Display* display, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) {
        std::fprintf(stderr, "xpixels: no window 0x%lx\n", window);
        std::exit(2);
    }
    XImage* image = XGetImage(display, window, 0, 0, unsigned(attributes.width), unsigned(attributes.height),
                              AllPlanes, ZPixmap);
    if (!image) {
        std::fprintf(stderr, "xpixels: cannot read window 0x%lx\n", window);
        std::exit(2);
    }
    return {image, Format(attributes.visual, attributes.depth)};
}

int PaintRoot(Display* display, const char* path) {
    Picture picture;
    if (!ReadPpm(path, picture)) {
        std::fprintf(stderr, "xpixels: cannot read %s\n", path);
        return 2;
    }
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    const Format format(DefaultVisual(display, screen), DefaultDepth(display, screen));
    const Pixmap pixmap = XCreatePixmap(display, root, unsigned(picture.width), unsigned(picture.height),
                                        unsigned(DefaultDepth(display, screen)));
    XImage* image = XCreateImage(display, DefaultVisual(display, screen), unsigned(DefaultDepth(display, screen)),
                                 ZPixmap, 0, nullptr, unsigned(picture.width), unsigned(picture.height), 32, 0);
    image->data = static_cast<char*>(std::malloc(std::size_t(image->bytes_per_line) * std::size_t(picture.height)));
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            XPutPixel(image, x, y, format.Encode(&picture.rgb[(std::size_t(y) * std::size_t(picture.width) + std::size_t(x)) * 3]));
    const GC gc = XCreateGC(display, pixmap, 0, nullptr);
    XPutImage(display, pixmap, gc, image, 0, 0, 0, 0, unsigned(picture.width), unsigned(picture.height));
    XSetWindowBackgroundPixmap(display, root, pixmap);
    XClearWindow(display, root);
    XFreeGC(display, gc);
    XFreePixmap(display, pixmap);
    XDestroyImage(image);
    XSync(display, False);
    return 0;
}

int Dump(Display* display, const char* window, const char* path) {
    const Contents contents = Read(display, WindowOf(display, window));
    Picture picture{contents.image->width, contents.image->height, {}};
    picture.rgb.reserve(std::size_t(picture.width) * std::size_t(picture.height) * 3);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const unsigned long p = XGetPixel(contents.image, x, y);
            picture.rgb.push_back(std::uint8_t(contents.format.red.Decode(p)));
            picture.rgb.push_back(std::uint8_t(contents.format.green.Decode(p)));
            picture.rgb.push_back(std::uint8_t(contents.format.blue.Decode(p)));
        }
    }
    XDestroyImage(contents.image);
    return WritePpm(path, picture) ? 0 : 2;
}

int Compare(Display* display, const char* window, const char* path) {
    Picture reference;
    if (!ReadPpm(path, reference)) {
        std::fprintf(stderr, "xpixels: cannot read %s\n", path);
        return 2;
    }
    const Contents contents = Read(display, WindowOf(display, window));
    if (contents.image->width != reference.width || contents.image->height != reference.height) {
        std::fprintf(stderr, "xpixels: window %dx%d, picture %dx%d\n", contents.image->width, contents.image->height,
                     reference.width, reference.height);
        return 2;
    }
    const Format& f = contents.format;
    const unsigned long colourBits = f.red.mask | f.green.mask | f.blue.mask;
    long differing = 0, transparent = 0;
    for (int y = 0; y < reference.height; ++y) {
        for (int x = 0; x < reference.width; ++x) {
            const unsigned long p = XGetPixel(contents.image, x, y);
            const unsigned long expected =
                f.Encode(&reference.rgb[(std::size_t(y) * std::size_t(reference.width) + std::size_t(x)) * 3]);
            if ((p & colourBits) != expected) {
                if (differing < 3) std::fprintf(stderr, "xpixels: at %d,%d 0x%lx, not 0x%lx\n", x, y, p, expected);
                ++differing;
            }
            if ((p & f.alpha) != f.alpha) ++transparent;
        }
    }
    XDestroyImage(contents.image);
    std::printf("%ld differing, %ld not opaque\n", differing, transparent);
    return differing || transparent ? 1 : 0;
}

// Prints the window's id, then keeps the connection (and the window) open.
[[noreturn]] void Keep(Display* display, Window window) {
    XMapWindow(display, window);
    XSync(display, False);
    std::printf("0x%lx\n", window);
    std::fflush(stdout);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
    }
}

double Seconds(const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; }

double NowSeconds() {
    timeval now = {};
    gettimeofday(&now, nullptr);
    return Seconds(now);
}

double CpuSeconds() {
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

// Ticks as the hack does, ten times a second, waiting on the connection in
// between, and draws nothing.
int IdleWindow(Display* display, Window root, double seconds) {
    XWindowAttributes size = {};
    XGetWindowAttributes(display, root, &size);
    const Window window = XCreateSimpleWindow(display, root, 0, 0, unsigned(size.width), unsigned(size.height), 0, 0, 0);
    XMapWindow(display, window);
    XSync(display, False);
    std::printf("idle-window: measuring\n");
    std::fflush(stdout);
    const double start = NowSeconds(), startCpu = CpuSeconds();
    double next = start;
    long ticks = 0;
    while (NowSeconds() - start < seconds) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
        }
        const double now = NowSeconds();
        if (now >= next) {
            ++ticks;
            next += 0.1;
        }
        const double left = next - NowSeconds();
        if (left <= 0) continue;
        const int fd = ConnectionNumber(display);
        fd_set read;
        FD_ZERO(&read);
        FD_SET(fd, &read);
        timeval timeout = {time_t(left), suseconds_t((left - double(time_t(left))) * 1e6)};
        select(fd + 1, &read, nullptr, nullptr, &timeout);
    }
    std::printf("%ld ticks, process CPU: %.4f ms per tick\n", ticks, (CpuSeconds() - startCpu) * 1000 / double(ticks));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "xpixels: no display\n");
        return 2;
    }
    const std::string command = argc > 1 ? argv[1] : "";
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    if (command == "paint-root" && argc == 3) return PaintRoot(display, argv[2]);
    if (command == "dump" && argc == 4) return Dump(display, argv[2], argv[3]);
    if (command == "compare" && argc == 4) return Compare(display, argv[2], argv[3]);
    if (command == "window" && argc == 7) {
        const int depth = std::atoi(argv[2]);
        XVisualInfo info = {};
        info.visual = DefaultVisual(display, screen);
        if (depth != DefaultDepth(display, screen) && !XMatchVisualInfo(display, screen, depth, TrueColor, &info)) {
            std::fprintf(stderr, "xpixels: no %d-bit TrueColor visual\n", depth);
            return 2;
        }
        XSetWindowAttributes attributes = {};
        attributes.colormap = XCreateColormap(display, root, info.visual, AllocNone);
        const Window window = XCreateWindow(display, root, std::atoi(argv[3]), std::atoi(argv[4]),
                                            unsigned(std::atoi(argv[5])), unsigned(std::atoi(argv[6])), 0, depth,
                                            InputOutput, info.visual, CWColormap | CWBorderPixel | CWBackPixel,
                                            &attributes);
        Keep(display, window);
    }
    if (command == "idle-window" && argc == 3) return IdleWindow(display, root, std::atof(argv[2]));
    if (command == "input-only-window" && argc == 2) {
        XSetWindowAttributes attributes = {};
        Keep(display, XCreateWindow(display, root, 0, 0, 100, 100, 0, 0, InputOnly, CopyFromParent, 0, &attributes));
    }
    std::fprintf(stderr, "usage: xpixels paint-root IN.ppm | dump WINDOW OUT.ppm | compare WINDOW REF.ppm |"
                         " window DEPTH X Y W H | input-only-window | idle-window SECONDS\n");
    return 2;
}
