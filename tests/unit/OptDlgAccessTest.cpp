#include "dialog/OptDlgAccess.h"

#include <gtest/gtest.h>

// The items name only the fields they need; the others keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace flutt {
namespace {

TEST(OptDlgAccessTest, NamesDropTheAccessKeyTheColonAndTheEllipsis) {
    for (const auto& [caption, name] : std::vector<std::pair<std::string, std::string>>{
             {"登場するキャラクター(&C):", "登場するキャラクター"}, {"変更(&B)...", "変更"}, {"&OK", "OK"},
             {"R&&D", "R&D"}, {"上下の動き", "上下の動き"}}) {
        EXPECT_EQ(AccessibleNameOf(caption), name) << caption;
    }
    EXPECT_EQ(AccessKeyOf("■変更(&c)..."), "Alt+C");
    EXPECT_EQ(AccessKeyOf("R&&D"), "");
}

TEST(OptDlgAccessTest, EachSelfDrawnControlSaysWhatItIs) {
    const auto& form = OptDialogForm(false);
    OptDialogModel model(false);
    model.SetCharacterChecked(1, true);
    EXPECT_EQ(CheckListAccess(form),
              (AccessibleItem{.role = AccessRole::List, .name = "登場するキャラクター", .shortcut = "Alt+C"}));
    EXPECT_EQ(CharacterItemAccess(model, 1), (AccessibleItem{.role = AccessRole::CheckButton, .name = "ペンタン",
                                                             .defaultAction = "Uncheck", .checked = true}));
    EXPECT_EQ(CharacterItemAccess(model, 14).defaultAction, "Check");
    EXPECT_EQ(RadioGroupAccess(FormRowOf(form, Ctl::rdgUpdown)),
              (AccessibleItem{.role = AccessRole::Grouping, .name = "上下の動き"}));
    EXPECT_EQ(ColorButtonAccess(form, model, ColorButton::Background),
              (AccessibleItem{.role = AccessRole::PushButton, .name = "背景色の変更", .value = "赤 0、緑 0、青 0",
                              .defaultAction = "Press", .shortcut = "Alt+B"}));
    EXPECT_EQ(ColorButtonAccess(form, model, ColorButton::FontColor).name, "文字色の変更");
    EXPECT_EQ(ColorValueText(0x00336699), "赤 153、緑 102、青 51");
    EXPECT_EQ(LinkAccess(FormRowOf(form, Ctl::lblURL)).role, AccessRole::Link);
}

TEST(OptDlgAccessTest, OwnColoursGiveWayToTheSystemsInHighContrastOrWhenTheyFadeIntoTheFace) {
    constexpr std::int32_t kBlue = 0xFF0000, kBlack = 0, kWhite = 0xFFFFFF, kYellow = 0x00FFFF, kFace = 0xC8D0D4;
    EXPECT_NEAR(ContrastRatio(kBlack, kWhite), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(kBlue, kBlack), 2.44, 0.01);
    EXPECT_EQ(ReadableColor(kBlue, kYellow, kFace, false), kBlue);    // the default theme as it was
    EXPECT_EQ(ReadableColor(kBlue, kYellow, kBlack, false), kYellow);  // a dark face without the flag
    EXPECT_EQ(ReadableColor(kBlue, kYellow, kWhite, true), kYellow);   // the flag on
}

TEST(OptDlgAccessTest, CtrlWithTabOrPageKeysTurnsThePagesRoundTheFour) {
    EXPECT_EQ(PageStep(PageKey::Tab, true, false), 1);
    EXPECT_EQ(PageStep(PageKey::Tab, true, true), -1);
    EXPECT_EQ(PageStep(PageKey::PageDown, true, false), 1);
    EXPECT_EQ(PageStep(PageKey::PageUp, true, false), -1);
    EXPECT_EQ(PageStep(PageKey::PageDown, false, false), std::nullopt);
    EXPECT_EQ(PageStep(PageKey::PageUp, true, true), std::nullopt);
    EXPECT_EQ(TurnedPage(OptTab::About, 1), OptTab::General);
    EXPECT_EQ(TurnedPage(OptTab::General, -1), OptTab::About);
}

}  // namespace
}  // namespace flutt
