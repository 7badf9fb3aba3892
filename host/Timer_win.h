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

    // Stop: no tick from now on, not even one already due; the timer makes
    // no wake-up of its own until Start. Start: ticking again, the first
    // tick at once (as soon as the thread takes its next message).
    void Stop();
    void Start();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::function<void()> onTimer_;
    UINT intervalMs_;
    bool running_ = false;
    bool stopped_ = false;
    win::unique_hwnd window_;
};

}  // namespace flutt
