// The software background and frame: stretch and tile as the display's
// bitmaps do them, and the frame built on it.
#include "anim/SoftAnimation.h"

#include <gtest/gtest.h>

#include <map>

#include "anim/Random.h"
#include "platform/soft/SoftStretch.h"

namespace flutt {
namespace {

std::vector<std::uint32_t> PixelsOf(const SoftSurface& surface) {
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x) pixels.push_back(surface.Pixel(x, y));
    return pixels;
}

std::vector<int> SingleSources(int source, int target) {
    std::vector<int> map;
    for (const SourceSpan& span : StretchSpans(source, target)) {
        EXPECT_EQ(span.first, span.last);
        map.push_back(span.first);
    }
    return map;
}

TEST(SoftStretchTest, EnlargingRepeatsTheSourcePixelUnderEachCentre) {
    // Measured against the display's StretchBlt: centres round half down.
    EXPECT_EQ(SingleSources(4, 9), (std::vector<int>{0, 0, 1, 1, 1, 2, 2, 3, 3}));
    const std::vector<int> rows = SingleSources(240, 1080);  // the night sky on a 1080-line screen
    EXPECT_EQ(std::vector<int>(rows.begin(), rows.begin() + 14),
              (std::vector<int>{0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 2}));
    EXPECT_EQ(SingleSources(3, 3), (std::vector<int>{0, 1, 2}));
}

TEST(SoftStretchTest, ReducingHandsEverySourcePixelToOneTarget) {
    const std::pair<int, int> cases[][4] = {
        {{0, 1}, {2, 2}, {3, 4}, {5, 5}},  // 480 -> 320: pairs and singles
        {{0, 1}, {2, 4}, {5, 6}, {7, 8}},  // 9 -> 4: a middle pixel of three
    };
    const std::pair<int, int> sizes[] = {{480, 320}, {9, 4}};
    for (int c = 0; c < 2; ++c) {
        const auto spans = StretchSpans(sizes[c].first, sizes[c].second);
        for (int d = 0; d < 4; ++d) {
            EXPECT_EQ(std::make_pair(spans[d].first, spans[d].last), cases[c][d]) << sizes[c].first << " " << d;
        }
    }
    // To a single pixel the last source pixel is left out, as the display does.
    const auto one = StretchSpans(5, 1);
    EXPECT_EQ(std::make_pair(one[0].first, one[0].last), std::make_pair(0, 3));
}

TEST(SoftStretchTest, PixelsThatMeetCombineByAnd) {
    const SoftSurface row(4, 1, std::vector<std::uint32_t>{0xF0F0F0, 0x0FFFFF, 0xFFFFFF, 0x123456});
    SoftSurface target(2, 2, 0xABCDEF);
    StretchBlackOnWhite(target, 2, 2, row);
    EXPECT_EQ(PixelsOf(target), (std::vector<std::uint32_t>{0x00F0F0, 0x123456, 0x00F0F0, 0x123456}));
    SoftSurface clipped(1, 1);
    StretchBlackOnWhite(clipped, 8, 8, row);  // only what lies on the target
    EXPECT_EQ(clipped.Pixel(0, 0), 0xF0F0F0u);
}

// A catalogue of small pictures: sheets of 2 x 4 (colour over mask), and
// backgrounds whose pixels tell where they came from.
std::optional<Image32> SmallPicture(const std::string& name) {
    if (name.starts_with("imgChar")) {
        // Opaque colour 0x00AA00 on the left column, transparent on the right.
        return Image32{2, 4, {0x00AA00, 0xFFFFFF, 0x00AA00, 0xFFFFFF, 0, 0xFFFFFF, 0, 0xFFFFFF}};
    }
    const int index = name.back() - '0';
    Image32 picture{3 + index, 2 + index, {}};
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) picture.pixels.push_back(std::uint32_t(index << 16 | y << 8 | x));
    return picture;
}

TEST(SoftAnimationTest, BackgroundsTiledStretchedAndFromTheDesktop) {
    const ScreenSize screen{23, 17};
    const auto background = [&](int back2, std::optional<Image32> desktop = std::nullopt) {
        SaverSettings settings;
        settings.num = 0;
        settings.back2 = back2;
        SoftAnimation animation(settings, SmallPicture);
        animation.LoadSheets();
        if (desktop) animation.SetDesktop(*desktop);
        animation.DrawFrame(screen);
        EXPECT_EQ(PixelsOf(animation.Frame()), PixelsOf(animation.Background()));
        return PixelsOf(animation.Background());
    };
    const auto tiled = background(3);  // 6 x 5 tiles
    for (int y = 0; y < screen.H; ++y)
        for (int x = 0; x < screen.W; ++x)
            ASSERT_EQ(tiled[std::size_t(y * screen.W + x)], std::uint32_t(3 << 16 | (y % 5) << 8 | x % 6)) << x << "," << y;

    SoftSurface stretched(screen.W, screen.H);
    const Image32 picture = *SmallPicture("imgBack2");
    StretchBlackOnWhite(stretched, screen.W, screen.H, SoftSurface(picture.width, picture.height, picture.pixels));
    EXPECT_EQ(background(2), PixelsOf(stretched));

    Image32 desktop{30, 20, std::vector<std::uint32_t>(600)};
    for (std::size_t i = 0; i < desktop.pixels.size(); ++i) desktop.pixels[i] = std::uint32_t(i);
    for (int back2 : {0, 12, -1}) {
        const auto copied = background(back2, desktop);
        for (int y = 0; y < screen.H; ++y)
            for (int x = 0; x < screen.W; ++x) ASSERT_EQ(copied[std::size_t(y * screen.W + x)], desktop.Pixel(x, y));
    }
}

TEST(SoftAnimationTest, FramesPasteTheCharactersOverTheBackgroundAndTheMessageCoversThem) {
    SaverSettings settings;
    settings.back2 = 5;
    settings.num = 40;
    settings.IsShownMessage = true;
    RandomSeed(1);
    SoftAnimation animation(settings, SmallPicture);
    animation.LoadSheets();
    const ScreenSize screen{40, 30};
    animation.CreateCharacters(screen);
    // A message in front: its box over everything, the glyphs blended on it.
    const PixelRect box{10, 10, 14, 12};
    animation.SetMessage(MessageLayer{10, 10, 4, 2, {0, 255, 128, 0, 0, 0, 0, 0}, 0xFF0000, 0x0000FF, true});
    auto underTheBox = [&] {
        for (const moving& c : animation.Characters())
            if (c.x >= box.left && c.x < box.right && c.y < box.bottom && c.y + c.h > box.top) return true;
        return false;
    };
    for (int i = 0; i < 30 || (!underTheBox() && i < 1000); ++i) animation.DrawFrame(screen);
    // Each character shows its opaque column; the rest is background.
    std::vector<bool> opaque(std::size_t(screen.W * screen.H));
    for (const moving& c : animation.Characters())
        for (int y = c.y; y < c.y + c.h; ++y)
            if (c.x >= 0 && c.x < screen.W && y >= 0 && y < screen.H) opaque[std::size_t(y * screen.W + c.x)] = true;
    int shown = 0, underBox = 0;
    for (int y = 0; y < screen.H; ++y)
        for (int x = 0; x < screen.W; ++x) {
            const bool character = opaque[std::size_t(y * screen.W + x)];
            if (!Intersect(box, PixelRect{x, y, x + 1, y + 1}).Empty()) {
                underBox += character;
                continue;
            }
            const std::uint32_t expected = character ? 0x00AA00 : animation.Background().Pixel(x, y);
            ASSERT_EQ(animation.Frame().Pixel(x, y), expected) << x << "," << y;
            shown += character;
        }
    EXPECT_GT(shown, 0);
    EXPECT_GT(underBox, 0);  // characters pass under the box
    EXPECT_EQ(animation.Frame().Pixel(10, 10), 0x0000FFu);
    EXPECT_EQ(animation.Frame().Pixel(11, 10), 0xFF0000u);
    EXPECT_EQ(animation.Frame().Pixel(12, 10), 0x80007Fu);  // half way
    for (int x = 10; x < 14; ++x) EXPECT_EQ(animation.Frame().Pixel(x, 11), 0x0000FFu);
}

TEST(SoftAnimationTest, AResizedWindowGetsThePopulationOfAStartAtItsNewSize) {
    SaverSettings settings;
    settings.back2 = 5;
    settings.num = 200;
    settings.LRspeed = 0;  // no sideways motion: only placement spreads them
    auto positions = [](const SoftAnimation& animation) {
        std::vector<std::array<int, 4>> result;
        for (const moving& c : animation.Characters()) result.push_back({c.x, c.y, c.vx, c.vy});
        return result;
    };
    SoftAnimation resized(settings, SmallPicture);
    resized.LoadSheets();
    resized.CreateCharacters({1, 1});
    resized.DrawFrame({1, 1});
    for (const ScreenSize size : {ScreenSize{1280, 1024}, ScreenSize{100, 80}}) {
        RandomSeed(7);
        resized.DrawFrame(size);
        RandomSeed(7);
        SoftAnimation fresh(settings, SmallPicture);
        fresh.LoadSheets();
        fresh.CreateCharacters(size);
        fresh.DrawFrame(size);
        EXPECT_EQ(positions(resized), positions(fresh)) << size.W;
        int right = 0;
        for (const moving& c : resized.Characters()) {
            EXPECT_TRUE(c.x >= 0 && c.x < size.W) << size.W << ": " << c.x;
            right += c.x >= size.W / 2;
        }
        EXPECT_GT(right, 50) << size.W;  // spread over the width, not in a column at its left
    }
}

}  // namespace
}  // namespace flutt
