// TTimer: a periodic timer on a message-only window of its own, so that it
// keeps ticking whatever happens to the windows it serves. A tick that falls
// due while the previous tick's handler still runs (a handler that pumps
// messages, or an error box) is skipped.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/win/Handles.h"

namespace flutt {

class TTimer {
public:
    TTimer(HINSTANCE instance, UINT intervalMs, std::function<void()> onTimer);
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;
    ~TTimer();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::function<void()> onTimer_;
    bool running_ = false;
    win::unique_hwnd window_;
};

}  // namespace flutt
