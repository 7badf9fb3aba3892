// Conversions between the program's UTF-8 text and the wide Win32 APIs.
#pragma once

#include <string>
#include <string_view>

namespace flutt::win {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

}  // namespace flutt::win
