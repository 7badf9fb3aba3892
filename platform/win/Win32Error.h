// Errors of the window layer, with the texts the user sees.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

namespace flutt::win {

// The system's text for an error code, without trailing blanks, line breaks
// or periods; empty when the system has none.
std::wstring SystemErrorText(DWORD code);

// Throws std::runtime_error for the calling thread's last Win32 error:
// "Win32 エラー。コード : N." + line feed + the system's text, or
// "Win32 API 呼び出しに失敗しました" when there is no error code.
[[noreturn]] void RaiseLastWin32Error();

// The system could not give the memory that a picture or buffer needs. Its
// text is the Win32 error text of ERROR_NOT_ENOUGH_MEMORY, whatever code the
// failed call left (Wine leaves ERROR_ACCESS_DENIED, for one).
class OutOfMemory : public std::runtime_error {
public:
    OutOfMemory();
};

}  // namespace flutt::win
