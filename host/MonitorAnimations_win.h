// A full-screen run on every monitor: each monitor of the desktop shows an
// animation of its own, as the primary shows it when it runs alone. Each is
// the one-monitor animation, made for its monitor's size and drawn in the
// monitor's own coordinates (origin at its top-left corner) at the
// monitor's DPI: its own background, characters and message. The primary's
// is shown in the saver window, each other one in a cover over its monitor
// (input there counts as on the saver window). One tick steps and presents
// them all in turn. A monitor whose buffers cannot be had shows its
// window's black, and the others go on.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <vector>

#include "anim/SaverAnimation_win.h"
#include "host/MonitorCovers_win.h"
#include "host/MonitorLayout.h"
#include "settings/SaverSettings.h"

namespace flutt {

class MonitorAnimations {
public:
    // The primary monitor's number: it is listed first.
    static constexpr std::size_t kPrimary = 0;

    // Makes each monitor's animation (`monitors` as AnimatedMonitors lists
    // them, the primary first; at least one) from the run's settings, takes each one's
    // desktop copy and builds its first frame, the background of the run drawn
    // once for all monitors: the caller does this before any window of its own shows.
    // `instance`: the module that holds the pictures and the covers' class.
    MonitorAnimations(HINSTANCE instance, SaverSettings& settings, const std::vector<Monitor>& monitors);
    MonitorAnimations(const MonitorAnimations&) = delete;
    MonitorAnimations& operator=(const MonitorAnimations&) = delete;

    // Shows the primary's frames in `saverWindow` and puts a cover on every
    // other monitor, just below it, that shows that monitor's frames.
    void ShowWindows(HWND owner, HWND saverWindow, MonitorCovers::Input input);

    // One tick: each monitor's frame in turn, presented in its window.
    void Tick();

    // The monitors changed: an animation goes on with its monitor
    // (KeptAnimations), following the monitor's new size and DPI where they
    // changed; a monitor new to the desktop gets a new one, with its desktop
    // copy taken now; the covers follow the new layout. Every monitor is
    // presented whole at the next tick. The caller fits the saver window to
    // the new primary monitor.
    void Relayout(const std::vector<Monitor>& monitors);  // at least one, the primary first

    // Every monitor is presented whole at the next tick.
    void PresentWholeNext();

    const Monitor& Primary() const { return screens_[kPrimary].monitor; }
    const SaverAnimation& Animation(std::size_t monitor) const { return *screens_[monitor].animation; }

    // The whole current frame of a monitor onto `dc` (a window to repaint);
    // false, drawing nothing, before its first frame.
    bool PresentWhole(std::size_t monitor, HDC dc) const { return screens_[monitor].animation->PresentWhole(dc); }

private:
    struct Screen {
        Monitor monitor;
        // The size the animation covers, which it asks for at each frame.
        std::unique_ptr<ScreenSize> size;
        // The run's settings for this monitor alone: its animation composes
        // its own background and keeps its own record of that.
        std::unique_ptr<SaverSettings> settings;
        std::unique_ptr<SaverAnimation> animation;
        bool presentWhole = false;
    };

    Screen MakeScreen(const Monitor& monitor) const;
    void ChooseBackground();
    void MakeCovers();
    HWND WindowOf(std::size_t monitor) const;

    HINSTANCE instance_;
    SaverSettings& settings_;
    std::vector<Screen> screens_;
    HWND owner_ = nullptr;
    HWND saverWindow_ = nullptr;
    MonitorCovers::Input input_;
    std::unique_ptr<MonitorCovers> covers_;  // of screens_[1] onwards
};

}  // namespace flutt
