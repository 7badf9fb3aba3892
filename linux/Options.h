// The hack's command line: the saver's settings under XScreenSaver's option
// conventions, plus where to draw. Plain logic, no X11.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "settings/SaverSettings.h"

namespace flutt::hack {

struct HackOptions {
    SaverSettings settings;  // defaults as in the saver's settings store
    std::string display;     // -display; empty: $DISPLAY
    bool root = false;       // -root: draw into the root window
    std::optional<std::uint64_t> windowId;  // -window-id, else $XSCREENSAVER_WINDOW
    // -every-head: each head (monitor) the window shows its own animation.
    bool everyHead = false;
    bool fps = false;        // -fps: frame rate overlay
    // -stop-after N: the picture stops after frame N and stays (for tests
    // that compare a frame with the Windows saver's); 0: never.
    int stopAfter = 0;
    // -bench S: run S seconds, then print the cost per frame and end.
    int benchSeconds = 0;
    bool help = false;
};

// The outcome of parsing: options, or the one-line reason they were refused.
struct ParsedOptions {
    std::optional<HackOptions> options;
    std::string error;
};

// `args` without the program name. `screensaverWindow` is the value of
// $XSCREENSAVER_WINDOW, if set. Values may have blanks around them. Numbers
// outside their option's range are brought into it the way the saver treats
// hand-edited stored values: -num, the speeds and the font size to the
// nearest end, -back2 outside 0..9 to the desktop (0), -updown and -lr
// outside 0..2 to 0. Anything that is not a number, colour, flag list or
// font where one is expected is refused.
ParsedOptions ParseOptions(std::span<const std::string_view> args, const char* screensaverWindow);

// A whole number: blanks around it, an optional sign, decimal digits or
// hexadecimal ones after "$", "x" or "0x", as many as given. Magnitudes
// beyond 2^40 read as 2^40, which is out of every option's range.
std::optional<std::int64_t> ParseWholeNumber(std::string_view text);

// The usage text, one option a line.
std::string Usage(std::string_view program);

}  // namespace flutt::hack
