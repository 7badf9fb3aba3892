#include "host/MonitorCovers_win.h"

#include <windowsx.h>

#include "platform/win/WindowObject.h"

namespace flutt {
namespace {

constexpr wchar_t kCoverClass[] = L"TMonitorCover";

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM rects) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoW(monitor, &info)) {
        const RECT& r = info.rcMonitor;
        reinterpret_cast<std::vector<ScreenRect>*>(rects)->push_back({r.left, r.top, r.right, r.bottom});
    }
    return TRUE;
}

}  // namespace

std::vector<ScreenRect> MonitorRects() {
    std::vector<ScreenRect> rects;
    ::EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&rects));
    return rects;
}

MonitorCovers::MonitorCovers(HINSTANCE instance, HWND owner, HWND saverWindow, const std::vector<ScreenRect>& rects,
                             Input input)
    : input_(std::move(input)) {
    if (rects.empty()) return;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &MonitorCovers::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = nullptr;  // hidden here as on the saver window
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kCoverClass;
    ::RegisterClassExW(&wc);  // or registered already
    for (const ScreenRect& r : rects) {
        // A cover that cannot be made leaves its monitor as it is; the run goes on.
        win::unique_hwnd cover(::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kCoverClass, L"", WS_POPUP, r.left,
                                                 r.top, r.right - r.left, r.bottom - r.top, owner, nullptr, instance,
                                                 this));
        if (!cover) continue;
        ::SetWindowPos(cover.get(), saverWindow, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        covers_.push_back(std::move(cover));
    }
}

LRESULT MonitorCovers::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE: {
            POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ::ClientToScreen(window, &at);
            input_.mouseMove(at);
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN:
            input_.mouseDown();
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            input_.keyDown();
            break;
        case WM_MOUSEACTIVATE:
            // A click stays a click: the keyboard focus and the z-order remain the saver window's.
            return MA_NOACTIVATE;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK MonitorCovers::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* covers = win::WindowObject<MonitorCovers>(window, message, lParam);
    if (!covers) return ::DefWindowProcW(window, message, wParam, lParam);
    return covers->HandleMessage(window, message, wParam, lParam);
}

}  // namespace flutt
