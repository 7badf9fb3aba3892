// Reads back the pictures the asset generator wrote and checks every format fact the program
// relies on: headers, depths, colour tables, row order, sizes, the sheet layout and mask rules,
// the grey outline pixels of sheets 5-8, the odd header of sheet 12, the icons, and the
// resource script that names them. The reader below is written from the file formats alone;
// it shares no code with the generator.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kArtDir = FLUTT_ART_DIR;
const fs::path kResourceScript = FLUTT_ASSETS_RC;

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
    friend std::ostream& operator<<(std::ostream& o, const Rgb& c) {
        return o << '(' << int(c.r) << ',' << int(c.g) << ',' << int(c.b) << ')';
    }
};

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

std::vector<std::uint8_t> readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint16_t le16(const std::vector<std::uint8_t>& b, std::size_t at) {
    if (at + 2 > b.size()) throw std::runtime_error("read past the end");
    return std::uint16_t(b[at] | (b[at + 1] << 8));
}

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    if (at + 4 > b.size()) throw std::runtime_error("read past the end");
    return std::uint32_t(b[at]) | (std::uint32_t(b[at + 1]) << 8) | (std::uint32_t(b[at + 2]) << 16) |
           (std::uint32_t(b[at + 3]) << 24);
}

// A device-independent bitmap: info header, optional masks and colour table, and the pixels
// decoded top-down (y = 0 is the top row) whatever the stored order.
struct Dib {
    std::uint32_t headerSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;  // as stored: positive means bottom-up
    std::uint16_t planes = 0;
    std::uint16_t bitsPerPixel = 0;
    std::uint32_t compression = 0;
    std::uint32_t imageSize = 0;
    std::uint32_t coloursUsed = 0;
    std::vector<std::uint32_t> masks;
    std::vector<Rgb> colourTable;
    std::size_t pixelsAt = 0;  // offset of the pixel rows in the file
    std::size_t stride = 0;
    int rows = 0;              // decoded rows
    std::vector<Rgb> pixels;   // top-down
    std::vector<std::uint8_t> indices;  // top-down, for palette pictures

    Rgb at(int x, int y) const { return pixels.at(std::size_t(y) * width + x); }
};

// The expansion of a 5-bit channel to 8 bits that the display performs.
std::uint8_t expand5(std::uint32_t v) { return std::uint8_t((v << 3) | (v >> 2)); }

// Reads the info header at `at`; the colour table follows it (after the masks for BI_BITFIELDS).
// `rows` is how many rows to decode from `pixelsAt` (an icon's XOR image is half its stated height).
Dib readDib(const std::vector<std::uint8_t>& b, std::size_t at, std::size_t pixelsAt, int rows) {
    Dib d;
    d.headerSize = le32(b, at);
    d.width = std::int32_t(le32(b, at + 4));
    d.height = std::int32_t(le32(b, at + 8));
    d.planes = le16(b, at + 12);
    d.bitsPerPixel = le16(b, at + 14);
    d.compression = le32(b, at + 16);
    d.imageSize = le32(b, at + 20);
    d.coloursUsed = le32(b, at + 32);
    std::size_t p = at + d.headerSize;
    if (d.compression == kBiBitfields) {
        for (int i = 0; i < 3; ++i) d.masks.push_back(le32(b, p + 4 * i));
        p += 12;
    }
    std::size_t entries = d.coloursUsed;
    if (entries == 0 && d.bitsPerPixel <= 8) entries = std::size_t(1) << d.bitsPerPixel;
    for (std::size_t i = 0; i < entries; ++i)
        d.colourTable.push_back({b.at(p + 4 * i + 2), b.at(p + 4 * i + 1), b.at(p + 4 * i)});
    d.pixelsAt = pixelsAt ? pixelsAt : p + 4 * entries;
    d.stride = ((std::size_t(d.width) * d.bitsPerPixel + 31) / 32) * 4;
    d.rows = rows;
    const bool bottomUp = d.height > 0;
    for (int y = 0; y < rows; ++y) {
        const std::size_t stored = bottomUp ? std::size_t(rows - 1 - y) : std::size_t(y);
        const std::size_t row = d.pixelsAt + stored * d.stride;
        if (row + d.stride > b.size()) throw std::runtime_error("pixel rows run past the end of the file");
        for (int x = 0; x < d.width; ++x) {
            switch (d.bitsPerPixel) {
            case 1:
            case 4:
            case 8: {
                const int per = 8 / d.bitsPerPixel;
                const int shift = 8 - d.bitsPerPixel * (x % per + 1);
                const std::uint8_t index = (b[row + x / per] >> shift) & ((1 << d.bitsPerPixel) - 1);
                d.indices.push_back(index);
                d.pixels.push_back(d.colourTable.at(index));
                break;
            }
            case 16: {
                const std::uint32_t v = le16(b, row + 2 * x);
                if (d.compression != kBiBitfields || d.masks != std::vector<std::uint32_t>{0x7C00, 0x03E0, 0x001F})
                    throw std::runtime_error("only 5-5-5 bitfields are decoded");
                d.pixels.push_back({expand5((v >> 10) & 31), expand5((v >> 5) & 31), expand5(v & 31)});
                break;
            }
            case 24:
                d.pixels.push_back({b[row + 3 * x + 2], b[row + 3 * x + 1], b[row + 3 * x]});
                break;
            default:
                throw std::runtime_error("unexpected depth " + std::to_string(d.bitsPerPixel));
            }
        }
    }
    return d;
}

struct BmpFile {
    std::vector<std::uint8_t> bytes;
    std::uint32_t statedSize = 0;
    std::uint32_t pixelOffset = 0;
    Dib dib;
};

BmpFile readBmp(const std::string& name) {
    BmpFile f;
    f.bytes = readAll(kArtDir / name);
    if (f.bytes.size() < 54 || f.bytes[0] != 'B' || f.bytes[1] != 'M') throw std::runtime_error(name + " is not a BMP");
    f.statedSize = le32(f.bytes, 2);
    f.pixelOffset = le32(f.bytes, 10);
    const auto height = std::int32_t(le32(f.bytes, 22));
    f.dib = readDib(f.bytes, 14, f.pixelOffset, std::abs(height));
    return f;
}

// The facts every BMP of the program shares: a 40-byte info header, one plane, stored
// bottom-up, the pixel rows right after the colour table.
void expectPlainBmpHeader(const BmpFile& f, int width, int height, int bits, const std::string& name) {
    SCOPED_TRACE(name);
    EXPECT_EQ(le32(f.bytes, 6), 0u) << "reserved words";
    EXPECT_EQ(f.dib.headerSize, 40u);
    EXPECT_EQ(f.dib.width, width);
    EXPECT_EQ(f.dib.height, height) << "a positive height: stored bottom-up";
    EXPECT_EQ(f.dib.planes, 1);
    EXPECT_EQ(f.dib.bitsPerPixel, bits);
    const std::size_t masks = f.dib.compression == kBiBitfields ? 12 : 0;
    EXPECT_EQ(f.pixelOffset, 14 + 40 + masks + 4 * f.dib.colourTable.size()) << "pixels follow the colour table";
    const std::size_t pixelBytes = f.dib.stride * std::size_t(height);
    EXPECT_TRUE(f.dib.imageSize == 0 || f.dib.imageSize == pixelBytes) << f.dib.imageSize;
    EXPECT_EQ(f.bytes.size(), f.pixelOffset + pixelBytes) << "nothing after the pixel rows";
}

void expectRgbPalette(const BmpFile& f, std::size_t entries, const std::string& name) {
    SCOPED_TRACE(name);
    EXPECT_EQ(f.dib.compression, kBiRgb);
    EXPECT_EQ(f.dib.colourTable.size(), entries);
    EXPECT_TRUE(f.dib.coloursUsed == 0 || f.dib.coloursUsed == entries) << f.dib.coloursUsed;
    EXPECT_EQ(f.statedSize, f.bytes.size());
}

std::size_t distinctColours(const Dib& d) {
    std::set<std::uint32_t> seen;
    for (const Rgb& c : d.pixels) seen.insert((std::uint32_t(c.r) << 16) | (std::uint32_t(c.g) << 8) | c.b);
    return seen.size();
}

// ------------------------------------------------------------------------- character sheets

enum class Depth { Palette8, True24, Bitfields16 };

struct SheetFacts {
    int index;
    Depth depth;
    int litOutlinePixels;
};

constexpr std::array<SheetFacts, 15> kSheets{{
    {0, Depth::Palette8, 0},   {1, Depth::Palette8, 0},     {2, Depth::Palette8, 0},  {3, Depth::Palette8, 0},
    {4, Depth::Palette8, 0},   {5, Depth::True24, 0},       {6, Depth::True24, 1},    {7, Depth::True24, 0},
    {8, Depth::True24, 0},     {9, Depth::Palette8, 0},     {10, Depth::Palette8, 0}, {11, Depth::Palette8, 0},
    {12, Depth::Bitfields16, 0}, {13, Depth::Palette8, 0}, {14, Depth::Palette8, 0},
}};

std::string sheetName(int i) { return "imgChar" + std::to_string(i) + ".bmp"; }

bool isOutlineGrey(Rgb c) { return !(c == kBlack) && c.r <= 53 && c.g <= 53 && c.b <= 53; }

class SheetTest : public ::testing::TestWithParam<SheetFacts> {
protected:
    void SetUp() override { sheet = readBmp(sheetName(GetParam().index)); }
    Rgb colour(int x, int y) const { return sheet.dib.at(x, y); }
    Rgb mask(int x, int y) const { return sheet.dib.at(x, y + 32); }
    BmpFile sheet;
};

TEST_P(SheetTest, IsOneCellOf32By32WithTheMaskBelow) {
    expectPlainBmpHeader(sheet, 32, 64, sheet.dib.bitsPerPixel, sheetName(GetParam().index));
}

TEST_P(SheetTest, HasTheDepthOfItsIndex) {
    const SheetFacts& facts = GetParam();
    switch (facts.depth) {
    case Depth::Palette8:
        EXPECT_EQ(sheet.dib.bitsPerPixel, 8);
        expectRgbPalette(sheet, 256, sheetName(facts.index));
        break;
    case Depth::True24:
        EXPECT_EQ(sheet.dib.bitsPerPixel, 24);
        expectRgbPalette(sheet, 0, sheetName(facts.index));
        break;
    case Depth::Bitfields16:
        EXPECT_EQ(sheet.dib.bitsPerPixel, 16);
        EXPECT_EQ(sheet.dib.compression, kBiBitfields);
        EXPECT_EQ(sheet.dib.masks, (std::vector<std::uint32_t>{0x7C00, 0x03E0, 0x001F}));
        EXPECT_EQ(sheet.dib.colourTable.size(), 256u) << "a 256-entry colour table after the masks";
        break;
    }
}

TEST_P(SheetTest, MaskIsBlackOnTheCharacterAndWhiteAroundIt) {
    const bool greysAllowed = GetParam().depth == Depth::True24;
    int black = 0, white = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const Rgb m = mask(x, y);
            if (m == kBlack) {
                ++black;
            } else if (m == kWhite) {
                ++white;
            } else if (greysAllowed) {
                EXPECT_TRUE(isOutlineGrey(m)) << "mask " << m << " at " << x << "," << y;
            } else {
                ADD_FAILURE() << "mask pixel " << m << " at " << x << "," << y << " is neither black nor white";
            }
        }
    EXPECT_GT(black, 100) << "the character covers a good part of the cell";
    EXPECT_GT(white, 32) << "the character has a surround";
}

TEST_P(SheetTest, AllFourCornersAreWhiteInBothHalves) {
    for (int y : {0, 31, 32, 63})
        for (int x : {0, 31}) EXPECT_EQ(sheet.dib.at(x, y), kWhite) << x << "," << y;
}

TEST_P(SheetTest, ColourHalfIsWhiteWhereverTheMaskIsWhite) {
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (mask(x, y) == kWhite) {
                EXPECT_EQ(colour(x, y), kWhite) << x << "," << y;
            }
}

TEST_P(SheetTest, CharacterHasMoreThanOneColour) {
    std::set<std::uint32_t> colours;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (mask(x, y) == kBlack) {
                const Rgb c = colour(x, y);
                colours.insert((std::uint32_t(c.r) << 16) | (std::uint32_t(c.g) << 8) | c.b);
            }
    EXPECT_GE(colours.size(), 2u);
}

TEST_P(SheetTest, GreyOutlinePixelsFollowTheirRules) {
    const SheetFacts& facts = GetParam();
    int greys = 0, lit = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const Rgb m = mask(x, y);
            if (!isOutlineGrey(m)) continue;
            ++greys;
            if (colour(x, y) == kWhite) ++lit;
            else EXPECT_EQ(colour(x, y), m) << "the colour half holds the mask's grey at " << x << "," << y;
        }
    if (facts.depth == Depth::True24) {
        EXPECT_GE(greys, 9);
        EXPECT_LE(greys, 59);
    } else {
        EXPECT_EQ(greys, 0);
    }
    EXPECT_EQ(lit, facts.litOutlinePixels);
}

INSTANTIATE_TEST_SUITE_P(AllSheets, SheetTest, ::testing::ValuesIn(kSheets),
                         [](const auto& info) { return "Sheet" + std::to_string(info.param.index); });

TEST(Sheet12, StatesASizeOf6210WhileTheFileHas5186Bytes) {
    const BmpFile f = readBmp("imgChar12.bmp");
    EXPECT_EQ(f.statedSize, 6210u);
    EXPECT_EQ(f.bytes.size(), 5186u);
    EXPECT_EQ(f.dib.imageSize, 4096u) << "the info header sizes the pixels";
    EXPECT_EQ(f.pixelOffset, 14u + 40u + 12u + 1024u);
    EXPECT_EQ(f.dib.coloursUsed, 256u);
}

TEST(Sheet12, WhiteAndBlackAreTheExtremesOf555) {
    const BmpFile f = readBmp("imgChar12.bmp");
    const auto& b = f.bytes;
    // Stored bottom-up: the first stored row is the mask's bottom row, whose corner is white.
    EXPECT_EQ(le16(b, f.pixelOffset), 0x7FFF);
    bool sawBlack = false;
    for (std::size_t i = f.pixelOffset; i < f.pixelOffset + 2048; i += 2) sawBlack = sawBlack || le16(b, i) == 0;
    EXPECT_TRUE(sawBlack) << "the mask's black is exactly zero";
}

TEST(SheetPairs, ShareOneMask) {
    for (auto [a, b] : {std::pair{5, 6}, {7, 8}}) {
        const BmpFile fa = readBmp(sheetName(a)), fb = readBmp(sheetName(b));
        for (int y = 32; y < 64; ++y)
            for (int x = 0; x < 32; ++x)
                EXPECT_EQ(fa.dib.at(x, y), fb.dib.at(x, y)) << "sheets " << a << " and " << b << " at " << x << "," << y - 32;
    }
}

TEST(SheetPairs, DifferInTheColourHalf) {
    // The two smileys and the two crescents are each one drawing in two colourings.
    for (auto [a, b] : {std::pair{5, 6}, {7, 8}}) {
        const BmpFile fa = readBmp(sheetName(a)), fb = readBmp(sheetName(b));
        int differing = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) differing += !(fa.dib.at(x, y) == fb.dib.at(x, y));
        EXPECT_GT(differing, 50) << a << " and " << b << " differ in colour";
    }
}

TEST(SheetStorage, RowsAreStoredBottomUpWithTheMaskFirst) {
    // Independent of the decoder: the first stored row is the mask's bottom row, the last
    // stored row the colour half's top row; both are all white at their ends.
    for (const SheetFacts& s : kSheets) {
        if (s.depth != Depth::True24) continue;
        const BmpFile f = readBmp(sheetName(s.index));
        const std::size_t stride = 96;
        const auto& b = f.bytes;
        const std::size_t firstRow = f.pixelOffset, maskTopRow = f.pixelOffset + 31 * stride;
        EXPECT_EQ(b[firstRow], 255);
        // Somewhere in the first 32 stored rows there is black (mask), and no colour but black,
        // white and outline greys.
        bool black = false;
        for (std::size_t i = firstRow; i < maskTopRow + stride; i += 3) {
            const Rgb c{b[i + 2], b[i + 1], b[i]};
            black = black || c == kBlack;
            EXPECT_TRUE(c == kBlack || c == kWhite || isOutlineGrey(c)) << "sheet " << s.index << ": " << c;
        }
        EXPECT_TRUE(black) << "sheet " << s.index;
    }
}

// ------------------------------------------------------------------------- backgrounds

struct BackgroundFacts {
    int index;
    int width, height, bits;
    std::size_t minColours;  // a picture, not a flat fill
};

constexpr std::array<BackgroundFacts, 8> kBackgrounds{{
    {1, 480, 360, 8, 64},
    {2, 320, 240, 8, 64},
    {3, 64, 64, 4, 8},
    {4, 64, 64, 1, 2},
    {5, 32, 32, 24, 16},
    {6, 1920, 1080, 24, 1000},
    {7, 1024, 1536, 24, 1000},
    {8, 1024, 1024, 24, 1000},
}};

class BackgroundTest : public ::testing::TestWithParam<BackgroundFacts> {
protected:
    void SetUp() override { picture = readBmp("imgBack" + std::to_string(GetParam().index) + ".bmp"); }
    BmpFile picture;
};

TEST_P(BackgroundTest, HasItsSizeAndDepth) {
    const BackgroundFacts& b = GetParam();
    const std::string name = "imgBack" + std::to_string(b.index) + ".bmp";
    expectPlainBmpHeader(picture, b.width, b.height, b.bits, name);
    expectRgbPalette(picture, b.bits <= 8 ? std::size_t(1) << b.bits : 0, name);
}

TEST_P(BackgroundTest, IsAPictureNotAFill) {
    EXPECT_GE(distinctColours(picture.dib), GetParam().minColours);
}

double meanColumnStep(const Dib& d, int x0, int x1) {
    double sum = 0;
    for (int y = 0; y < d.rows; ++y) {
        const Rgb a = d.at(x0, y), b = d.at(x1, y);
        sum += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
    }
    return sum / d.rows;
}

double meanRowStep(const Dib& d, int y0, int y1) {
    double sum = 0;
    for (int x = 0; x < d.width; ++x) {
        const Rgb a = d.at(x, y0), b = d.at(x, y1);
        sum += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
    }
    return sum / d.width;
}

INSTANTIATE_TEST_SUITE_P(AllBackgrounds, BackgroundTest, ::testing::ValuesIn(kBackgrounds),
                         [](const auto& info) { return "Back" + std::to_string(info.param.index); });

// The tiled pictures: neighbouring columns (rows) across the wrap differ no more than the most
// different neighbours inside the picture do. The steps into the first and last column (row)
// are left out of that maximum, so an edge that is off by itself cannot excuse its own seam.
double largestInnerColumnStep(const Dib& d) {
    double largest = 0;
    for (int x = 1; x + 2 < d.width; ++x) largest = std::max(largest, meanColumnStep(d, x, x + 1));
    return largest;
}

double largestInnerRowStep(const Dib& d) {
    double largest = 0;
    for (int y = 1; y + 2 < d.rows; ++y) largest = std::max(largest, meanRowStep(d, y, y + 1));
    return largest;
}

class TiledBackgroundTest : public ::testing::TestWithParam<int> {};

TEST_P(TiledBackgroundTest, MeetsItselfWithoutASeam) {
    const Dib d = readBmp("imgBack" + std::to_string(GetParam()) + ".bmp").dib;
    EXPECT_LE(meanColumnStep(d, d.width - 1, 0), largestInnerColumnStep(d) + 1e-9);
    EXPECT_LE(meanRowStep(d, d.rows - 1, 0), largestInnerRowStep(d) + 1e-9);
}

INSTANTIATE_TEST_SUITE_P(TiledBackgrounds, TiledBackgroundTest, ::testing::Values(3, 4, 5, 7, 8),
                         [](const auto& info) { return "Back" + std::to_string(info.param); });

TEST(SeamCheck, WouldNoticeAPictureThatDoesNotRepeat) {
    // A plain left-to-right ramp (the right edge far from the left) must fail the seam check,
    // and so must a repeating pattern whose last column alone is off.
    Dib ramp;
    ramp.width = 64;
    ramp.rows = 4;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 64; ++x) ramp.pixels.push_back({std::uint8_t(x * 4), 0, 0});
    EXPECT_GT(meanColumnStep(ramp, ramp.width - 1, 0), largestInnerColumnStep(ramp));

    Dib stripes = ramp;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 64; ++x)
            stripes.pixels[std::size_t(y) * 64 + x] = x == 63 ? kWhite : Rgb{std::uint8_t(x % 8 * 10), 0, 0};
    EXPECT_GT(meanColumnStep(stripes, stripes.width - 1, 0), largestInnerColumnStep(stripes));
}

// ------------------------------------------------------------------------- small pictures

TEST(Banner, Is500By50In16Colours) {
    const BmpFile f = readBmp("imgBanner.bmp");
    expectPlainBmpHeader(f, 500, 50, 4, "imgBanner.bmp");
    expectRgbPalette(f, 16, "imgBanner.bmp");
    EXPECT_GE(distinctColours(f.dib), 8u);
}

TEST(ButtonGlyph, Is32By32In16Colours) {
    const BmpFile f = readBmp("BitBtn1Glyph.bmp");
    expectPlainBmpHeader(f, 32, 32, 4, "BitBtn1Glyph.bmp");
    expectRgbPalette(f, 16, "BitBtn1Glyph.bmp");
    EXPECT_GE(distinctColours(f.dib), 3u);
}

TEST(TabImages, AreFive16By16ImagesWithAMaskColour) {
    const BmpFile f = readBmp("TabImages.bmp");
    expectPlainBmpHeader(f, 80, 16, 24, "TabImages.bmp");
    expectRgbPalette(f, 0, "TabImages.bmp");
    constexpr Rgb key{255, 0, 255};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE("tab image " + std::to_string(i));
        int opaque = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) opaque += !(f.dib.at(16 * i + x, y) == key);
        EXPECT_GT(opaque, 40);
        EXPECT_LT(opaque, 256) << "some of the tab shows through";
        for (int y : {0, 15})
            for (int x : {0, 15}) EXPECT_EQ(f.dib.at(16 * i + x, y), key) << "corner " << x << "," << y;
    }
    // No two images alike.
    for (int i = 0; i < 5; ++i)
        for (int j = i + 1; j < 5; ++j) {
            int same = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) same += f.dib.at(16 * i + x, y) == f.dib.at(16 * j + x, y);
            EXPECT_LT(same, 256) << i << " and " << j;
        }
}

struct IconFile {
    std::vector<std::uint8_t> bytes;
    Dib image;              // the XOR image, top-down
    std::vector<bool> clear;  // the AND mask, top-down: true where the screen shows through
};

IconFile readIcon(const std::string& name, int expectedBits, int expectedColourCount) {
    SCOPED_TRACE(name);
    IconFile f;
    f.bytes = readAll(kArtDir / name);
    const auto& b = f.bytes;
    EXPECT_EQ(le16(b, 0), 0) << "reserved";
    EXPECT_EQ(le16(b, 2), 1) << "type icon";
    EXPECT_EQ(le16(b, 4), 1) << "one image";
    EXPECT_EQ(b.at(6), 32) << "width";
    EXPECT_EQ(b.at(7), 32) << "height";
    EXPECT_EQ(b.at(8), expectedColourCount);
    EXPECT_EQ(b.at(9), 0) << "reserved";
    EXPECT_EQ(le16(b, 10), 1) << "planes";
    EXPECT_EQ(le16(b, 12), expectedBits);
    const std::uint32_t bytesInRes = le32(b, 14), offset = le32(b, 18);
    EXPECT_EQ(offset, 22u);
    EXPECT_EQ(offset + bytesInRes, b.size());
    f.image = readDib(b, offset, 0, 32);
    EXPECT_EQ(f.image.headerSize, 40u);
    EXPECT_EQ(f.image.width, 32);
    EXPECT_EQ(f.image.height, 64) << "XOR image and AND mask together";
    EXPECT_EQ(f.image.planes, 1);
    EXPECT_EQ(f.image.bitsPerPixel, expectedBits);
    EXPECT_EQ(f.image.compression, kBiRgb);
    const std::size_t andAt = f.image.pixelsAt + f.image.stride * 32;
    EXPECT_EQ(andAt + 4 * 32, b.size()) << "the AND mask ends the file";
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) f.clear.push_back((b.at(andAt + std::size_t(31 - y) * 4 + x / 8) >> (7 - x % 8)) & 1);
    return f;
}

void expectCutOut(const IconFile& f) {
    int clear = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (f.clear[std::size_t(y) * 32 + x]) {
                ++clear;
                EXPECT_EQ(f.image.at(x, y), kBlack) << "see-through pixels are black in the XOR image at " << x << "," << y;
            }
    EXPECT_GT(clear, 32) << "the icon has a see-through surround";
    EXPECT_LT(clear, 32 * 32 - 300) << "and a picture";
    for (int y : {0, 31})
        for (int x : {0, 31}) EXPECT_TRUE(f.clear[std::size_t(y) * 32 + x]) << "corner " << x << "," << y;
}

TEST(WindowIcon, IsOne32By32ImageIn16ColoursWithItsMask) {
    const IconFile f = readIcon("MainIcon.ico", 4, 16);
    EXPECT_EQ(f.bytes.size(), 22u + 40 + 64 + 512 + 128);
    EXPECT_EQ(f.image.colourTable.size(), 16u);
    expectCutOut(f);
}

TEST(AboutIcon, IsOne32By32TrueColourImageWithItsMask) {
    const IconFile f = readIcon("AboutIcon.ico", 24, 0);
    EXPECT_EQ(f.bytes.size(), 22u + 40 + 3072 + 128);
    EXPECT_TRUE(f.image.colourTable.empty());
    expectCutOut(f);
    EXPECT_GT(distinctColours(f.image), 16u) << "uses more than a 16-colour palette could";
}

// ------------------------------------------------------------------------- resource script

struct ScriptEntry {
    std::string type;
    fs::path file;
    bool onlyInFullBuild;
};

bool isWord(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isalnum(c) || c == '_'; });
}

// A line that names a resource: NAME TYPE "file", with nothing after the file name.
std::optional<std::array<std::string, 3>> entryLine(const std::string& text) {
    std::istringstream words(text);
    std::string name, type, rest;
    if (!(words >> name >> type) || !isWord(name) || !isWord(type)) return std::nullopt;
    std::getline(words, rest);
    const auto first = rest.find_first_not_of(" \t\r");
    const auto last = rest.find_last_not_of(" \t\r");
    if (first == std::string::npos || last <= first + 1 || rest[first] != '"' || rest[last] != '"') return std::nullopt;
    std::string file = rest.substr(first + 1, last - first - 1);
    if (file.find('"') != std::string::npos) return std::nullopt;
    return std::array{name, type, file};
}

std::map<std::string, ScriptEntry> readResourceScript() {
    std::ifstream in(kResourceScript);
    if (!in) throw std::runtime_error("cannot open " + kResourceScript.string());
    std::map<std::string, ScriptEntry> entries;
    std::string text;
    int depth = 0;
    bool reducedOut = false;
    while (std::getline(in, text)) {
        if (text.rfind("#ifndef FLUTT_REDUCED", 0) == 0) {
            reducedOut = true;
            ++depth;
        } else if (text.rfind("#if", 0) == 0) {
            ++depth;
        } else if (text.rfind("#endif", 0) == 0) {
            --depth;
            reducedOut = false;
        } else if (const auto entry = entryLine(text)) {
            const auto& [name, type, file] = *entry;
            entries[name] = {type, fs::path(file), reducedOut};
        }
    }
    EXPECT_EQ(depth, 0) << "balanced conditionals";
    return entries;
}

TEST(ResourceScript, NamesEveryPictureWithItsType) {
    const auto entries = readResourceScript();
    std::map<std::string, std::string> expected{
        {"MAINICON", "ICON"}, {"AboutIcon", "RCDATA"}, {"imgBanner", "RCDATA"},
        {"BitBtn1Glyph", "RCDATA"}, {"TabImages", "RCDATA"}};
    for (int i = 0; i <= 14; ++i) expected["imgChar" + std::to_string(i)] = "RCDATA";
    for (int i = 1; i <= 8; ++i) expected["imgBack" + std::to_string(i)] = "RCDATA";
    EXPECT_EQ(entries.size(), expected.size());
    for (const auto& [name, type] : expected) {
        const auto it = entries.find(name);
        ASSERT_NE(it, entries.end()) << name;
        EXPECT_EQ(it->second.type, type) << name;
        EXPECT_TRUE(fs::is_regular_file(it->second.file)) << name << ": " << it->second.file;
        EXPECT_TRUE(fs::equivalent(it->second.file.parent_path(), kArtDir)) << name;
    }
}

TEST(ResourceScript, LeavesOutOnlyTheThreeLargestBackgroundsInTheReducedBuild) {
    const auto entries = readResourceScript();
    for (const auto& [name, entry] : entries) {
        const bool large = name == "imgBack6" || name == "imgBack7" || name == "imgBack8";
        EXPECT_EQ(entry.onlyInFullBuild, large) << name;
    }
}

TEST(ResourceScript, OnlyTheWindowIconIsAnIconGroup) {
    // The shell shows a program's first icon group, and named groups sort alphabetically.
    const auto entries = readResourceScript();
    int groups = 0;
    for (const auto& [name, entry] : entries) groups += entry.type == "ICON";
    EXPECT_EQ(groups, 1);
}

} // namespace
