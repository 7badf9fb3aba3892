#include "linux/Options.h"

#include <gtest/gtest.h>

#include <vector>

namespace flutt::hack {
namespace {

ParsedOptions Parse(std::vector<std::string_view> args, const char* env = nullptr) { return ParseOptions(args, env); }

SaverSettings Settings(std::vector<std::string_view> args) {
    const ParsedOptions parsed = Parse(args);
    EXPECT_TRUE(parsed.options) << parsed.error;
    return parsed.options ? parsed.options->settings : SaverSettings{};
}

// One clear line that names what was wrong.
void ExpectRefused(std::vector<std::string_view> args, const std::string& mentions) {
    const ParsedOptions parsed = Parse(args);
    EXPECT_FALSE(parsed.options) << args[0];
    EXPECT_NE(parsed.error.find(mentions), std::string::npos) << parsed.error;
    EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << parsed.error;
}

TEST(OptionsTest, NoOptionsGiveTheSaversDefaults) {
    const ParsedOptions parsed = Parse({});
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->settings, SaverSettings{});
    EXPECT_FALSE(parsed.options->root);
    EXPECT_FALSE(parsed.options->windowId);
    EXPECT_FALSE(parsed.options->fps);
}

struct NumberCase {
    const char* option;
    std::int32_t SaverSettings::*field;
    const char* given;
    std::int32_t expected;
};

TEST(OptionsTest, NumbersAreTakenInRangeAndBroughtIntoRangeAsTheSaverDoes) {
    const NumberCase cases[] = {
        {"-num", &SaverSettings::num, "0", 0},           {"-num", &SaverSettings::num, "1000", 1000},
        {"-num", &SaverSettings::num, "1001", 1000},     {"-num", &SaverSettings::num, "-5", 0},
        {"-downspeed", &SaverSettings::downspeed, "100", 100}, {"-downspeed", &SaverSettings::downspeed, "101", 100},
        {"-downspeed", &SaverSettings::downspeed, "-1", 0},    {"-lrspeed", &SaverSettings::LRspeed, "0", 0},
        {"-lrspeed", &SaverSettings::LRspeed, "250", 100},     {"-lrspeed", &SaverSettings::LRspeed, "-7", 0},
        {"-updown", &SaverSettings::updown, "2", 2},     {"-updown", &SaverSettings::updown, "3", 0},
        {"-updown", &SaverSettings::updown, "-1", 0},    {"-lr", &SaverSettings::LR, "1", 1},
        {"-lr", &SaverSettings::LR, "3", 0},             {"-lr", &SaverSettings::LR, "-1", 0},
        // A background outside the list is the desktop.
        {"-back2", &SaverSettings::back2, "9", 9},       {"-back2", &SaverSettings::back2, "12", 0},
        {"-back2", &SaverSettings::back2, "-1", 0},      {"-back2", &SaverSettings::back2, "99999999999", 0},
        // Past the 32-bit range, and far past it, still out of range.
        {"-num", &SaverSettings::num, "2147483648", 1000},
        {"-num", &SaverSettings::num, "99999999999999999999", 1000},
        {"-num", &SaverSettings::num, "-99999999999999999999", 0},
        {"-lrspeed", &SaverSettings::LRspeed, "0xFFFFFFFFFFFFFFFFFFFF", 100},
        // Hexadecimal, signs, and blanks on either side alike.
        {"-num", &SaverSettings::num, "0x10", 16},       {"-num", &SaverSettings::num, "$10", 16},
        {"-num", &SaverSettings::num, "x1F", 31},        {"-num", &SaverSettings::num, "+7", 7},
        {"-num", &SaverSettings::num, " 5", 5},          {"-num", &SaverSettings::num, "5 ", 5},
        {"-num", &SaverSettings::num, "\t42\n", 42},
    };
    for (const NumberCase& c : cases) {
        EXPECT_EQ(Settings({c.option, c.given}).*c.field, c.expected) << c.option << " " << c.given;
    }
}

TEST(OptionsTest, GarbageIsRefusedWithTheOptionAndItsRangeNamed) {
    const std::pair<const char*, const char*> numbers[] = {
        {"-num", "(0..1000)"},       {"-back2", "(0..9)"},         {"-updown", "(0..2)"},
        {"-lr", "(0..2)"},           {"-downspeed", "(0..100)"},   {"-lrspeed", "(0..100)"},
        {"-stop-after", "(0..2147483647)"},
    };
    for (const auto& [option, range] : numbers) {
        for (const char* garbage : {"12abc", "", "  ", "5 5", "0x", "-", "1e3"}) {
            ExpectRefused({option, garbage}, std::string(option) + ": \"" + garbage + "\" is not a whole number " + range);
        }
        ExpectRefused({option}, option);  // no value at all
    }
    ExpectRefused({"-characters", "11111"}, "-characters");
    ExpectRefused({"-characters", "111111111111112"}, "-characters");
    ExpectRefused({"-characters", "1111111111111111"}, "-characters");
    ExpectRefused({"-message-color", "red"}, "-message-color");
    ExpectRefused({"-message-color", "#12345"}, "-message-color");
    ExpectRefused({"-message-bg", "#GG0000"}, "-message-bg");
    ExpectRefused({"-font", "Serif"}, "(1..1000)");
    ExpectRefused({"-font", "48"}, "-font");
    ExpectRefused({"-font", "Serif big"}, "-font");
    ExpectRefused({"-window-id", "window"}, "-window-id");
    ExpectRefused({"-window-id", "0"}, "-window-id");
    ExpectRefused({"-nosuch"}, "-nosuch");
    ExpectRefused({"-message"}, "-message");
}

TEST(OptionsTest, BlanksAroundOtherValuesToo) {
    const SaverSettings s = Settings({"-message-color", " #FF8000 ", "-characters", " 11111 00000 10000\t",
                                      "-font", " Serif 99999999999 "});
    EXPECT_EQ(s.MessageFontColor, 0x0080FF);
    EXPECT_EQ(s.Character, (std::array<bool, kCharacterCount>{1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(s.MessageFontName, "Serif");
    EXPECT_EQ(s.MessageFontSize, 1000);
    const ParsedOptions parsed = Parse({"-window-id", " 0x2a "});
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_EQ(parsed.options->windowId, 42u);
}

TEST(OptionsTest, CharacterFlags) {
    const auto first = Settings({"-characters", "100000000000001"}).Character;
    for (int i = 0; i < kCharacterCount; ++i) EXPECT_EQ(first[i], i == 0 || i == 14) << i;
    EXPECT_EQ(Settings({"-characters", "11111 00000 10000"}).Character,
              (std::array<bool, kCharacterCount>{1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}));
    // None enabled means all of them, as for stored settings.
    EXPECT_EQ(Settings({"-characters", "000000000000000"}).Character, SaverSettings{}.Character);
}

TEST(OptionsTest, MessageOptions) {
    SaverSettings s = Settings({"-message", "Hello", "-message-behind", "-transparent", "-message-color", "#FF8000",
                                "-message-bg", "#abc", "-font", "DejaVu Sans Mono 12"});
    EXPECT_TRUE(s.IsShownMessage);
    EXPECT_EQ(s.MessageText, "Hello");
    EXPECT_FALSE(s.IsMessageFront);
    EXPECT_TRUE(s.IsTransparent);
    EXPECT_EQ(s.MessageFontColor, 0x0080FF);  // stored as the saver keeps colours: 0x00BBGGRR
    EXPECT_EQ(s.MessageBGColor, 0xCCBBAA);
    EXPECT_EQ(s.MessageFontName, "DejaVu Sans Mono");
    EXPECT_EQ(s.MessageFontSize, 12);

    s = Settings({"-message", "x", "-no-message", "-message-behind", "-message-front", "-transparent",
                  "-no-transparent", "-font", "Serif 0"});
    EXPECT_FALSE(s.IsShownMessage);
    EXPECT_TRUE(s.IsMessageFront);
    EXPECT_FALSE(s.IsTransparent);
    EXPECT_EQ(s.MessageFontSize, 1);
    EXPECT_EQ(Settings({"-font", "Serif 5000"}).MessageFontSize, 1000);
    EXPECT_EQ(Settings({"-font", "  Noto Sans CJK JP   20 "}).MessageFontName, "Noto Sans CJK JP");
}

TEST(OptionsTest, WhereToDraw) {
    auto options = [](std::vector<std::string_view> args, const char* env) {
        const ParsedOptions parsed = ParseOptions(args, env);
        EXPECT_TRUE(parsed.options) << parsed.error;
        return parsed.options.value_or(HackOptions{});
    };
    EXPECT_TRUE(options({"-root"}, nullptr).root);
    EXPECT_FALSE(options({"-root"}, nullptr).everyHead);
    EXPECT_TRUE(options({"--every-head"}, nullptr).everyHead);
    EXPECT_FALSE(options({"-every-head", "-no-every-head"}, nullptr).everyHead);
    EXPECT_EQ(options({"-window-id", "0x2a"}, nullptr).windowId, 42u);
    EXPECT_EQ(options({"-window-id", "42"}, nullptr).windowId, 42u);
    EXPECT_EQ(options({"-root"}, "0x400007").windowId, 0x400007u);  // XScreenSaver's window
    EXPECT_EQ(options({"-window-id", "7"}, "0x400007").windowId, 7u);
    EXPECT_FALSE(options({}, "").windowId);
    EXPECT_FALSE(ParseOptions({}, "not-a-window").options);
    const HackOptions other = options({"--fps", "-display", ":3", "-stop-after", "5"}, nullptr);
    EXPECT_TRUE(other.fps);
    EXPECT_EQ(other.display, ":3");
    EXPECT_EQ(other.stopAfter, 5);
}

}  // namespace
}  // namespace flutt::hack
