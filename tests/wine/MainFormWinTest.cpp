// A full-screen run while nobody can see it, driven in process. Wine sends
// neither display-state nor session notifications (its registrations are
// stubs that succeed); the test sends them as Microsoft documents them:
// WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, a POWERBROADCAST_SETTING whose
// DWORD data is 0 off, 1 on, 2 dimmed; WM_WTSSESSION_CHANGE with
// WTS_CONSOLE_DISCONNECT / WTS_CONSOLE_CONNECT. A present is seen on screen:
// the window is painted over with a colour no frame has, which a present
// replaces in part (what changed) or whole.
#include <windows.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

#include "host/MainForm_win.h"
#include "host/RunState.h"
#include "platform/win/GdiSurface.h"

namespace flutt {
namespace {

constexpr COLORREF kMarker = RGB(1, 254, 3);
constexpr wchar_t kSettingsRoot[] = L"Software\\Orrin Software";

HPOWERNOTIFY WINAPI RefusePowerSetting(HANDLE, LPCGUID, DWORD) { return nullptr; }
BOOL WINAPI RefuseSession(HWND, DWORD) { return FALSE; }

struct Notice {
    UINT message;
    WPARAM code;
    const GUID* setting;
    DWORD data;
};
constexpr Notice Display(const GUID& setting, DWORD data) {
    return {WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, &setting, data};
}
constexpr Notice Session(WPARAM code) { return {WM_WTSSESSION_CHANGE, code, nullptr, 0}; }

class MainFormWinTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { FixRunMode({RunMode::Saver, 0}); }
    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsRoot);  // the defaults: 100 characters
        app_.Initialize(::GetModuleHandleW(nullptr), L"C:\\windows\\fluttsaver.scr");
    }
    void TearDown() override {
        form_.reset();
        MSG msg;  // the quit that the window's end posts among them
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsRoot);
    }

    void Start(AudienceRegistrars registrars = {}) {
        form_ = std::make_unique<TMainForm>(app_, settings_, registrars);
        ASSERT_EQ(Pump(5000, 2), 2);  // the first frames are up
    }

    // Takes the thread's messages for `ms`, or until the saver has ticked
    // `ticks` times or the run ends; returns its ticks.
    int Pump(DWORD ms, int ticks = INT_MAX) {
        int ticked = 0;
        for (const DWORD start = ::GetTickCount(); ticked < ticks && !quit_ && ::GetTickCount() - start <= ms;) {
            MSG msg;
            while (ticked < ticks && !quit_ && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                quit_ |= msg.message == WM_QUIT;
                ticked += msg.message == WM_TIMER;
                ::DispatchMessageW(&msg);
            }
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        return ticked;
    }

    void Send(const Notice& notice) {
        // The data runs on past the structure's one-byte array.
        alignas(POWERBROADCAST_SETTING) BYTE buffer[sizeof(POWERBROADCAST_SETTING) + sizeof(DWORD)] = {};
        auto* setting = reinterpret_cast<POWERBROADCAST_SETTING*>(buffer);
        if (notice.setting) setting->PowerSetting = *notice.setting;
        setting->DataLength = sizeof(DWORD);
        std::memcpy(setting->Data, &notice.data, sizeof(DWORD));
        ::SendMessageW(form_->Handle(), notice.message, notice.code, notice.setting ? LPARAM(setting) : 1);
    }

    // Paints the marker over the window; returns how many pixels it covers.
    long PaintMarker() {
        const win::unique_window_dc dc(form_->Handle());
        const win::unique_hbrush brush(::CreateSolidBrush(kMarker));
        RECT all;
        ::GetClientRect(form_->Handle(), &all);
        ::FillRect(dc.get(), &all, brush.get());
        return MarkerPixels();
    }

    long MarkerPixels() {
        RECT all;
        ::GetClientRect(form_->Handle(), &all);
        win::GdiSurface copy(all.right, all.bottom);
        const win::unique_window_dc dc(form_->Handle());
        ::BitBlt(copy.Dc(), 0, 0, all.right, all.bottom, dc.get(), 0, 0, SRCCOPY);
        const Image32 pixels = copy.ReadPixels();
        return long(std::count(pixels.pixels.begin(), pixels.pixels.end(), 0x01FE03u));
    }

    // Two ticks that present what changed, and only that.
    void ExpectFramesGoOn() {
        const long marked = PaintMarker();
        ASSERT_EQ(Pump(5000, 2), 2);
        EXPECT_LT(MarkerPixels(), marked);
        EXPECT_GT(MarkerPixels(), 0);
    }

    TApplication app_;
    SaverSettings settings_;
    std::unique_ptr<TMainForm> form_;
    bool quit_ = false;
};

TEST_F(MainFormWinTest, NothingIsDrawnWhileNobodySeesAndTheFirstFrameBackIsWhole) {
    Start();
    const std::pair<Notice, Notice> stopAndResume[] = {
        {Display(GUID_CONSOLE_DISPLAY_STATE, 0), Display(GUID_CONSOLE_DISPLAY_STATE, 1)},
        {Display(GUID_SESSION_DISPLAY_STATUS, 0), Display(GUID_SESSION_DISPLAY_STATUS, 2)},
        {Session(WTS_CONSOLE_DISCONNECT), Session(WTS_CONSOLE_CONNECT)},
    };
    for (const auto& [stop, resume] : stopAndResume) {
        Send(stop);
        const long marked = PaintMarker();
        EXPECT_EQ(Pump(300), 0);  // absence takes a while to see: three frames' time
        EXPECT_EQ(MarkerPixels(), marked);
        Send(resume);
        ASSERT_EQ(Pump(5000, 1), 1);
        EXPECT_EQ(MarkerPixels(), 0);
        ExpectFramesGoOn();
    }
    Send(Display(GUID_CONSOLE_DISPLAY_STATE, 2));  // dimmed is on
    ExpectFramesGoOn();
}

TEST_F(MainFormWinTest, InputWhileTheDisplayIsOffEndsTheRunAfterTheGuard) {
    Start();
    Send(Display(GUID_CONSOLE_DISPLAY_STATE, 0));
    settings_.StartTick = ::GetTickCount() - kCloseGuardMs;
    ::PostMessageW(form_->Handle(), WM_KEYDOWN, 'A', 0);
    Pump(5000);
    EXPECT_TRUE(quit_);
}

TEST_F(MainFormWinTest, FailedRegistrationsLeaveTheFramesRunning) {
    Start({&RefusePowerSetting, &RefuseSession});
    ExpectFramesGoOn();
}

TEST_F(MainFormWinTest, TheFocusEditHasTheFocusButNoCaret) {
    Start();
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    ASSERT_TRUE(::GetGUIThreadInfo(::GetCurrentThreadId(), &gui));
    EXPECT_EQ(::GetParent(gui.hwndFocus), form_->Handle());
    EXPECT_EQ(gui.hwndCaret, nullptr);
}

}  // namespace
}  // namespace flutt
