// The saver's picture: character sheets, the composed background, the
// full-screen frame buffer and the characters, drawn one frame per tick.
// GDI composes the background and draws the message; the frame pipeline
// rebuilds what moves in the frame's pixels, and only that is presented.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "anim/Background.h"
#include "anim/DisplayScale.h"
#include "anim/FramePipeline.h"
#include "anim/Moving.h"
#include "assets/BuildVariant.h"
#include "platform/win/GdiSurface.h"
#include "platform/win/Handles.h"
#include "settings/SaverSettings.h"

namespace flutt {

// The primary display's size, asked afresh at each call.
ScreenSize PrimaryScreenSize();

class SaverAnimation {
public:
    using ScreenSource = std::function<ScreenSize()>;

    // `pictures`: the module holding the pictures. `screen`: the size W x H
    // in physical pixels that the animation covers, asked afresh at each use.
    // `dpi`: the display's dots per inch. From it comes the scale k
    // (ScaleForDpi): the characters move on the logical screen W/k x H/k and
    // are drawn k times larger, tiled pictures are tiled k times larger; the
    // desktop copy, stretched pictures and the message (its font sized for
    // the DPI) are drawn at full physical resolution.
    SaverAnimation(HINSTANCE pictures, SaverSettings& settings, ScreenSource screen = PrimaryScreenSize,
                   int dpi = kBaseDpi);
    SaverAnimation(const SaverAnimation&) = delete;
    SaverAnimation& operator=(const SaverAnimation&) = delete;

    // Set-up, in this order, with the settings loaded between the first two.
    // A full-screen buffer that the process cannot get (a screen too large
    // for its memory) throws nothing: the animation stays without a frame,
    // Ready() is false and nothing is drawn, so the window shows its own
    // black and input still ends the run.
    void LoadSheets();
    void CreateFrameBitmap();
    void CreateCharacters();
    // Copies the screen now, when the background can turn out to be the
    // desktop: the caller does this before any window of its own is shown, so
    // the copy holds the other programs' windows as they are, never a window
    // of ours or one that has yet to repaint. Kept until the first frame.
    // `origin`: where the animation's screen lies on the desktop, in screen
    // coordinates (a monitor's top-left corner).
    void KeepDesktopCopy(POINT origin = {0, 0});

    // The screen changed during the run (a new display mode, a new scale):
    // from the next frame on the animation covers the size the screen source
    // gives now, at `dpi`. The frame buffer and the background are made again
    // and that frame is drawn whole; the characters carry on from where they
    // are (at a new scale, from the same place on the screen) and wrap at the
    // new edges. A tiled or stretched background is composed anew; the
    // desktop copy keeps what still fits at its place and is black beyond, as
    // it cannot be taken again with the saver on top. Nothing is done where
    // the size and the DPI are those of the current frame buffer.
    void FollowScreen(int dpi);

    // The size the screen source gives now, the DPI drawn for and the scale k.
    ScreenSize Screen() const { return screen_(); }
    int Dpi() const { return dpi_; }
    int Scale() const { return scale_; }

    // One frame: the background (composed on the first call), the
    // characters, the message, then the changed parts copied onto `target`
    // (the whole frame the first time). BuildFrame and Present are its two
    // halves, for a caller that gets its target only when there is
    // something to present.
    // BuildFrame reports no change once the frame is given up (above).
    void DrawFrame(HDC target);
    const FrameChanges& BuildFrame();
    void Present(HDC target, const FrameChanges& changes);

    // Copies the whole current frame onto `target` (a window to repaint);
    // false, drawing nothing, before the first frame.
    bool PresentWhole(HDC target) const;

    // The steps of BuildFrame, for measuring. A frame asks the screen's size
    // once and hands it to every step (asking costs a third of a millisecond
    // under Wine).
    void ComposeBackground(ScreenSize screen);
    const FrameChanges& StepFrame(ScreenSize screen);
    void DrawMessage(HDC canvas, ScreenSize screen);
    void DrawFrontMessage(const FrameChanges& changes, ScreenSize screen);

    bool Ready() const { return FrameBitmap != nullptr; }
    bool HasFrame() const { return pipeline_.has_value(); }
    const win::GdiSurface* Frame() const { return FrameBitmap.get(); }
    // The background: as high as the screen, or for a tiled picture one row
    // of tiles whose rows repeat down the screen (FramePipeline).
    const win::GdiSurface* Background() const { return imgBG.get(); }
    const std::vector<moving>& Characters() const { return Chars; }
    void ReleaseCharacters() { Chars.clear(); }

private:
    void FillBackground(const BackgroundEntry& entry, ScreenSize screen);
    bool ComposesDesktopCopy() const;  // once the background is composed
    void MakeMessageFont(HDC canvas);
    PixelRect MessageBand(ScreenSize screen) const;  // the rows a centred message can touch
    void KeepUnderMessage(ScreenSize screen);
    // Runs `make`; where the memory for it cannot be had, frees every
    // full-screen buffer and leaves the animation without a frame.
    template <class Make>
    void OrGiveUpFrame(Make&& make);

    HINSTANCE instance_;
    SaverSettings& settings_;
    ScreenSource screen_;
    int dpi_;
    int scale_;
    std::array<std::unique_ptr<win::GdiSurface>, kCharacterCount> imgChar;
    SheetSlots CharImage{};
    std::unique_ptr<win::GdiSurface> FrameBitmap;
    std::unique_ptr<win::GdiSurface> imgBG;
    std::unique_ptr<win::GdiSurface> desktopCopy_;  // taken at set-up, until the first frame
    // The rows of a desktop-copy background under a message drawn on it, and
    // where they lie: a new screen size composes the background from the copy.
    std::unique_ptr<win::GdiSurface> underMessage_;
    int underMessageTop_ = 0;
    std::vector<moving> Chars;
    std::optional<FramePipeline> pipeline_;  // from the first frame on
    ScreenSize frameScreen_;                 // the screen's size the last frame was built for
    win::unique_hfont messageFont_;
    int messageLineHeight_ = 0;
    std::vector<PixelRect> messageClip_;    // kept between frames, as is:
    std::vector<std::uint8_t> regionData_;  // the clip of the message in front
};

}  // namespace flutt
