#include "host/HostRules.h"

#include <gtest/gtest.h>

namespace flutt {
namespace {

TEST(HostRulesTest, CloseGuardHoldsForTwoSecondsOfAFullScreenRunOnly) {
    EXPECT_FALSE(CloseQueryAllows(RunMode::Saver, 1000, 1000));
    EXPECT_FALSE(CloseQueryAllows(RunMode::Saver, 1000, 2999));
    EXPECT_TRUE(CloseQueryAllows(RunMode::Saver, 1000, 3000));
    EXPECT_TRUE(CloseQueryAllows(RunMode::Preview, 1000, 1000));
    EXPECT_TRUE(CloseQueryAllows(RunMode::Configure, 1000, 1000));
}

TEST(HostRulesTest, CloseGuardCountsAcrossATickCounterWrap) {
    const std::uint32_t start = 0xFFFFFC18u;  // 1000 ms before the wrap
    EXPECT_EQ(TicksSince(start, 500u), 1500u);
    EXPECT_FALSE(CloseQueryAllows(RunMode::Saver, start, 999u));
    EXPECT_TRUE(CloseQueryAllows(RunMode::Saver, start, 1000u));
}

TEST(HostRulesTest, FilterDropsOnlyQueuedCloseAndScreenSaveCommands) {
    constexpr unsigned kSysCommand = 0x0112, kClose = 0x0010;
    EXPECT_TRUE(IsDroppedSysCommand(kSysCommand, 0xF060));
    EXPECT_TRUE(IsDroppedSysCommand(kSysCommand, 0xF140));
    EXPECT_FALSE(IsDroppedSysCommand(kSysCommand, 0xF061));
    EXPECT_FALSE(IsDroppedSysCommand(kSysCommand, 0xF141));
    EXPECT_FALSE(IsDroppedSysCommand(kSysCommand, 0xF020));  // minimise
    EXPECT_FALSE(IsDroppedSysCommand(kClose, 0xF060));
}

TEST(HostRulesTest, OnlyAMoveAwayFromTheStartEndsTheRun) {
    CursorStart read{100, 200, true};
    EXPECT_FALSE(MovesAway(read, 100, 200));
    EXPECT_TRUE(MovesAway(read, 101, 200));
    EXPECT_TRUE(MovesAway(read, 100, 199));
    // Not read at the start: the first report is the start, not a move.
    CursorStart unread;
    EXPECT_FALSE(MovesAway(unread, 640, 480));
    EXPECT_FALSE(MovesAway(unread, 640, 480));
    EXPECT_TRUE(MovesAway(unread, 641, 480));
}

TEST(HostRulesTest, ErrorBoxAppendsAPeriodAfterCharactersThatSortAfterIt) {
    EXPECT_EQ(ErrorBoxText(L"abc"), L"abc.");
    EXPECT_EQ(ErrorBoxText(L"done."), L"done.");
    EXPECT_EQ(ErrorBoxText(L"really!"), L"really!");  // '!' sorts before '.'
    EXPECT_EQ(ErrorBoxText(L"a-"), L"a-");
    EXPECT_EQ(ErrorBoxText(L"1/"), L"1/.");
    EXPECT_EQ(ErrorBoxText(L""), L"");
    EXPECT_EQ(ErrorBoxText(L"\u5931\u6557\u3057\u307E\u3057\u305F"), L"\u5931\u6557\u3057\u307E\u3057\u305F.");
}

TEST(HostRulesTest, DefaultTitleIsTheFileNameBeforeItsFirstDot) {
    EXPECT_EQ(DefaultApplicationTitle(L"C:\\Windows\\System32\\fluttsaver.scr"), L"fluttsaver");
    EXPECT_EQ(DefaultApplicationTitle(L"D:\\Savers\\FluttSaver.Old.SCR"), L"Fluttsaver");
    EXPECT_EQ(DefaultApplicationTitle(L"C:FLUTT.SCR"), L"Flutt");
    EXPECT_EQ(DefaultApplicationTitle(L"/home/user/ABC"), L"Abc");
}

TEST(HostRulesTest, FramesRunWhileTheDisplayThatShowsTheSessionIsOnOrDimmed) {
    const DisplayPower off = DisplayPowerFrom(0), on = DisplayPowerFrom(1), dimmed = DisplayPowerFrom(2);
    EXPECT_TRUE(FramesRun({}));  // nothing heard yet
    EXPECT_TRUE(FramesRun({dimmed, dimmed, SessionLink::Console}));
    EXPECT_TRUE(FramesRun({on, DisplayPowerFrom(7), SessionLink::Console}));  // a state unknown today
    EXPECT_FALSE(FramesRun({off, on, SessionLink::Console}));
    EXPECT_FALSE(FramesRun({on, off, SessionLink::Console}));
    EXPECT_TRUE(FramesRun({off, on, SessionLink::Remote}));  // the console's display is not the session's
    EXPECT_FALSE(FramesRun({on, off, SessionLink::Remote}));
    EXPECT_FALSE(FramesRun({on, on, SessionLink::Disconnected}));
}

TEST(HostRulesTest, SessionChangesMoveTheLinkAndLocksLeaveIt) {
    EXPECT_EQ(FollowSessionChange(SessionLink::Console, 2), SessionLink::Disconnected);
    EXPECT_EQ(FollowSessionChange(SessionLink::Disconnected, 1), SessionLink::Console);
    EXPECT_EQ(FollowSessionChange(SessionLink::Disconnected, 3), SessionLink::Remote);
    EXPECT_EQ(FollowSessionChange(SessionLink::Remote, 4), SessionLink::Disconnected);
    EXPECT_EQ(FollowSessionChange(SessionLink::Disconnected, 7), SessionLink::Disconnected);
}

}  // namespace
}  // namespace flutt
