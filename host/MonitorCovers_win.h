// The black windows that cover the other monitors during a full-screen run,
// so that the whole desktop rests, not only the primary screen.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "host/MonitorLayout.h"
#include "platform/win/Handles.h"

namespace flutt {

// The monitors' rectangles as the system reports them now.
std::vector<ScreenRect> MonitorRects();

class MonitorCovers {
public:
    // What input on a cover means to the run: a mouse position in screen
    // coordinates, a button pressed, a key pressed.
    struct Input {
        std::function<void(POINT)> mouseMove;
        std::function<void()> mouseDown;
        std::function<void()> keyDown;
    };

    // One top-most, black cover without a cursor for each rectangle, shown
    // just below `saverWindow` without taking the activation from it.
    // `owner` keeps the covers off the taskbar.
    MonitorCovers(HINSTANCE instance, HWND owner, HWND saverWindow, const std::vector<ScreenRect>& rects, Input input);
    MonitorCovers(const MonitorCovers&) = delete;
    MonitorCovers& operator=(const MonitorCovers&) = delete;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    Input input_;
    std::vector<win::unique_hwnd> covers_;
};

}  // namespace flutt
