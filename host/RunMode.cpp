#include "host/RunMode.h"

namespace flutt {
namespace {

bool IsSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

wchar_t Lower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c; }

}  // namespace

std::optional<RunModeDecision> DecideRunMode(const std::vector<std::wstring_view>& args) {
    if (args.size() < 2) return RunModeDecision{RunMode::Configure};
    const std::wstring_view first = args[1];
    if (first.empty() || (first[0] != L'-' && first[0] != L'/')) {
        return RunModeDecision{RunMode::Configure};
    }
    const wchar_t option = first.size() >= 2 ? Lower(first[1]) : L'\0';
    switch (option) {
        case L's': return RunModeDecision{RunMode::Saver};
        case L'c': return RunModeDecision{RunMode::Configure};
        case L'a': return RunModeDecision{RunMode::Password};
        case L'p':
            if (args.size() != 3) return std::nullopt;
            return RunModeDecision{RunMode::Preview, ParseHostWindow(args[2])};
        default: return std::nullopt;
    }
}

std::uint32_t ParseHostWindow(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10u + std::uint32_t(text[i] - L'0');
    }
    return negative ? 0u - value : value;
}

}  // namespace flutt
