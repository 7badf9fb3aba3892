#include "platform/win/Win32Error.h"

#include "platform/win/Text_win.h"

namespace flutt::win {

std::wstring SystemErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer ? buffer : L"", length);
    if (buffer) ::LocalFree(buffer);
    while (!text.empty() && (text.back() <= L' ' || text.back() == L'.')) text.pop_back();
    return text;
}

namespace {

std::string Win32ErrorText(DWORD code) {
    return "Win32 エラー。コード : " + std::to_string(code) + ".\n" + Narrow(SystemErrorText(code));
}

}  // namespace

void RaiseLastWin32Error() {
    const DWORD code = ::GetLastError();
    if (code == ERROR_SUCCESS) throw std::runtime_error("Win32 API 呼び出しに失敗しました");
    throw std::runtime_error(Win32ErrorText(code));
}

OutOfMemory::OutOfMemory() : std::runtime_error(Win32ErrorText(ERROR_NOT_ENOUGH_MEMORY)) {}

}  // namespace flutt::win
