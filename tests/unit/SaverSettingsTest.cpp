#include "settings/SaverSettings.h"

#include <gtest/gtest.h>

#include "platform/fake/MemoryRegistry.h"
#include "tests/unit/StoredValues.h"

namespace flutt {
namespace {

using testing::kSettingsPath;
using testing::Text;

const std::vector<std::string> kFieldOrder = {
    "num",           "downspeed",      "LRspeed",          "back2",           "updown",
    "LR",            "IsShownMessage", "IsMessageFront",   "IsTransparent",   "MessageText",
    "MessageBGColor", "MessageFontColor", "MessageFontSize", "MessageFontName", "Character0",
    "Character1",    "Character2",     "Character3",       "Character4",      "Character5",
    "Character6",    "Character7",     "Character8",       "Character9",      "Character10",
    "Character11",   "Character12",    "Character13",      "Character14",     "IsOnEveryMonitor",
};

std::vector<std::string> With(std::vector<std::string> names, const std::string& extra) {
    names.push_back(extra);
    return names;
}

TEST(LoadSettingsTest, AnEmptyRegistryGivesEveryDefaultAndCountsTheStart) {
    MemoryRegistry registry;
    SaverSettings settings;
    settings.num = 7;  // proves the load overwrites
    LoadSettings(registry, settings);

    SaverSettings defaults;
    EXPECT_EQ(settings, defaults);
    EXPECT_EQ(settings.MessageBGColor, 0xFF8080);
    EXPECT_EQ(settings.MessageFontColor, 0x00FFFF);
    const auto& values = registry.ValuesOf(kSettingsPath);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values.at("TimesOfBoot").text, "1");
}

TEST(LoadSettingsTest, ReadsInOrderThenCountsTheStartLast) {
    MemoryRegistry registry;
    SaverSettings settings;
    LoadSettings(registry, settings);
    EXPECT_EQ(registry.queried, With(kFieldOrder, "TimesOfBoot"));
    EXPECT_EQ(registry.written, std::vector<std::string>{"TimesOfBoot"});
}

TEST(LoadSettingsTest, APreviewReadsEverythingAndCountsNothing) {
    MemoryRegistry registry;
    registry.Put(kSettingsPath, "TimesOfBoot", Text("5"));
    SaverSettings settings;
    settings.IsPreview = true;
    LoadSettings(registry, settings);
    EXPECT_EQ(registry.queried, kFieldOrder);
    EXPECT_TRUE(registry.written.empty());
    EXPECT_EQ(registry.ValuesOf(kSettingsPath).at("TimesOfBoot").text, "5");
}

TEST(LoadSettingsTest, EachFullScreenStartAddsOne) {
    MemoryRegistry registry;
    for (int run = 0; run < 2; ++run) {
        SaverSettings settings;
        LoadSettings(registry, settings);
    }
    EXPECT_EQ(registry.ValuesOf(kSettingsPath).at("TimesOfBoot").text, "2");
}

TEST(LoadSettingsTest, ARefusedCountStillLoadsTheSettings) {
    MemoryRegistry registry;
    registry.Put(kSettingsPath, "num", Text("12"));
    registry.refusedValues.insert("TimesOfBoot");
    SaverSettings settings;
    EXPECT_NO_THROW(LoadSettings(registry, settings));
    EXPECT_EQ(settings.num, 12);
}

TEST(LoadSettingsTest, StoredValuesAreTakenAsWritten) {
    MemoryRegistry registry;
    const std::pair<const char*, const char*> stored[] = {
        {"num", "250"},           {"downspeed", "  7"},        {"LRspeed", "$10"},
        {"back2", "9"},           {"updown", "2"},             {"LR", "1"},
        {"IsShownMessage", "2"},  {"IsMessageFront", "0"},     {"IsTransparent", "-1"},
        {"MessageText", ""},      {"MessageBGColor", "255"},   {"MessageFontColor", "0"},
        {"MessageFontSize", "12"}, {"MessageFontName", "ＭＳ ゴシック"}, {"Character3", "0"},
        {"IsOnEveryMonitor", "1"},
    };
    for (const auto& [name, text] : stored) registry.Put(kSettingsPath, name, Text(text));
    SaverSettings s;
    LoadSettings(registry, s);
    EXPECT_EQ(s.num, 250);
    EXPECT_EQ(s.downspeed, 7);
    EXPECT_EQ(s.LRspeed, 16);
    EXPECT_EQ(s.back2, 9);
    EXPECT_EQ(s.updown, 2);
    EXPECT_EQ(s.LR, 1);
    EXPECT_TRUE(s.IsShownMessage);
    EXPECT_FALSE(s.IsMessageFront);
    EXPECT_TRUE(s.IsTransparent);
    EXPECT_EQ(s.MessageText, "");
    EXPECT_EQ(s.MessageBGColor, 255);
    EXPECT_EQ(s.MessageFontColor, 0);
    EXPECT_EQ(s.MessageFontSize, 12);
    EXPECT_EQ(s.MessageFontName, "ＭＳ ゴシック");
    for (int i = 0; i < kCharacterCount; ++i) EXPECT_EQ(s.Character[i], i != 3) << i;
    EXPECT_TRUE(s.IsOnEveryMonitor);
}

TEST(LoadSettingsTest, NonTextAndUnparsableValuesReadAsTheirDefaults) {
    MemoryRegistry registry;
    registry.Put(kSettingsPath, "num", {RegistryValue::Kind::OtherType, ""});
    registry.Put(kSettingsPath, "MessageText", {RegistryValue::Kind::OtherType, ""});
    registry.Put(kSettingsPath, "IsMessageFront", Text("True"));
    registry.Put(kSettingsPath, "downspeed", Text("12abc"));
    registry.Put(kSettingsPath, "IsOnEveryMonitor", Text("yes"));
    registry.Put(kSettingsPath, "TimesOfBoot", {RegistryValue::Kind::Unreadable, ""});
    SaverSettings s;
    LoadSettings(registry, s);
    EXPECT_EQ(s.num, 100);
    EXPECT_EQ(s.MessageText, "Fluttons! Saver");
    EXPECT_TRUE(s.IsMessageFront);
    EXPECT_EQ(s.downspeed, 30);
    EXPECT_FALSE(s.IsOnEveryMonitor);
    EXPECT_EQ(registry.ValuesOf(kSettingsPath).at("TimesOfBoot").text, "1");
}

TEST(LoadSettingsTest, HandEditedValuesAreMadeSafeForTheAnimation) {
    MemoryRegistry registry;
    const std::pair<const char*, const char*> stored[] = {
        {"num", "5000"}, {"updown", "3"}, {"LR", "-1"}, {"downspeed", "-5"}, {"LRspeed", "101"}, {"back2", "42"},
    };
    for (const auto& [name, text] : stored) registry.Put(kSettingsPath, name, Text(text));
    for (int i = 0; i < kCharacterCount; ++i) registry.Put(kSettingsPath, CharacterValueName(i), Text("0"));
    SaverSettings s;
    LoadSettings(registry, s);
    EXPECT_EQ(s.num, 1000);
    EXPECT_EQ(s.updown, 0);
    EXPECT_EQ(s.LR, 0);
    EXPECT_EQ(s.downspeed, 0);
    EXPECT_EQ(s.LRspeed, 100);
    EXPECT_EQ(s.back2, 42);  // the background composition decides what an unknown index shows
    for (bool on : s.Character) EXPECT_TRUE(on);

    registry.Put(kSettingsPath, "num", Text("-3"));
    LoadSettings(registry, s);
    EXPECT_EQ(s.num, 0);
}

TEST(SaveSettingsTest, WritesEveryValueInOrderEndingWithTheBanner) {
    MemoryRegistry registry;
    SaveSettings(registry, SaverSettings{});
    EXPECT_EQ(registry.written, With(kFieldOrder, "banner"));
    const auto& values = registry.ValuesOf(kSettingsPath);
    EXPECT_EQ(values.size(), 31u);
    EXPECT_EQ(values.count("TimesOfBoot"), 0u);
    EXPECT_EQ(values.at("banner").text, "1");
    EXPECT_EQ(values.at("MessageBGColor").text, "16744576");
    EXPECT_EQ(values.at("MessageFontColor").text, "65535");
    EXPECT_EQ(values.at("MessageText").text, "Fluttons! Saver");
    EXPECT_EQ(values.at("IsMessageFront").text, "1");
    EXPECT_EQ(values.at("IsShownMessage").text, "0");
    EXPECT_EQ(values.at("Character14").text, "1");
}

TEST(SaveSettingsTest, WhatIsSavedLoadsBackUnchanged) {
    MemoryRegistry registry;
    SaverSettings saved;
    saved.num = 1000;
    saved.back2 = -1;
    saved.updown = 2;
    saved.LR = 0;
    saved.downspeed = 0;
    saved.LRspeed = 100;
    saved.IsShownMessage = true;
    saved.IsMessageFront = false;
    saved.IsTransparent = true;
    saved.MessageText = "こんにちは、世界";
    saved.MessageBGColor = 0x0000FF;
    saved.MessageFontColor = 0xFFFFFF;
    saved.MessageFontSize = 72;
    saved.MessageFontName = "ＭＳ Ｐゴシック";
    saved.Character = {true, false, true, false, true, false, true, false, true, false, true, false, true, false, true};
    saved.IsOnEveryMonitor = true;
    SaveSettings(registry, saved);

    SaverSettings loaded;
    loaded.IsPreview = true;
    saved.IsPreview = true;
    LoadSettings(registry, loaded);
    EXPECT_EQ(loaded, saved);
}

TEST(SaveSettingsTest, AFailedWriteStopsAtThatValue) {
    MemoryRegistry registry;
    registry.refusedValues.insert("MessageText");
    try {
        SaveSettings(registry, SaverSettings{});
        FAIL() << "no error";
    } catch (const RegistryError& e) {
        EXPECT_STREQ(e.what(), "'MessageText' の設定に失敗しました");
    }
    const std::vector<std::string> before(kFieldOrder.begin(), kFieldOrder.begin() + 9);
    EXPECT_EQ(registry.written, before);
    EXPECT_EQ(registry.ValuesOf(kSettingsPath).count("MessageBGColor"), 0u);
}

TEST(SaveSettingsTest, ASectionThatCannotBeCreatedFailsBeforeAnyValue) {
    MemoryRegistry registry;
    registry.refusedKeys.insert(kSettingsPath);
    try {
        SaveSettings(registry, SaverSettings{});
        FAIL() << "no error";
    } catch (const RegistryError& e) {
        EXPECT_STREQ(e.what(), "キー Fluttons Saver の作成に失敗しました");
    }
    EXPECT_TRUE(registry.written.empty());
}

}  // namespace
}  // namespace flutt
