// A full-screen run while nobody can see it, driven in process. Wine sends
// neither display-state nor session notifications (its registrations are
// stubs that succeed); the test sends them as Microsoft documents them:
// WM_POWERBROADCAST with PBT_POWERSETTINGCHANGE and a POWERBROADCAST_SETTING
// whose DWORD data is 0 off, 1 on, 2 dimmed, and WM_WTSSESSION_CHANGE with
// WTS_CONSOLE_DISCONNECT and WTS_CONSOLE_CONNECT. A present is seen on the
// screen: the test paints the window over with a colour no frame has, and a
// present replaces some or all of it.
#include <windows.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

#include "host/MainForm_win.h"
#include "host/RunState.h"
#include "platform/win/GdiSurface.h"

namespace flutt {
namespace {

constexpr COLORREF kMarker = RGB(1, 254, 3);
constexpr std::uint32_t kMarkerPixel = 0x01FE03;  // as ReadPixels gives it
constexpr wchar_t kSettingsRoot[] = L"Software\\Orrin Software";

HPOWERNOTIFY WINAPI RefusePowerSetting(HANDLE, LPCGUID, DWORD) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
}
BOOL WINAPI RefuseSession(HWND, DWORD) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

class MainFormWinTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static const bool fixed = (FixRunMode({RunMode::Saver, 0}), true);
        (void)fixed;
    }

    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsRoot);  // the defaults: 100 characters
        app_.Initialize(::GetModuleHandleW(nullptr), L"C:\\windows\\fluttsaver.scr");
    }

    void TearDown() override {
        form_.reset();
        Pump([] { return false; }, 0);  // the quit that the window's end posts
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsRoot);
    }

    void Start(AudienceRegistrars registrars = {}) {
        form_ = std::make_unique<TMainForm>(app_, settings_, registrars);
        Pump([this] { return ticks_ >= 2; });  // the first frames are up
    }

    // Takes the thread's messages until `done` (true) or `ms` pass (false),
    // counting the saver's ticks and the quit.
    bool Pump(const std::function<bool()>& done, DWORD ms = 5000) {
        const DWORD start = ::GetTickCount();
        for (;;) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) quit_ = true;
                if (msg.message == WM_TIMER && msg.hwnd) ++ticks_;
                if (msg.message == WM_TIMER && !msg.hwnd) ++ownTicks_;
                ::DispatchMessageW(&msg);
                if (done()) return true;
            }
            if (done() || ::GetTickCount() - start >= ms) return done();
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }

    // Three of the test's own 100 ms ticks: as long as three frames.
    void PumpThreeFrameTimes() {
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, nullptr);
        ownTicks_ = 0;
        Pump([this] { return ownTicks_ >= 3; });
        ::KillTimer(nullptr, timer);
    }

    void SendDisplayState(const GUID& setting, DWORD state) {
        // The data runs on past the structure's one-byte array.
        alignas(POWERBROADCAST_SETTING) BYTE buffer[sizeof(POWERBROADCAST_SETTING) + sizeof state] = {};
        auto* message = reinterpret_cast<POWERBROADCAST_SETTING*>(buffer);
        message->PowerSetting = setting;
        message->DataLength = sizeof state;
        std::memcpy(message->Data, &state, sizeof state);
        ::SendMessageW(form_->Handle(), WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(message));
    }

    void PaintMarker() {
        RECT all;
        ::GetClientRect(form_->Handle(), &all);
        const win::unique_window_dc dc(form_->Handle());
        const win::unique_hbrush brush(::CreateSolidBrush(kMarker));
        ::FillRect(dc.get(), &all, brush.get());
    }

    // How many pixels of the window still show the marker.
    long MarkerPixels() {
        RECT all;
        ::GetClientRect(form_->Handle(), &all);
        win::GdiSurface copy(all.right, all.bottom);
        const win::unique_window_dc dc(form_->Handle());
        ::BitBlt(copy.Dc(), 0, 0, all.right, all.bottom, dc.get(), 0, 0, SRCCOPY);
        const Image32 pixels = copy.ReadPixels();
        return long(std::count(pixels.pixels.begin(), pixels.pixels.end(), kMarkerPixel));
    }

    long WindowPixels() {
        RECT all;
        ::GetClientRect(form_->Handle(), &all);
        return long(all.right) * all.bottom;
    }

    // Stopped by `stop`: no tick and nothing on screen for three frame
    // times; resumed by `resume`: one whole frame at its first tick, then
    // ticks that present again.
    void ExpectStopsAndResumes(const std::function<void()>& stop, const std::function<void()>& resume) {
        stop();
        PaintMarker();
        ticks_ = 0;
        PumpThreeFrameTimes();
        EXPECT_EQ(ticks_, 0);
        EXPECT_EQ(MarkerPixels(), WindowPixels());

        resume();
        ASSERT_TRUE(Pump([this] { return ticks_ >= 1; }));
        EXPECT_EQ(MarkerPixels(), 0);
        ExpectFramesGoOn();
    }

    void ExpectFramesGoOn() {
        PaintMarker();
        ticks_ = 0;
        ASSERT_TRUE(Pump([this] { return ticks_ >= 2; }));
        const long left = MarkerPixels();
        EXPECT_LT(left, WindowPixels());
        EXPECT_GT(left, 0);  // the changes alone
    }

    TApplication app_;
    SaverSettings settings_;
    std::unique_ptr<TMainForm> form_;
    int ticks_ = 0;
    int ownTicks_ = 0;
    bool quit_ = false;
};

TEST_F(MainFormWinTest, DisplayOffStopsTheFramesAndOnDrawsOneWholeFrameAtOnce) {
    Start();
    ExpectStopsAndResumes([this] { SendDisplayState(GUID_CONSOLE_DISPLAY_STATE, 0); },
                          [this] { SendDisplayState(GUID_CONSOLE_DISPLAY_STATE, 1); });
    ExpectStopsAndResumes([this] { SendDisplayState(GUID_SESSION_DISPLAY_STATUS, 0); },
                          [this] { SendDisplayState(GUID_SESSION_DISPLAY_STATUS, 2); });
    SendDisplayState(GUID_CONSOLE_DISPLAY_STATE, 2);  // dimmed is on
    ExpectFramesGoOn();
}

TEST_F(MainFormWinTest, ConsoleDisconnectStopsTheFramesAndConnectResumesThem) {
    Start();
    ExpectStopsAndResumes([this] { ::SendMessageW(form_->Handle(), WM_WTSSESSION_CHANGE, WTS_CONSOLE_DISCONNECT, 1); },
                          [this] { ::SendMessageW(form_->Handle(), WM_WTSSESSION_CHANGE, WTS_CONSOLE_CONNECT, 1); });
}

TEST_F(MainFormWinTest, InputWhileTheDisplayIsOffEndsTheRunAfterTheGuard) {
    Start();
    SendDisplayState(GUID_CONSOLE_DISPLAY_STATE, 0);
    settings_.StartTick = ::GetTickCount() - kCloseGuardMs;
    ::PostMessageW(form_->Handle(), WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(Pump([this] { return quit_; }));
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
    ASSERT_TRUE(gui.hwndFocus);
    EXPECT_EQ(::GetParent(gui.hwndFocus), form_->Handle());
    EXPECT_EQ(gui.hwndCaret, nullptr);
}

}  // namespace
}  // namespace flutt
