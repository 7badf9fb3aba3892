// The saver's picture on software surfaces of 32-bit pixels, for a front end
// that presents pixel buffers itself: the same characters, background, frame
// pipeline and message placement as the Windows saver, with no platform calls.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "anim/FramePipeline.h"
#include "anim/Moving.h"
#include "platform/BmpImage.h"
#include "platform/soft/SoftSurface.h"
#include "settings/SaverSettings.h"

namespace flutt {

// The message as the front end rasterised it: a box (left, top, size) on the
// frame, and how much of each of its pixels the glyphs cover (0..255).
struct MessageLayer {
    int x = 0, y = 0, w = 0, h = 0;
    std::vector<std::uint8_t> coverage;  // w * h, top row first
    std::uint32_t textColour = 0;        // 0x00RRGGBB
    std::uint32_t boxColour = 0;         // 0x00RRGGBB
    bool opaque = true;                  // fill the box before the glyphs
};

// Draws the message onto `surface`, clipped to `clip` and to the surface.
void DrawMessageLayer(SoftSurface& surface, const MessageLayer& message, const PixelRect& clip);

// A 0x00BBGGRR colour of the settings as a 0x00RRGGBB pixel.
constexpr std::uint32_t PixelOfColour(std::int32_t colour) {
    const auto c = std::uint32_t(colour);
    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

class SoftAnimation {
public:
    // A picture of the catalogue by its name ("imgChar0", "imgBack3"), decoded.
    using PictureSource = std::function<std::optional<Image32>(const std::string& name)>;

    SoftAnimation(SaverSettings& settings, PictureSource pictures);
    SoftAnimation(const SoftAnimation&) = delete;
    SoftAnimation& operator=(const SoftAnimation&) = delete;

    // Set-up: the sheets, then the population for a screen of this size, drawn
    // from the generator as the saver does. Throws when a picture is missing.
    // (A frame at another size draws the population afresh for that size.)
    void LoadSheets();
    void CreateCharacters(ScreenSize screen);

    // The screen as it was before the animation covered it, for the desktop
    // background; given once, before the first frame.
    void SetDesktop(Image32 desktop) { desktop_ = std::move(desktop); }

    // The message, rasterised by the front end; drawn when the settings show it.
    void SetMessage(std::optional<MessageLayer> message) { message_ = std::move(message); }

    // One frame at this screen size: when the size is not the one the
    // population was made for, the population is made anew for it, as at a
    // start at that size (the window was resized; the Windows saver's screen
    // never is); on the first frame, and whenever the size changed, the
    // background is composed; then the characters move, the
    // frame is rebuilt where they left or entered, and a message in front is
    // drawn over them there. Returns the parts of the frame that changed.
    const FrameChanges& DrawFrame(ScreenSize screen);

    const SoftSurface& Frame() const { return *FrameBitmap; }
    const SoftSurface& Background() const { return *imgBG; }
    const std::vector<moving>& Characters() const { return Chars; }

private:
    void ComposeBackground(ScreenSize screen);
    std::unique_ptr<SoftSurface> Picture(const std::string& name) const;

    SaverSettings& settings_;
    PictureSource pictures_;
    std::array<std::unique_ptr<SoftSurface>, kCharacterCount> imgChar;
    SheetSlots CharImage{};
    std::unique_ptr<SoftSurface> FrameBitmap;
    std::unique_ptr<SoftSurface> imgBG;
    std::vector<moving> Chars;
    std::optional<ScreenSize> population_;  // the size the characters were made for
    std::optional<Image32> desktop_;
    std::optional<MessageLayer> message_;
    std::unique_ptr<FramePipeline> pipeline_;
};

}  // namespace flutt
