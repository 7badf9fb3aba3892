#include "platform/win/Dpi_win.h"

#include "platform/win/Handles.h"

namespace flutt::win {
namespace {

// Windows 8.1's shcore GetDpiForMonitor; 0 for MDT_EFFECTIVE_DPI.
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
// Windows 10 1607's user32 functions.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

template <class Function>
Function Lookup(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

HMODULE User32() { return ::GetModuleHandleW(L"user32.dll"); }

// shcore.dll, loaded once for the rest of the process (none before Windows 8.1).
HMODULE Shcore() {
    static const unique_hmodule module(::LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    return module.get();
}

int SystemDpi() {
    const unique_window_dc screen(nullptr);
    return ::GetDeviceCaps(screen.get(), LOGPIXELSX);
}

}  // namespace

int MonitorDpi(HMONITOR monitor) {
    static const auto getDpiForMonitor = Lookup<GetDpiForMonitorFn>(Shcore(), "GetDpiForMonitor");
    UINT x = 0, y = 0;
    if (monitor && getDpiForMonitor && SUCCEEDED(getDpiForMonitor(monitor, 0, &x, &y)) && x > 0) return int(x);
    return SystemDpi();
}

int PrimaryMonitorDpi() { return MonitorDpi(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY)); }

int WindowDpi(HWND window) {
    static const auto getDpiForWindow = Lookup<GetDpiForWindowFn>(User32(), "GetDpiForWindow");
    if (getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(window)) return int(dpi);
    }
    return MonitorDpi(::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY));
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
    static const auto adjust = Lookup<AdjustWindowRectExForDpiFn>(User32(), "AdjustWindowRectExForDpi");
    if (adjust && adjust(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi))) return;
    ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

}  // namespace flutt::win
