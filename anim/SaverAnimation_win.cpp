#include "anim/SaverAnimation_win.h"

#include <algorithm>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "platform/win/Fonts_win.h"
#include "platform/win/Resources_win.h"
#include "platform/win/Text_win.h"
#include "platform/win/Win32Error.h"

namespace flutt {
namespace {

std::wstring Numbered(const wchar_t* prefix, int index) { return prefix + std::to_wstring(index); }

RECT ToRect(const PixelRect& r) { return {r.left, r.top, r.right, r.bottom}; }

// One region of the rectangles, in a single call, built in `data` (kept by
// the caller, so that a frame allocates nothing once it has grown).
win::unique_hrgn RegionOf(const std::vector<PixelRect>& rects, std::vector<std::uint8_t>& data) {
    data.resize(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    *header = {};
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = DWORD(rects.size());
    PixelRect box;
    auto* out = reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER));
    for (const PixelRect& r : rects) {
        *out++ = ToRect(r);
        box = BoundingBox(box, r);
    }
    header->rcBound = ToRect(box);
    return win::unique_hrgn(
        ::ExtCreateRegion(nullptr, DWORD(data.size()), reinterpret_cast<const RGNDATA*>(data.data())));
}

}  // namespace

SaverAnimation::SaverAnimation(HINSTANCE pictures, SaverSettings& settings, ScreenSource screen, int dpi)
    : instance_(pictures), settings_(settings), screen_(std::move(screen)), dpi_(dpi), scale_(ScaleForDpi(dpi)) {}

ScreenSize PrimaryScreenSize() { return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}; }

void SaverAnimation::LoadSheets() {
    for (int i = 0; i < kCharacterCount; ++i) {
        imgChar[i] = win::LoadPicture(instance_, Numbered(L"imgChar", i).c_str());
        CharImage[i] = imgChar[i].get();
    }
}

template <class Make>
void SaverAnimation::OrGiveUpFrame(Make&& make) {
    try {
        make();
        return;
    } catch (const win::OutOfMemory&) {
    } catch (const std::bad_alloc&) {
    }
    pipeline_.reset();
    desktopCopy_.reset();
    imgBG.reset();
    FrameBitmap.reset();
}

void SaverAnimation::KeepDesktopCopy(POINT origin) {
    if (!Ready() || !MayShowDesktop(settings_.back2, kReducedBuild)) return;
    OrGiveUpFrame([&] {
        const ScreenSize screen = screen_();
        desktopCopy_ = std::make_unique<win::GdiSurface>(screen.W, screen.H);
        const win::unique_window_dc desktop(nullptr);
        ::BitBlt(desktopCopy_->Dc(), 0, 0, screen.W, screen.H, desktop.get(), origin.x, origin.y, SRCCOPY);
    });
}

void SaverAnimation::CreateFrameBitmap() {
    OrGiveUpFrame([&] {
        const ScreenSize screen = screen_();
        FrameBitmap = std::make_unique<win::GdiSurface>(screen.W, screen.H);
    });
}

void SaverAnimation::FollowScreen(int dpi) {
    const ScreenSize screen = screen_();
    if (FrameBitmap && FrameBitmap->Width() == screen.W && FrameBitmap->Height() == screen.H && dpi == dpi_) return;
    const int scale = ScaleForDpi(dpi);
    for (moving& c : Chars) {
        c.x = c.x * scale_ / scale;
        c.y = c.y * scale_ / scale;
    }
    dpi_ = dpi;
    scale_ = scale;
    messageFont_.reset();
    pipeline_.reset();
    if (settings_.IsBackgroundComposed && imgBG && ComposesDesktopCopy()) {
        // The background is the desktop copy, with what lay under a message
        // drawn on it put back.
        desktopCopy_ = std::move(imgBG);
        if (underMessage_) {
            desktopCopy_->Transfer(0, underMessageTop_, underMessage_->Width(), underMessage_->Height(),
                                   *underMessage_, 0, 0, RasterOp::SrcCopy);
        }
    }
    underMessage_.reset();
    settings_.IsBackgroundComposed = false;
    imgBG.reset();
    FrameBitmap.reset();
    CreateFrameBitmap();
}

void SaverAnimation::CreateCharacters() {
    Chars = MakeCharacters(CharImage, settings_, LogicalScreen(screen_(), scale_));
}

void SaverAnimation::DrawFrame(HDC target) { Present(target, BuildFrame()); }

const FrameChanges& SaverAnimation::BuildFrame() {
    static const FrameChanges kNothing;
    if (!Ready()) return kNothing;
    const ScreenSize screen = screen_();
    if (!settings_.IsBackgroundComposed) {
        ComposeBackground(screen);
        if (!Ready()) return kNothing;
        settings_.IsBackgroundComposed = true;
        if (settings_.IsShownMessage && !settings_.IsMessageFront) {
            KeepUnderMessage(screen);
            if (!Ready()) return kNothing;
            DrawMessage(imgBG->Dc(), screen);
        }
    }
    const FrameChanges& changes = StepFrame(screen);
    if (settings_.IsShownMessage && settings_.IsMessageFront) DrawFrontMessage(changes, screen);
    return changes;
}

void SaverAnimation::ComposeBackground(ScreenSize screen) {
    const auto table = BackgroundTable(kReducedBuild);
    settings_.back2 = ResolveBackgroundIndex(settings_.back2, kReducedBuild);
    const BackgroundEntry& entry = table[std::size_t(settings_.back2)];
    OrGiveUpFrame([&] {
        if (entry.fill == BackgroundFill::DesktopCopy && desktopCopy_ && desktopCopy_->Width() == screen.W &&
            desktopCopy_->Height() == screen.H) {
            // The copy taken at set-up is the background as it is: no second
            // full-screen buffer for it.
            imgBG = std::move(desktopCopy_);
            return;
        }
        FillBackground(entry, screen);
    });
    desktopCopy_.reset();
}

void SaverAnimation::FillBackground(const BackgroundEntry& entry, ScreenSize screen) {
    if (entry.fill == BackgroundFill::DesktopCopy) {
        // The copy taken at set-up, where it still fits: of a screen since
        // resized, black beyond; without one the background stays black.
        imgBG = std::make_unique<win::GdiSurface>(screen.W, screen.H);
        if (desktopCopy_) {
            imgBG->Transfer(0, 0, desktopCopy_->Width(), desktopCopy_->Height(), *desktopCopy_, 0, 0,
                            RasterOp::SrcCopy);
        }
        return;
    }
    // The picture is needed only for this once-per-run composition.
    auto picture = win::LoadPicture(instance_, Numbered(L"imgBack", entry.picture).c_str());
    if (entry.fill == BackgroundFill::Tile && scale_ > 1) {
        // Tiles k times larger, each pixel a k x k block.
        auto enlarged = std::make_unique<win::GdiSurface>(picture->Width() * scale_, picture->Height() * scale_);
        ::GdiFlush();
        EnlargePixels(enlarged->Pixels(), std::as_const(*picture).Pixels(), scale_);
        picture = std::move(enlarged);
    }
    const int pw = picture->Width(), ph = picture->Height();
    if (entry.fill == BackgroundFill::Stretch) {
        // The device's default stretch mode: repeated pixels when enlarging,
        // dropped ones combined by AND when shrinking.
        imgBG = std::make_unique<win::GdiSurface>(screen.W, screen.H);
        ::StretchBlt(imgBG->Dc(), 0, 0, screen.W, screen.H, picture->Dc(), 0, 0, pw, ph, SRCCOPY);
        return;
    }
    // Tiles repeat every ph rows: one row of them is the whole background,
    // a small buffer in place of a full-screen one, unless a message is drawn
    // into it.
    const bool messageBehind = settings_.IsShownMessage && !settings_.IsMessageFront && !settings_.MessageText.empty();
    imgBG = std::make_unique<win::GdiSurface>(screen.W, messageBehind ? screen.H : std::min(ph, screen.H));
    TileSurface(*imgBG, *picture);
}

const FrameChanges& SaverAnimation::StepFrame(ScreenSize screen) {
    ::GdiFlush();  // what GDI drew into the frame and the background is in their pixels
    frameScreen_ = screen;
    if (!pipeline_) pipeline_.emplace(FrameBitmap->Pixels(), std::as_const(*imgBG).Pixels(), scale_);
    return pipeline_->Step(Chars, LogicalScreen(screen, scale_));
}

bool SaverAnimation::ComposesDesktopCopy() const {
    // back2 names a table entry once the background is composed.
    return BackgroundTable(kReducedBuild)[std::size_t(settings_.back2)].fill == BackgroundFill::DesktopCopy;
}

void SaverAnimation::MakeMessageFont(HDC canvas) {
    if (messageFont_) return;
    messageFont_ = win::CreatePointFontAtDpi(win::Widen(settings_.MessageFontName), settings_.MessageFontSize, dpi_);
    const win::select_result selected(canvas, messageFont_.get());
    TEXTMETRICW metrics = {};
    ::GetTextMetricsW(canvas, &metrics);
    messageLineHeight_ = metrics.tmHeight;
}

PixelRect SaverAnimation::MessageBand(ScreenSize screen) const {
    // The message is one line centred on the screen; a line's height of
    // margin above and below for glyphs that overhang.
    const int line = messageLineHeight_;
    return {0, (screen.H - line) / 2 - line, screen.W, (screen.H + line) / 2 + line};
}

void SaverAnimation::KeepUnderMessage(ScreenSize screen) {
    if (!ComposesDesktopCopy() || settings_.MessageText.empty()) return;
    MakeMessageFont(imgBG->Dc());
    const PixelRect band = Intersect(MessageBand(screen), {0, 0, screen.W, screen.H});
    if (band.Empty()) return;
    OrGiveUpFrame([&] {
        underMessage_ = std::make_unique<win::GdiSurface>(band.right - band.left, band.bottom - band.top);
        underMessage_->Transfer(0, 0, band.right - band.left, band.bottom - band.top, *imgBG, 0, band.top,
                                RasterOp::SrcCopy);
        underMessageTop_ = band.top;
    });
}

void SaverAnimation::DrawMessage(HDC canvas, ScreenSize screen) {
    if (settings_.MessageText.empty()) return;
    MakeMessageFont(canvas);
    RECT area = {0, 0, screen.W, screen.H};
    const win::select_result selected(canvas, messageFont_.get());
    ::SetTextColor(canvas, COLORREF(settings_.MessageFontColor));
    ::SetBkColor(canvas, COLORREF(settings_.MessageBGColor));
    ::SetBkMode(canvas, settings_.IsTransparent ? TRANSPARENT : OPAQUE);
    const std::wstring text = win::Widen(settings_.MessageText);
    ::DrawTextW(canvas, text.c_str(), int(text.size()), &area, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
}

void SaverAnimation::DrawFrontMessage(const FrameChanges& changes, ScreenSize screen) {
    HDC canvas = FrameBitmap->Dc();
    if (changes.whole || !messageFont_) {
        DrawMessage(canvas, screen);
        return;
    }
    // Only changes near the message's rows can touch it.
    const PixelRect band = MessageBand(screen);
    messageClip_.clear();
    for (const PixelRect& r : changes.rects) {
        if (!Intersect(r, band).Empty()) messageClip_.push_back(r);
    }
    if (messageClip_.empty()) return;
    // Redrawn only inside the changed rectangles; elsewhere it is still there.
    const win::unique_hrgn region = RegionOf(messageClip_, regionData_);
    ::SelectClipRgn(canvas, region.get());
    DrawMessage(canvas, screen);
    ::SelectClipRgn(canvas, nullptr);
}

void SaverAnimation::Present(HDC target, const FrameChanges& changes) {
    if (!Ready()) return;
    const ScreenSize screen = frameScreen_;
    HDC frame = FrameBitmap->Dc();
    if (changes.whole) {
        ::BitBlt(target, 0, 0, screen.W, screen.H, frame, 0, 0, SRCCOPY);
        return;
    }
    // One copy a box. A clip region of the boxes and one copy cost about
    // the same with 100 characters, but Wine builds a region rectangle by
    // rectangle at a cost that grows with the square of their number (with
    // 300 characters, in process: 2.9 ms against 0.73 ms a frame).
    for (const PixelRect& r : changes.boxes) {
        ::BitBlt(target, r.left, r.top, r.right - r.left, r.bottom - r.top, frame, r.left, r.top, SRCCOPY);
    }
}

bool SaverAnimation::PresentWhole(HDC target) const {
    if (!pipeline_) return false;  // also gone once the frame was given up
    const ScreenSize screen = frameScreen_;
    ::BitBlt(target, 0, 0, screen.W, screen.H, FrameBitmap->Dc(), 0, 0, SRCCOPY);
    return true;
}

}  // namespace flutt
