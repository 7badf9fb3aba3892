#include "host/Application_win.h"

#include "host/HostRules.h"
#include "platform/win/Text_win.h"
#include "platform/win/Win32Error.h"
#include "platform/win/WindowObject.h"

namespace flutt {
namespace {

constexpr wchar_t kApplicationClass[] = L"TApplication";

}  // namespace

void TApplication::Initialize(HINSTANCE instance, const std::wstring& programPath) {
    instance_ = instance;
    title_ = DefaultApplicationTitle(programPath);

    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &TApplication::WindowProc;
    wc.hInstance = instance;
    wc.hIcon = ::LoadIconW(instance, L"MAINICON");
    wc.lpszClassName = kApplicationClass;
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) win::RaiseLastWin32Error();

    // A zero-size, never visible top-level window: the owner of the saver
    // window and of the error boxes.
    HWND window = ::CreateWindowExW(0, kApplicationClass, title_.c_str(), WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU,
                                    0, 0, 0, 0, nullptr, nullptr, instance, this);
    if (!window) win::RaiseLastWin32Error();
    window_.reset(window);
}

void TApplication::SetTitle(const std::wstring& title) {
    title_ = title;
    if (window_) ::SetWindowTextW(window_.get(), title_.c_str());
}

void TApplication::SetMainWindow(HWND window) {
    if (!mainWindow_) mainWindow_ = window;
}

void TApplication::Run() {
    if (!mainWindow_) return;
    if (!::IsWindowVisible(mainWindow_)) ::ShowWindow(mainWindow_, SW_SHOW);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) Deliver(msg);
}

void TApplication::Deliver(const MSG& msg) {
    if (filter_ && filter_(msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

void TApplication::Terminate() { ::PostQuitMessage(0); }

void TApplication::ShowException(const std::exception& error) const {
    const std::wstring text = ErrorBoxText(win::Widen(error.what()));
    HWND owner = window_.get();
    UINT style = MB_ICONERROR | MB_OK;
    if (mainWindow_ && ::IsWindowVisible(mainWindow_) &&
        (::GetWindowLongW(mainWindow_, GWL_EXSTYLE) & WS_EX_TOPMOST)) {
        // Over a full-screen run: on top of it, where the next key is seen to
        // dismiss it, rather than beneath it.
        owner = mainWindow_;
        style |= MB_TOPMOST;
    }
    ::MessageBoxW(owner, text.c_str(), title_.c_str(), style);
}

LRESULT CALLBACK TApplication::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* app = win::WindowObject<TApplication>(window, message, lParam);
    if (app && message == WM_DISPLAYCHANGE && app->mainWindow_) {
        // Only top-level windows hear of a new screen size; a preview's window
        // is a child, so pass it on.
        ::SendMessageW(app->mainWindow_, message, wParam, lParam);
    }
    if (app && message == WM_CLOSE) {
        // A close request to the application goes to its main window, which
        // asks its close query.
        if (app->mainWindow_) ::SendMessageW(app->mainWindow_, WM_CLOSE, 0, 0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace flutt
