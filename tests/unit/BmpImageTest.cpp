#include "platform/BmpImage.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/common/TestBitmaps.h"

namespace flutt {
namespace {

// A 5-bit channel value as 8 bits; colours built from these survive 5-5-5.
std::uint32_t Five(std::uint32_t v) { return (v << 3) | (v >> 2); }

Image32 Gradient(int w, int h) {
    Image32 image{w, h, {}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.pixels.push_back(Five(x * 5) << 16 | Five(y * 7) << 8 | Five(16));
    return image;
}

void Put32(std::vector<std::uint8_t>& file, std::size_t at, std::uint32_t v) { std::memcpy(&file[at], &v, 4); }

TEST(BmpImageTest, DecodesEveryDepthBottomUp) {
    const Image32 image = Gradient(5, 3);  // odd width: padded rows
    for (int bpp : {8, 16, 24}) {
        const auto decoded = DecodeBmp(testing::EncodeBmp(image, bpp));
        ASSERT_TRUE(decoded) << bpp;
        EXPECT_EQ(decoded->width, 5);
        EXPECT_EQ(decoded->height, 3);
        EXPECT_EQ(decoded->pixels, image.pixels) << bpp;
    }
}

TEST(BmpImageTest, SizesPixelDataFromTheInfoHeaderNotTheStatedFileSize) {
    // The frog's sheet states 6210 bytes in its file header; the file has 5186.
    auto file = testing::EncodeBmp(testing::PasteSheet().image, 16);
    ASSERT_EQ(file.size(), 5186u);
    Put32(file, 2, 6210);
    const auto decoded = DecodeBmp(file);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->pixels, testing::PasteSheet().image.pixels);
}

TEST(BmpImageTest, FiveBitChannelsWidenByRepeatingTheirBits) {
    Image32 image{2, 1, {0xFFFFFF, 0x213142}};
    const auto decoded = DecodeBmp(testing::EncodeBmp(image, 16));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->Pixel(0, 0), 0xFFFFFFu);
    // 0x21 -> 4 -> 0x21; 0x31 -> 6 -> 0x31; 0x42 -> 8 -> 0x42
    EXPECT_EQ(decoded->Pixel(1, 0), 0x213142u);
}

TEST(BmpImageTest, ReadsLowDepthsAndTopDownFiles) {
    // 2 x 2, 1 bit, palette {red, blue}, top-down (negative height).
    std::vector<std::uint8_t> file(14 + 40 + 8 + 8, 0);
    file[0] = 'B', file[1] = 'M';
    Put32(file, 10, 14 + 40 + 8);
    Put32(file, 14, 40);
    Put32(file, 18, 2);
    Put32(file, 22, std::uint32_t(-2));
    file[26] = 1, file[28] = 1;
    file[54 + 2] = 0xFF;          // entry 0: red
    file[58] = 0xFF;              // entry 1: blue
    file[62] = 0x40;              // row 0: 0 1
    file[66] = 0x80;              // row 1: 1 0
    const auto decoded = DecodeBmp(file);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->pixels, (std::vector<std::uint32_t>{0xFF0000, 0x0000FF, 0x0000FF, 0xFF0000}));
}

TEST(BmpImageTest, RefusesTruncatedAndMalformedFiles) {
    const auto good = testing::EncodeBmp(Gradient(4, 4), 24);
    ASSERT_TRUE(DecodeBmp(good));
    for (std::size_t cut : {std::size_t(0), std::size_t(2), std::size_t(53), good.size() - 1}) {
        EXPECT_FALSE(DecodeBmp(std::span(good.data(), cut))) << cut;
    }
    struct Damage {
        std::size_t at;
        std::uint32_t value;
    };
    const Damage damages[] = {
        {0, 0x4D43},          // not "BM"
        {10, 0xFFFFFFF0},     // pixel data past the end
        {14, 12},             // info header too short
        {18, 0},              // no width
        {18, 0x7FFFFFFF},     // absurd width
        {22, 0x80000000},     // absurd height
        {26, 0x00180002},     // two planes
        {26, 0x00070001},     // 7 bits per pixel
        {30, 1},              // run-length compressed
    };
    for (const auto& d : damages) {
        auto file = good;
        Put32(file, d.at, d.value);
        EXPECT_FALSE(DecodeBmp(file)) << d.at;
    }
}

TEST(BmpImageTest, PaletteIndicesPastThePaletteShowBlack) {
    auto file = testing::EncodeBmp(Image32{2, 1, {0x112233, 0x445566}}, 8);
    Put32(file, 46, 1);  // only one palette entry is declared in use
    Put32(file, 10, 14 + 40 + 4);
    file.erase(file.begin() + 58, file.begin() + 54 + 1024);
    const auto decoded = DecodeBmp(file);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->Pixel(0, 0), 0x112233u);
    EXPECT_EQ(decoded->Pixel(1, 0), 0u);
}

}  // namespace
}  // namespace flutt
