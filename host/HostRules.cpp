#include "host/HostRules.h"

namespace flutt {

std::wstring ErrorBoxText(std::wstring message) {
    if (!message.empty() && message.back() > L'.') message += L'.';
    return message;
}

std::wstring DefaultApplicationTitle(std::wstring_view programPath) {
    const auto slash = programPath.find_last_of(L"\\/:");
    std::wstring_view name = slash == std::wstring_view::npos ? programPath : programPath.substr(slash + 1);
    name = name.substr(0, name.find(L'.'));
    std::wstring title(name);
    for (std::size_t i = 1; i < title.size(); ++i) {
        if (title[i] >= L'A' && title[i] <= L'Z') title[i] = wchar_t(title[i] - L'A' + L'a');
    }
    return title;
}

}  // namespace flutt
