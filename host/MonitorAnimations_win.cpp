#include "host/MonitorAnimations_win.h"

#include <algorithm>
#include <utility>

#include "anim/Background.h"
#include "assets/BuildVariant.h"
#include "platform/win/Handles.h"

namespace flutt {

MonitorAnimations::MonitorAnimations(HINSTANCE instance, SaverSettings& settings, const std::vector<Monitor>& monitors)
    : instance_(instance), settings_(settings) {
    // The primary's characters come first from the generator, as in a run on
    // the primary alone.
    for (const Monitor& monitor : monitors) screens_.push_back(MakeScreen(monitor));
    // Each monitor's first frame, built before the windows show: their first
    // paints present them whole, with no black and no wait for the first tick.
    ChooseBackground();
    for (Screen& screen : screens_) screen.animation->BuildFrame();
}

void MonitorAnimations::ChooseBackground() {
    // One background for the run: a random one is drawn once, for every
    // monitor, and each monitor's composition takes that entry.
    settings_.back2 = ResolveBackgroundIndex(settings_.back2, kReducedBuild);
    for (Screen& screen : screens_) screen.settings->back2 = settings_.back2;
}

MonitorAnimations::Screen MonitorAnimations::MakeScreen(const Monitor& monitor) const {
    Screen screen{monitor, std::make_unique<ScreenSize>(ScreenSize{monitor.Width(), monitor.Height()}),
                  std::make_unique<SaverSettings>(settings_), nullptr};
    screen.settings->IsBackgroundComposed = false;
    const ScreenSize* size = screen.size.get();
    screen.animation =
        std::make_unique<SaverAnimation>(instance_, *screen.settings, [size] { return *size; }, monitor.dpi);
    screen.animation->LoadSheets();
    screen.animation->CreateFrameBitmap();
    screen.animation->CreateCharacters();
    screen.animation->KeepDesktopCopy({monitor.rect.left, monitor.rect.top});
    return screen;
}

void MonitorAnimations::ShowWindows(HWND owner, HWND saverWindow, MonitorCovers::Input input) {
    owner_ = owner;
    saverWindow_ = saverWindow;
    input_ = std::move(input);
    MakeCovers();
}

void MonitorAnimations::MakeCovers() {
    covers_.reset();
    std::vector<ScreenRect> rects;
    for (std::size_t i = kPrimary + 1; i < screens_.size(); ++i) rects.push_back(screens_[i].monitor.rect);
    auto picture = [this](std::size_t cover, HDC dc) { return PresentWhole(cover + 1, dc); };
    covers_ = std::make_unique<MonitorCovers>(instance_, owner_, saverWindow_, rects, input_, picture);
}

HWND MonitorAnimations::WindowOf(std::size_t monitor) const {
    if (monitor == kPrimary) return saverWindow_;
    return covers_ ? covers_->Window(monitor - 1) : nullptr;
}

void MonitorAnimations::Tick() {
    for (std::size_t i = 0; i < screens_.size(); ++i) {
        Screen& screen = screens_[i];
        const FrameChanges& changes = screen.animation->BuildFrame();
        HWND window = WindowOf(i);
        // A tick in which nothing changed costs no device context.
        if (!window || (!screen.presentWhole && !changes.whole && changes.rects.empty())) continue;
        const win::unique_window_dc dc(window);
        if (screen.presentWhole) {
            screen.presentWhole = !screen.animation->PresentWhole(dc.get());
        } else {
            screen.animation->Present(dc.get(), changes);
        }
    }
}

void MonitorAnimations::PresentWholeNext() {
    for (Screen& screen : screens_) screen.presentWhole = true;
}

void MonitorAnimations::Relayout(const std::vector<Monitor>& monitors) {
    std::vector<Monitor> before;
    for (const Screen& screen : screens_) before.push_back(screen.monitor);
    const std::vector<int> kept = KeptAnimations(before, monitors);
    std::vector<Screen> screens;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        if (kept[i] < 0) {
            // Before the covers move: a new monitor's desktop has nothing of ours on it yet.
            screens.push_back(MakeScreen(monitors[i]));
            continue;
        }
        Screen& screen = screens.emplace_back(std::move(screens_[std::size_t(kept[i])]));
        *screen.size = {monitors[i].Width(), monitors[i].Height()};
        screen.animation->FollowScreen(monitors[i].dpi);
        screen.monitor = monitors[i];
        screen.presentWhole = true;
    }
    const bool coversStay = std::equal(before.begin() + 1, before.end(), monitors.begin() + 1, monitors.end(),
                                       [](const Monitor& a, const Monitor& b) { return a.rect == b.rect; });
    screens_ = std::move(screens);
    if (saverWindow_ && !coversStay) MakeCovers();
}

}  // namespace flutt
