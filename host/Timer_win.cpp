#include "host/Timer_win.h"

#include "platform/win/Win32Error.h"
#include "platform/win/WindowObject.h"

namespace flutt {
namespace {

constexpr wchar_t kTimerClass[] = L"TTimerWindow";
constexpr UINT_PTR kTimerId = 1;

}  // namespace

TTimer::TTimer(HINSTANCE instance, UINT intervalMs, std::function<void()> onTimer)
    : onTimer_(std::move(onTimer)), intervalMs_(intervalMs) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &TTimer::WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kTimerClass;
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) win::RaiseLastWin32Error();
    HWND window = ::CreateWindowExW(0, kTimerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
    if (!window) win::RaiseLastWin32Error();
    window_.reset(window);
    if (!::SetTimer(window, kTimerId, intervalMs, nullptr)) win::RaiseLastWin32Error();
}

TTimer::~TTimer() {
    if (window_) ::KillTimer(window_.get(), kTimerId);
}

void TTimer::Stop() {
    if (stopped_) return;
    stopped_ = true;
    // A tick already in the queue is dropped when it arrives.
    ::KillTimer(window_.get(), kTimerId);
}

void TTimer::Start() {
    if (!stopped_) return;
    stopped_ = false;
    if (!::SetTimer(window_.get(), kTimerId, intervalMs_, nullptr)) win::RaiseLastWin32Error();
    ::PostMessageW(window_.get(), WM_TIMER, kTimerId, 0);
}

LRESULT CALLBACK TTimer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* timer = win::WindowObject<TTimer>(window, message, lParam);
    if (timer && message == WM_TIMER && wParam == kTimerId) {
        if (!timer->running_ && !timer->stopped_) {
            timer->running_ = true;
            struct Reset {
                bool& flag;
                ~Reset() { flag = false; }
            } reset{timer->running_};
            timer->onTimer_();
        }
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace flutt
