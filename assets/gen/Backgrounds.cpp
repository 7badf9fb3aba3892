#include "Backgrounds.h"

#include "Canvas.h"
#include "Palette.h"

#include <array>

namespace assetgen {
namespace {

// ---------------------------------------------------------------- checker room

// One-point perspective: the eye at the origin looking down +z into a box-shaped room.
struct Room {
    static constexpr double focal = 250;
    static constexpr double cx = 240, cy = 150;
    static constexpr double halfWidth = 3.2, floorY = -1.5, ceilingY = 1.7, backZ = 7.5;
    static constexpr double tile = 0.8;
};

enum class Surface { Floor, Ceiling, LeftWall, RightWall, BackWall };

struct Hit {
    Surface surface;
    double x, y, z;
};

Hit castRay(double sx, double sy) {
    const double dx = (sx - Room::cx) / Room::focal;
    const double dy = (Room::cy - sy) / Room::focal;
    double t = Room::backZ;
    Surface s = Surface::BackWall;
    auto consider = [&](double candidate, Surface which) {
        if (candidate > 0 && candidate < t) {
            t = candidate;
            s = which;
        }
    };
    if (dy < 0) consider(Room::floorY / dy, Surface::Floor);
    if (dy > 0) consider(Room::ceilingY / dy, Surface::Ceiling);
    if (dx < 0) consider(-Room::halfWidth / dx, Surface::LeftWall);
    if (dx > 0) consider(Room::halfWidth / dx, Surface::RightWall);
    return {s, t * dx, t * dy, t};
}

// Soft darkening where two surfaces meet.
double cornerShade(double distance) { return 1 - 0.32 * std::exp(-distance / 0.35); }

// The ceiling lamp's light falls off with distance.
double lampLight(double x, double y, double z) {
    const double dx = x, dy = y - Room::ceilingY, dz = z - 4.2;
    return 0.78 + 0.38 * std::exp(-(dx * dx + dy * dy * 0.6 + dz * dz) / 9.0);
}

Colour windowView(double x, double y) {
    // Sky through the back window, with two soft clouds.
    const double v = clamp01((y + 0.1) / 1.3);
    Colour sky = mix(Colour{206, 228, 246}, Colour{110, 170, 232}, v);
    auto cloud = [](double px, double py, double cx, double cy, double rx, double ry) {
        const double d = ((px - cx) / rx) * ((px - cx) / rx) + ((py - cy) / ry) * ((py - cy) / ry);
        return std::exp(-d * 2.2);
    };
    const double c = std::max({cloud(x, y, -0.55, 0.82, 0.55, 0.12), cloud(x, y, -0.2, 0.9, 0.35, 0.1),
                               cloud(x, y, 0.75, 0.45, 0.45, 0.1)});
    return mix(sky, Colour{255, 255, 255}, clamp01(c * 1.1));
}

Colour wallColour(double across, double y, Colour paper, bool backWall) {
    constexpr Colour panel{96, 132, 136}, rail{236, 234, 226}, skirting{240, 238, 232};
    if (y < Room::floorY + 0.14) return skirting * (y < Room::floorY + 0.03 ? 0.8 : 1.0);
    if (y < -0.52) {
        // Wainscot panels with a darker groove every 0.8.
        const double f = std::fmod(std::fabs(across) + 0.4, 0.8);
        return panel * ((f < 0.035) ? 0.78 : 1.0);
    }
    if (y < -0.42) return rail * (y < -0.5 ? 0.85 : 1.0);
    // Faint stripes on the paper.
    const double stripe = std::fmod(std::fabs(across) + 10, 0.4) < 0.2 ? 1.0 : 0.965;
    if (backWall && std::fabs(across) < 1.32 && y > -0.12 && y < 1.22) {
        const bool frame = std::fabs(across) > 1.22 || y < -0.02 || y > 1.12 || std::fabs(across) < 0.04 ||
                           std::fabs(y - 0.55) < 0.035;
        return frame ? Colour{244, 244, 240} : windowView(across, y);
    }
    return paper * stripe;
}

Colour shadeRoom(double sx, double sy) {
    const Hit h = castRay(sx, sy);
    constexpr Colour lightTile{238, 232, 216}, darkTile{46, 52, 74};
    constexpr Colour paper{176, 210, 198}, ceiling{236, 232, 224};
    switch (h.surface) {
    case Surface::Floor: {
        const long i = long(std::floor(h.x / Room::tile)), j = long(std::floor(h.z / Room::tile));
        Colour c = ((i + j) & 1) ? darkTile : lightTile;
        const double edge = std::min(Room::halfWidth - std::fabs(h.x), Room::backZ - h.z);
        c = c * (cornerShade(edge) * lampLight(h.x, h.y, h.z));
        // A soft sheen of the window on the polished floor.
        const double sheen = std::exp(-(h.x * h.x) / 1.2) * smoothstep(2.0, 6.8, h.z) * 0.22;
        return screen(c, Colour{220, 236, 250}, sheen);
    }
    case Surface::Ceiling: {
        const double dx = h.x, dz = h.z - 4.2;
        const double r = std::sqrt(dx * dx + dz * dz * 1.0);
        if (r < 0.42) return r < 0.36 ? Colour{255, 252, 236} : Colour{214, 206, 190};
        const double edge = std::min(Room::halfWidth - std::fabs(h.x), Room::backZ - h.z);
        return screen(ceiling * cornerShade(edge), Colour{255, 246, 214}, 0.5 * std::exp(-r * r / 0.9));
    }
    case Surface::LeftWall:
    case Surface::RightWall: {
        const double edge = std::min({Room::backZ - h.z, h.y - Room::floorY, Room::ceilingY - h.y});
        const double side = h.surface == Surface::LeftWall ? 0.97 : 0.86;
        return wallColour(h.z, h.y, paper, false) * (side * cornerShade(edge) * lampLight(h.x, h.y, h.z));
    }
    case Surface::BackWall: {
        const double edge = std::min({Room::halfWidth - std::fabs(h.x), h.y - Room::floorY, Room::ceilingY - h.y});
        return wallColour(h.x, h.y, paper * 1.04, true) * (cornerShade(edge) * lampLight(h.x, h.y, h.z));
    }
    }
    return {};
}

// Averages a 4x4 grid of rays per pixel, so far tiles blend instead of shimmering.
Canvas renderSupersampled(int w, int h, Colour (*shade)(double, double)) {
    Canvas canvas(w, h);
    constexpr int n = 4;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Colour sum;
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < n; ++i) sum = sum + shade(x + (i + 0.5) / n, y + (j + 0.5) / n);
            canvas.at(x, y) = sum * (1.0 / (n * n));
        }
    return canvas;
}

// ---------------------------------------------------------------- night sky

double hillHeight(double x, double base, double a, double phase) {
    return base + a * (0.55 * std::sin(x * 0.019 + phase) + 0.3 * std::sin(x * 0.043 + 2 * phase) +
                       0.15 * std::sin(x * 0.11 + 3 * phase));
}

Canvas renderNightSky() {
    constexpr int w = 320, h = 240;
    Canvas c(w, h);
    // Sky: deep blue at the top, a violet glow above the hills.
    for (int y = 0; y < h; ++y) {
        const double v = y / double(h - 1);
        Colour sky = mix(Colour{6, 10, 34}, Colour{22, 30, 82}, smoothstep(0.0, 0.55, v));
        sky = mix(sky, Colour{74, 58, 118}, smoothstep(0.45, 0.85, v));
        sky = mix(sky, Colour{140, 92, 128}, smoothstep(0.74, 0.95, v) * 0.8);
        for (int x = 0; x < w; ++x) c.at(x, y) = sky;
    }
    // A faint band of distant stars across the sky.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double d = (y - (150 - x * 0.45)) / 26.0;
            const double band = std::exp(-d * d) * (0.6 + 0.4 * std::sin(x * 0.08 + y * 0.05) * std::sin(x * 0.031));
            c.at(x, y) = screen(c.at(x, y), Colour{120, 120, 190}, band * 0.22);
        }
    // The moon, with a halo and a few soft craters.
    constexpr double mx = 248, my = 52, mr = 19;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double dx = x + 0.5 - mx, dy = y + 0.5 - my, d = std::sqrt(dx * dx + dy * dy);
            if (d > mr) {
                c.at(x, y) = screen(c.at(x, y), Colour{190, 196, 230}, 0.55 * std::exp(-(d - mr) / 14.0));
                continue;
            }
            Colour m = mix(Colour{255, 250, 222}, Colour{226, 218, 186}, clamp01((dx + dy) / (2 * mr) + 0.35));
            const std::array<std::array<double, 3>, 5> craters{
                {{-6, -5, 4.5}, {5, 4, 3.5}, {-2, 9, 3}, {9, -7, 2.5}, {-10, 5, 2}}};
            for (const auto& k : craters) {
                const double cd = std::hypot(dx - k[0], dy - k[1]);
                if (cd < k[2]) m = m * (0.90 + 0.06 * cd / k[2]);
            }
            const double rim = smoothstep(mr - 1.2, mr, d);  // soften the edge into the halo
            c.at(x, y) = mix(m, screen(c.at(x, y), Colour{190, 196, 230}, 0.55), rim);
        }
    // Stars: many faint, a few bright with a little cross of light.
    Sequence rnd(2);
    for (int i = 0; i < 330; ++i) {
        const int x = int(rnd.between(0, w)), y = int(rnd.between(0, h * 0.8));
        const double b = std::pow(rnd.next(), 2.4);
        const double tint = rnd.next();
        const Colour star = mix(Colour{190, 210, 255}, Colour{255, 236, 200}, tint);
        if (std::hypot(x - mx, y - my) < mr + 8) continue;
        c.at(x, y) = screen(c.at(x, y), star, 0.35 + 0.65 * b);
        if (b > 0.55) {
            for (auto [ox, oy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                if (x + ox >= 0 && x + ox < w && y + oy >= 0 && y + oy < h)
                    c.at(x + ox, y + oy) = screen(c.at(x + ox, y + oy), star, 0.45 * b);
        }
    }
    // Two rows of hills, a little town of lit windows on the nearer one.
    for (int x = 0; x < w; ++x) {
        const double far = hillHeight(x, 196, 16, 0.7), nearTop = hillHeight(x + 400, 214, 12, 2.1);
        for (int y = 0; y < h; ++y) {
            if (y >= nearTop) c.at(x, y) = mix(Colour{18, 20, 42}, Colour{8, 8, 20}, clamp01((y - nearTop) / 30));
            else if (y >= far) c.at(x, y) = mix(Colour{38, 36, 78}, Colour{28, 28, 62}, clamp01((y - far) / 20));
        }
    }
    Sequence town(9);
    constexpr Colour house{12, 12, 28};
    for (int k = 0; k < 9; ++k) {
        const int hx = int(town.between(20, 300));
        const int hw = 8 + int(town.between(0, 7)), hh = 5 + int(town.between(0, 5));
        // Stand on the highest point under the house; the walls reach down to the lowest.
        double highest = h, lowest = 0;
        for (int x = hx; x < hx + hw; ++x) {
            const double g = hillHeight(x + 400, 214, 12, 2.1);
            highest = std::min(highest, g);
            lowest = std::max(lowest, g);
        }
        const int ground = int(highest) + 1;
        const int top = ground - hh;
        for (int y = top; y <= int(lowest) + 1 && y < h; ++y)
            for (int x = hx; x < hx + hw && x < w; ++x) c.at(x, y) = house;
        const int roof = hw / 3;
        for (int r = 1; r <= roof; ++r)
            for (int x = hx - 1 + 2 * (r - 1); x <= hx + hw - 2 * (r - 1); ++x)
                if (x >= 0 && x < w) c.at(x, top - r) = house;
        for (int y = top + 1; y < ground; y += 3)
            for (int x = hx + 1; x < hx + hw - 1 && x < w; x += 3)
                if (town.next() < 0.6) c.at(x, y) = Colour{255, 214, 120};
    }
    return c;
}

// ---------------------------------------------------------------- wave tiles

// The swells of a 64x64 wave tile: the phase grows by `swells` down the tile, wavering across it.
// Whole cycles only, so the tile repeats without a seam.
double wavePhase(double x, double y, int swells, double waver) {
    const double u = x / 64.0, v = y / 64.0;
    return swells * v + waver * std::sin(kTau * u) + 0.3 * waver * std::sin(kTau * (2 * u + v));
}

// How far below the last crest a pixel lies: phase fraction and distance in pixels.
struct BelowCrest {
    double fraction;
    double pixels;
};

BelowCrest belowCrest(int x, int y, int swells, double waver) {
    const double p = wavePhase(x + 0.5, y + 0.5, swells, waver);
    const double gx = (wavePhase(x + 1.0, y + 0.5, swells, waver) - wavePhase(x, y + 0.5, swells, waver));
    const double gy = (wavePhase(x + 0.5, y + 1.0, swells, waver) - wavePhase(x + 0.5, y, swells, waver));
    const double f = p - std::floor(p);
    return {f, f / std::sqrt(gx * gx + gy * gy)};
}

// ---------------------------------------------------------------- wallpapers

struct FlowPalette {
    Colour deep, mid, light, glow;
};

FlowPalette flowPalette(double hueTurn) {
    FlowPalette p{{8, 28, 78}, {28, 92, 176}, {120, 186, 240}, {226, 240, 255}};
    if (hueTurn < 0) {
        const double t = -hueTurn;
        p.deep = mix(p.deep, Colour{4, 40, 70}, t);
        p.mid = mix(p.mid, Colour{16, 112, 160}, t);
        p.light = mix(p.light, Colour{110, 210, 230}, t);
    } else if (hueTurn > 0) {
        const double t = hueTurn;
        p.deep = mix(p.deep, Colour{18, 20, 84}, t);
        p.mid = mix(p.mid, Colour{58, 78, 190}, t);
        p.light = mix(p.light, Colour{156, 170, 250}, t);
    }
    return p;
}

// A flowing curve across the picture: v = offset - slope * u + two gentle waves, all in
// picture units (0..1). Whole-number slope and wave counts keep it periodic.
struct Strand {
    double offset;
    int slope;
    double amp1, phase1, amp2, phase2;
    double widthPx;   // soft half-width of the line
    double strength;  // how much it lightens
    bool wide;        // a broad band of light rather than a line
};

// Signed distance in pixels (vertically) from the strand, wrapped to the nearest copy.
double strandDistance(const Strand& s, double u, double v, int height) {
    const double centre = s.offset - s.slope * u + s.amp1 * std::sin(kTau * u + s.phase1) +
                          s.amp2 * std::sin(2 * kTau * u + s.phase2);
    double d = v - centre;
    d -= std::floor(d + 0.5);
    return d * height;
}

} // namespace

IndexedImage drawCheckerRoom() {
    const RgbImage full = toRgb(renderSupersampled(480, 360, shadeRoom), 0);
    return mapToPalette(full, medianCutPalette(full, 256), 3.0);
}

IndexedImage drawNightSky() {
    const RgbImage full = toRgb(renderNightSky(), 0);
    return mapToPalette(full, medianCutPalette(full, 256), 2.0);
}

IndexedImage drawWaveTile16() {
    IndexedImage tile(64, 64);
    // Deep blue to aqua, then two foam colours for the crests.
    for (int i = 0; i < 14; ++i) {
        const double t = i / 13.0;
        const Colour c = mix(mix(Colour{10, 34, 92}, Colour{26, 112, 186}, smoothstep(0, 0.6, t)),
                             Colour{112, 208, 236}, smoothstep(0.5, 1.0, t));
        tile.palette.push_back({std::uint8_t(std::lround(c.r)), std::uint8_t(std::lround(c.g)),
                                std::uint8_t(std::lround(c.b))});
    }
    tile.palette.push_back({196, 238, 250});
    tile.palette.push_back({250, 254, 255});
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            // Each swell: white foam along its crest, bright water below it, darkening towards the next.
            const BelowCrest b = belowCrest(x, y, 2, 0.16);
            if (b.pixels < 1.0) tile.at(x, y) = 15;
            else if (b.pixels < 2.0) tile.at(x, y) = 14;
            else {
                const double level = std::pow(1 - b.fraction, 1.4) + 0.09 * bayer8(x, y);
                tile.at(x, y) = std::uint8_t(std::clamp(std::lround(level * 13), 0l, 13l));
            }
        }
    return tile;
}

IndexedImage drawWaveTile2() {
    IndexedImage tile(64, 64);
    tile.palette = {{22, 42, 104}, {150, 204, 244}};
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            // Four wavy lines down the tile, two pixels thick, with a spray of dots below each.
            const BelowCrest b = belowCrest(x, y, 4, 0.2);
            const bool line = b.pixels < 2.0;
            // Every pattern period divides 64, so the tile still repeats cleanly.
            const bool spray = b.pixels > 4.0 && b.pixels < 7.0 && (x + 4 * (y / 2 % 2)) % 8 == 0 && y % 2 == 0;
            tile.at(x, y) = (line || spray) ? 1 : 0;
        }
    return tile;
}

RgbImage drawBrickTile() {
    constexpr int size = 32, course = 8, brick = 16;
    Canvas c(size, size);
    for (int y = 0; y < size; ++y) {
        const int row = y / course;
        const int offset = (row % 2) * (brick / 2);
        for (int x = 0; x < size; ++x) {
            const int bx = ((x + offset) % size) / brick;
            const int lx = (x + offset) % brick, ly = y % course;
            const std::uint32_t id = std::uint32_t(row * 7 + bx * 3 + 1);
            const double grain = hashUnit(std::uint32_t(y * size + x) + 1000u) - 0.5;
            if (ly == 0 || lx == 0) {
                c.at(x, y) = Colour{196, 188, 174} * (1 + 0.08 * grain);
                continue;
            }
            Colour base = mix(Colour{170, 70, 48}, Colour{148, 58, 44}, hashUnit(id));
            base = mix(base, Colour{184, 96, 64}, 0.35 * hashUnit(id + 77));
            double shade = 1 + 0.10 * grain;
            if (ly == 1 || lx == 1) shade *= 1.14;                   // lit upper-left edge
            if (ly == course - 1 || lx == brick - 1) shade *= 0.80;  // shadowed lower-right edge
            c.at(x, y) = base * shade;
        }
    }
    return toRgb(c, 0);
}

RgbImage drawFlowWallpaper(const FlowStyle& style) {
    const FlowPalette pal = flowPalette(style.hueTurn);
    Sequence rnd(style.seed);
    const int slope = style.slope;

    // Two bundles of nearly parallel strands, each with a broad soft band along it.
    std::vector<Strand> strands;
    for (int bundle = 0; bundle < 2; ++bundle) {
        const double offset = bundle == 0 ? rnd.between(0.22, 0.32) : rnd.between(0.66, 0.78);
        const double amp1 = rnd.between(0.07, 0.11), amp2 = rnd.between(0.015, 0.03);
        const double phase1 = rnd.between(0, kTau), phase2 = rnd.between(0, kTau);
        strands.push_back({offset + 0.03, slope, amp1 * 1.1, phase1, amp2, phase2,
                           style.height * rnd.between(0.07, 0.10), rnd.between(0.26, 0.36), true});
        const int lines = 3 + bundle;
        for (int k = 0; k < lines; ++k)
            strands.push_back({offset + k * rnd.between(0.012, 0.022), slope, amp1 * (1 + 0.12 * k),
                               phase1 + 0.09 * k, amp2 * (1 - 0.1 * k), phase2 - 0.05 * k,
                               rnd.between(1.2, 2.6) * style.height / 1080.0 + 0.8, rnd.between(0.35, 0.7), false});
    }
    const double glowU = rnd.next(), glowV = rnd.next();

    Canvas c(style.width, style.height);
    for (int y = 0; y < style.height; ++y) {
        const double v = (y + 0.5) / style.height;
        for (int x = 0; x < style.width; ++x) {
            const double u = (x + 0.5) / style.width;
            // Ground: a periodic diagonal gradient, deep towards one corner, lighter towards the other.
            const double g = 0.5 + 0.42 * std::cos(kTau * (u - v) + 0.6) + 0.08 * std::sin(kTau * (u + 2 * v));
            Colour col = mix(pal.deep, pal.mid, clamp01(g));
            // A soft light, also periodic.
            const double glow = std::pow((0.5 + 0.5 * std::cos(kTau * (u - glowU))) *
                                             (0.5 + 0.5 * std::cos(kTau * (v - glowV))), 2.0);
            col = screen(col, pal.light, 0.45 * glow);
            for (const Strand& s : strands) {
                const double d = strandDistance(s, u, v, style.height);
                const double t = d / s.widthPx;
                if (s.wide) {
                    // Brighter along its upper edge, fading below: a fold of silk.
                    const double k = std::exp(-t * t) * (t < 0 ? 1.0 : 0.55 + 0.45 * std::exp(-t * t * 2));
                    col = screen(col, pal.light, s.strength * k);
                } else {
                    col = screen(col, pal.glow, s.strength * std::exp(-t * t));
                    col = screen(col, pal.light, 0.18 * s.strength * std::exp(-t * t / 36));  // halo
                }
            }
            c.at(x, y) = col;
        }
    }
    return toRgb(c, 1.0);
}

} // namespace assetgen
