#include "Icons.h"

#include <algorithm>

namespace assetgen {

const std::array<Rgb, 16> kClassicPalette{{
    {0, 0, 0}, {128, 0, 0}, {0, 128, 0}, {128, 128, 0},
    {0, 0, 128}, {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
    {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0},
    {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
}};

namespace {

constexpr int kIconSize = 32;
constexpr std::uint8_t kSilverIndex = 7;

std::uint8_t classicIndex(const PixelArt& art, Rgb c) {
    const auto it = std::find(kClassicPalette.begin(), kClassicPalette.end(), c);
    if (it == kClassicPalette.end())
        throw AssetError(art.origin + ": colour " + std::to_string(c.r) + " " + std::to_string(c.g) + " " +
                         std::to_string(c.b) + " is not one of the sixteen classic colours");
    return std::uint8_t(it - kClassicPalette.begin());
}

void requireSolidInks(const PixelArt& art) {
    for (const auto& [key, ink] : art.legend)
        if (ink.kind != Ink::Kind::Solid) throw AssetError(art.origin + ": outline greys belong to the character sheets");
}

Mask transparency(const PixelArt& art) {
    Mask mask(art.width, art.height);
    for (int y = 0; y < art.height; ++y)
        for (int x = 0; x < art.width; ++x) mask.setClear(x, y, art.isTransparent(x, y));
    return mask;
}

IndexedImage classicImage(const PixelArt& art, std::uint8_t transparentIndex) {
    IndexedImage image(art.width, art.height);
    image.palette.assign(kClassicPalette.begin(), kClassicPalette.end());
    for (int y = 0; y < art.height; ++y)
        for (int x = 0; x < art.width; ++x)
            image.at(x, y) = art.isTransparent(x, y) ? transparentIndex : classicIndex(art, art.ink(x, y).colour);
    return image;
}

} // namespace

Bytes encodeWindowIcon(const PixelArt& art) {
    requireSize(art, kIconSize, kIconSize);
    requireSolidInks(art);
    return encodeIcon4(classicImage(art, 0), transparency(art));
}

Bytes encodeAboutIcon(const PixelArt& art) {
    requireSize(art, kIconSize, kIconSize);
    requireSolidInks(art);
    RgbImage image(kIconSize, kIconSize, kBlack);
    for (int y = 0; y < kIconSize; ++y)
        for (int x = 0; x < kIconSize; ++x)
            if (!art.isTransparent(x, y)) image.at(x, y) = art.ink(x, y).colour;
    return encodeIcon24(image, transparency(art));
}

Bytes encodeButtonGlyph(const PixelArt& art) {
    requireSize(art, kIconSize, kIconSize);
    requireSolidInks(art);
    return encodeIndexedBmp(classicImage(art, kSilverIndex), 4);
}

Bytes encodeTabStrip(const std::vector<PixelArt>& tabs) {
    if (tabs.size() != kTabImageSources.size()) throw AssetError("the tab strip holds five images");
    RgbImage strip(kTabImageSize * int(tabs.size()), kTabImageSize, kTabKeyColour);
    for (std::size_t i = 0; i < tabs.size(); ++i) {
        const PixelArt& art = tabs[i];
        requireSize(art, kTabImageSize, kTabImageSize);
        requireSolidInks(art);
        bool anyOpaque = false;
        for (int y = 0; y < kTabImageSize; ++y)
            for (int x = 0; x < kTabImageSize; ++x) {
                if (art.isTransparent(x, y)) continue;
                const Rgb c = art.ink(x, y).colour;
                if (c == kTabKeyColour) throw AssetError(art.origin + ": uses the see-through colour");
                strip.at(int(i) * kTabImageSize + x, y) = c;
                anyOpaque = true;
            }
        if (!anyOpaque) throw AssetError(art.origin + ": the image is empty");
    }
    return encodeRgb24Bmp(strip);
}

} // namespace assetgen
