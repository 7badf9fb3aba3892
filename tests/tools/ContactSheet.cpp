// Writes a contact sheet of the program's artwork: every character pasted
// through its mask, at three times its size, on a light checker and on a dark
// ground, and every background as a thumbnail (tiles repeated). Used by the
// "contact_sheet" test, which turns the result into a PNG in the build folder.
//   contact_sheet <art folder> <output.bmp>
#include <cstdio>
#include <fstream>
#include <optional>
#include <iterator>
#include <string>
#include <vector>

#include "platform/BmpImage.h"
#include "tests/common/TestBitmaps.h"

namespace {

using flutt::Image32;

constexpr int kScale = 3, kCell = 32 * kScale + 8, kThumbW = 384, kThumbH = 216, kGap = 8;

std::optional<Image32> Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return flutt::DecodeBmp(bytes);
}

void Put(Image32& sheet, int x, int y, std::uint32_t c) {
    if (x >= 0 && y >= 0 && x < sheet.width && y < sheet.height) sheet.pixels[std::size_t(y) * sheet.width + x] = c;
}

// The character of `art` drawn at (left, top) the way the saver draws it:
// (mask AND NOT ground) XOR colour.
void PasteCharacter(Image32& sheet, const Image32& art, int left, int top, bool dark) {
    const int h = art.height / 2;
    for (int y = 0; y < h * kScale; ++y) {
        for (int x = 0; x < art.width * kScale; ++x) {
            const bool checker = ((x / 12) + (y / 12)) % 2;
            const std::uint32_t ground = dark ? 0x202838 : checker ? 0xE8E8E8 : 0xC8C8C8;
            const std::uint32_t colour = art.Pixel(x / kScale, y / kScale), mask = art.Pixel(x / kScale, h + y / kScale);
            Put(sheet, left + x, top + y, ((mask & ~ground) ^ colour) & 0xFFFFFF);
        }
    }
}

// A background as the saver fills a 1920 x 1080 screen with it, shrunk to a thumbnail.
void PasteBackground(Image32& sheet, const Image32& art, bool tiled, int left, int top) {
    for (int y = 0; y < kThumbH; ++y) {
        for (int x = 0; x < kThumbW; ++x) {
            const int sx = x * 1920 / kThumbW, sy = y * 1080 / kThumbH;
            const std::uint32_t c = tiled ? art.Pixel(sx % art.width, sy % art.height)
                                          : art.Pixel(sx * art.width / 1920, sy * art.height / 1080);
            Put(sheet, left + x, top + y, c);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: contact_sheet <art folder> <output.bmp>\n");
        return 2;
    }
    const std::string art = argv[1];
    Image32 sheet{15 * kCell + kGap, 2 * kCell + 2 * (kThumbH + kGap) + 2 * kGap, {}};
    sheet.pixels.assign(std::size_t(sheet.width) * sheet.height, 0x606060);
    for (int i = 0; i < 15; ++i) {
        const auto character = Load(art + "/imgChar" + std::to_string(i) + ".bmp");
        if (!character) {
            std::fprintf(stderr, "cannot read imgChar%d.bmp\n", i);
            return 1;
        }
        PasteCharacter(sheet, *character, kGap + i * kCell, kGap, false);
        PasteCharacter(sheet, *character, kGap + i * kCell, kGap + kCell, true);
    }
    const bool tiled[] = {false, false, false, true, true, true, false, true, true};
    int shown = 0;
    for (int b = 1; b <= 8; ++b) {
        const auto background = Load(art + "/imgBack" + std::to_string(b) + ".bmp");
        if (!background) {
            std::fprintf(stderr, "cannot read imgBack%d.bmp\n", b);
            return 1;
        }
        PasteBackground(sheet, *background, tiled[b], kGap + (shown % 4) * (kThumbW + kGap),
                        2 * kCell + kGap + (shown / 4) * (kThumbH + kGap));
        ++shown;
    }
    const auto bytes = flutt::testing::EncodeBmp(sheet, 24);
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return out ? 0 : 1;
}
