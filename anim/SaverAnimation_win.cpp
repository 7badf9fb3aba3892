#include "anim/SaverAnimation_win.h"

#include <string>

#include "platform/win/Fonts_win.h"
#include "platform/win/Resources_win.h"
#include "platform/win/Text_win.h"

namespace flutt {
namespace {

std::wstring Numbered(const wchar_t* prefix, int index) { return prefix + std::to_wstring(index); }

}  // namespace

SaverAnimation::SaverAnimation(HINSTANCE pictures, SaverSettings& settings, ScreenSource screen)
    : instance_(pictures), settings_(settings), screen_(std::move(screen)) {}

ScreenSize PrimaryScreenSize() { return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}; }

void SaverAnimation::LoadSheets() {
    for (int i = 0; i < kCharacterCount; ++i) {
        imgChar[i] = win::LoadPicture(instance_, Numbered(L"imgChar", i).c_str());
        CharImage[i] = imgChar[i].get();
    }
}

void SaverAnimation::KeepDesktopCopy() {
    if (!MayShowDesktop(settings_.back2, kReducedBuild)) return;
    const ScreenSize screen = screen_();
    desktopCopy_ = std::make_unique<win::GdiSurface>(screen.W, screen.H);
    const win::unique_window_dc desktop(nullptr);
    ::BitBlt(desktopCopy_->Dc(), 0, 0, screen.W, screen.H, desktop.get(), 0, 0, SRCCOPY);
}

void SaverAnimation::CreateFrameBitmap() {
    const ScreenSize screen = screen_();
    FrameBitmap = std::make_unique<win::GdiSurface>(screen.W, screen.H);
}

void SaverAnimation::CreateCharacters() { Chars = MakeCharacters(CharImage, settings_, screen_()); }

void SaverAnimation::DrawFrame(HDC target) {
    const ScreenSize screen = screen_();
    if (!settings_.IsBackgroundComposed) {
        ComposeBackground(screen);
        settings_.IsBackgroundComposed = true;
        if (settings_.IsShownMessage && !settings_.IsMessageFront) DrawMessage(imgBG->Dc(), screen);
    }
    CopyBackground(screen);
    DrawCharacters(screen);
    if (settings_.IsShownMessage && settings_.IsMessageFront) DrawMessage(FrameBitmap->Dc(), screen);
    Present(target, screen);
}

void SaverAnimation::ComposeBackground(ScreenSize screen) {
    const auto table = BackgroundTable(kReducedBuild);
    settings_.back2 = ResolveBackgroundIndex(settings_.back2, kReducedBuild);
    imgBG = std::make_unique<win::GdiSurface>(screen.W, screen.H);
    FillBackground(table[std::size_t(settings_.back2)], screen);
}

void SaverAnimation::FillBackground(const BackgroundEntry& entry, ScreenSize screen) {
    if (entry.fill == BackgroundFill::DesktopCopy) {
        // The copy taken at set-up; without one the background stays black.
        if (desktopCopy_) {
            imgBG->Transfer(0, 0, desktopCopy_->Width(), desktopCopy_->Height(), *desktopCopy_, 0, 0,
                            RasterOp::SrcCopy);
        }
        desktopCopy_.reset();
        return;
    }
    // The picture is needed only for this once-per-run composition.
    const auto picture = win::LoadPicture(instance_, Numbered(L"imgBack", entry.picture).c_str());
    const int pw = picture->Width(), ph = picture->Height();
    if (entry.fill == BackgroundFill::Stretch) {
        // The device's default stretch mode: repeated pixels when enlarging,
        // dropped ones combined by AND when shrinking.
        ::StretchBlt(imgBG->Dc(), 0, 0, screen.W, screen.H, picture->Dc(), 0, 0, pw, ph, SRCCOPY);
        return;
    }
    for (const TilePosition& tile : TilePlan(screen.W, screen.H, pw, ph)) {
        imgBG->Transfer(tile.x, tile.y, pw, ph, *picture, 0, 0, RasterOp::SrcCopy);
    }
}

void SaverAnimation::CopyBackground(ScreenSize screen) {
    FrameBitmap->Transfer(0, 0, screen.W, screen.H, *imgBG, 0, 0, RasterOp::SrcCopy);
}

void SaverAnimation::DrawCharacters(ScreenSize screen) {
    for (moving& c : Chars) {
        c.move(screen);
        c.draw(*FrameBitmap);
    }
}

void SaverAnimation::DrawMessage(HDC canvas, ScreenSize screen) {
    if (settings_.MessageText.empty()) return;
    if (!messageFont_) {
        messageFont_ = win::CreatePointFont(win::Widen(settings_.MessageFontName), settings_.MessageFontSize, canvas);
    }
    RECT area = {0, 0, screen.W, screen.H};
    const win::select_result selected(canvas, messageFont_.get());
    ::SetTextColor(canvas, COLORREF(settings_.MessageFontColor));
    ::SetBkColor(canvas, COLORREF(settings_.MessageBGColor));
    ::SetBkMode(canvas, settings_.IsTransparent ? TRANSPARENT : OPAQUE);
    const std::wstring text = win::Widen(settings_.MessageText);
    ::DrawTextW(canvas, text.c_str(), int(text.size()), &area, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
}

void SaverAnimation::Present(HDC target, ScreenSize screen) const {
    ::BitBlt(target, 0, 0, screen.W, screen.H, FrameBitmap->Dc(), 0, 0, SRCCOPY);
}

}  // namespace flutt
