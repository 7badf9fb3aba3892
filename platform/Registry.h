// The seam to the current user's registry hive. Key paths are relative to
// the hive and use "\" between levels; all text is UTF-8.
#pragma once

#include <optional>
#include <string>

namespace flutt {

struct RegistryValue {
    enum class Kind {
        Text,        // REG_SZ or REG_EXPAND_SZ (not expanded): `text` holds it up to its first NUL
        OtherType,   // any other registry type
        Unreadable,  // the value exists but its data could not be read
    };
    Kind kind = Kind::Text;
    std::string text;
};

class Registry {
public:
    virtual ~Registry() = default;

    // Creates the key and any missing parents, or opens it when it exists.
    // False when the key cannot be created.
    virtual bool CreateKey(const std::string& keyPath) = 0;

    // The named value of an existing key; nothing when the key or the value
    // does not exist. Never creates anything.
    virtual std::optional<RegistryValue> QueryValue(const std::string& keyPath, const std::string& name) = 0;

    // Stores REG_SZ text in an existing key, replacing a value of that name
    // whatever its type. False when it cannot be stored.
    virtual bool SetText(const std::string& keyPath, const std::string& name, const std::string& text) = 0;

protected:
    Registry() = default;
    Registry(const Registry&) = default;
    Registry& operator=(const Registry&) = default;
};

}  // namespace flutt
