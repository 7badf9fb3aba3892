#include "dialog/OptDlgAccess.h"

#include <algorithm>
#include <cctype>
#include <cmath>

// The items name only the fields they need; the others keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace flutt {
namespace {

constexpr const char* kSwatch = "■";

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Where "&" marks the access key, or npos; "&&" is a shown "&".
std::size_t AccessKeyAt(const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] != '&') return i;
        ++i;
    }
    return std::string::npos;
}

std::string WithoutSwatch(const std::string& caption) {
    const std::string swatch = kSwatch;
    return caption.compare(0, swatch.size(), swatch) == 0 ? caption.substr(swatch.size()) : caption;
}

}  // namespace

std::string AccessibleNameOf(const std::string& caption) {
    std::string name = caption;
    if (const std::size_t amp = AccessKeyAt(name); amp != std::string::npos) {
        // A key in brackets after the words, as in "伝言(&X)", is no part of the name.
        if (amp >= 1 && name[amp - 1] == '(' && amp + 2 < name.size() && name[amp + 2] == ')') {
            name.erase(amp - 1, 4);
        } else {
            name.erase(amp, 1);
        }
    }
    for (std::size_t at = name.find("&&"); at != std::string::npos; at = name.find("&&", at + 1)) name.erase(at, 1);
    for (bool trimmed = true; trimmed;) {
        trimmed = false;
        for (const char* tail : {":", "：", "...", " "}) {
            if (EndsWith(name, tail)) {
                name.erase(name.size() - std::string(tail).size());
                trimmed = true;
            }
        }
    }
    return name;
}

std::string AccessKeyOf(const std::string& caption) {
    const std::size_t amp = AccessKeyAt(caption);
    if (amp == std::string::npos) return {};
    return std::string("Alt+") + static_cast<char>(std::toupper(static_cast<unsigned char>(caption[amp + 1])));
}

std::string ColorValueText(std::int32_t color) {
    const auto part = [color](int shift) { return std::to_string((color >> shift) & 0xFF); };
    return "赤 " + part(0) + "、緑 " + part(8) + "、青 " + part(16);
}

AccessibleItem CheckListAccess(const std::vector<FormRow>& form) {
    const std::string& label = FormRowOf(form, Ctl::lblCharType).caption;
    return {.role = AccessRole::List, .name = AccessibleNameOf(label), .shortcut = AccessKeyOf(label)};
}

AccessibleItem CharacterItemAccess(const OptDialogModel& model, int index) {
    const bool checked = model.IsCharacterChecked(index);
    return {.role = AccessRole::CheckButton,
            .name = CharacterListNames().at(index),
            .defaultAction = checked ? "Uncheck" : "Check",
            .checked = checked};
}

AccessibleItem RadioGroupAccess(const FormRow& group) {
    return {.role = AccessRole::Grouping, .name = AccessibleNameOf(group.caption)};
}

AccessibleItem ColorButtonAccess(const std::vector<FormRow>& form, const OptDialogModel& model, ColorButton button) {
    const bool font = button == ColorButton::FontColor;
    const std::string& label = FormRowOf(form, font ? Ctl::lblFontColor : Ctl::lblBackground).caption;
    const std::string& caption = FormRowOf(form, font ? Ctl::btnFontColor : Ctl::btnBackground).caption;
    return {.role = AccessRole::PushButton,
            .name = AccessibleNameOf(label) + "の" + AccessibleNameOf(WithoutSwatch(caption)),
            .value = ColorValueText(model.ButtonColor(button)),
            .defaultAction = "Press",
            .shortcut = AccessKeyOf(caption)};
}

AccessibleItem LinkAccess(const FormRow& link) {
    return {.role = AccessRole::Link, .name = link.caption, .value = link.caption, .defaultAction = "Jump"};
}

double ContrastRatio(std::int32_t a, std::int32_t b) {
    const auto luminance = [](std::int32_t color) {
        const auto linear = [color](int shift) {
            const double c = ((color >> shift) & 0xFF) / 255.0;
            return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(0) + 0.7152 * linear(8) + 0.0722 * linear(16);
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

std::int32_t ReadableColor(std::int32_t own, std::int32_t system, std::int32_t face, bool highContrast) {
    constexpr double kLeast = 3.0;
    return highContrast || ContrastRatio(own, face) < kLeast ? system : own;
}

std::optional<int> PageStep(PageKey key, bool ctrl, bool shift) {
    if (!ctrl) return std::nullopt;
    switch (key) {
        case PageKey::Tab: return shift ? -1 : 1;
        case PageKey::PageDown: return shift ? std::nullopt : std::optional<int>(1);
        case PageKey::PageUp: return shift ? std::nullopt : std::optional<int>(-1);
    }
    return std::nullopt;
}

OptTab TurnedPage(OptTab tab, int step) {
    constexpr int kPages = 4;
    return static_cast<OptTab>(((static_cast<int>(tab) + step) % kPages + kPages) % kPages);
}

}  // namespace flutt
