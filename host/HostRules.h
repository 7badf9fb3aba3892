// Small decisions of the saver host, kept free of the window system so they
// can be checked on their own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/RunMode.h"

namespace flutt {

// A full-screen run ignores close requests for this long after it started.
inline constexpr std::uint32_t kCloseGuardMs = 2000;

// Milliseconds from start to now on a 32-bit tick counter; correct across a
// wrap of the counter.
constexpr std::uint32_t TicksSince(std::uint32_t start, std::uint32_t now) { return now - start; }

// The close query of the saver window.
constexpr bool CloseQueryAllows(RunMode mode, std::uint32_t startTick, std::uint32_t now) {
    return mode != RunMode::Saver || TicksSince(startTick, now) >= kCloseGuardMs;
}

// Where the cursor rested when a full-screen run began, in screen
// coordinates, or not known when it could not be read (while the input is on
// another desktop, such as the lock screen's).
struct CursorStart {
    int x = 0;
    int y = 0;
    bool known = false;
};

// A mouse position reported during a full-screen run: true when it is a move
// away from the start, which ends the run. A report at the start (as when the
// window comes up under a resting cursor) is none; an unknown start becomes
// the first position reported.
constexpr bool MovesAway(CursorStart& start, int x, int y) {
    if (!start.known) {
        start = {x, y, true};
        return false;
    }
    return x != start.x || y != start.y;
}

// True for the system commands that must not close a full-screen run or
// start another saver over it: the application-wide message filter drops
// them from the queue, and the saver window drops them sent.
constexpr bool IsDroppedSysCommand(unsigned message, std::uintptr_t wParam) {
    constexpr unsigned kWmSysCommand = 0x0112;
    constexpr std::uintptr_t kScClose = 0xF060, kScScreenSave = 0xF140;
    return message == kWmSysCommand && (wParam == kScClose || wParam == kScScreenSave);
}

// Whether anyone can see a full-screen run, as the system reports it: the
// power state of the console's display and of the display that shows this
// session (the data of the display-state notifications: 0 off, 1 on, 2
// dimmed), and where the session is shown. Until the system says otherwise
// the run is taken as seen: at the console, every display on.
enum class DisplayPower { Off = 0, On = 1, Dimmed = 2 };
enum class SessionLink { Console, Remote, Disconnected };

struct RunAudience {
    DisplayPower console = DisplayPower::On;
    DisplayPower session = DisplayPower::On;
    SessionLink link = SessionLink::Console;
};

// A display state's notification data; a value the system may add later
// counts as on, which draws as before.
constexpr DisplayPower DisplayPowerFrom(std::uint32_t data) {
    return data == 0 ? DisplayPower::Off : data == 2 ? DisplayPower::Dimmed : DisplayPower::On;
}

// The session's link after a session-change notification (its code, from 1
// console connect to 4 remote disconnect). Lock, unlock, log-on and the like
// leave it: a locked session's saver may be what the lock screen shows.
constexpr SessionLink FollowSessionChange(SessionLink link, unsigned code) {
    constexpr unsigned kConsoleConnect = 1, kConsoleDisconnect = 2, kRemoteConnect = 3, kRemoteDisconnect = 4;
    switch (code) {
        case kConsoleConnect: return SessionLink::Console;
        case kRemoteConnect: return SessionLink::Remote;
        case kConsoleDisconnect:
        case kRemoteDisconnect: return SessionLink::Disconnected;
        default: return link;
    }
}

// True while the frames of a full-screen run can be seen. Dimmed is on. A
// session shown remotely is seen on the remote side: the console's display
// does not matter there, the session's own does.
constexpr bool FramesRun(const RunAudience& audience) {
    if (audience.link == SessionLink::Disconnected || audience.session == DisplayPower::Off) return false;
    return audience.link == SessionLink::Remote || audience.console != DisplayPower::Off;
}

// The text of the error box: the message, with "." appended when its last
// character sorts after "." by character code.
std::wstring ErrorBoxText(std::wstring message);

// The application title when none is set: the program file's name without
// its folder, cut before its first dot, everything after the first character
// in lower case.
std::wstring DefaultApplicationTitle(std::wstring_view programPath);

}  // namespace flutt
