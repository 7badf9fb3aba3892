// The saver's picture drawn with real GDI: background composition, the frame
// cycle and the message, read back pixel by pixel. This test program carries
// the saver's pictures as its own resources. It expects the 1920 x 1080
// 24-bit test display.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <tuple>
#include <utility>

#include "anim/Random.h"
#include "anim/SaverAnimation_win.h"
#include "platform/win/Resources_win.h"
#include "platform/win/Win32Error.h"
#include "tests/common/TestBitmaps.h"

namespace flutt {
namespace {

constexpr std::uint32_t Rgb(COLORREF c) { return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF); }

Image32 Picture(const wchar_t* name) {
    auto image = DecodeBmp(win::ResourceBytes(::GetModuleHandleW(nullptr), name));
    EXPECT_TRUE(image.has_value()) << "picture missing";
    return image.value_or(Image32{});
}

void PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
}

class FrameWinTest : public ::testing::Test {
protected:
    void SetUp() override {
        screen = PrimaryScreenSize();
        if (screen.W != 1920 || screen.H != 1080) GTEST_SKIP() << "needs the 1920 x 1080 test display";
        settings.num = 0;
        settings.MessageText = "Fluttons! Saver";
        settings.MessageFontName = "Arial";
        RandomSeed(1);
    }

    // A new animation over the current settings, composed and drawn once.
    std::unique_ptr<SaverAnimation> DrawOnce(SaverAnimation::ScreenSource screenSource = PrimaryScreenSize) {
        auto animation = std::make_unique<SaverAnimation>(::GetModuleHandleW(nullptr), settings, screenSource);
        animation->LoadSheets();
        animation->CreateFrameBitmap();
        animation->CreateCharacters();
        animation->KeepDesktopCopy();
        settings.IsBackgroundComposed = false;
        win::GdiSurface target(8, 8);  // presented frames go nowhere here
        animation->DrawFrame(target.Dc());
        return animation;
    }

    ScreenSize screen;
    SaverSettings settings;
};

TEST_F(FrameWinTest, SmallTileCoversTheScreenColumnByColumn) {
    settings.back2 = 3;
    const Image32 tile = Picture(L"imgBack3");
    ASSERT_EQ(tile.width, 64);
    const Image32 background = DrawOnce()->Frame()->ReadPixels();  // no characters: the background as shown
    for (int y = 0; y < screen.H; ++y)
        for (int x = 0; x < screen.W; ++x) ASSERT_EQ(background.Pixel(x, y), tile.Pixel(x % 64, y % 64)) << x << "," << y;
}

#ifndef FLUTT_REDUCED
TEST_F(FrameWinTest, TallPictureTilesTwiceAcrossCutAtRightAndBottom) {
    settings.back2 = 7;
    const Image32 picture = Picture(L"imgBack7");
    ASSERT_EQ(picture.width, 1024);
    ASSERT_EQ(picture.height, 1536);
    const Image32 background = DrawOnce()->Background()->ReadPixels();
    for (int y = 0; y < screen.H; y += 3)
        for (int x = 0; x < screen.W; ++x) ASSERT_EQ(background.Pixel(x, y), picture.Pixel(x % 1024, y)) << x << "," << y;
}
#endif

TEST_F(FrameWinTest, StretchedPictureRepeatsItsPixelsToFillTheScreen) {
    settings.back2 = 2;  // 320 x 240: six times across, four and a half down
    const Image32 picture = Picture(L"imgBack2");
    ASSERT_EQ(picture.width, 320);
    const Image32 background = DrawOnce()->Background()->ReadPixels();
    for (int y = 0; y < screen.H; ++y) {
        const int sy = y * picture.height / screen.H;
        for (int x = 0; x < screen.W; ++x) {
            const std::uint32_t p = background.Pixel(x, y);
            // Whole source pixels only, no smoothing; rows may round either way.
            const bool fromSource = p == picture.Pixel(x / 6, sy) ||
                                    (sy + 1 < picture.height && p == picture.Pixel(x / 6, sy + 1)) ||
                                    (sy > 0 && p == picture.Pixel(x / 6, sy - 1));
            ASSERT_TRUE(fromSource) << x << "," << y;
            if (x % 6) {
                ASSERT_EQ(p, background.Pixel(x - 1, y)) << x << "," << y;
            }
        }
    }
}

TEST_F(FrameWinTest, StretchedPictureShrinksCombiningDroppedPixelsDarkWins) {
    settings.back2 = 1;  // 480 x 360 onto a 320 x 240 screen
    const Image32 picture = Picture(L"imgBack1");
    ASSERT_EQ(picture.width, 480);
    ASSERT_EQ(picture.height, 360);
    const Image32 background = DrawOnce([] { return ScreenSize{320, 240}; })->Background()->ReadPixels();
    ASSERT_EQ(background.width, 320);
    // Source pixel (sx, sy) lands on (sx * 2 / 3, sy * 2 / 3); the pixels that
    // land on one screen pixel are combined by AND. (This is where Wine puts
    // them; Windows' default mode combines the same way, its choice of which
    // neighbours meet may differ by a pixel.)
    Image32 expected{320, 240, std::vector<std::uint32_t>(320 * 240, 0xFFFFFF)};
    for (int sy = 0; sy < 360; ++sy)
        for (int sx = 0; sx < 480; ++sx) expected.pixels[std::size_t(sy * 2 / 3) * 320 + sx * 2 / 3] &= picture.Pixel(sx, sy);
    int differing = 0, darkened = 0;
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            differing += background.Pixel(x, y) != expected.Pixel(x, y);
            darkened += expected.Pixel(x, y) != picture.Pixel(x * 3 / 2, y * 3 / 2);
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(darkened, 0);  // the picture has edges where dark wins
}

// A top-most window over the whole screen showing a known pattern: it stands
// in for the desktop that a desktop copy takes.
std::uint32_t DesktopPattern(int x, int y) { return std::uint32_t((x & 255) << 16 | (y & 255) << 8 | ((x ^ y) & 255)); }

class DesktopStandIn {
public:
    explicit DesktopStandIn(ScreenSize screen) : picture_{screen.W, screen.H, {}} {
        for (int y = 0; y < screen.H; ++y)
            for (int x = 0; x < screen.W; ++x) picture_.pixels.push_back(DesktopPattern(x, y));
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"DesktopStandIn";
        ::RegisterClassW(&wc);
        window_.reset(::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, screen.W,
                                        screen.H, nullptr, nullptr, wc.hInstance, nullptr));
    }
    bool Shown() const { return window_ != nullptr; }
    const Image32& Picture() const { return picture_; }

    // Paints the pattern, and waits until it is on the screen.
    void Paint() const {
        const win::GdiSurface desktop(picture_);
        PumpMessages();
        {
            const win::unique_window_dc dc(window_.get());
            ::BitBlt(dc.get(), 0, 0, picture_.width, picture_.height, desktop.Dc(), 0, 0, SRCCOPY);
        }
        ::GdiFlush();
        PumpMessages();
    }

private:
    Image32 picture_;
    win::unique_hwnd window_;
};

TEST_F(FrameWinTest, AnIndexPastTheListAndTheDesktopEntryCopyTheScreen) {
    const DesktopStandIn desktop(screen);
    ASSERT_TRUE(desktop.Shown());
    for (int back2 : {0, 10, -3}) {
        desktop.Paint();
        settings.back2 = back2;
        const auto animation = DrawOnce();
        EXPECT_EQ(settings.back2, 0);
        const Image32 background = animation->Background()->ReadPixels();
        ASSERT_EQ(background.pixels, desktop.Picture().pixels) << back2;
    }
}

// The box behind the message: the bounding rectangle of pixels of colour `c`.
RECT BoxOf(const Image32& image, std::uint32_t c) {
    RECT box = {image.width, image.height, -1, -1};
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (image.Pixel(x, y) == c) {
                box.left = std::min<LONG>(box.left, x), box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1), box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    return box;
}

// The height of one line of the message font, as the saver sizes it.
int LineHeight(const SaverSettings& s) {
    const win::unique_window_dc screenDc(nullptr);
    LOGFONTW font = {};
    font.lfHeight = -::MulDiv(s.MessageFontSize, ::GetDeviceCaps(screenDc.get(), LOGPIXELSY), 72);
    wcscpy(font.lfFaceName, L"Arial");
    win::unique_hfont handle(::CreateFontIndirectW(&font));
    const win::select_result selected(screenDc.get(), handle.get());
    TEXTMETRICW metrics;
    ::GetTextMetricsW(screenDc.get(), &metrics);
    return metrics.tmHeight;
}

TEST_F(FrameWinTest, MessageSitsCentredOnABoxExactlyItsLineHigh) {
    settings.back2 = 5;
    settings.IsShownMessage = true;
    const Image32 frame = DrawOnce()->Frame()->ReadPixels();
    const RECT box = BoxOf(frame, Rgb(COLORREF(settings.MessageBGColor)));
    ASSERT_GT(box.right, box.left);
    EXPECT_EQ(box.bottom - box.top, LineHeight(settings));
    EXPECT_LE(std::abs((box.left + box.right) - screen.W), 1);
    EXPECT_LE(std::abs((box.top + box.bottom) - screen.H), 1);
    // The text is drawn in its colour inside the box.
    bool text = false;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) text = text || frame.Pixel(x, y) == Rgb(COLORREF(settings.MessageFontColor));
    EXPECT_TRUE(text);
}

TEST_F(FrameWinTest, TransparentMessageHasNoBoxAndEmptyTextDrawsNothing) {
    settings.back2 = 5;
    settings.IsShownMessage = true;
    settings.IsTransparent = true;
    const Image32 frame = DrawOnce()->Frame()->ReadPixels();
    EXPECT_EQ(BoxOf(frame, Rgb(COLORREF(settings.MessageBGColor))).right, -1);
    const Image32 background = Picture(L"imgBack5");
    int changed = 0;
    for (int y = 0; y < screen.H; ++y)
        for (int x = 0; x < screen.W; ++x) changed += frame.Pixel(x, y) != background.Pixel(x % 32, y % 32);
    EXPECT_GT(changed, 0);  // the glyphs

    settings.IsTransparent = false;
    settings.MessageText.clear();
    const Image32 empty = DrawOnce()->Frame()->ReadPixels();
    for (int y = 0; y < screen.H; y += 7)
        for (int x = 0; x < screen.W; ++x) ASSERT_EQ(empty.Pixel(x, y), background.Pixel(x % 32, y % 32));
}

TEST_F(FrameWinTest, LineBreaksDoNotBreakTheLineAndWideTextIsCutAtTheEdges) {
    settings.back2 = 5;
    settings.IsShownMessage = true;
    settings.MessageText = "first line\r\nsecond line";
    const Image32 twoLines = DrawOnce()->Frame()->ReadPixels();
    const RECT box = BoxOf(twoLines, Rgb(COLORREF(settings.MessageBGColor)));
    EXPECT_EQ(box.bottom - box.top, LineHeight(settings));

    settings.MessageText = std::string(200, 'W');
    const Image32 wide = DrawOnce()->Frame()->ReadPixels();
    const RECT wideBox = BoxOf(wide, Rgb(COLORREF(settings.MessageBGColor)));
    EXPECT_EQ(wideBox.left, 0);
    EXPECT_EQ(wideBox.right, screen.W);
}

TEST_F(FrameWinTest, NoCharactersShowsJustTheBackground) {
    settings.back2 = 2;
    const auto animation = DrawOnce();
    EXPECT_EQ(animation->Frame()->ReadPixels().pixels, animation->Background()->ReadPixels().pixels);
}

TEST_F(FrameWinTest, MessageBehindIsBurntIntoTheBackgroundAndCharactersCoverIt) {
    settings.back2 = 5;
    settings.IsShownMessage = true;
    settings.IsMessageFront = false;
    settings.num = 1000;
    const auto animation = DrawOnce();
    win::GdiSurface target(8, 8);
    for (int i = 0; i < 60; ++i) animation->DrawFrame(target.Dc());  // the crowd comes on screen
    const Image32 background = animation->Background()->ReadPixels();
    const Image32 frame = animation->Frame()->ReadPixels();
    const RECT box = BoxOf(background, Rgb(COLORREF(settings.MessageBGColor)));
    ASSERT_GT(box.right, box.left);
    // Every frame pixel that differs from the background lies under a character.
    std::vector<bool> underCharacter(frame.pixels.size());
    for (const moving& c : animation->Characters())
        for (int y = std::max(0, c.y); y < std::min(screen.H, c.y + c.h); ++y)
            for (int x = std::max(0, c.x); x < std::min(screen.W, c.x + c.w); ++x)
                underCharacter[std::size_t(y) * screen.W + x] = true;
    for (std::size_t i = 0; i < frame.pixels.size(); ++i) {
        if (frame.pixels[i] != background.pixels[i]) {
            ASSERT_TRUE(underCharacter[i]) << i;
        }
    }
    int covered = 0;
    for (const moving& c : animation->Characters()) {
        if (c.x < box.right && c.x + c.w > box.left && c.y < box.bottom && c.y + c.h > box.top) ++covered;
    }
    EXPECT_GT(covered, 0);
    int changedInBox = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) changedInBox += frame.Pixel(x, y) != background.Pixel(x, y);
    EXPECT_GT(changedInBox, 0);
}

TEST_F(FrameWinTest, ANewScreenKeepsWhatFitsOfTheDesktopWithTheMessageAtItsCentre) {
    const DesktopStandIn desktop(screen);
    ASSERT_TRUE(desktop.Shown());
    desktop.Paint();
    settings.back2 = 0;
    settings.IsShownMessage = true;
    ScreenSize size = screen;
    const auto animation = DrawOnce([&size] { return size; });
    const RECT first = BoxOf(animation->Frame()->ReadPixels(), Rgb(COLORREF(settings.MessageBGColor)));
    const int w = first.right - first.left, h = first.bottom - first.top;
    ASSERT_GT(w, 0);
    win::GdiSurface target(8, 8);

    // Smaller: the desktop where it fits, the message (drawn on the
    // background) at the new centre only.
    size = {1280, 720};
    animation->FollowScreen(kBaseDpi);
    animation->DrawFrame(target.Dc());
    Image32 frame = animation->Frame()->ReadPixels();
    ASSERT_EQ(frame.width, size.W);
    ASSERT_EQ(frame.height, size.H);
    const RECT box = {(size.W - w) / 2, (size.H - h) / 2, (size.W + w) / 2, (size.H + h) / 2};
    for (int y = 0; y < size.H; ++y)
        for (int x = 0; x < size.W; ++x) {
            if (x >= box.left - 1 && x <= box.right && y >= box.top - 1 && y <= box.bottom) continue;
            ASSERT_EQ(frame.Pixel(x, y), DesktopPattern(x, y)) << x << "," << y;
        }
    const RECT moved = BoxOf(frame, Rgb(COLORREF(settings.MessageBGColor)));
    EXPECT_EQ(moved.right - moved.left, w);
    EXPECT_EQ(moved.bottom - moved.top, h);
    EXPECT_LE(std::abs(moved.left - box.left) + std::abs(moved.top - box.top), 2);

    // Larger and at twice the scale: black beyond what the copy still holds.
    size = {2560, 1440};
    animation->FollowScreen(2 * kBaseDpi);
    animation->DrawFrame(target.Dc());
    EXPECT_EQ(animation->Scale(), 2);
    frame = animation->Frame()->ReadPixels();
    ASSERT_EQ(frame.width, size.W);
    for (int y = 0; y < size.H; ++y) {
        if (std::abs(y - size.H / 2) < 3 * h) continue;  // the message's rows
        for (int x = 0; x < size.W; ++x) {
            ASSERT_EQ(frame.Pixel(x, y), x < 1280 && y < 720 ? DesktopPattern(x, y) : 0u) << x << "," << y;
        }
    }
}

TEST_F(FrameWinTest, MessageInFrontCoversTheCharacters) {
    settings.back2 = 5;
    settings.IsShownMessage = true;
    const Image32 alone = DrawOnce()->Frame()->ReadPixels();
    const RECT box = BoxOf(alone, Rgb(COLORREF(settings.MessageBGColor)));
    settings.num = 1000;
    RandomSeed(1);
    const auto crowded = DrawOnce();
    EXPECT_EQ(Rgb(COLORREF(settings.MessageBGColor)), alone.Pixel((box.left + box.right) / 2, box.top));
    const Image32 frame = crowded->Frame()->ReadPixels();
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) ASSERT_EQ(frame.Pixel(x, y), alone.Pixel(x, y)) << x << "," << y;
    EXPECT_NE(frame.pixels, alone.pixels);  // the characters are there, around it
}

TEST_F(FrameWinTest, CharactersAreTheSameWhateverTheBackground) {
    settings.num = 50;
    settings.back2 = 9;
    const auto first = DrawOnce();
    RandomSeed(1);
    settings.back2 = 3;
    const auto second = DrawOnce();
    ASSERT_EQ(first->Characters().size(), second->Characters().size());
    for (std::size_t i = 0; i < first->Characters().size(); ++i) {
        const moving &a = first->Characters()[i], &b = second->Characters()[i];
        EXPECT_EQ(std::tie(a.x, a.y, a.vx, a.vy, a.w, a.h), std::tie(b.x, b.y, b.vx, b.vy, b.w, b.h)) << i;
    }
}

// Every presented frame equals the frame rebuilt whole the way GDI draws it:
// the background copied, each character pasted with its two block transfers
// in table order, the message in front drawn over all. A window stand-in
// receives what each frame presents; it must show that whole frame.
TEST_F(FrameWinTest, PresentedFramesEqualTheFrameRebuiltWhole) {
    enum Message { None, Front, Behind, Clear };
    struct Case {
        ScreenSize screen;
        int num, back2, LRspeed, downspeed, updown;
        Message message;
        int ticks;
    };
    const Case cases[] = {
        {{1920, 1080}, 1000, 3, 20, 30, 0, Front, 40},
        {{1920, 1080}, 0, 5, 20, 30, 0, Front, 5},
        {{480, 360}, 1000, 4, 20, 30, 2, Behind, 60},
        {{480, 360}, 100, 2, 60, 60, 2, Front, 150},
        {{480, 360}, 60, 5, 100, 10, 1, Clear, 150},
        {{480, 360}, 30, 1, 30, 100, 0, None, 150},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(::testing::Message() << k.screen.W << "x" << k.screen.H << " num " << k.num << " message " << k.message);
        settings.num = k.num;
        settings.back2 = k.back2;
        settings.LRspeed = k.LRspeed;
        settings.downspeed = k.downspeed;
        settings.updown = k.updown;
        settings.IsShownMessage = k.message != None;
        settings.IsMessageFront = k.message != Behind;
        settings.IsTransparent = k.message == Clear;
        settings.IsBackgroundComposed = false;
        RandomSeed(1);
        const ScreenSize size = k.screen;
        SaverAnimation animation(::GetModuleHandleW(nullptr), settings, [size] { return size; });
        animation.LoadSheets();
        animation.CreateFrameBitmap();
        animation.CreateCharacters();
        win::GdiSurface window(size.W, size.H), whole(size.W, size.H);
        ::PatBlt(window.Dc(), 0, 0, size.W, size.H, WHITENESS);
        for (int tick = 0; tick < k.ticks; ++tick) {
            animation.DrawFrame(window.Dc());
            // A tiled background is one row of tiles, repeated down the screen.
            const win::GdiSurface& background = *animation.Background();
            for (int y = 0; y < size.H; y += background.Height())
                whole.Transfer(0, y, size.W, background.Height(), background, 0, 0, RasterOp::SrcCopy);
            for (const moving& c : animation.Characters()) c.draw(whole);
            if (settings.IsShownMessage && settings.IsMessageFront) animation.DrawMessage(whole.Dc(), size);
            ::GdiFlush();
            ASSERT_EQ(testing::FirstDifference(std::as_const(window).Pixels(), std::as_const(whole).Pixels()), "")
                << "tick " << tick;
        }
    }
}

// A screen too large for the process's memory (a span of several 5K monitors
// for a 32-bit saver; here 40 GB a buffer): the set-up throws nothing, which
// the window would show as an error box over the saver; the animation has
// no frame and draws nothing, so the window keeps its own black. A buffer's
// own error names the lack of memory.
TEST_F(FrameWinTest, AScreenTooLargeForMemoryLeavesNoFrameAndRaisesNothing) {
    const ScreenSize huge{100000, 100000};
    settings.num = 100;
    for (int back2 : {3, 10}) {  // a picture, the desktop copy
        SCOPED_TRACE(back2);
        settings.back2 = back2;
        std::unique_ptr<SaverAnimation> animation;
        ASSERT_NO_THROW(animation = DrawOnce([huge] { return huge; }));
        EXPECT_FALSE(animation->Ready());
        win::GdiSurface window(8, 8);
        ::PatBlt(window.Dc(), 0, 0, 8, 8, WHITENESS);
        ASSERT_NO_THROW(animation->DrawFrame(window.Dc()));
        EXPECT_FALSE(animation->PresentWhole(window.Dc()));
        EXPECT_EQ(window.ReadPixels().Pixel(4, 4), 0xFFFFFFu);
    }
    try {
        win::GdiSurface buffer(huge.W, huge.H);
        ADD_FAILURE() << "a 40 GB buffer was made";
    } catch (const win::OutOfMemory& error) {
        EXPECT_NE(std::string(error.what()).find("コード : 8."), std::string::npos) << error.what();
    }
}

// What the process holds that a frame could keep by mistake, each counted
// exactly, so that a single object or block more (or less) shows.
struct Holdings {
    // The process's GDI objects, as Windows counts them. Wine's
    // GetGuiResources always answers 0.
    DWORD gdiObjects = 0;
    // Where that count is 0 (Wine): the handle slots that the next new GDI
    // objects get, in order of slot. Wine hands out the slot freed last, and
    // a new slot only when none is free; a frame that deletes every object
    // it makes leaves the same free slots on top, perhaps in another order,
    // while one object kept (or one deleted too many) shifts them. The probe
    // needs more objects than a frame holds at once.
    std::array<WORD, 32> nextGdiSlots{};
    // Blocks in use, and their bytes, in every heap of the process: the C
    // runtime's among them, which operator new uses. Wine 8's HeapWalk lists
    // each block (one of 8 bytes kept shows as 1 block and 8 bytes more).
    std::size_t heapBlocks = 0;
    std::size_t heapBytes = 0;
    // What Windows counts as the process's private memory; Wine reports its
    // anonymous pages, resident or swapped.
    SIZE_T privateBytes = 0;
};

Holdings Held() {
    Holdings held;
    // The heaps first: nothing below allocates from them.
    std::array<HANDLE, 64> heaps;
    const DWORD heapCount = ::GetProcessHeaps(DWORD(heaps.size()), heaps.data());
    EXPECT_LE(heapCount, heaps.size());
    for (DWORD i = 0; i < std::min<DWORD>(heapCount, DWORD(heaps.size())); ++i) {
        if (!::HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (::HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) ++held.heapBlocks, held.heapBytes += entry.cbData;
        }
        ::HeapUnlock(heaps[i]);
    }
    held.gdiObjects = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (held.gdiObjects == 0) {
        std::array<HRGN, std::tuple_size_v<decltype(held.nextGdiSlots)>> probes;
        for (std::size_t i = 0; i < probes.size(); ++i) {
            probes[i] = ::CreateRectRgn(0, 0, 1, 1);
            held.nextGdiSlots[i] = LOWORD(reinterpret_cast<ULONG_PTR>(probes[i]));
        }
        // Deleted last first, which gives the slots back as they were.
        for (std::size_t i = probes.size(); i-- > 0;) ::DeleteObject(probes[i]);
        std::sort(held.nextGdiSlots.begin(), held.nextGdiSlots.end());
    }
    PROCESS_MEMORY_COUNTERS counters = {};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    held.privateBytes = counters.PagefileUsage;
    return held;
}

// Frames must leave nothing behind: no GDI object, no heap block, however
// small. The frames measured are a replay of frames already drawn once, from
// the same characters, so every buffer the animation keeps has already grown
// to what they need (without the replay, 500 frames after 50 others grow the
// heap's bytes by some kilobytes, and not by a leak); whatever the process
// holds more after them, a frame kept.
TEST_F(FrameWinTest, LongRunKeepsGdiObjectsAndMemoryFlat) {
    struct Case {
        int num;
        bool whole;  // the path most frames take
    };
    // 1000 characters: the frame rebuilt whole, the message drawn over all of
    // it; 100: rebuilt in parts, the message redrawn through a clip region of
    // the parts that changed.
    for (const Case& k : {Case{1000, true}, Case{100, false}}) {
        SCOPED_TRACE(::testing::Message() << "num " << k.num);
        settings.num = k.num;
        settings.back2 = 3;
        settings.IsShownMessage = true;
        constexpr int kFrames = 500;
        RandomSeed(1);
        const auto animation = DrawOnce();
        win::GdiSurface target(8, 8);
        int wholeFrames = 0;
        auto draw = [&](int frames) {
            for (int i = 0; i < frames; ++i) {
                const FrameChanges& changes = animation->BuildFrame();
                wholeFrames += changes.whole;
                animation->Present(target.Dc(), changes);
            }
        };
        draw(kFrames);
        // The same characters again: the first frame takes them from where the
        // last one left them to where the first one drew them, and the frames
        // after it are the frames drawn above.
        RandomSeed(1);
        animation->CreateCharacters();
        draw(1);
        wholeFrames = 0;
        const Holdings before = Held();
        ASSERT_GT(before.heapBlocks, 0u);
        ASSERT_GT(before.privateBytes, 0u);
        draw(kFrames);
        const Holdings after = Held();
        EXPECT_GT(k.whole ? wholeFrames : kFrames - wholeFrames, kFrames / 2);
        EXPECT_EQ(after.gdiObjects, before.gdiObjects);
        EXPECT_EQ(after.nextGdiSlots, before.nextGdiSlots) << "GDI objects made and kept, or deleted too many";
        EXPECT_EQ(after.heapBlocks, before.heapBlocks);
        EXPECT_EQ(after.heapBytes, before.heapBytes);
        // Memory that is neither: coarse, in pages (a page comes and goes
        // without a leak).
        EXPECT_LT(after.privateBytes, before.privateBytes + 512 * 1024);
    }
}

}  // namespace
}  // namespace flutt
