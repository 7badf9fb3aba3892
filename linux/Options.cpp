#include "linux/Options.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "anim/Background.h"

namespace flutt::hack {
namespace {

constexpr std::int32_t kMaxFontSize = 1000;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// A value without the blanks around it: " 5" and "5 " are both 5.
std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted.push_back('"');
    quoted.append(text);
    quoted.push_back('"');
    return quoted;
}

// "#RRGGBB" or "#RGB" as the store keeps colours: 0x00BBGGRR.
std::optional<std::int32_t> ParseColour(std::string_view text) {
    text = Trimmed(text);
    if (text.empty() || text[0] != '#') return std::nullopt;
    text.remove_prefix(1);
    if (text.size() != 6 && text.size() != 3) return std::nullopt;
    std::uint32_t rgb = 0;
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        const std::uint32_t digit = std::uint32_t(std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (c | 0x20) - 'a' + 10);
        rgb = text.size() == 6 ? rgb << 4 | digit : rgb << 8 | digit * 0x11;
    }
    return std::int32_t((rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF));
}

// Fifteen 0/1 flags in catalogue order; blanks and commas between them are
// allowed for readability.
std::optional<std::array<bool, kCharacterCount>> ParseCharacterFlags(std::string_view text) {
    std::array<bool, kCharacterCount> flags{};
    std::size_t count = 0;
    for (char c : text) {
        if (IsBlank(c) || c == ',') continue;
        if ((c != '0' && c != '1') || count == flags.size()) return std::nullopt;
        flags[count++] = c == '1';
    }
    if (count != flags.size()) return std::nullopt;
    return flags;
}

// "name size": a fontconfig family name and a size in points, last.
bool ParseFont(std::string_view text, SaverSettings& settings) {
    text = Trimmed(text);
    const std::size_t blank = text.find_last_of(" \t\n\r\v\f");
    if (blank == std::string_view::npos) return false;
    const std::string_view name = Trimmed(text.substr(0, blank));
    const auto size = ParseWholeNumber(text.substr(blank + 1));
    if (name.empty() || !size) return false;
    settings.MessageFontName = std::string(name);
    settings.MessageFontSize = std::int32_t(std::clamp<std::int64_t>(*size, 1, kMaxFontSize));
    return true;
}

std::optional<std::uint64_t> ParseWindowId(std::string_view text) {
    text = Trimmed(text);
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    std::uint64_t id = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), id, base);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty() || id == 0) return std::nullopt;
    return id;
}

struct Parser {
    std::span<const std::string_view> args;
    std::size_t next = 0;
    HackOptions options;
    std::string error;

    bool Fail(std::string message) {
        error = std::move(message);
        return false;
    }

    std::optional<std::string_view> Value(std::string_view option) {
        if (next >= args.size()) {
            Fail(std::string(option) + " needs a value");
            return std::nullopt;
        }
        return args[next++];
    }

    // A whole number for the range [low, high]: one outside it becomes the
    // nearest end, or `outside` when that is given.
    bool Number(std::string_view option, std::int32_t& field, std::int32_t low, std::int32_t high,
                std::optional<std::int32_t> outside = std::nullopt) {
        const auto text = Value(option);
        if (!text) return false;
        const auto value = ParseWholeNumber(*text);
        if (!value) {
            return Fail(std::string(option) + ": " + Quoted(*text) + " is not a whole number (" +
                        std::to_string(low) + ".." + std::to_string(high) + ")");
        }
        if (outside && (*value < low || *value > high)) {
            field = *outside;
        } else {
            field = std::int32_t(std::clamp<std::int64_t>(*value, low, high));
        }
        return true;
    }

    // A flag: sets `field` to `value`; never fails.
    static bool Flag(bool& field, bool value) {
        field = value;
        return true;
    }

    bool Colour(std::string_view option, std::int32_t& field) {
        const auto text = Value(option);
        if (!text) return false;
        const auto colour = ParseColour(*text);
        if (!colour) return Fail(std::string(option) + ": " + Quoted(*text) + " is not a colour like #FF8080");
        field = *colour;
        return true;
    }

    bool One(std::string_view option) {
        SaverSettings& s = options.settings;
        if (option == "-num") return Number(option, s.num, 0, kMaxCharacters);
        // As the saver reads stored values: a background outside the list is
        // the desktop, a direction outside 0..2 is 0.
        if (option == "-back2") return Number(option, s.back2, 0, std::int32_t(BackgroundTable(false).size()), 0);
        if (option == "-updown") return Number(option, s.updown, 0, 2, 0);
        if (option == "-lr") return Number(option, s.LR, 0, 2, 0);
        if (option == "-downspeed") return Number(option, s.downspeed, 0, kMaxSpeed);
        if (option == "-lrspeed") return Number(option, s.LRspeed, 0, kMaxSpeed);
        if (option == "-characters") {
            const auto text = Value(option);
            if (!text) return false;
            const auto flags = ParseCharacterFlags(*text);
            if (!flags) return Fail("-characters: " + Quoted(*text) + " is not fifteen 0/1 flags");
            s.Character = *flags;
            return true;
        }
        if (option == "-message") {
            const auto text = Value(option);
            if (!text) return false;
            s.IsShownMessage = true;
            s.MessageText = std::string(*text);
            return true;
        }
        if (option == "-no-message") return Flag(s.IsShownMessage, false);
        if (option == "-message-front") return Flag(s.IsMessageFront, true);
        if (option == "-message-behind" || option == "-no-message-front") return Flag(s.IsMessageFront, false);
        if (option == "-transparent") return Flag(s.IsTransparent, true);
        if (option == "-no-transparent") return Flag(s.IsTransparent, false);
        if (option == "-message-color") return Colour(option, s.MessageFontColor);
        if (option == "-message-bg") return Colour(option, s.MessageBGColor);
        if (option == "-font") {
            const auto text = Value(option);
            if (!text) return false;
            if (!ParseFont(*text, s)) return Fail("-font: " + Quoted(*text) + " is not a font name and a size in points (1..1000), like \"Serif 48\"");
            return true;
        }
        if (option == "-root") return Flag(options.root, true);
        if (option == "-window-id") {
            const auto text = Value(option);
            if (!text) return false;
            options.windowId = ParseWindowId(*text);
            if (!options.windowId) return Fail("-window-id: " + Quoted(*text) + " is not a window id");
            return true;
        }
        if (option == "-every-head") return Flag(options.everyHead, true);
        if (option == "-no-every-head") return Flag(options.everyHead, false);
        if (option == "-display") {
            const auto text = Value(option);
            if (!text) return false;
            options.display = std::string(*text);
            return true;
        }
        if (option == "-fps") return Flag(options.fps, true);
        if (option == "-no-fps") return Flag(options.fps, false);
        if (option == "-stop-after") {
            std::int32_t frames = 0;
            if (!Number(option, frames, 0, INT32_MAX)) return false;
            options.stopAfter = frames;
            return true;
        }
        if (option == "-bench") {
            std::int32_t seconds = 0;
            if (!Number(option, seconds, 1, 3600)) return false;
            options.benchSeconds = seconds;
            return true;
        }
        if (option == "-help" || option == "-h") return Flag(options.help, true);
        return Fail("unknown option " + Quoted(option) + " (see -help)");
    }
};

}  // namespace

std::optional<std::int64_t> ParseWholeNumber(std::string_view text) {
    text = Trimmed(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        i += 1;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return std::nullopt;
    // Past this every range is left behind: the magnitude stops growing.
    constexpr std::int64_t kCeiling = std::int64_t(1) << 40;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && (c | 0x20) >= 'a' && (c | 0x20) <= 'f') {
            digit = (c | 0x20) - 'a' + 10;
        }
        if (digit < 0) return std::nullopt;
        magnitude = std::min(magnitude * base + digit, kCeiling);
    }
    return negative ? -magnitude : magnitude;
}

ParsedOptions ParseOptions(std::span<const std::string_view> args, const char* screensaverWindow) {
    Parser parser{args, 0, {}, {}};
    while (parser.next < args.size()) {
        std::string_view option = args[parser.next++];
        // XScreenSaver's hacks take their options with one dash or two.
        if (option.size() > 2 && option.starts_with("--")) option.remove_prefix(1);
        if (!parser.One(option)) return {std::nullopt, parser.error};
    }
    HackOptions& options = parser.options;
    if (!options.windowId && screensaverWindow && *screensaverWindow) {
        options.windowId = ParseWindowId(screensaverWindow);
        if (!options.windowId) return {std::nullopt, "$XSCREENSAVER_WINDOW: " + Quoted(screensaverWindow) + " is not a window id"};
    }
    MakeSafeForSaver(options.settings);
    return {options, {}};
}

std::string Usage(std::string_view program) {
    return "usage: " + std::string(program) + " [options]\n"
           "  -num N              characters on the screen, 0..1000 (100)\n"
           "  -back2 N            background: 0 the desktop, 1..8 a picture, 9 random (1)\n"
           "  -updown N           0 fall, 1 rise, 2 both (0)\n"
           "  -lr N               0 left, 1 right, 2 both (2)\n"
           "  -downspeed N        vertical speed, 0..100 (30)\n"
           "  -lrspeed N          horizontal speed, 0..100 (20)\n"
           "  -characters FLAGS   fifteen 0/1 flags, one a character (111111111111111)\n"
           "  -message TEXT       show TEXT in the middle of the screen (-no-message: off)\n"
           "  -message-front      the message over the characters (-message-behind: under them)\n"
           "  -transparent        no box behind the message (-no-transparent)\n"
           "  -message-color #RGB colour of the message (#FFFF00)\n"
           "  -message-bg #RGB    colour of its box (#8080FF)\n"
           "  -font \"NAME SIZE\"   message font and size in points, 1..1000 (\"Times New Roman 48\")\n"
           "  -root               draw into the root window\n"
           "  -window-id ID       draw into window ID (also $XSCREENSAVER_WINDOW)\n"
           "  -every-head         each monitor its own animation (-no-every-head: one picture)\n"
           "  -display NAME       X display\n"
           "  -fps                show the frame rate\n";
}

}  // namespace flutt::hack
