#include "BmpWriter.h"

#include <fstream>

namespace assetgen {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;

void put16(Bytes& out, std::uint16_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

void put32(Bytes& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(v >> (8 * i)));
}

std::uint32_t rowStride(int width, int bitsPerPixel) {
    return ((std::uint32_t(width) * bitsPerPixel + 31) / 32) * 4;
}

struct InfoHeader {
    int width = 0;
    int height = 0;            // positive: bottom-up
    int bitsPerPixel = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t imageSize = 0;
    std::uint32_t coloursUsed = 0;
};

void putFileHeader(Bytes& out, std::uint32_t fileSize, std::uint32_t pixelOffset) {
    out.push_back('B');
    out.push_back('M');
    put32(out, fileSize);
    put32(out, 0);  // two reserved words
    put32(out, pixelOffset);
}

void putInfoHeader(Bytes& out, const InfoHeader& h) {
    put32(out, kInfoHeaderSize);
    put32(out, std::uint32_t(h.width));
    put32(out, std::uint32_t(h.height));
    put16(out, 1);  // planes
    put16(out, std::uint16_t(h.bitsPerPixel));
    put32(out, h.compression);
    put32(out, h.imageSize);
    put32(out, 0);  // pixels per metre, x and y: not given
    put32(out, 0);
    put32(out, h.coloursUsed);
    put32(out, 0);  // all colours important
}

void putColourTable(Bytes& out, const std::vector<Rgb>& palette, std::size_t entries) {
    if (palette.size() > entries) throw AssetError("palette has more colours than the depth allows");
    for (std::size_t i = 0; i < entries; ++i) {
        const Rgb c = i < palette.size() ? palette[i] : kBlack;
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
}

// Index rows, stored bottom row first, packed most significant bits first.
void putIndexedRows(Bytes& out, const IndexedImage& image, int bitsPerPixel) {
    const std::uint32_t stride = rowStride(image.width, bitsPerPixel);
    const int perByte = 8 / bitsPerPixel;
    const unsigned limit = 1u << bitsPerPixel;
    for (int y = image.height - 1; y >= 0; --y) {
        Bytes row(stride, 0);
        for (int x = 0; x < image.width; ++x) {
            const unsigned index = image.at(x, y);
            if (index >= limit) throw AssetError("palette index too large for the depth");
            const int shift = 8 - bitsPerPixel * (x % perByte + 1);
            row[x / perByte] |= std::uint8_t(index << shift);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

void putRgb24Rows(Bytes& out, const RgbImage& image) {
    const std::uint32_t stride = rowStride(image.width, 24);
    for (int y = image.height - 1; y >= 0; --y) {
        Bytes row(stride, 0);
        for (int x = 0; x < image.width; ++x) {
            const Rgb c = image.at(x, y);
            row[3 * x] = c.b;
            row[3 * x + 1] = c.g;
            row[3 * x + 2] = c.r;
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

// The AND mask of an icon: one bit per pixel, set where the screen shows through.
void putAndMask(Bytes& out, const Mask& mask) {
    const std::uint32_t stride = rowStride(mask.width, 1);
    for (int y = mask.height - 1; y >= 0; --y) {
        Bytes row(stride, 0);
        for (int x = 0; x < mask.width; ++x)
            if (mask.isClear(x, y)) row[x / 8] |= std::uint8_t(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
}

// ICONDIR with one ICONDIRENTRY; the image follows at offset 22.
void putIconDirectory(Bytes& out, int size, int colourCount, int bitsPerPixel, std::uint32_t imageBytes) {
    put16(out, 0);  // reserved
    put16(out, 1);  // type: icon
    put16(out, 1);  // one image
    out.push_back(std::uint8_t(size));
    out.push_back(std::uint8_t(size));
    out.push_back(std::uint8_t(colourCount));
    out.push_back(0);  // reserved
    put16(out, 1);     // planes
    put16(out, std::uint16_t(bitsPerPixel));
    put32(out, imageBytes);
    put32(out, 6 + 16);
}

void requireIconShape(int width, int height, const Mask& mask) {
    if (width != 32 || height != 32 || mask.width != 32 || mask.height != 32)
        throw AssetError("icons are 32x32 with a 32x32 mask");
}

} // namespace

Bytes encodeIndexedBmp(const IndexedImage& image, int bitsPerPixel) {
    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8)
        throw AssetError("indexed BMPs are 1, 4 or 8 bits per pixel");
    const std::uint32_t entries = 1u << bitsPerPixel;
    const std::uint32_t imageSize = rowStride(image.width, bitsPerPixel) * std::uint32_t(image.height);
    const std::uint32_t offset = kFileHeaderSize + kInfoHeaderSize + 4 * entries;
    Bytes out;
    out.reserve(offset + imageSize);
    putFileHeader(out, offset + imageSize, offset);
    putInfoHeader(out, {image.width, image.height, bitsPerPixel, kBiRgb, imageSize, entries});
    putColourTable(out, image.palette, entries);
    putIndexedRows(out, image, bitsPerPixel);
    return out;
}

Bytes encodeRgb24Bmp(const RgbImage& image) {
    const std::uint32_t imageSize = rowStride(image.width, 24) * std::uint32_t(image.height);
    const std::uint32_t offset = kFileHeaderSize + kInfoHeaderSize;
    Bytes out;
    out.reserve(offset + imageSize);
    putFileHeader(out, offset + imageSize, offset);
    putInfoHeader(out, {image.width, image.height, 24, kBiRgb, imageSize, 0});
    putRgb24Rows(out, image);
    return out;
}

Bytes encodeRgb555BitfieldsBmp(const RgbImage& image, const std::vector<Rgb>& colourTable,
                               std::uint32_t statedFileSize) {
    const std::uint32_t stride = rowStride(image.width, 16);
    const std::uint32_t imageSize = stride * std::uint32_t(image.height);
    const std::uint32_t entries = std::uint32_t(colourTable.size());
    const std::uint32_t offset = kFileHeaderSize + kInfoHeaderSize + 12 + 4 * entries;
    Bytes out;
    out.reserve(offset + imageSize);
    putFileHeader(out, statedFileSize, offset);
    putInfoHeader(out, {image.width, image.height, 16, kBiBitfields, imageSize, entries});
    put32(out, 0x7C00);
    put32(out, 0x03E0);
    put32(out, 0x001F);
    putColourTable(out, colourTable, entries);
    for (int y = image.height - 1; y >= 0; --y) {
        Bytes row(stride, 0);
        for (int x = 0; x < image.width; ++x) {
            const Rgb c = image.at(x, y);
            const std::uint16_t v = std::uint16_t(((c.r >> 3) << 10) | ((c.g >> 3) << 5) | (c.b >> 3));
            row[2 * x] = std::uint8_t(v);
            row[2 * x + 1] = std::uint8_t(v >> 8);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

Bytes encodeIcon4(const IndexedImage& image, const Mask& mask) {
    requireIconShape(image.width, image.height, mask);
    if (image.palette.size() > 16) throw AssetError("a 16-colour icon has at most 16 palette entries");
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (mask.isClear(x, y) && !(image.palette.at(image.at(x, y)) == kBlack))
                throw AssetError("an icon's see-through pixels must be black");
    const std::uint32_t xorBytes = rowStride(32, 4) * 32;
    const std::uint32_t andBytes = rowStride(32, 1) * 32;
    const std::uint32_t imageBytes = kInfoHeaderSize + 16 * 4 + xorBytes + andBytes;
    Bytes out;
    putIconDirectory(out, 32, 16, 4, imageBytes);
    putInfoHeader(out, {32, 64, 4, kBiRgb, xorBytes + andBytes, 0});
    putColourTable(out, image.palette, 16);
    putIndexedRows(out, image, 4);
    putAndMask(out, mask);
    return out;
}

Bytes encodeIcon24(const RgbImage& image, const Mask& mask) {
    requireIconShape(image.width, image.height, mask);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (mask.isClear(x, y) && !(image.at(x, y) == kBlack))
                throw AssetError("an icon's see-through pixels must be black");
    const std::uint32_t xorBytes = rowStride(32, 24) * 32;
    const std::uint32_t andBytes = rowStride(32, 1) * 32;
    const std::uint32_t imageBytes = kInfoHeaderSize + xorBytes + andBytes;
    Bytes out;
    putIconDirectory(out, 32, 0, 24, imageBytes);
    putInfoHeader(out, {32, 64, 24, kBiRgb, xorBytes + andBytes, 0});
    putRgb24Rows(out, image);
    putAndMask(out, mask);
    return out;
}

void writeFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) throw AssetError("cannot create " + path.string());
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!file) throw AssetError("cannot write " + path.string());
}

} // namespace assetgen
