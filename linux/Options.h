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
// $XSCREENSAVER_WINDOW, if set. Numbers follow the store's integer rules;
// out-of-range numbers are brought into range the way the saver treats
// hand-edited stored values. Anything that is not a number, colour, flag
// list or font where one is expected is refused.
ParsedOptions ParseOptions(std::span<const std::string_view> args, const char* screensaverWindow);

// The usage text, one option a line.
std::string Usage(std::string_view program);

}  // namespace flutt::hack
