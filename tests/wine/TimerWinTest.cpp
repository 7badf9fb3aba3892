// The frame timer: a tick that falls due while the previous tick still runs
// (an error box, for one, runs a message loop of its own) never starts a
// second frame.
#include <gtest/gtest.h>

#include "host/Timer_win.h"

namespace flutt {
namespace {

void PumpFor(DWORD ms) {
    const DWORD start = ::GetTickCount();
    MSG msg;
    while (::GetTickCount() - start < ms) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        ::Sleep(5);
    }
}

TEST(TimerWinTest, ATickThatPumpsMessagesIsNeverReentered) {
    int depth = 0, deepest = 0, ticks = 0;
    TTimer timer(::GetModuleHandleW(nullptr), 20, [&] {
        ++ticks;
        deepest = std::max(deepest, ++depth);
        if (ticks == 1) PumpFor(200);  // ten ticks fall due meanwhile
        --depth;
    });
    PumpFor(400);
    EXPECT_EQ(deepest, 1);
    EXPECT_GT(ticks, 2);  // and it goes on ticking afterwards
}

}  // namespace
}  // namespace flutt
