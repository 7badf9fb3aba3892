#include "settings/RegIniFile.h"

#include <gtest/gtest.h>

#include "platform/fake/MemoryRegistry.h"
#include "tests/unit/StoredValues.h"

namespace flutt {
namespace {

constexpr const char* kKey = "Software\\Test";
constexpr const char* kSection = "Sect";
const std::string kSectionPath = "Software\\Test\\Sect";

using testing::Text;

TEST(ParseRegIntegerTest, AcceptsDecimalAndHexWithBlanksAndSign) {
    const std::pair<const char*, std::int32_t> accepted[] = {
        {"42", 42},          {"   42", 42},       {"+42", 42},         {"-42", -42},
        {"0", 0},            {"007", 7},          {"0x10", 16},        {"0X1f", 31},
        {"$10", 16},         {"x10", 16},         {"X10", 16},         {"$ff", 255},
        {"-$10", -16},       {"-0x10", -16},      {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},         {"$7FFFFFFF", 2147483647},
        {"16744576", 16744576},
    };
    for (const auto& [text, value] : accepted) EXPECT_EQ(ParseRegInteger(text), value) << text;
}

TEST(ParseRegIntegerTest, RejectsEverythingElse) {
    const char* rejected[] = {
        "",     " ",    "42 ",  "12abc", "abc",  "yes",  "True", "-",    "+",     "$",
        "0x",   "x",    "4 2",  "\t42",  "1.5",  "1e3",  "0xg",  "- 4",  "--4",   "2147483648",
        "-2147483649",  "$80000000",     "0xFFFFFFFF",   "99999999999999999999",
    };
    for (const char* text : rejected) EXPECT_FALSE(ParseRegInteger(text).has_value()) << text;
}

TEST(RegIniFileTest, OpeningCreatesTheKeyButNotTheSection) {
    MemoryRegistry registry;
    TRegIniFile ini(registry, kKey);
    EXPECT_TRUE(registry.HasKey(kKey));
    EXPECT_EQ(ini.ReadInteger(kSection, "n", 5), 5);
    EXPECT_FALSE(registry.HasKey(kSectionPath));
}

TEST(RegIniFileTest, ReadsFallBackToTheDefaultForMissingOrUnparsableText) {
    MemoryRegistry registry;
    registry.Put(kSectionPath, "word", Text("yes"));
    registry.Put(kSectionPath, "trailing", Text("12 "));
    registry.Put(kSectionPath, "blank", Text(""));
    TRegIniFile ini(registry, kKey);
    EXPECT_EQ(ini.ReadInteger(kSection, "missing", -7), -7);
    EXPECT_EQ(ini.ReadInteger(kSection, "word", 3), 3);
    EXPECT_EQ(ini.ReadInteger(kSection, "trailing", 3), 3);
    EXPECT_EQ(ini.ReadInteger(kSection, "blank", 3), 3);
    EXPECT_TRUE(ini.ReadBool(kSection, "word", true));
    EXPECT_FALSE(ini.ReadBool(kSection, "word", false));
}

TEST(RegIniFileTest, BooleansAreTrueForAnyNonZeroInteger) {
    MemoryRegistry registry;
    const std::pair<const char*, bool> cases[] = {{"1", true}, {"2", true}, {"-1", true}, {"0", false}, {"0x0", false}};
    for (const auto& [text, expected] : cases) {
        registry.Put(kSectionPath, "b", Text(text));
        TRegIniFile ini(registry, kKey);
        EXPECT_EQ(ini.ReadBool(kSection, "b", !expected), expected) << text;
    }
}

TEST(RegIniFileTest, AStoredEmptyStringStaysEmpty) {
    MemoryRegistry registry;
    registry.Put(kSectionPath, "empty", Text(""));
    TRegIniFile ini(registry, kKey);
    EXPECT_EQ(ini.ReadString(kSection, "empty", "default"), "");
    EXPECT_EQ(ini.ReadString(kSection, "missing", "default"), "default");
}

TEST(RegIniFileTest, NonTextValuesFailWithTheirOwnMessages) {
    MemoryRegistry registry;
    registry.Put(kSectionPath, "dword", {RegistryValue::Kind::OtherType, ""});
    registry.Put(kSectionPath, "broken", {RegistryValue::Kind::Unreadable, ""});
    TRegIniFile ini(registry, kKey);
    try {
        ini.ReadInteger(kSection, "dword", 1);
        FAIL() << "no error";
    } catch (const RegistryReadError& e) {
        EXPECT_STREQ(e.what(), "'dword' のデータ型が不正です");
    }
    try {
        ini.ReadString(kSection, "broken", "");
        FAIL() << "no error";
    } catch (const RegistryReadError& e) {
        EXPECT_STREQ(e.what(), "'broken' の取得に失敗しました");
    }
}

TEST(RegIniFileTest, WritesStoreTextAndCreateTheSection) {
    MemoryRegistry registry;
    TRegIniFile ini(registry, kKey);
    ini.WriteInteger(kSection, "i", -16744576);
    ini.WriteBool(kSection, "t", true);
    ini.WriteBool(kSection, "f", false);
    ini.WriteString(kSection, "s", "日本語 text");
    const auto& values = registry.ValuesOf(kSectionPath);
    EXPECT_EQ(values.at("i").text, "-16744576");
    EXPECT_EQ(values.at("t").text, "1");
    EXPECT_EQ(values.at("f").text, "0");
    EXPECT_EQ(values.at("s").text, "日本語 text");
    EXPECT_EQ(ini.ReadString(kSection, "s", ""), "日本語 text");
}

TEST(RegIniFileTest, WriteReplacesAValueOfAnotherType) {
    MemoryRegistry registry;
    registry.Put(kSectionPath, "n", {RegistryValue::Kind::OtherType, ""});
    TRegIniFile ini(registry, kKey);
    ini.WriteInteger(kSection, "n", 9);
    EXPECT_EQ(ini.ReadInteger(kSection, "n", 0), 9);
}

TEST(RegIniFileTest, FailedWritesRaiseTheUserFacingTexts) {
    MemoryRegistry registry;
    TRegIniFile ini(registry, kKey);
    registry.refusedValues.insert("num");
    try {
        ini.WriteInteger(kSection, "num", 1);
        FAIL() << "no error";
    } catch (const RegistryError& e) {
        EXPECT_STREQ(e.what(), "'num' の設定に失敗しました");
    }
    registry.refusedKeys.insert(kSectionPath);
    try {
        ini.WriteBool(kSection, "other", true);
        FAIL() << "no error";
    } catch (const RegistryError& e) {
        EXPECT_STREQ(e.what(), "キー Sect の作成に失敗しました");
    }
}

}  // namespace
}  // namespace flutt
