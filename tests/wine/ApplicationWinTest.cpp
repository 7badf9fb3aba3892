// The application's error box, shown during a full-screen run.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>

#include "host/Application_win.h"
#include "platform/win/Handles.h"

namespace flutt {
namespace {

// What another thread saw of the error box before it pressed OK.
struct BoxSeen {
    HWND owner = nullptr;
    LONG exStyle = 0;
    bool found = false;
};

DWORD WINAPI PressErrorBox(void* context) {
    auto* seen = static_cast<BoxSeen*>(context);
    for (int i = 0; i < 1000 && !seen->found; ++i) {
        if (HWND box = ::FindWindowW(L"#32770", L"fluttsaver")) {
            seen->owner = ::GetWindow(box, GW_OWNER);
            seen->exStyle = ::GetWindowLongW(box, GWL_EXSTYLE);
            seen->found = true;
            ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        ::Sleep(10);
    }
    return 0;
}

TEST(ApplicationWinTest, ErrorBoxOverAFullScreenRunIsOnTopOfIt) {
    TApplication app;
    app.Initialize(::GetModuleHandleW(nullptr), L"C:\\windows\\fluttsaver.scr");
    // The saver window of a full-screen run is top-most.
    const win::unique_hwnd saver(::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 64, 64,
                                                   app.Handle(), nullptr, ::GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(saver);
    app.SetMainWindow(saver.get());
    BoxSeen seen;
    const win::unique_handle presser(::CreateThread(nullptr, 0, PressErrorBox, &seen, 0, nullptr));
    ASSERT_TRUE(presser);
    app.ShowException(std::runtime_error("壊れました"));
    ::WaitForSingleObject(presser.get(), INFINITE);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.owner, saver.get());
    EXPECT_TRUE(seen.exStyle & WS_EX_TOPMOST);
}

}  // namespace
}  // namespace flutt
