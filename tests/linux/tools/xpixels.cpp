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
//
// And the screenshots of the end-to-end tests, as 8-bit RGB PNG files (a
// PICTURE may also be a binary PPM; any PNG is read as 8-bit RGB, its alpha
// dropped). PART is WxH+X+Y, the whole picture or screen when left out; a
// PART of a picture is clipped to it.
//   xpixels shot OUT.png [PART]            the root window, or a part of it
//   xpixels crop PICTURE PART OUT.png      a part of a picture
//   xpixels size PICTURE                   WxH
//   xpixels pixel PICTURE X Y              its colour, RRGGBB
//   xpixels count PICTURE RRGGBB [PART]    how many pixels have that colour
//   xpixels colours PICTURE [PART]         how many colours it has
//   xpixels differing A B [PART]           how many pixels of A (or of its
//                                          PART) differ from B in R, G or B
//   xpixels diffbox A B [PART]             their bounding box WxH+X+Y,
//                                          0x0+W+H when none differ
//   xpixels blocks PICTURE K               how many pixels differ from the
//                                          one sampled for their K x K block
//   xpixels sample PICTURE K OUT.png       that sample, a pixel a block
//   xpixels first-same A B...              the number (from 1) of the first
//                                          B with A's pixels, or "none"
//   xpixels shot-differing OUT.png B [PART] | shot-diffbox OUT.png B [PART]
//                                          | shot-count OUT.png RRGGBB [PART]
//                                          the shot written, then compared
// A picture that cannot be read, or of another size than the one it is
// compared with, is an error (a message, exit 2), never a number.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>
#include <sys/select.h>
#include <sys/time.h>
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <stdexcept>
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

// ---- pictures in files ------------------------------------------------------

[[noreturn]] void Fail(const std::string& why) { throw std::runtime_error(why); }

void Warn(png_structp, png_const_charp) {}  // e.g. the sRGB profile ImageMagick writes

[[noreturn]] void PngError(png_structp png, png_const_charp message) {
    *static_cast<std::string*>(png_get_error_ptr(png)) = message;
    png_longjmp(png, 1);
}

// libpng reports an error by a longjmp to the setjmp of the step that failed:
// these steps hold nothing that would need unwinding.
bool ReadHeader(png_structp png, png_infop info, FILE* file, png_uint_32& width, png_uint_32& height) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_strip_alpha(png);
    png_set_gray_to_rgb(png);
    png_read_update_info(png, info);
    width = png_get_image_width(png, info);
    height = png_get_image_height(png, info);
    if (png_get_rowbytes(png, info) != std::size_t(width) * 3) png_error(png, "not RGB after its conversion");
    return true;
}

bool ReadRows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

// Any PNG as 8 bits a channel, R G B: palettes and grey expanded, 16 bits
// scaled to the nearest 8-bit value (as ImageMagick does), alpha dropped, no
// gamma applied. Returns why it failed, or nothing.
std::string ReadPng(FILE* file, Picture& picture) {
    std::string why;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &why, PngError, Warn);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    png_uint_32 width = 0, height = 0;
    if (!info) {
        why = "out of memory";
    } else if (ReadHeader(png, info, file, width, height)) {
        picture.width = int(width);
        picture.height = int(height);
        picture.rgb.resize(std::size_t(width) * std::size_t(height) * 3);
        std::vector<png_bytep> rows(height);
        for (std::size_t y = 0; y < rows.size(); ++y) rows[y] = &picture.rgb[y * std::size_t(width) * 3];
        ReadRows(png, rows.data());
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return why;
}

// A PNG or a binary PPM, told by its first bytes.
Picture Load(const char* path) {
    FILE* file = std::fopen(path, "rb");
    if (!file) Fail(std::string("cannot open ") + path + ": " + std::strerror(errno));
    png_byte signature[8] = {};
    const std::size_t got = std::fread(signature, 1, sizeof signature, file);
    std::rewind(file);
    Picture picture;
    std::string why;
    if (got == sizeof signature && png_sig_cmp(signature, 0, sizeof signature) == 0)
        why = ReadPng(file, picture);
    else if (got >= 2 && signature[0] == 'P' && signature[1] == '6')
        why = ReadPpm(path, picture) ? "" : "a PPM that is not 8-bit binary RGB, or cut short";
    else
        why = "neither a PNG nor a binary PPM";
    std::fclose(file);
    if (!why.empty()) Fail(std::string("cannot read ") + path + ": " + why);
    return picture;
}

// An 8-bit RGB PNG, compressed fast: the screenshots are written in the
// tests' polling loops, and read afterwards by people.
bool WritePng(png_structp png, png_infop info, FILE* file, const Picture& picture) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_IHDR(png, info, png_uint_32(picture.width), png_uint_32(picture.height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_write_info(png, info);
    for (int y = 0; y < picture.height; ++y)
        png_write_row(png, &picture.rgb[std::size_t(y) * std::size_t(picture.width) * 3]);
    png_write_end(png, nullptr);
    return true;
}

void Save(const char* path, const Picture& picture) {
    FILE* file = std::fopen(path, "wb");
    if (!file) Fail(std::string("cannot write ") + path + ": " + std::strerror(errno));
    std::string why;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &why, PngError, Warn);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        why = "out of memory";
    } else {
        WritePng(png, info, file, picture);
    }
    png_destroy_write_struct(&png, &info);
    if (std::fclose(file) != 0 && why.empty()) why = std::strerror(errno);
    if (!why.empty()) {
        std::remove(path);
        Fail(std::string("cannot write ") + path + ": " + why);
    }
}

struct Part {
    int x = 0, y = 0, width = 0, height = 0;
};

Part ParsePart(const char* text) {
    Part part;
    int end = 0;
    if (std::sscanf(text, "%dx%d+%d+%d%n", &part.width, &part.height, &part.x, &part.y, &end) != 4 ||
        text[end] != '\0' || part.width <= 0 || part.height <= 0 || part.x < 0 || part.y < 0)
        Fail(std::string("not a part WxH+X+Y: ") + text);
    return part;
}

// PART (or the whole, where there is none) clipped to a width x height area.
Part Clip(const char* text, int width, int height) {
    Part part{0, 0, width, height};
    if (text) {
        part = ParsePart(text);
        part.width = std::min(part.width, width - part.x);
        part.height = std::min(part.height, height - part.y);
        if (part.width <= 0 || part.height <= 0)
            Fail(std::string(text) + " lies outside " + std::to_string(width) + "x" + std::to_string(height));
    }
    return part;
}

const std::uint8_t* At(const Picture& picture, int x, int y) {
    return &picture.rgb[(std::size_t(y) * std::size_t(picture.width) + std::size_t(x)) * 3];
}

Picture Crop(const Picture& picture, const char* part) {
    const Part p = Clip(part, picture.width, picture.height);
    if (p.width == picture.width && p.height == picture.height) return picture;
    Picture cropped{p.width, p.height, {}};
    cropped.rgb.reserve(std::size_t(p.width) * std::size_t(p.height) * 3);
    for (int y = p.y; y < p.y + p.height; ++y)
        cropped.rgb.insert(cropped.rgb.end(), At(picture, p.x, y), At(picture, p.x, y) + std::size_t(p.width) * 3);
    return cropped;
}

std::string SizeOf(const Picture& picture) {
    return std::to_string(picture.width) + "x" + std::to_string(picture.height);
}

void SameSize(const Picture& a, const Picture& b, const char* aName, const char* bName) {
    if (a.width != b.width || a.height != b.height)
        Fail(std::string(aName) + " is " + SizeOf(a) + ", " + bName + " " + SizeOf(b));
}

bool SamePixel(const std::uint8_t* a, const std::uint8_t* b) { return std::memcmp(a, b, 3) == 0; }

long Differing(const Picture& a, const Picture& b) {
    long differing = 0;
    for (std::size_t i = 0; i < a.rgb.size(); i += 3) differing += !SamePixel(&a.rgb[i], &b.rgb[i]);
    return differing;
}

// The bounding box of the differing pixels as ImageMagick's %@ writes it,
// and as it does when none differ: 0x0 at the far corner.
std::string DiffBox(const Picture& a, const Picture& b) {
    int left = a.width, top = a.height, right = -1, bottom = -1;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (!SamePixel(At(a, x, y), At(b, x, y))) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    if (right < 0) return "0x0+" + std::to_string(a.width) + "+" + std::to_string(a.height);
    return std::to_string(right - left + 1) + "x" + std::to_string(bottom - top + 1) + "+" + std::to_string(left) +
           "+" + std::to_string(top);
}

long Count(const Picture& picture, const char* hex) {
    unsigned value = 0;
    int end = 0;
    if (std::strlen(hex) != 6 || std::sscanf(hex, "%6x%n", &value, &end) != 1 || end != 6)
        Fail(std::string("not a colour RRGGBB: ") + hex);
    const std::uint8_t colour[3] = {std::uint8_t(value >> 16), std::uint8_t(value >> 8), std::uint8_t(value)};
    long count = 0;
    for (std::size_t i = 0; i < picture.rgb.size(); i += 3) count += SamePixel(&picture.rgb[i], colour);
    return count;
}

long Colours(const Picture& picture) {
    std::set<std::uint32_t> colours;
    for (std::size_t i = 0; i < picture.rgb.size(); i += 3)
        colours.insert(std::uint32_t(picture.rgb[i]) << 16 | std::uint32_t(picture.rgb[i + 1]) << 8 | picture.rgb[i + 2]);
    return long(colours.size());
}

// One pixel a K x K block, its top-left one: what ImageMagick's -sample
// takes when it halves a picture.
Picture Sample(const Picture& picture, int k) {
    if (k < 1 || picture.width % k || picture.height % k)
        Fail(SizeOf(picture) + " is not made of " + std::to_string(k) + " x " + std::to_string(k) + " blocks");
    Picture sample{picture.width / k, picture.height / k, {}};
    sample.rgb.reserve(std::size_t(sample.width) * std::size_t(sample.height) * 3);
    for (int y = 0; y < sample.height; ++y)
        for (int x = 0; x < sample.width; ++x) {
            const std::uint8_t* p = At(picture, x * k, y * k);
            sample.rgb.insert(sample.rgb.end(), p, p + 3);
        }
    return sample;
}

// How many pixels differ from their block's sample: the pixels of the sample
// enlarged K times.
long Blocks(const Picture& picture, int k) {
    const Picture sample = Sample(picture, k);
    long differing = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) differing += !SamePixel(At(picture, x, y), At(sample, x / k, y / k));
    return differing;
}

// differing or diffbox (WHAT) of picture A, read from A_NAME, against the
// picture file B.
void PrintDifference(const std::string& what, const Picture& a, const char* aName, const char* b) {
    const Picture reference = Load(b);
    SameSize(a, reference, aName, b);
    if (what == "differing")
        std::printf("%ld\n", Differing(a, reference));
    else
        std::printf("%s\n", DiffBox(a, reference).c_str());
}

int Number(const char* text) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end || value < 0 || value > 1 << 20) Fail(std::string("not a number: ") + text);
    return int(value);
}

// The commands that read and write pictures in files; false when COMMAND is
// none of them.
bool FileCommand(const std::string& command, int argc, char** argv) {
    const auto part = [&](int i) { return argc > i ? argv[i] : nullptr; };
    if (command == "crop" && argc == 5) {
        Save(argv[4], Crop(Load(argv[2]), argv[3]));
    } else if (command == "size" && argc == 3) {
        std::printf("%s\n", SizeOf(Load(argv[2])).c_str());
    } else if (command == "pixel" && argc == 5) {
        const Picture picture = Load(argv[2]);
        const int x = Number(argv[3]), y = Number(argv[4]);
        if (x >= picture.width || y >= picture.height) Fail("no pixel " + std::to_string(x) + "," + std::to_string(y) + " in " + SizeOf(picture));
        const std::uint8_t* p = At(picture, x, y);
        std::printf("%02X%02X%02X\n", p[0], p[1], p[2]);
    } else if (command == "count" && (argc == 4 || argc == 5)) {
        std::printf("%ld\n", Count(Crop(Load(argv[2]), part(4)), argv[3]));
    } else if (command == "colours" && (argc == 3 || argc == 4)) {
        std::printf("%ld\n", Colours(Crop(Load(argv[2]), part(3))));
    } else if ((command == "differing" || command == "diffbox") && (argc == 4 || argc == 5)) {
        PrintDifference(command, Crop(Load(argv[2]), part(4)), argv[2], argv[3]);
    } else if (command == "blocks" && argc == 4) {
        std::printf("%ld\n", Blocks(Load(argv[2]), Number(argv[3])));
    } else if (command == "sample" && argc == 5) {
        Save(argv[4], Sample(Load(argv[2]), Number(argv[3])));
    } else if (command == "first-same" && argc >= 4) {
        const Picture a = Load(argv[2]);
        for (int i = 3; i < argc; ++i) {
            const Picture b = Load(argv[i]);
            SameSize(a, b, argv[2], argv[i]);
            if (b.rgb == a.rgb) {
                std::printf("%d\n", i - 2);
                return true;
            }
        }
        std::printf("none\n");
    } else {
        return false;
    }
    return true;
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

// An image read from the screen as 8-bit colours. The usual 24-bit screen,
// 32 bits a pixel in this machine's byte order, is copied byte by byte; any
// other goes through the masks.
Picture Decoded(XImage* image, const Format& format) {
    Picture picture{image->width, image->height, {}};
    picture.rgb.resize(std::size_t(picture.width) * std::size_t(picture.height) * 3);
    std::uint8_t* out = picture.rgb.data();
    const bool direct = image->bits_per_pixel == 32 && image->byte_order == LSBFirst &&
                        format.red.mask == 0xFF0000 && format.green.mask == 0xFF00 && format.blue.mask == 0xFF;
    for (int y = 0; y < picture.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint8_t*>(image->data + std::ptrdiff_t(y) * image->bytes_per_line);
        for (int x = 0; x < picture.width; ++x, out += 3) {
            if (direct) {
                out[0] = row[x * 4 + 2], out[1] = row[x * 4 + 1], out[2] = row[x * 4];
            } else {
                const unsigned long p = XGetPixel(image, x, y);
                out[0] = std::uint8_t(format.red.Decode(p));
                out[1] = std::uint8_t(format.green.Decode(p));
                out[2] = std::uint8_t(format.blue.Decode(p));
            }
        }
    }
    return picture;
}

// The root window, or PART of it, as 8-bit colours.
Picture Shot(Display* display, const char* partText) {
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, root, &attributes)) Fail("cannot read the root window's attributes");
    const Part part = Clip(partText, attributes.width, attributes.height);
    XImage* image = XGetImage(display, root, part.x, part.y, unsigned(part.width), unsigned(part.height), AllPlanes,
                              ZPixmap);
    if (!image) Fail("cannot read the screen");
    Picture picture = Decoded(image, Format(attributes.visual, attributes.depth));
    XDestroyImage(image);
    return picture;
}

// shot OUT.png [PART], and shot-differing / shot-diffbox / shot-count: the
// shot written, then told as differing, diffbox or count tell it of a file.
bool ShotCommand(Display* display, const std::string& command, int argc, char** argv) {
    if (command == "shot" && (argc == 3 || argc == 4)) {
        Save(argv[2], Shot(display, argc == 4 ? argv[3] : nullptr));
        return true;
    }
    if ((command != "shot-differing" && command != "shot-diffbox" && command != "shot-count") ||
        (argc != 4 && argc != 5))
        return false;
    const Picture shot = Shot(display, argc == 5 ? argv[4] : nullptr);
    Save(argv[2], shot);
    if (command == "shot-count") {
        std::printf("%ld\n", Count(shot, argv[3]));
        return true;
    }
    PrintDifference(command.substr(std::strlen("shot-")), shot, argv[2], argv[3]);
    return true;
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
    const Picture picture = Decoded(contents.image, contents.format);
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

int main(int argc, char** argv) try {
    const std::string command = argc > 1 ? argv[1] : "";
    if (FileCommand(command, argc, argv)) return 0;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "xpixels: no display\n");
        return 2;
    }
    if (ShotCommand(display, command, argc, argv)) return 0;
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
                         " window DEPTH X Y W H | input-only-window | idle-window SECONDS |"
                         " shot OUT.png [PART] | crop PICTURE PART OUT.png | size PICTURE | pixel PICTURE X Y |"
                         " count PICTURE RRGGBB [PART] | colours PICTURE [PART] | differing A B [PART] |"
                         " diffbox A B [PART] | blocks PICTURE K | sample PICTURE K OUT.png | first-same A B... |"
                         " shot-differing OUT.png B [PART] | shot-diffbox OUT.png B [PART] |"
                         " shot-count OUT.png RRGGBB [PART]\n");
    return 2;
} catch (const std::exception& error) {
    std::fprintf(stderr, "xpixels: %s\n", error.what());
    return 2;
}
