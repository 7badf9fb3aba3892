#include "host/MonitorCovers_win.h"

#include <windowsx.h>

#include <algorithm>

#include "platform/win/Dpi_win.h"
#include "platform/win/WindowObject.h"

namespace flutt {
namespace {

constexpr wchar_t kCoverClass[] = L"TMonitorCover";

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM monitors) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoW(monitor, &info)) {
        const RECT& r = info.rcMonitor;
        reinterpret_cast<std::vector<Monitor>*>(monitors)->push_back(
            {{r.left, r.top, r.right, r.bottom}, win::MonitorDpi(monitor), (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    }
    return TRUE;
}

}  // namespace

std::vector<Monitor> SystemMonitors() {
    std::vector<Monitor> monitors;
    ::EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty()) {
        // None reported: there is still the primary screen.
        monitors.push_back({{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)},
                            win::PrimaryMonitorDpi(), true});
    }
    return monitors;
}

MonitorCovers::MonitorCovers(HINSTANCE instance, HWND owner, HWND saverWindow, const std::vector<ScreenRect>& rects,
                             Input input, Picture picture)
    : input_(std::move(input)), picture_(std::move(picture)) {
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
        covers_.emplace_back(::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kCoverClass, L"", WS_POPUP, r.left,
                                               r.top, r.right - r.left, r.bottom - r.top, owner, nullptr, instance,
                                               this));
        if (!covers_.back()) continue;
        ::SetWindowPos(covers_.back().get(), saverWindow, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
}

void MonitorCovers::Paint(HWND window) {
    const win::unique_paint paint(window);
    const auto cover = std::find_if(covers_.begin(), covers_.end(), [&](const auto& c) { return c.get() == window; });
    if (cover != covers_.end() && picture_(std::size_t(cover - covers_.begin()), paint.get())) return;
    RECT client;
    ::GetClientRect(window, &client);
    ::FillRect(paint.get(), &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
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
        case WM_ERASEBKGND:
            // A cover with a picture paints all of itself: no flash of black first.
            if (picture_) return 1;
            break;
        case WM_PAINT:
            if (!picture_) break;
            Paint(window);
            return 0;
        case WM_DPICHANGED:
            if (!input_.dpiChange) break;
            input_.dpiChange();
            return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK MonitorCovers::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* covers = win::WindowObject<MonitorCovers>(window, message, lParam);
    if (!covers) return ::DefWindowProcW(window, message, wParam, lParam);
    return covers->HandleMessage(window, message, wParam, lParam);
}

}  // namespace flutt
