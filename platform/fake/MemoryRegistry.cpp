#include "platform/fake/MemoryRegistry.h"

namespace flutt {

bool MemoryRegistry::CreateKey(const std::string& keyPath) {
    if (refusedKeys.count(keyPath)) return false;
    keys_[keyPath];
    return true;
}

std::optional<RegistryValue> MemoryRegistry::QueryValue(const std::string& keyPath, const std::string& name) {
    queried.push_back(name);
    const auto key = keys_.find(keyPath);
    if (key == keys_.end()) return std::nullopt;
    const auto value = key->second.find(name);
    if (value == key->second.end()) return std::nullopt;
    return value->second;
}

bool MemoryRegistry::SetText(const std::string& keyPath, const std::string& name, const std::string& text) {
    const auto key = keys_.find(keyPath);
    if (key == keys_.end() || refusedValues.count(name)) return false;
    key->second[name] = RegistryValue{RegistryValue::Kind::Text, text};
    written.push_back(name);
    return true;
}

void MemoryRegistry::Put(const std::string& keyPath, const std::string& name, RegistryValue value) {
    keys_[keyPath][name] = std::move(value);
}

const MemoryRegistry::Values& MemoryRegistry::ValuesOf(const std::string& keyPath) const {
    static const Values kNone;
    const auto key = keys_.find(keyPath);
    return key == keys_.end() ? kNone : key->second;
}

}  // namespace flutt
