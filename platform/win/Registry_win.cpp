#include "platform/win/Registry_win.h"

#include <windows.h>

#include <vector>

#include "platform/win/Handles.h"
#include "platform/win/Text_win.h"

namespace flutt::win {
namespace {

unique_hkey OpenExisting(const std::string& keyPath, REGSAM access) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, Widen(keyPath).c_str(), 0, access, &key) != ERROR_SUCCESS) return {};
    return unique_hkey(key);
}

}  // namespace

bool CurrentUserRegistry::CreateKey(const std::string& keyPath) {
    HKEY key = nullptr;
    const LONG result = ::RegCreateKeyExW(HKEY_CURRENT_USER, Widen(keyPath).c_str(), 0, nullptr,
                                          REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    unique_hkey owner(key);
    return result == ERROR_SUCCESS;
}

std::optional<RegistryValue> CurrentUserRegistry::QueryValue(const std::string& keyPath, const std::string& name) {
    const unique_hkey key = OpenExisting(keyPath, KEY_QUERY_VALUE);
    if (!key) return std::nullopt;
    const std::wstring wideName = Widen(name);
    DWORD type = 0, size = 0;
    if (::RegQueryValueExW(key.get(), wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) return RegistryValue{RegistryValue::Kind::OtherType, {}};
    if (size == 0) return RegistryValue{RegistryValue::Kind::Text, {}};

    // Room for a terminating NUL the stored data may lack.
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 2, L'\0');
    DWORD readSize = size;
    if (::RegQueryValueExW(key.get(), wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                           &readSize) != ERROR_SUCCESS) {
        return RegistryValue{RegistryValue::Kind::Unreadable, {}};
    }
    return RegistryValue{RegistryValue::Kind::Text, Narrow(std::wstring_view(data.data()))};
}

bool CurrentUserRegistry::SetText(const std::string& keyPath, const std::string& name, const std::string& text) {
    const unique_hkey key = OpenExisting(keyPath, KEY_SET_VALUE);
    if (!key) return false;
    const std::wstring wide = Widen(text);
    const DWORD bytes = DWORD((wide.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(key.get(), Widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                            bytes) == ERROR_SUCCESS;
}

}  // namespace flutt::win
