#include "host/RunMode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace flutt {
namespace {

// Runs the decision over a command line given as its arguments after the
// program path (element 0 is added, as the platform counts it).
std::optional<RunModeDecision> Decide(std::vector<std::wstring> args) {
    args.insert(args.begin(), L"C:\\Windows\\fluttsaver.scr");
    std::vector<std::wstring_view> views(args.begin(), args.end());
    return DecideRunMode(views);
}

struct ModeCase {
    std::vector<std::wstring> args;
    RunMode expected;
};

TEST(RunModeTest, ChoosesTheModeFromTheFirstTwoCharactersOfTheFirstArgument) {
    const ModeCase cases[] = {
        {{}, RunMode::Configure},
        {{L"/s"}, RunMode::Saver},
        {{L"/S"}, RunMode::Saver},
        {{L"-s"}, RunMode::Saver},
        {{L"/Screen"}, RunMode::Saver},
        {{L"/s", L"more", L"words"}, RunMode::Saver},
        {{L"/c"}, RunMode::Configure},
        {{L"-C"}, RunMode::Configure},
        {{L"/c:1234"}, RunMode::Configure},
        {{L"/a"}, RunMode::Password},
        {{L"/A", L"1234"}, RunMode::Password},
        {{L"s"}, RunMode::Configure},
        {{L"picture.bmp"}, RunMode::Configure},
        {{L""}, RunMode::Configure},
        {{L"", L"/s"}, RunMode::Configure},
        {{L"/p", L"1234"}, RunMode::Preview},
        {{L"-P", L"1234"}, RunMode::Preview},
    };
    for (const auto& c : cases) {
        const auto decision = Decide(c.args);
        ASSERT_TRUE(decision.has_value()) << "arguments: " << c.args.size();
        EXPECT_EQ(decision->mode, c.expected) << "first argument of " << c.args.size();
    }
}

TEST(RunModeTest, RejectsUnknownSwitchesAndPreviewWithoutExactlyOneHandle) {
    const std::vector<std::vector<std::wstring>> rejected = {
        {L"/x"}, {L"-"}, {L"/"}, {L"/1"}, {L"/p"}, {L"/p", L"1", L"2"}, {L"/p:123"}, {L"-p"},
    };
    for (const auto& args : rejected) EXPECT_FALSE(Decide(args).has_value()) << args[0].size();
}

TEST(RunModeTest, PreviewParsesTheHandleArgument) {
    EXPECT_EQ(Decide({L"/p", L"001234"})->hostWindow, 1234u);
    EXPECT_EQ(Decide({L"/P", L"0"})->hostWindow, 0u);
}

TEST(RunModeTest, HostWindowFollowsTheDecimalTextRules) {
    const std::pair<std::wstring, std::uint32_t> cases[] = {
        {L"001234", 1234u},
        {L"12abc", 12u},
        {L"abc", 0u},
        {L"", 0u},
        {L"4294967295", 0xFFFFFFFFu},
        {L"-1", 0xFFFFFFFFu},
        {L"+42", 42u},
        {L" \t\n\v\f\r77", 77u},
        {L"4294967296", 0u},   // 2^32 wraps to 0
        {L"4294967297", 1u},
        {L"- 5", 0u},          // no blanks between sign and digits
        {L"--5", 0u},
        {L"\u00A05", 0u},      // only the six ASCII white-space characters are skipped
        {L"2147483648", 0x80000000u},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(ParseHostWindow(text), expected) << text.size();
}

}  // namespace
}  // namespace flutt
