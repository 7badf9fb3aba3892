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

// The application-wide message filter of the saver window: true for the
// queued system commands that must not close the saver or start another one.
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
