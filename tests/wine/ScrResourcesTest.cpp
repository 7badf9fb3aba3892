// The pictures and strings inside the built fluttsaver.scr: every picture present (or, in
// the reduced build, the three largest backgrounds absent) and byte for
// byte the file the generator wrote, whose format the asset tests check.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/BmpImage.h"
#include "platform/win/Resources_win.h"

namespace flutt {
namespace {

// A path from the Unix side of a Wine session as Windows sees it (drive Z:).
std::wstring WindowsPath(const char* unixPath) {
    std::wstring path = L"Z:";
    for (const char* p = unixPath; *p; ++p) path += *p == '/' ? L'\\' : wchar_t(*p);
    return path;
}

std::vector<std::uint8_t> ReadFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ScrResourcesTest : public ::testing::Test {
protected:
    void SetUp() override {
        module = ::LoadLibraryExW(WindowsPath(FLUTT_SCR_PATH).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr);
        artDir = WindowsPath(FLUTT_ART_PATH);
    }
    void TearDown() override {
        if (module) ::FreeLibrary(module);
    }

    void ExpectEmbedded(const std::wstring& name, const std::wstring& file) {
        const auto bytes = win::ResourceBytes(module, name.c_str());
        ASSERT_FALSE(bytes.empty()) << "missing resource";
        const auto expected = ReadFile(artDir + L"\\" + file);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), expected);
    }

    HMODULE module = nullptr;
    std::wstring artDir;
};

TEST_F(ScrResourcesTest, CharacterSheetsAreEmbeddedAndLoad) {
    for (int i = 0; i < 15; ++i) {
        SCOPED_TRACE(i);
        const std::wstring name = L"imgChar" + std::to_wstring(i);
        ExpectEmbedded(name, name + L".bmp");
        const auto sheet = DecodeBmp(win::ResourceBytes(module, name.c_str()));
        ASSERT_TRUE(sheet.has_value());
        EXPECT_EQ(sheet->width, 32);
        EXPECT_EQ(sheet->height, 64);
    }
    // The frog's sheet states more bytes than it has and still loads.
    const auto frog = win::ResourceBytes(module, L"imgChar12");
    ASSERT_EQ(frog.size(), 5186u);
    EXPECT_EQ(frog[2] | frog[3] << 8, 6210);
}

TEST_F(ScrResourcesTest, BackgroundsOfThisBuild) {
    for (int i = 1; i <= 8; ++i) {
        SCOPED_TRACE(i);
        const std::wstring name = L"imgBack" + std::to_wstring(i);
#ifdef FLUTT_REDUCED
        if (i >= 6) {
            EXPECT_TRUE(win::ResourceBytes(module, name.c_str()).empty()) << "the reduced build carries no such picture";
            continue;
        }
#endif
        ExpectEmbedded(name, name + L".bmp");
    }
}

TEST_F(ScrResourcesTest, BannerIconsAndDialogPictures) {
    ExpectEmbedded(L"imgBanner", L"imgBanner.bmp");
    ExpectEmbedded(L"BitBtn1Glyph", L"BitBtn1Glyph.bmp");
    ExpectEmbedded(L"TabImages", L"TabImages.bmp");
    ExpectEmbedded(L"AboutIcon", L"AboutIcon.ico");
    EXPECT_NE(::FindResourceW(module, L"MAINICON", MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */), nullptr);
}

// The Screen Saver Settings list names the saver by its string 1.
TEST_F(ScrResourcesTest, DescriptionIsStringOne) {
    wchar_t text[64] = {};
    ASSERT_GT(::LoadStringW(module, 1, text, 64), 0);
    EXPECT_STREQ(text, L"Fluttons! Saver");
}

}  // namespace
}  // namespace flutt
