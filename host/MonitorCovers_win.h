// The windows that cover the other monitors during a full-screen run, so
// that the whole desktop rests, not only the primary screen: plain black,
// or, in a run on every monitor, each showing its monitor's animation.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <vector>

#include "host/MonitorLayout.h"
#include "platform/win/Handles.h"

namespace flutt {

// The monitors as the system reports them now, each with its DPI; at least
// the primary screen.
std::vector<Monitor> SystemMonitors();

class MonitorCovers {
public:
    // What input on a cover means to the run: a mouse position in screen
    // coordinates, a button pressed, a key pressed; and, optionally, that the
    // DPI of a cover's monitor changed.
    struct Input {
        std::function<void(POINT)> mouseMove;
        std::function<void()> mouseDown;
        std::function<void()> keyDown;
        std::function<void()> dpiChange;
    };
    // What a cover shows: its whole picture drawn onto `dc` of cover number
    // `cover`, false where there is none yet. Without one a cover is black.
    using Picture = std::function<bool(std::size_t cover, HDC dc)>;

    // One top-most cover without a cursor for each rectangle, shown just
    // below `saverWindow` without taking the activation from it. `owner`
    // keeps the covers off the taskbar.
    MonitorCovers(HINSTANCE instance, HWND owner, HWND saverWindow, const std::vector<ScreenRect>& rects, Input input,
                  Picture picture = {});
    MonitorCovers(const MonitorCovers&) = delete;
    MonitorCovers& operator=(const MonitorCovers&) = delete;

    // The cover of rects[i]; none where it could not be made (its monitor is
    // left as it is, and the run goes on).
    HWND Window(std::size_t i) const { return i < covers_.size() ? covers_[i].get() : nullptr; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HWND window);

    Input input_;
    Picture picture_;
    std::vector<win::unique_hwnd> covers_;
};

}  // namespace flutt
