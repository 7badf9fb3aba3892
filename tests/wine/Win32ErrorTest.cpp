#include "platform/win/Win32Error.h"

#include <gtest/gtest.h>

#include "platform/win/Text_win.h"

namespace flutt::win {
namespace {

std::string MessageOf(DWORD lastError) {
    ::SetLastError(lastError);
    try {
        RaiseLastWin32Error();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "no error raised";
}

TEST(Win32ErrorTest, NamesTheCodeAndTheSystemText) {
    const std::string expected =
        "Win32 エラー。コード : 1400.\n" + Narrow(SystemErrorText(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(MessageOf(ERROR_INVALID_WINDOW_HANDLE), expected);
    EXPECT_FALSE(SystemErrorText(ERROR_INVALID_WINDOW_HANDLE).empty());
}

TEST(Win32ErrorTest, SystemTextLosesTrailingLineBreaksAndPeriods) {
    const std::wstring text = SystemErrorText(ERROR_ACCESS_DENIED);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), L'.');
    EXPECT_NE(text.back(), L'\n');
    EXPECT_NE(text.back(), L'\r');
}

TEST(Win32ErrorTest, WithoutAnErrorCodeSaysTheCallFailed) {
    EXPECT_EQ(MessageOf(ERROR_SUCCESS), "Win32 API 呼び出しに失敗しました");
}

}  // namespace
}  // namespace flutt::win
