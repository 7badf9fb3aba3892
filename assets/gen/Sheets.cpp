#include "Sheets.h"

#include <algorithm>

namespace assetgen {
namespace {

[[noreturn]] void fail(const PixelArt& art, const std::string& what) { throw AssetError(art.origin + ": " + what); }

bool isOutlineGrey(Rgb c) {
    return c.r <= kOutlineGreyMax && c.g <= kOutlineGreyMax && c.b <= kOutlineGreyMax && !(c == kBlack);
}

// 5-5-5 keeps the top five bits; the display expands them again by repeating the top bits.
Rgb through555(Rgb c) {
    auto expand = [](std::uint8_t v) { return std::uint8_t(((v >> 3) << 3) | (v >> 5)); };
    return {expand(c.r), expand(c.g), expand(c.b)};
}

std::vector<Rgb> distinctColours(const RgbImage& image) {
    std::vector<Rgb> colours;
    for (const Rgb& c : image.pixels)
        if (std::find(colours.begin(), colours.end(), c) == colours.end()) colours.push_back(c);
    return colours;
}

} // namespace

RgbImage composeSheet(const PixelArt& art, const SheetEntry& entry) {
    requireSize(art, kCharacterSize, kCharacterSize);
    const int n = kCharacterSize;
    for (auto [x, y] : {std::pair{0, 0}, {n - 1, 0}, {0, n - 1}, {n - 1, n - 1}})
        if (!art.isTransparent(x, y)) fail(art, "every corner must be transparent");

    RgbImage sheet(n, 2 * n, kWhite);
    int outlinePixels = 0;
    int litPixels = 0;
    bool anyOpaque = false;
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            Rgb& colour = sheet.at(x, y);
            Rgb& mask = sheet.at(x, y + n);
            if (art.isTransparent(x, y)) continue;  // white over white
            const Ink& ink = art.ink(x, y);
            switch (ink.kind) {
            case Ink::Kind::Solid:
                colour = ink.colour;
                mask = kBlack;
                anyOpaque = true;
                break;
            case Ink::Kind::Outline:
            case Ink::Kind::Lit:
                if (entry.format != SheetFormat::Rgb24) fail(art, "grey outline pixels belong to the 24-bit sheets only");
                if (!isOutlineGrey(ink.colour))
                    fail(art, "an outline grey must be near-black: no channel above " + std::to_string(kOutlineGreyMax));
                mask = ink.colour;
                colour = ink.kind == Ink::Kind::Outline ? ink.colour : kWhite;
                ++outlinePixels;
                if (ink.kind == Ink::Kind::Lit) ++litPixels;
                break;
            }
        }
    }
    if (!anyOpaque) fail(art, "the character is empty");
    if (entry.format == SheetFormat::Rgb24 &&
        (outlinePixels < kOutlinePixelsMin || outlinePixels > kOutlinePixelsMax))
        fail(art, "has " + std::to_string(outlinePixels) + " grey outline pixels; a 24-bit sheet needs " +
                      std::to_string(kOutlinePixelsMin) + " to " + std::to_string(kOutlinePixelsMax));
    if (litPixels != entry.litPixels)
        fail(art, "has " + std::to_string(litPixels) + " lit outline pixels, expected " + std::to_string(entry.litPixels));

    if (entry.format == SheetFormat::Rgb555Bitfields) {
        for (Rgb& c : sheet.pixels) c = through555(c);
    }
    if (entry.format == SheetFormat::Indexed8 && distinctColours(sheet).size() > 256)
        fail(art, "uses more than 256 colours");
    return sheet;
}

void checkSheetPairs(const std::array<RgbImage, kSheetCount>& sheets) {
    for (const SheetEntry& e : kSheets) {
        if (e.sharesMaskWith < 0) continue;
        const RgbImage& a = sheets[e.index];
        const RgbImage& b = sheets[e.sharesMaskWith];
        for (int y = kCharacterSize; y < 2 * kCharacterSize; ++y)
            for (int x = 0; x < kCharacterSize; ++x)
                if (!(a.at(x, y) == b.at(x, y)))
                    throw AssetError("sheets " + std::to_string(e.index) + " and " + std::to_string(e.sharesMaskWith) +
                                     " must share one mask; they differ at " + std::to_string(x) + "," +
                                     std::to_string(y - kCharacterSize));
    }
}

Bytes encodeSheet(const RgbImage& sheet, const SheetEntry& entry) {
    switch (entry.format) {
    case SheetFormat::Indexed8: {
        IndexedImage indexed(sheet.width, sheet.height);
        indexed.palette = distinctColours(sheet);
        for (std::size_t i = 0; i < sheet.pixels.size(); ++i)
            indexed.indices[i] = std::uint8_t(
                std::find(indexed.palette.begin(), indexed.palette.end(), sheet.pixels[i]) - indexed.palette.begin());
        return encodeIndexedBmp(indexed, 8);
    }
    case SheetFormat::Rgb24:
        return encodeRgb24Bmp(sheet);
    case SheetFormat::Rgb555Bitfields: {
        std::vector<Rgb> table = distinctColours(sheet);
        table.resize(256, kBlack);
        Bytes bytes = encodeRgb555BitfieldsBmp(sheet, table, kSheet12StatedSize);
        if (bytes.size() != kSheet12RealSize) throw AssetError("sheet 12 must be exactly 5186 bytes");
        return bytes;
    }
    }
    throw AssetError("unknown sheet format");
}

} // namespace assetgen
