// TRegIniFile: reads and writes text values in one section subkey below a
// registry key, the way an INI file is addressed.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/Registry.h"

namespace flutt {

// A failed registry operation; the message is the text shown to the user.
class RegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A value that exists but cannot be used as text (wrong type, unreadable).
class RegistryReadError : public RegistryError {
public:
    using RegistryError::RegistryError;
};

// The integer text rules of the store: blanks in front, an optional sign,
// decimal digits or hexadecimal ones after "$", "x" or "0x"; anything else,
// or a value outside the signed 32-bit range, gives nothing.
std::optional<std::int32_t> ParseRegInteger(std::string_view text);

class TRegIniFile {
public:
    // Opens the key, creating it when it does not exist. A key that cannot be
    // created is not an error here: reads then give their defaults and
    // writes fail.
    TRegIniFile(Registry& registry, std::string keyPath);
    TRegIniFile(const TRegIniFile&) = delete;
    TRegIniFile& operator=(const TRegIniFile&) = delete;

    // Reads give the default when the section or value is missing or the text
    // does not parse; a value of a non-text type throws RegistryReadError.
    std::int32_t ReadInteger(const std::string& section, const std::string& name, std::int32_t def);
    bool ReadBool(const std::string& section, const std::string& name, bool def);
    std::string ReadString(const std::string& section, const std::string& name, const std::string& def);

    // Writes store REG_SZ text and throw RegistryError on failure.
    void WriteInteger(const std::string& section, const std::string& name, std::int32_t value);
    void WriteBool(const std::string& section, const std::string& name, bool value);
    void WriteString(const std::string& section, const std::string& name, const std::string& value);

private:
    std::optional<std::string> ReadText(const std::string& section, const std::string& name);

    Registry& registry_;
    std::string keyPath_;
};

}  // namespace flutt
