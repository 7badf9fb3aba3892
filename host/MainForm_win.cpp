#include "host/MainForm_win.h"

#include <commctrl.h>
#include <imm.h>
#include <windowsx.h>

#include <cstring>
#include <stdexcept>

#include "host/HostRules.h"
#include "host/RunState.h"
#include "platform/win/Dpi_win.h"
#include "platform/win/Registry_win.h"
#include "platform/win/Win32Error.h"
#include "platform/win/WindowObject.h"

namespace flutt {
namespace {

constexpr wchar_t kMainFormClass[] = L"TMainForm";
constexpr wchar_t kCaption[] = L"MainForm";
constexpr DWORD kPreviewStyle = 0x56000000;  // WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN
constexpr UINT kFrameIntervalMs = 100;
constexpr int kFocusEditWidth = 121;
constexpr int kFocusEditHeight = 21;

// The focus edit sits beyond the primary screen's right edge, out of sight.
int FocusEditLeft() { return ::GetSystemMetrics(SM_CXSCREEN) + 100; }

HWND HostWindowHandle() { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(CurrentHostWindow())); }

void RegisterWindowClass(HINSTANCE instance, WNDPROC proc) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = ::LoadIconW(instance, L"MAINICON");
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kMainFormClass;
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) win::RaiseLastWin32Error();
}

}  // namespace

TMainForm::TMainForm(TApplication& app, SaverSettings& settings, AudienceRegistrars registrars)
    : app_(app),
      settings_(settings),
      isSaver_(CurrentRunMode() == RunMode::Saver),
      screen_(PrimaryScreenSize()),
      dpi_(isSaver_ ? win::PrimaryMonitorDpi() : win::WindowDpi(HostWindowHandle())),
      animation_(app.Instance(), settings, [this] { return screen_; }, dpi_) {
    RegisterWindowClass(app_.Instance(), &TMainForm::WindowProc);
    Timer1 = std::make_unique<TTimer>(app_.Instance(), kFrameIntervalMs,
                                      [this] { RunHandler(app_, [this] { Timer1Timer(); }); });

    if (isSaver_) {
        width_ = screen_.W;
        height_ = screen_.H;
        POINT cursor;
        if (::GetCursorPos(&cursor)) StartCursorPos = {cursor.x, cursor.y, true};
        ::ShowCursor(FALSE);
        settings_.IsPreview = false;
        settings_.StartTick = ::GetTickCount();
    } else {
        RECT host = {0, 0, 0, 0};
        ::GetWindowRect(HostWindowHandle(), &host);
        width_ = host.right - host.left;
        height_ = host.bottom - host.top;
        settings_.IsPreview = true;
    }

    RunHandler(app_, [this] { FormCreate(); });

    CreateHandle();
    app_.SetMainWindow(window_);
    ::SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::ShowWindow(window_, SW_SHOWMAXIMIZED);
    FormShow();
    if (isSaver_) {
        ::SetFocus(edtFocus);
        if (monitors_) {
            MonitorCovers::Input input = CoverInput();
            input.dpiChange = [this] { layoutChanged_ = true; };
            monitors_->ShowWindows(app_.Handle(), window_, std::move(input));
        } else {
            CoverOtherMonitors();
        }
        WatchAudience(registrars);
    }
}

TMainForm::~TMainForm() {
    Timer1.reset();
    covers_.reset();
    monitors_.reset();
    if (window_ && ::IsWindow(window_)) ::DestroyWindow(window_);
}

void TMainForm::CreateHandle() {
    DWORD style = WS_POPUP | WS_MAXIMIZE;
    HWND parent = app_.Handle();  // the owner of a top-level window
    if (!isSaver_) {
        style = kPreviewStyle;
        parent = HostWindowHandle();
        if (!parent) throw std::runtime_error("コントロール 'MainForm' は親ウィンドウを持っていません");
    }
    app_.SetMessageFilter([this](const MSG& msg) { return SysCommandFilter(msg); });

    ::SetLastError(ERROR_SUCCESS);
    HWND window = ::CreateWindowExW(0, kMainFormClass, kCaption, style, 0, 0, width_, height_, parent, nullptr,
                                    app_.Instance(), this);
    if (!window) win::RaiseLastWin32Error();

    edtFocus = ::CreateWindowExW(0, L"EDIT", L"edtFocus", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                                 FocusEditLeft(), 0, kFocusEditWidth, kFocusEditHeight, window,
                                 nullptr, app_.Instance(), nullptr);
    if (!edtFocus) win::RaiseLastWin32Error();
    ::ImmAssociateContext(edtFocus, nullptr);
    ::SetWindowSubclass(edtFocus, &TMainForm::FocusEditProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

MonitorCovers::Input TMainForm::CoverInput() {
    // Input on a cover counts as on the saver window; a cover's mouse
    // position is in screen coordinates, as StartCursorPos is.
    return {
        [this](POINT at) { RunHandler(app_, [&] { FormMouseMove(at.x, at.y); }); },
        [this] { RunHandler(app_, [this] { FormMouseDown(); }); },
        [this] { RunHandler(app_, [this] { FormKeyDown(); }); },
        {},
    };
}

void TMainForm::CoverOtherMonitors() {
    std::vector<ScreenRect> monitors;
    for (const Monitor& monitor : SystemMonitors()) monitors.push_back(monitor.rect);
    covers_ = std::make_unique<MonitorCovers>(app_.Instance(), app_.Handle(), window_,
                                              CoverRects(monitors, {0, 0, width_, height_}), CoverInput());
}

bool TMainForm::SysCommandFilter(const MSG& msg) const { return IsDroppedSysCommand(msg.message, msg.wParam); }

void TMainForm::FormCreate() {
    // The window's own colour is black: its class brush.
    animation_.LoadSheets();
    win::CurrentUserRegistry registry;
    LoadSettings(registry, settings_);
    if (isSaver_ && settings_.IsOnEveryMonitor) {
        // Every monitor its own animation, the primary's among them (the
        // sheets above stay unused); their desktop copies are taken here too.
        monitors_ = std::make_unique<MonitorAnimations>(app_.Instance(), settings_, RunMonitors());
        return;
    }
    animation_.CreateFrameBitmap();
    // scrMain is the window's whole client area: frames are presented there.
    animation_.CreateCharacters();
    // Nothing of ours is on screen yet: the copy sees the desktop as it is.
    animation_.KeepDesktopCopy();
    // The first frame, built before the window shows: its first paint
    // presents it whole, with no black and no wait for the first tick.
    animation_.BuildFrame();
}

void TMainForm::FormShow() { ::ShowWindow(app_.Handle(), SW_HIDE); }

void TMainForm::FormDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    // Released while the window they were made for still exists.
    consoleDisplayNote_.reset();
    sessionDisplayNote_.reset();
    sessionNote_.reset();
    covers_.reset();
    monitors_.reset();
    ::ShowCursor(TRUE);
    animation_.ReleaseCharacters();
}

// Timer1 stops while nobody can see a full-screen run (FollowAudience), and
// with it the checks below. That is safe: a full-screen window destroyed from
// outside ends the run by its WM_DESTROY (WindowGone matters for a preview,
// which never stops); a new layout is kept in layoutChanged_ and followed by
// the first tick back, before its frame; and a foreground lost during the
// guard closes the run at that tick, as nobody saw the saver meanwhile.
void TMainForm::Timer1Timer() {
    if (WindowGone()) {
        // Destroyed from outside without a close request (a preview host that
        // exited or destroyed its preview area): the run never outlives its window.
        app_.Terminate();
        return;
    }
    if (layoutChanged_) FollowNewLayout();
    // The saver may be the foreground window again without a WM_ACTIVATE of
    // its own (the other program's activation undone before ours was taken
    // back): only a foreground another program still holds ends the run.
    if (foregroundLost_ && ::GetForegroundWindow() == window_) foregroundLost_ = false;
    if (foregroundLost_ && FormCloseQuery()) {
        // Another program took the foreground during the guard and kept it.
        Close();
        return;
    }
    if (monitors_) {
        monitors_->Tick();
        return;
    }
    if (!animation_.Ready()) return;  // the set-up failed and was reported
    const FrameChanges& changes = animation_.BuildFrame();
    // A tick in which nothing changed costs no device context.
    if (!presentWhole_ && !changes.whole && changes.rects.empty()) return;
    const win::unique_window_dc scrMain(window_);
    if (presentWhole_) {
        presentWhole_ = !animation_.PresentWhole(scrMain.get());
    } else {
        animation_.Present(scrMain.get(), changes);
    }
}

void TMainForm::WatchAudience(const AudienceRegistrars& registrars) {
    // Each registration that fails leaves its notifications unsent: the run
    // then draws as if the display were on and the session at the console.
    constexpr DWORD kToWindow = DEVICE_NOTIFY_WINDOW_HANDLE;
    consoleDisplayNote_.reset(registrars.powerSetting(window_, &GUID_CONSOLE_DISPLAY_STATE, kToWindow));
    // The display that shows this session: the console's, or a remote one.
    sessionDisplayNote_.reset(registrars.powerSetting(window_, &GUID_SESSION_DISPLAY_STATUS, kToWindow));
    if (registrars.session(window_, NOTIFY_FOR_THIS_SESSION)) sessionNote_.reset(window_);
}

void TMainForm::FollowAudience(const RunAudience& now) {
    const bool ran = FramesRun(audience_), run = FramesRun(now);
    audience_ = now;
    if (run == ran) return;
    if (!run) {
        Timer1->Stop();
        return;
    }
    // Seen again: the next frame at once and whole, the characters going on
    // from where they were, then the ticks as before.
    if (monitors_) {
        monitors_->PresentWholeNext();
    } else {
        presentWhole_ = true;
    }
    Timer1->Start();
}

std::vector<Monitor> TMainForm::RunMonitors() const {
    std::vector<Monitor> monitors = AnimatedMonitors(SystemMonitors());
    // The saver window covers the primary screen whatever the system says.
    if (monitors.empty()) monitors.push_back({{0, 0, screen_.W, screen_.H}, dpi_, true});
    return monitors;
}

void TMainForm::FollowNewLayout() {
    layoutChanged_ = false;
    screen_ = PrimaryScreenSize();
    ScreenRect primary = {0, 0, screen_.W, screen_.H};
    if (monitors_) {
        monitors_->Relayout(RunMonitors());
        primary = monitors_->Primary().rect;
    } else {
        animation_.FollowScreen(dpi_);
    }
    width_ = primary.right - primary.left;
    height_ = primary.bottom - primary.top;
    ::SetWindowPos(window_, nullptr, primary.left, primary.top, width_, height_, SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(edtFocus, nullptr, FocusEditLeft(), 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!monitors_) CoverOtherMonitors();
}

void TMainForm::FormDeactivate() {
    if (FormCloseQuery()) {
        // Like input: the key that wakes the screen must not land in a window
        // hidden under the saver.
        Close();
        return;
    }
    // Within the guard (a start-up race, most likely) the foreground is taken
    // back once; kept by the other program, it ends the run once the guard is over.
    foregroundLost_ = true;
    if (foregroundRetaken_) return;
    foregroundRetaken_ = true;
    ::SetForegroundWindow(window_);
    ::SetFocus(edtFocus);
}

void TMainForm::FormPaint() {
    // Frames present only what changed: a part of the window that was
    // covered, or a new display, needs the whole current frame. While nobody
    // can see the run nothing is presented: the first frame back is whole.
    const win::unique_paint paint(window_);
    if (!FramesRun(audience_)) return;
    if (monitors_) {
        monitors_->PresentWhole(MonitorAnimations::kPrimary, paint.get());
    } else {
        animation_.PresentWhole(paint.get());
    }
}

bool TMainForm::WindowGone() const {
    return destroyed_ || !window_ || !::IsWindow(window_) || (!isSaver_ && !::IsWindow(HostWindowHandle()));
}

void TMainForm::FormMouseMove(int x, int y) {
    if (isSaver_ && MovesAway(StartCursorPos, x, y)) Close();
}

void TMainForm::FormMouseDown() {
    if (isSaver_) Close();
}

void TMainForm::FormKeyDown() {
    if (isSaver_) Close();
}

bool TMainForm::FormCloseQuery() const {
    return CloseQueryAllows(CurrentRunMode(), settings_.StartTick, ::GetTickCount());
}

void TMainForm::Close() {
    if (FormCloseQuery()) app_.Terminate();
}

LRESULT TMainForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE:
            RunHandler(app_, [&] { FormMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); });
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN:
            RunHandler(app_, [&] { FormMouseDown(); });
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            RunHandler(app_, [&] { FormKeyDown(); });
            break;
        case WM_ERASEBKGND:
            // Once there is a frame, WM_PAINT covers the window with it: no
            // flash of the window's black first.
            if (monitors_ ? monitors_->Animation(MonitorAnimations::kPrimary).HasFrame() : animation_.HasFrame()) {
                return 1;
            }
            break;
        case WM_PAINT:
            RunHandler(app_, [&] { FormPaint(); });
            return 0;
        case WM_DISPLAYCHANGE:
            screen_ = PrimaryScreenSize();
            if (isSaver_) {
                // A full-screen run goes on over the new layout from the next tick.
                dpi_ = win::PrimaryMonitorDpi();
                layoutChanged_ = true;
            }
            break;
        case WM_DPICHANGED:
            if (!isSaver_) break;
            // The scale is decided anew at the next tick.
            dpi_ = HIWORD(wParam);
            layoutChanged_ = true;
            return 0;
        case WM_POWERBROADCAST:
            if (isSaver_ && wParam == PBT_POWERSETTINGCHANGE && lParam) {
                const auto& setting = *reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
                if (setting.DataLength < sizeof(DWORD)) return TRUE;
                DWORD data;
                std::memcpy(&data, setting.Data, sizeof data);
                RunAudience now = audience_;
                if (IsEqualGUID(setting.PowerSetting, GUID_CONSOLE_DISPLAY_STATE)) {
                    now.console = DisplayPowerFrom(data);
                } else if (IsEqualGUID(setting.PowerSetting, GUID_SESSION_DISPLAY_STATUS)) {
                    now.session = DisplayPowerFrom(data);
                }
                RunHandler(app_, [&] { FollowAudience(now); });
                return TRUE;
            }
            break;
        case WM_WTSSESSION_CHANGE: {
            if (!isSaver_) break;
            RunAudience now = audience_;
            now.link = FollowSessionChange(audience_.link, unsigned(wParam));
            RunHandler(app_, [&] { FollowAudience(now); });
            return 0;
        }
        case WM_ACTIVATE:
            if (isSaver_ && LOWORD(wParam) != WA_INACTIVE) foregroundLost_ = false;
            break;
        case WM_ACTIVATEAPP:
            if (isSaver_ && !wParam) RunHandler(app_, [this] { FormDeactivate(); });
            break;
        case WM_SYSCOMMAND:
            // Sent straight here, the commands the message filter drops from
            // the queue are dropped too.
            if (isSaver_ && IsDroppedSysCommand(message, wParam)) return 0;
            break;
        case WM_CLOSE:
            RunHandler(app_, [&] { Close(); });
            return 0;
        case WM_QUERYENDSESSION: {
            bool allowed = false;
            RunHandler(app_, [&] { allowed = FormCloseQuery(); });
            return allowed;
        }
        case WM_DESTROY:
            RunHandler(app_, [&] { FormDestroy(); });
            // Destroyed from outside (the preview host went away): end the run.
            app_.Terminate();
            return 0;
        case WM_NCDESTROY:
            window_ = nullptr;
            break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK TMainForm::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* form = win::WindowObject<TMainForm>(window, message, lParam);
    if (form && message == WM_NCCREATE) form->window_ = window;
    if (!form) return ::DefWindowProcW(window, message, wParam, lParam);
    return form->HandleMessage(message, wParam, lParam);
}

LRESULT CALLBACK TMainForm::FocusEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR self) {
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
        auto* form = reinterpret_cast<TMainForm*>(self);
        RunHandler(form->app_, [form] { form->FormKeyDown(); });
    }
    if (message == WM_SETFOCUS) {
        // The edit keeps the focus and the keys, but no caret: a caret that
        // blinks where nobody sees it wakes the program twice a second.
        const LRESULT result = ::DefSubclassProc(edit, message, wParam, lParam);
        ::DestroyCaret();
        return result;
    }
    return ::DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace flutt
