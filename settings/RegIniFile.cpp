#include "settings/RegIniFile.h"

#include <limits>

namespace flutt {
namespace {

int DigitValue(char c, bool hex) {
    if (c >= '0' && c <= '9') return c - '0';
    if (hex && c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Quoted(const std::string& name) { return "'" + name + "'"; }

}  // namespace

std::optional<std::int32_t> ParseRegInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    bool hex = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        i += 1;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == text.size()) return std::nullopt;

    // Accumulate the magnitude in 64 bits; anything past 2^31 is out of range
    // for either sign, so stop early instead of overflowing.
    constexpr std::int64_t kLimit = std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1;
    const int base = hex ? 16 : 10;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i], hex);
        if (digit < 0) return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > kLimit) return std::nullopt;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

TRegIniFile::TRegIniFile(Registry& registry, std::string keyPath)
    : registry_(registry), keyPath_(std::move(keyPath)) {
    registry_.CreateKey(keyPath_);
}

std::optional<std::string> TRegIniFile::ReadText(const std::string& section, const std::string& name) {
    const auto value = registry_.QueryValue(keyPath_ + "\\" + section, name);
    if (!value) return std::nullopt;
    switch (value->kind) {
        case RegistryValue::Kind::Text: return value->text;
        case RegistryValue::Kind::OtherType: throw RegistryReadError(Quoted(name) + " のデータ型が不正です");
        case RegistryValue::Kind::Unreadable: throw RegistryReadError(Quoted(name) + " の取得に失敗しました");
    }
    return std::nullopt;
}

std::int32_t TRegIniFile::ReadInteger(const std::string& section, const std::string& name, std::int32_t def) {
    const auto text = ReadText(section, name);
    if (!text) return def;
    return ParseRegInteger(*text).value_or(def);
}

bool TRegIniFile::ReadBool(const std::string& section, const std::string& name, bool def) {
    return ReadInteger(section, name, def ? 1 : 0) != 0;
}

std::string TRegIniFile::ReadString(const std::string& section, const std::string& name, const std::string& def) {
    return ReadText(section, name).value_or(def);
}

void TRegIniFile::WriteInteger(const std::string& section, const std::string& name, std::int32_t value) {
    WriteString(section, name, std::to_string(value));
}

void TRegIniFile::WriteBool(const std::string& section, const std::string& name, bool value) {
    WriteString(section, name, value ? "1" : "0");
}

void TRegIniFile::WriteString(const std::string& section, const std::string& name, const std::string& value) {
    const std::string sectionPath = keyPath_ + "\\" + section;
    if (!registry_.CreateKey(sectionPath)) throw RegistryError("キー " + section + " の作成に失敗しました");
    if (!registry_.SetText(sectionPath, name, value)) throw RegistryError(Quoted(name) + " の設定に失敗しました");
}

}  // namespace flutt
