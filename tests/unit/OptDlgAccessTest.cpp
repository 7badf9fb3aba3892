#include "dialog/OptDlgAccess.h"

#include <gtest/gtest.h>

// The items name only the fields they need; the others keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace flutt {
namespace {

// A colour chooser that answers one colour.
class ScriptedColor final : public OptDialogPrompts {
public:
    explicit ScriptedColor(std::int32_t color) : color_(color) {}
    void ShowCaution() override {}
    bool ConfirmReset() override { return false; }
    std::optional<MessageFontState> PickFont(const MessageFontState&) override { return std::nullopt; }
    std::optional<std::int32_t> PickColor(std::int32_t) override { return color_; }

private:
    std::int32_t color_;
};

TEST(OptDlgAccessTest, NamesDropTheAccessKeyTheColonAndTheEllipsis) {
    const std::pair<std::string, std::string> cases[] = {
        {"登場するキャラクター(&C):", "登場するキャラクター"},
        {"変更(&B)...", "変更"},
        {"文字色:", "文字色"},
        {"初期値(&D)", "初期値"},
        {"&OK", "OK"},
        {"R&&D", "R&D"},
        {"上下の動き", "上下の動き"},
    };
    for (const auto& [caption, name] : cases) EXPECT_EQ(AccessibleNameOf(caption), name) << caption;
    EXPECT_EQ(AccessKeyOf("■変更(&c)..."), "Alt+C");
    EXPECT_EQ(AccessKeyOf("R&&D"), "");
}

TEST(OptDlgAccessTest, CharacterItemsAreCheckButtonsThatSayTheirCheck) {
    OptDialogModel model(false);
    model.SetCharacterChecked(1, true);
    EXPECT_EQ(CharacterItemAccess(model, 1), (AccessibleItem{.role = AccessRole::CheckButton, .name = "ペンタン",
                                                             .defaultAction = "Uncheck", .checked = true}));
    EXPECT_EQ(CharacterItemAccess(model, 14), (AccessibleItem{.role = AccessRole::CheckButton, .name = "炎",
                                                              .defaultAction = "Check", .checked = false}));
    EXPECT_EQ(CheckListAccess(OptDialogForm(false)),
              (AccessibleItem{.role = AccessRole::List, .name = "登場するキャラクター", .shortcut = "Alt+C"}));
}

TEST(OptDlgAccessTest, ColorButtonsAreNamedForTheirColourAndTellItsValue) {
    OptDialogModel model(false);
    ScriptedColor prompts(0x00336699);
    model.btnColorClick(ColorButton::Background, prompts);
    const auto& form = OptDialogForm(false);
    EXPECT_EQ(ColorButtonAccess(form, model, ColorButton::Background),
              (AccessibleItem{.role = AccessRole::PushButton, .name = "背景色の変更", .value = "赤 153、緑 102、青 51",
                              .defaultAction = "Press", .shortcut = "Alt+B"}));
    EXPECT_EQ(ColorButtonAccess(form, model, ColorButton::FontColor).name, "文字色の変更");
    EXPECT_EQ(ColorButtonAccess(form, model, ColorButton::FontColor).value, "赤 0、緑 0、青 0");
}

TEST(OptDlgAccessTest, GroupsAndTheLinkTakeTheirCaptions) {
    const auto& form = OptDialogForm(false);
    EXPECT_EQ(RadioGroupAccess(FormRowOf(form, Ctl::rdgUpdown)),
              (AccessibleItem{.role = AccessRole::Grouping, .name = "上下の動き"}));
    EXPECT_EQ(LinkAccess(FormRowOf(form, Ctl::lblURL)),
              (AccessibleItem{.role = AccessRole::Link, .name = kHomepageUrl, .value = kHomepageUrl,
                              .defaultAction = "Jump"}));
}

TEST(OptDlgAccessTest, OwnColoursGiveWayToTheSystemsInHighContrastOrWhenTheyFadeIntoTheFace) {
    constexpr std::int32_t kBlue = 0xFF0000, kBlack = 0, kWhite = 0xFFFFFF, kYellow = 0x00FFFF, kFace = 0xC8D0D4;
    EXPECT_NEAR(ContrastRatio(kBlack, kWhite), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(kBlue, kBlack), 2.44, 0.01);
    EXPECT_EQ(ReadableColor(kBlue, kYellow, kFace, false), kBlue);   // the default theme as it was
    EXPECT_EQ(ReadableColor(kBlack, kWhite, kFace, false), kBlack);
    EXPECT_EQ(ReadableColor(kBlue, kYellow, kBlack, false), kYellow);  // a dark face without the flag
    EXPECT_EQ(ReadableColor(kBlack, kWhite, kBlack, false), kWhite);
    EXPECT_EQ(ReadableColor(kBlue, kYellow, kWhite, true), kYellow);   // the flag on
}

TEST(OptDlgAccessTest, CtrlWithTabOrPageKeysTurnsThePagesRoundTheFour) {
    struct Case {
        PageKey key;
        bool ctrl, shift;
        std::optional<int> step;
    };
    const Case cases[] = {
        {PageKey::Tab, true, false, 1},          {PageKey::Tab, true, true, -1},
        {PageKey::PageDown, true, false, 1},     {PageKey::PageUp, true, false, -1},
        {PageKey::PageDown, false, false, {}},   {PageKey::Tab, false, false, {}},
        {PageKey::PageUp, true, true, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PageStep(c.key, c.ctrl, c.shift), c.step) << int(c.key) << c.ctrl << c.shift;
    }
    EXPECT_EQ(TurnedPage(OptTab::About, 1), OptTab::General);
    EXPECT_EQ(TurnedPage(OptTab::General, -1), OptTab::About);
    EXPECT_EQ(TurnedPage(OptTab::Message, 1), OptTab::Character);
}

}  // namespace
}  // namespace flutt
