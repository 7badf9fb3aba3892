// The registry accessor over the real (Wine) registry.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win/Handles.h"
#include "platform/win/Registry_win.h"
#include "platform/win/Text_win.h"
#include "settings/SaverSettings.h"

namespace flutt {
namespace {

constexpr wchar_t kTestRoot[] = L"Software\\fluttsaver tests";
const std::string kKey = "Software\\fluttsaver tests\\Orrin Software";
const std::string kSection = "Fluttons Saver";
const std::wstring kSectionPath = L"Software\\fluttsaver tests\\Orrin Software\\Fluttons Saver";

class RegistryWinTest : public ::testing::Test {
protected:
    void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot); }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot); }

    // Stores raw data with any type, as a person editing the registry might.
    void PutRaw(const std::wstring& name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kSectionPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    &key, nullptr),
                  ERROR_SUCCESS);
        win::unique_hkey owner(key);
        ASSERT_EQ(::RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }

    // The stored type and bytes of a value.
    std::pair<DWORD, std::vector<BYTE>> GetRaw(const std::wstring& name) {
        HKEY key = nullptr;
        EXPECT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, kSectionPath.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
        win::unique_hkey owner(key);
        DWORD type = 0, size = 0;
        ::RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
        std::vector<BYTE> data(size);
        ::RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size);
        return {type, data};
    }

    win::CurrentUserRegistry registry;
};

TEST_F(RegistryWinTest, ValuesRoundTripAsSzText) {
    TRegIniFile ini(registry, kKey);
    ini.WriteInteger(kSection, "num", -250);
    ini.WriteBool(kSection, "IsTransparent", true);
    ini.WriteString(kSection, "MessageFontName", "Times New Roman");
    EXPECT_EQ(ini.ReadInteger(kSection, "num", 0), -250);
    EXPECT_TRUE(ini.ReadBool(kSection, "IsTransparent", false));
    EXPECT_EQ(ini.ReadString(kSection, "MessageFontName", ""), "Times New Roman");

    const auto [type, data] = GetRaw(L"num");
    EXPECT_EQ(type, DWORD(REG_SZ));
    const std::wstring expected = L"-250";
    ASSERT_EQ(data.size(), (expected.size() + 1) * sizeof(wchar_t));  // the text and its NUL
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(data.data())), expected);
}

TEST_F(RegistryWinTest, JapaneseTextRoundTripsExactly) {
    const std::string text = "ふわふわ Fluttons! 伝言テスト ①";
    TRegIniFile ini(registry, kKey);
    ini.WriteString(kSection, "MessageText", text);
    EXPECT_EQ(ini.ReadString(kSection, "MessageText", ""), text);
    const auto [type, data] = GetRaw(L"MessageText");
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(data.data())), win::Widen(text));
}

TEST_F(RegistryWinTest, ReadingAMissingSectionCreatesOnlyTheKey) {
    TRegIniFile ini(registry, kKey);
    EXPECT_EQ(ini.ReadInteger(kSection, "num", 100), 100);
    HKEY key = nullptr;
    EXPECT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, win::Widen(kKey).c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    win::unique_hkey owner(key);
    EXPECT_NE(::RegOpenKeyExW(HKEY_CURRENT_USER, kSectionPath.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
}

TEST_F(RegistryWinTest, ADwordValueFailsAsWrongTypeAndSettingsReadItAsMissing) {
    const DWORD fifty = 50;
    PutRaw(L"num", REG_DWORD, &fifty, sizeof fifty);
    TRegIniFile ini(registry, kKey);
    try {
        ini.ReadInteger(kSection, "num", 100);
        FAIL() << "no error";
    } catch (const RegistryReadError& e) {
        EXPECT_STREQ(e.what(), "'num' のデータ型が不正です");
    }
    SaverSettings settings;
    settings.num = 1;
    ReadPersistedSettings(ini, settings);
    EXPECT_EQ(settings.num, 100);
}

TEST_F(RegistryWinTest, EmptyAndExpandableTextAreReadAsStored) {
    PutRaw(L"MessageText", REG_SZ, L"", 0);  // no data at all
    const wchar_t expandable[] = L"%TEMP%\\x";
    PutRaw(L"MessageFontName", REG_EXPAND_SZ, expandable, sizeof expandable);
    const wchar_t unterminated[] = {L'4', L'2'};
    PutRaw(L"downspeed", REG_SZ, unterminated, sizeof unterminated);
    TRegIniFile ini(registry, kKey);
    EXPECT_EQ(ini.ReadString(kSection, "MessageText", "default"), "");
    EXPECT_EQ(ini.ReadString(kSection, "MessageFontName", ""), "%TEMP%\\x");
    EXPECT_EQ(ini.ReadInteger(kSection, "downspeed", 0), 42);
}

TEST_F(RegistryWinTest, AWriteReplacesAValueOfAnotherType) {
    const DWORD one = 1;
    PutRaw(L"banner", REG_DWORD, &one, sizeof one);
    TRegIniFile ini(registry, kKey);
    ini.WriteBool(kSection, "banner", true);
    EXPECT_EQ(GetRaw(L"banner").first, DWORD(REG_SZ));
    EXPECT_TRUE(ini.ReadBool(kSection, "banner", false));
}

}  // namespace
}  // namespace flutt
