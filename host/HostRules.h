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

// The text of the error box: the message, with "." appended when its last
// character sorts after "." by character code.
std::wstring ErrorBoxText(std::wstring message);

// The application title when none is set: the program file's name without
// its folder, cut before its first dot, everything after the first character
// in lower case.
std::wstring DefaultApplicationTitle(std::wstring_view programPath);

}  // namespace flutt
