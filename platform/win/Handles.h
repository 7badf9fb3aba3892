// Owners for Win32 handles: one non-copyable owner per handle kind, each
// storing everything its release needs.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <wtsapi32.h>

#include <memory>
#include <utility>

namespace flutt::win {

template <typename Handle, auto Release>
struct HandleDeleter {
    using pointer = Handle;
    void operator()(Handle h) const noexcept {
        if (h) Release(h);
    }
};

template <typename Handle, auto Release>
using unique_any = std::unique_ptr<std::remove_pointer_t<Handle>, HandleDeleter<Handle, Release>>;

using unique_hkey = unique_any<HKEY, &::RegCloseKey>;
using unique_handle = unique_any<HANDLE, &::CloseHandle>;
using unique_hdc = unique_any<HDC, &::DeleteDC>;          // from CreateCompatibleDC
using unique_hbitmap = unique_any<HBITMAP, &::DeleteObject>;
using unique_hfont = unique_any<HFONT, &::DeleteObject>;
using unique_hwnd = unique_any<HWND, &::DestroyWindow>;
using unique_hbrush = unique_any<HBRUSH, &::DeleteObject>;
using unique_hrgn = unique_any<HRGN, &::DeleteObject>;
using unique_hicon = unique_any<HICON, &::DestroyIcon>;                   // from LoadImage without LR_SHARED
using unique_himagelist = unique_any<HIMAGELIST, &::ImageList_Destroy>;
using unique_hmodule = unique_any<HMODULE, &::FreeLibrary>;             // from LoadLibrary
// A window's registration for a power setting's notifications.
using unique_power_notification = unique_any<HPOWERNOTIFY, &::UnregisterPowerSettingNotification>;
// A window's registration for session changes, held as the window it was made
// for; released before that window is destroyed.
using unique_session_notification = unique_any<HWND, &::WTSUnRegisterSessionNotification>;

// A device context from GetDC, released with the window it came from.
class unique_window_dc {
public:
    explicit unique_window_dc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~unique_window_dc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    unique_window_dc(const unique_window_dc&) = delete;
    unique_window_dc& operator=(const unique_window_dc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A window's painting, from BeginPaint to EndPaint.
class unique_paint {
public:
    explicit unique_paint(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
    ~unique_paint() {
        if (dc_) ::EndPaint(window_, &paint_);
    }
    unique_paint(const unique_paint&) = delete;
    unique_paint& operator=(const unique_paint&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_ = {};
    HDC dc_;
};

// An object selected into a device context, put back on destruction.
class select_result {
public:
    select_result(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~select_result() {
        if (previous_) ::SelectObject(dc_, previous_);
    }
    select_result(const select_result&) = delete;
    select_result& operator=(const select_result&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace flutt::win
