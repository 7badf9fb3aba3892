// TMainForm: the saver window, full screen or inside the preview host, and
// the input that ends a full-screen run.
#pragma once

#include <windows.h>

#include <memory>

#include "anim/SaverAnimation_win.h"
#include "host/Application_win.h"
#include "host/HostRules.h"
#include "host/MonitorAnimations_win.h"
#include "host/MonitorCovers_win.h"
#include "host/Timer_win.h"
#include "settings/SaverSettings.h"

namespace flutt {

// How a full-screen run asks to hear whether anyone can see it: the system's
// registrations, unless a test puts failing ones in their place.
struct AudienceRegistrars {
    HPOWERNOTIFY(WINAPI* powerSetting)(HANDLE, LPCGUID, DWORD) = &::RegisterPowerSettingNotification;
    BOOL(WINAPI* session)(HWND, DWORD) = &::WTSRegisterSessionNotification;
};

class TMainForm {
public:
    // Constructs the window completely: size, cursor, start tick, settings
    // and animation, then shows it (top-most, maximised). Registers itself as
    // the application's main window. A full-screen run then registers for
    // the display's power state and the session's changes, and draws no
    // frame while nobody can see it (FramesRun); a registration that fails
    // leaves the frames running.
    TMainForm(TApplication& app, SaverSettings& settings, AudienceRegistrars registrars = {});
    ~TMainForm();
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    HWND Handle() const { return window_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FocusEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                          DWORD_PTR self);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void CreateHandle();
    bool SysCommandFilter(const MSG& msg) const;

    void FormCreate();
    void FormShow();
    void FormDestroy();
    void Timer1Timer();
    void FormPaint();
    void FormMouseMove(int x, int y);
    void FormMouseDown();
    void FormKeyDown();
    void FormDeactivate();
    bool FormCloseQuery() const;
    void Close();

    bool WindowGone() const;
    MonitorCovers::Input CoverInput();
    void CoverOtherMonitors();
    std::vector<Monitor> RunMonitors() const;
    void FollowNewLayout();
    void WatchAudience(const AudienceRegistrars& registrars);
    // Takes what the system now says of who can see the run: stops or
    // resumes the frames where that changes whether they run.
    void FollowAudience(const RunAudience& now);

    TApplication& app_;
    SaverSettings& settings_;
    const bool isSaver_;
    int width_ = 0;
    int height_ = 0;
    CursorStart StartCursorPos;

    HWND window_ = nullptr;
    HWND edtFocus = nullptr;  // a child of window_, destroyed with it
    bool destroyed_ = false;
    // The primary screen's size, kept up to date by WM_DISPLAYCHANGE: asking
    // the system on every frame costs a third of a millisecond under Wine.
    ScreenSize screen_;
    // The DPI the animation is drawn for: the primary monitor's in a
    // full-screen run, the preview host window's in a preview.
    int dpi_;
    SaverAnimation animation_;
    std::unique_ptr<TTimer> Timer1;  // ticks into animation_: destroyed first
    // The other monitors' covers, for a full-screen run: they close with the window.
    std::unique_ptr<MonitorCovers> covers_;
    // A full-screen run on every monitor (IsOnEveryMonitor) draws them all
    // here instead of in animation_ and covers_.
    std::unique_ptr<MonitorAnimations> monitors_;
    bool layoutChanged_ = false;  // the monitors or the scale changed since the last tick
    bool foregroundLost_ = false;     // to another program, during the guard
    bool foregroundRetaken_ = false;  // once a run
    // Who can see a full-screen run, as the system last said: while nobody
    // can, Timer1 is stopped; when they can again, the next frame goes on
    // screen whole.
    RunAudience audience_;
    bool presentWhole_ = false;
    win::unique_power_notification consoleDisplayNote_;
    win::unique_power_notification sessionDisplayNote_;
    win::unique_session_notification sessionNote_;
};

}  // namespace flutt
