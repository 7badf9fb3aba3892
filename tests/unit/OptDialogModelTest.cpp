#include "dialog/OptDialogModel.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/fake/MemoryRegistry.h"
#include "tests/unit/StoredValues.h"

namespace flutt {
namespace {

using testing::kSettingsPath;
using testing::Text;

// The 31 values OK writes, in its order.
const std::vector<std::string> kSavedOrder = {
    "num",            "downspeed",      "LRspeed",        "back2",           "updown",
    "LR",             "IsShownMessage", "IsMessageFront", "IsTransparent",   "MessageText",
    "MessageBGColor", "MessageFontColor", "MessageFontSize", "MessageFontName", "Character0",
    "Character1",     "Character2",     "Character3",     "Character4",      "Character5",
    "Character6",     "Character7",     "Character8",     "Character9",      "Character10",
    "Character11",    "Character12",    "Character13",    "Character14",     "IsOnEveryMonitor",
    "banner",
};

// The prompts as a script: what the user answers, and a record of what was asked.
class ScriptedPrompts final : public OptDialogPrompts {
public:
    void ShowCaution() override {
        ++cautions;
        if (onCaution) onCaution();
    }
    bool ConfirmReset() override {
        ++resetQuestions;
        return confirmReset;
    }
    std::optional<MessageFontState> PickFont(const MessageFontState& current) override {
        fontOffered = current;
        return fontAnswer;
    }
    std::optional<std::int32_t> PickColor(std::int32_t current) override {
        colorOffered = current;
        return colorAnswer;
    }

    int cautions = 0;
    std::function<void()> onCaution;
    int resetQuestions = 0;
    bool confirmReset = true;
    std::optional<MessageFontState> fontOffered;
    std::optional<MessageFontState> fontAnswer;
    std::optional<std::int32_t> colorOffered;
    std::optional<std::int32_t> colorAnswer;
};

using Stored = std::vector<std::pair<std::string, std::string>>;

// A dialog model loaded from a registry holding `stored` in the settings key.
struct Loaded {
    explicit Loaded(Stored stored = {}, bool reduced = false)
        : model(reduced) {
        for (auto& [name, text] : stored) registry.Put(kSettingsPath, name, Text(text));
        model.FormCreate(registry);
        registry.queried.clear();
    }
    std::string Saved(const std::string& name) const { return registry.ValuesOf(kSettingsPath).at(name).text; }

    MemoryRegistry registry;
    OptDialogModel model;
    ScriptedPrompts prompts;
};

// ---- load ----------------------------------------------------------------

TEST(OptDialogLoadTest, AnEmptyRegistryShowsEveryDefault) {
    MemoryRegistry registry;
    OptDialogModel model(false);
    model.FormCreate(registry);

    EXPECT_EQ(model.ActiveTab(), OptTab::General);
    EXPECT_EQ(model.rdgBack().Index(), 1);  // チェッカールーム
    EXPECT_EQ(BackgroundListNames(false)[1], "チェッカールーム");
    EXPECT_EQ(model.rdgUpdown().Index(), 0);  // 降ってくる
    EXPECT_EQ(model.rdgLR().Index(), 2);      // 両方
    EXPECT_EQ(model.trkUpdownSpeed().Position(), 30);
    EXPECT_EQ(model.trkLRSpeed().Position(), 20);
    EXPECT_EQ(model.trkCharNum().Position(), 100);
    EXPECT_EQ(model.trkCharNum().ValueText(), "100");
    EXPECT_EQ(model.trkUpdownSpeed().ValueText(), "30");
    EXPECT_EQ(model.trkLRSpeed().ValueText(), "20");
    for (int i = 0; i < kCharacterCount; ++i) EXPECT_TRUE(model.IsCharacterChecked(i)) << i;
    EXPECT_FALSE(model.chkMessage());
    EXPECT_EQ(model.edtMessage(), "Fluttons! Saver");
    EXPECT_TRUE(model.chkIsMessageFront());
    EXPECT_FALSE(model.chkTransparent());
    EXPECT_EQ(model.lblFontName(), "Times New Roman, 48pt");
    EXPECT_FALSE(model.chkEveryMonitor());
    EXPECT_EQ(model.ButtonColor(ColorButton::FontColor), 0x00FFFF);
    EXPECT_EQ(model.ButtonColor(ColorButton::Background), 0xFF8080);
    EXPECT_EQ(model.lblVersion(), "Fluttons! Saver Ver 4.00");
    EXPECT_EQ(model.lblTimesOfBoot(), "起動回数: 0回");
    for (SwitchedControl c : kSwitchedControls) EXPECT_FALSE(model.IsEnabled(c)) << static_cast<int>(c);
    EXPECT_TRUE(registry.written.empty());
}

TEST(OptDialogLoadTest, ReadsInTheDialogsOrderAndNeverWrites) {
    MemoryRegistry registry;
    OptDialogModel model(false);
    model.FormCreate(registry);
    const std::vector<std::string> expected = {
        "num", "downspeed", "LRspeed", "back2", "updown", "LR", "TimesOfBoot",
        "Character0", "Character1", "Character2", "Character3", "Character4", "Character5", "Character6",
        "Character7", "Character8", "Character9", "Character10", "Character11", "Character12", "Character13",
        "Character14", "IsShownMessage", "IsMessageFront", "IsTransparent", "MessageText", "MessageBGColor",
        "MessageFontColor", "MessageFontSize", "MessageFontName", "IsOnEveryMonitor",
    };
    EXPECT_EQ(registry.queried, expected);
    EXPECT_TRUE(registry.written.empty());
}

TEST(OptDialogLoadTest, StoredValuesReachTheirControls) {
    Loaded d({{"num", "250"}, {"downspeed", "7"}, {"LRspeed", "0"}, {"back2", "5"}, {"updown", "1"}, {"LR", "0"},
              {"TimesOfBoot", "12"}, {"Character3", "0"}, {"IsShownMessage", "1"}, {"IsMessageFront", "0"},
              {"IsTransparent", "1"}, {"MessageText", ""}, {"MessageBGColor", "255"},
              {"MessageFontColor", "$FF00"}, {"MessageFontSize", "9"}, {"MessageFontName", "ＭＳ ゴシック"},
              {"IsOnEveryMonitor", "1"}});
    const OptDialogModel& m = d.model;
    EXPECT_EQ(m.trkCharNum().Position(), 250);
    EXPECT_EQ(m.trkUpdownSpeed().Position(), 7);
    EXPECT_EQ(m.trkLRSpeed().ValueText(), "0");
    EXPECT_EQ(m.rdgBack().Index(), 5);
    EXPECT_EQ(m.rdgUpdown().Index(), 1);
    EXPECT_EQ(m.rdgLR().Index(), 0);
    EXPECT_EQ(m.lblTimesOfBoot(), "起動回数: 12回");
    EXPECT_FALSE(m.IsCharacterChecked(3));
    EXPECT_TRUE(m.IsCharacterChecked(4));
    EXPECT_TRUE(m.chkMessage());
    EXPECT_FALSE(m.chkIsMessageFront());
    EXPECT_TRUE(m.chkTransparent());
    EXPECT_EQ(m.edtMessage(), "");  // an empty text stays empty
    EXPECT_EQ(m.ButtonColor(ColorButton::Background), 255);
    EXPECT_EQ(m.ButtonColor(ColorButton::FontColor), 0xFF00);
    EXPECT_EQ(m.lblFontName(), "ＭＳ ゴシック, 9pt");
    EXPECT_TRUE(m.chkEveryMonitor());
}

TEST(OptDialogLoadTest, AValueOfAnotherTypeShowsItsDefault) {
    MemoryRegistry registry;
    registry.Put(kSettingsPath, "num", {RegistryValue::Kind::OtherType, ""});
    registry.Put(kSettingsPath, "MessageText", {RegistryValue::Kind::Unreadable, ""});
    registry.Put(kSettingsPath, "Character2", {RegistryValue::Kind::OtherType, ""});
    registry.Put(kSettingsPath, "downspeed", Text("12"));
    OptDialogModel model(false);
    ASSERT_NO_THROW(model.FormCreate(registry));
    EXPECT_EQ(model.trkCharNum().Position(), 100);
    EXPECT_EQ(model.edtMessage(), "Fluttons! Saver");
    EXPECT_TRUE(model.IsCharacterChecked(2));
    EXPECT_EQ(model.trkUpdownSpeed().Position(), 12);  // the reads go on after a bad value
}

// ---- clamping --------------------------------------------------------------

struct ClampCase {
    const char* name;
    const char* stored;
    std::function<int(const OptDialogModel&)> shown;
    int expected;
    bool reduced = false;
};

TEST(OptDialogClampTest, ControlsClampWhatTheyLoadAndOkSavesTheClampedValue) {
    const auto num = [](const OptDialogModel& m) { return m.trkCharNum().Position(); };
    const auto down = [](const OptDialogModel& m) { return m.trkUpdownSpeed().Position(); };
    const auto lr = [](const OptDialogModel& m) { return m.trkLRSpeed().Position(); };
    const auto back = [](const OptDialogModel& m) { return m.rdgBack().Index(); };
    const auto updown = [](const OptDialogModel& m) { return m.rdgUpdown().Index(); };
    const auto lrMode = [](const OptDialogModel& m) { return m.rdgLR().Index(); };
    const ClampCase cases[] = {
        {"num", "5000", num, 1000},        {"num", "1000", num, 1000},      {"num", "-1", num, 0},
        {"downspeed", "-5", down, 0},      {"downspeed", "101", down, 100}, {"LRspeed", "-2147483648", lr, 0},
        {"LRspeed", "250", lr, 100},       {"back2", "12", back, 9},        {"back2", "9", back, 9},
        {"back2", "-4", back, -1},         {"back2", "-1", back, -1},       {"updown", "3", updown, 2},
        {"updown", "-7", updown, -1},      {"LR", "-1", lrMode, -1},        {"LR", "99", lrMode, 2},
        {"back2", "9", back, 6, true},     {"back2", "7", back, 6, true},   {"back2", "6", back, 6, true},
        {"back2", "5", back, 5, true},     {"back2", "-3", back, -1, true},
    };
    for (const ClampCase& c : cases) {
        SCOPED_TRACE(std::string(c.name) + "=" + c.stored + (c.reduced ? " (reduced)" : ""));
        Loaded d(Stored{{c.name, c.stored}}, c.reduced);
        EXPECT_EQ(c.shown(d.model), c.expected);
        ASSERT_TRUE(d.model.btnOKClick(d.registry, d.prompts));
        EXPECT_EQ(d.Saved(c.name), std::to_string(c.expected));
    }
}

TEST(OptDialogClampTest, TheReducedBuildsBackgroundGroupHasSevenItems) {
    EXPECT_EQ(OptDialogModel(true).rdgBack().Count(), 7);
    EXPECT_EQ(OptDialogModel(false).rdgBack().Count(), 10);
    EXPECT_EQ(BackgroundListNames(true).back(), "ランダム");
    EXPECT_EQ(BackgroundListNames(false).back(), "ランダム");
}

TEST(OptDialogClampTest, SettersClampLikeTheControls) {
    OptDialogModel m(false);
    m.trkCharNum().SetPosition(1001);
    m.trkLRSpeed().SetPosition(-1);
    m.rdgUpdown().SetIndex(-2);
    m.rdgLR().SetIndex(3);
    EXPECT_EQ(m.trkCharNum().Position(), 1000);
    EXPECT_EQ(m.trkLRSpeed().Position(), 0);
    EXPECT_EQ(m.rdgUpdown().Index(), -1);
    EXPECT_EQ(m.rdgLR().Index(), 2);
}

// ---- OK ----------------------------------------------------------------------

TEST(OptDialogOkTest, AnEmptyRegistrySavesExactlyThirtyOneDefaultValues) {
    Loaded d;
    ASSERT_TRUE(d.model.btnOKClick(d.registry, d.prompts));
    EXPECT_EQ(d.registry.written, kSavedOrder);
    const auto& values = d.registry.ValuesOf(kSettingsPath);
    EXPECT_EQ(values.size(), 31u);
    const std::pair<const char*, const char*> expected[] = {
        {"num", "100"},           {"downspeed", "30"},         {"LRspeed", "20"},
        {"back2", "1"},           {"updown", "0"},             {"LR", "2"},
        {"IsShownMessage", "0"},  {"IsMessageFront", "1"},     {"IsTransparent", "0"},
        {"MessageText", "Fluttons! Saver"},                    {"MessageBGColor", "16744576"},
        {"MessageFontColor", "65535"},                         {"MessageFontSize", "48"},
        {"MessageFontName", "Times New Roman"},                {"Character0", "1"},
        {"Character14", "1"},     {"IsOnEveryMonitor", "0"},   {"banner", "1"},
    };
    for (const auto& [name, text] : expected) EXPECT_EQ(d.Saved(name), text) << name;
    EXPECT_EQ(d.prompts.cautions, 0);
}

TEST(OptDialogOkTest, OkWithoutChangesRewritesEveryValueAndNeverTheStartCount) {
    Stored stored = {
        {"num", "321"},          {"downspeed", "4"},        {"LRspeed", "5"},           {"back2", "8"},
        {"updown", "2"},         {"LR", "1"},               {"IsShownMessage", "1"},    {"IsMessageFront", "0"},
        {"IsTransparent", "1"},  {"MessageText", "こんにちは"}, {"MessageBGColor", "-1"},  {"MessageFontColor", "0"},
        {"MessageFontSize", "-12"}, {"MessageFontName", "Arial"}, {"IsOnEveryMonitor", "1"}, {"TimesOfBoot", "7"},
        {"banner", "0"},
    };
    for (int i = 0; i < kCharacterCount; ++i) stored.emplace_back(CharacterValueName(i), i % 2 ? "1" : "0");
    Loaded d(stored);
    ASSERT_TRUE(d.model.btnOKClick(d.registry, d.prompts));
    EXPECT_EQ(d.registry.written, kSavedOrder);
    for (const auto& [name, text] : stored) {
        if (name == "TimesOfBoot") continue;
        if (name == "banner") continue;
        EXPECT_EQ(d.Saved(name), text) << name;
    }
    EXPECT_EQ(d.Saved("banner"), "1");
    EXPECT_EQ(d.Saved("TimesOfBoot"), "7");
    EXPECT_EQ(d.registry.ValuesOf(kSettingsPath).size(), 32u);
}

TEST(OptDialogOkTest, NoCharacterCheckedCautionsChecksTheFirstAndShowsTheCharacterTab) {
    Loaded d;
    for (int i = 0; i < kCharacterCount; ++i) d.model.SetCharacterChecked(i, false);
    bool firstCheckedWhileCautioning = true;
    d.prompts.onCaution = [&] { firstCheckedWhileCautioning = d.model.IsCharacterChecked(0); };

    EXPECT_FALSE(d.model.btnOKClick(d.registry, d.prompts));
    EXPECT_EQ(d.prompts.cautions, 1);
    EXPECT_FALSE(firstCheckedWhileCautioning);  // the box comes first, then the check
    EXPECT_EQ(d.model.ActiveTab(), OptTab::Character);
    EXPECT_TRUE(d.model.IsCharacterChecked(0));
    for (int i = 1; i < kCharacterCount; ++i) EXPECT_FALSE(d.model.IsCharacterChecked(i)) << i;
    EXPECT_TRUE(d.registry.written.empty());
    EXPECT_FALSE(d.registry.HasKey(kSettingsPath));

    // A second OK saves, with only the first character.
    EXPECT_TRUE(d.model.btnOKClick(d.registry, d.prompts));
    EXPECT_EQ(d.prompts.cautions, 1);
    EXPECT_EQ(d.Saved("Character0"), "1");
    for (int i = 1; i < kCharacterCount; ++i) EXPECT_EQ(d.Saved(CharacterValueName(i)), "0") << i;
}

TEST(OptDialogOkTest, ASingleCheckedCharacterIsEnough) {
    Loaded d;
    for (int i = 0; i < kCharacterCount; ++i) d.model.SetCharacterChecked(i, i == 14);
    EXPECT_TRUE(d.model.btnOKClick(d.registry, d.prompts));
    EXPECT_EQ(d.prompts.cautions, 0);
    EXPECT_EQ(d.Saved("Character0"), "0");
    EXPECT_EQ(d.Saved("Character14"), "1");
    EXPECT_EQ(d.model.ActiveTab(), OptTab::General);
}

TEST(OptDialogOkTest, AFailedWriteKeepsTheEarlierValuesAndNothingAfter) {
    Loaded d;
    d.model.trkCharNum().SetPosition(555);
    d.model.SetMessageText("後");
    d.registry.refusedValues.insert("MessageText");
    const SaverSettings before = d.model.BuildSettings();

    try {
        d.model.btnOKClick(d.registry, d.prompts);
        FAIL() << "the refused write must raise an error";
    } catch (const RegistryError& error) {
        EXPECT_STREQ(error.what(), "'MessageText' の設定に失敗しました");
    }
    const std::vector<std::string> before9(kSavedOrder.begin(), kSavedOrder.begin() + 9);
    EXPECT_EQ(d.registry.written, before9);
    EXPECT_EQ(d.Saved("num"), "555");
    const auto& values = d.registry.ValuesOf(kSettingsPath);
    for (auto it = kSavedOrder.begin() + 9; it != kSavedOrder.end(); ++it) EXPECT_EQ(values.count(*it), 0u) << *it;
    EXPECT_EQ(d.model.BuildSettings(), before);  // every control as it was
}

TEST(OptDialogOkTest, ASectionThatCannotBeCreatedWritesNothing) {
    Loaded d;
    d.registry.refusedKeys.insert(kSettingsPath);
    try {
        d.model.btnOKClick(d.registry, d.prompts);
        FAIL() << "the refused key must raise an error";
    } catch (const RegistryError& error) {
        EXPECT_STREQ(error.what(), "キー Fluttons Saver の作成に失敗しました");
    }
    EXPECT_TRUE(d.registry.written.empty());
}

// ---- Reset ---------------------------------------------------------------------

TEST(OptDialogResetTest, ResetsOnlyTheGeneralValuesTheCountAndTheMessageSwitch) {
    Loaded d(Stored{{"IsShownMessage", "1"}});
    OptDialogModel& m = d.model;
    m.rdgBack().SetIndex(7);
    m.rdgUpdown().SetIndex(2);
    m.rdgLR().SetIndex(-1);
    m.trkCharNum().SetPosition(900);
    m.trkUpdownSpeed().SetPosition(1);
    m.trkLRSpeed().SetPosition(99);
    m.btnShowaMojiClick();
    m.SetMessageText("別の伝言");
    d.prompts.colorAnswer = 0x123456;
    m.btnColorClick(ColorButton::FontColor, d.prompts);
    d.prompts.colorAnswer = 0x654321;
    m.btnColorClick(ColorButton::Background, d.prompts);
    d.prompts.fontAnswer = MessageFontState{"Arial", 20};
    m.btnFontClick(d.prompts);
    m.SetMessageFront(false);
    m.SetTransparent(true);
    m.SetOnEveryMonitor(true);
    m.SetActiveTab(OptTab::Message);
    const SaverSettings changed = m.BuildSettings();

    d.prompts.confirmReset = false;
    m.btnDefaultClick(d.prompts);
    EXPECT_EQ(d.prompts.resetQuestions, 1);
    EXPECT_EQ(m.BuildSettings(), changed);  // Cancel changes nothing

    d.prompts.confirmReset = true;
    m.btnDefaultClick(d.prompts);
    SaverSettings expected = changed;
    expected.back2 = 1;
    expected.updown = 0;
    expected.LR = 2;
    expected.num = 100;
    expected.downspeed = 30;
    expected.LRspeed = 20;
    expected.IsShownMessage = false;
    expected.IsOnEveryMonitor = false;
    EXPECT_EQ(m.BuildSettings(), expected);
    EXPECT_EQ(m.trkCharNum().ValueText(), "100");
    EXPECT_EQ(m.trkUpdownSpeed().ValueText(), "30");
    EXPECT_EQ(m.trkLRSpeed().ValueText(), "20");
    EXPECT_EQ(m.lblFontName(), "Arial, 20pt");
    EXPECT_EQ(m.ActiveTab(), OptTab::Message);
    for (SwitchedControl c : kSwitchedControls) EXPECT_FALSE(m.IsEnabled(c));
    EXPECT_TRUE(d.registry.written.empty());  // nothing is written until OK
}

// ---- presets -----------------------------------------------------------------

TEST(OptDialogPresetTest, EachPresetSetsEveryCharacterCheckAndNothingElse) {
    struct Case {
        void (OptDialogModel::*preset)();
        std::array<bool, kCharacterCount> expected;
    };
    const Case cases[] = {
        {&OptDialogModel::btnRecommendationClick, {1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {&OptDialogModel::btnShowaMojiClick, {0, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        for (bool start : {false, true}) {
            OptDialogModel m(false);
            for (int i = 0; i < kCharacterCount; ++i) m.SetCharacterChecked(i, start);
            m.SetOnEveryMonitor(start);
            SaverSettings expected = m.BuildSettings();
            expected.Character = c.expected;
            (m.*c.preset)();
            EXPECT_EQ(m.BuildSettings(), expected);
        }
    }
    EXPECT_EQ(CharacterListNames()[4], "ハムハム");
    EXPECT_EQ(CharacterListNames()[5], "昭和笑顔文字");
    EXPECT_EQ(CharacterListNames()[8], "昭和三日月黄色");
}

// ---- enabling and the sample ---------------------------------------------------

TEST(OptDialogRulesTest, TheMessageSwitchAndTransparencyEnableTheMessageControls) {
    struct Case {
        bool message, transparent, othersEnabled, backgroundEnabled;
    };
    const Case cases[] = {
        {false, false, false, false},
        {false, true, false, false},
        {true, false, true, true},
        {true, true, true, false},
    };
    for (const Case& c : cases) {
        OptDialogModel m(false);
        m.SetMessageShown(c.message);
        m.SetTransparent(c.transparent);
        for (SwitchedControl control : kSwitchedControls) {
            const bool expected =
                control == SwitchedControl::btnBackground ? c.backgroundEnabled : c.othersEnabled;
            EXPECT_EQ(m.IsEnabled(control), expected)
                << "message " << c.message << " transparent " << c.transparent << " control "
                << static_cast<int>(control);
        }
    }
}

TEST(OptDialogRulesTest, TheSampleShowsTheTextColoursAndFont) {
    Loaded d;
    OptDialogModel& m = d.model;
    m.SetMessageText("見本");
    SampleLook look = m.Sample();
    EXPECT_EQ(look.caption, "見本");
    EXPECT_EQ(look.textColor, 0x00FFFF);
    EXPECT_EQ(look.fillColor, std::optional<std::int32_t>(0xFF8080));
    EXPECT_EQ(look.font, (MessageFontState{"Times New Roman", 48}));

    m.SetTransparent(true);
    EXPECT_EQ(m.Sample().fillColor, std::nullopt);  // the dialog's face colour
    m.SetTransparent(false);
    m.SetMessageFront(false);
    EXPECT_EQ(m.Sample(), look);  // the front switch has no effect on the sample
}

// ---- choosers ----------------------------------------------------------------

TEST(OptDialogChooserTest, TheFontChooserStartsAtTheFontAndCancelKeepsTheLabel) {
    Loaded d;
    d.model.btnFontClick(d.prompts);
    EXPECT_EQ(d.prompts.fontOffered, (MessageFontState{"Times New Roman", 48}));
    EXPECT_EQ(d.model.lblFontName(), "Times New Roman, 48pt");

    d.prompts.fontAnswer = MessageFontState{"ＭＳ Ｐゴシック", 10};
    d.model.btnFontClick(d.prompts);
    EXPECT_EQ(d.model.lblFontName(), "ＭＳ Ｐゴシック, 10pt");
    EXPECT_EQ(d.model.Sample().font, (MessageFontState{"ＭＳ Ｐゴシック", 10}));
    ASSERT_TRUE(d.model.btnOKClick(d.registry, d.prompts));
    EXPECT_EQ(d.Saved("MessageFontName"), "ＭＳ Ｐゴシック");
    EXPECT_EQ(d.Saved("MessageFontSize"), "10");
}

TEST(OptDialogChooserTest, TheColourChooserActsOnTheButtonClicked) {
    Loaded d;
    d.model.btnColorClick(ColorButton::Background, d.prompts);  // cancelled
    EXPECT_EQ(d.prompts.colorOffered, 0xFF8080);
    EXPECT_EQ(d.model.ButtonColor(ColorButton::Background), 0xFF8080);

    d.prompts.colorAnswer = 0x0000FF;  // pure red
    d.model.btnColorClick(ColorButton::FontColor, d.prompts);
    EXPECT_EQ(d.prompts.colorOffered, 0x00FFFF);
    EXPECT_EQ(d.model.ButtonColor(ColorButton::FontColor), 0x0000FF);
    EXPECT_EQ(d.model.ButtonColor(ColorButton::Background), 0xFF8080);
    EXPECT_EQ(d.model.Sample().textColor, 0x0000FF);
    ASSERT_TRUE(d.model.btnOKClick(d.registry, d.prompts));
    EXPECT_EQ(d.Saved("MessageFontColor"), "255");
    EXPECT_EQ(d.Saved("MessageBGColor"), "16744576");
}

}  // namespace
}  // namespace flutt
