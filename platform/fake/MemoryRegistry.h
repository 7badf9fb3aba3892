// An in-memory registry hive for tests: records what is asked of it and can
// be told to refuse a chosen write.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace flutt {

class MemoryRegistry final : public Registry {
public:
    using Values = std::map<std::string, RegistryValue>;

    bool CreateKey(const std::string& keyPath) override;
    std::optional<RegistryValue> QueryValue(const std::string& keyPath, const std::string& name) override;
    bool SetText(const std::string& keyPath, const std::string& name, const std::string& text) override;

    // Test set-up and inspection.
    void Put(const std::string& keyPath, const std::string& name, RegistryValue value);
    bool HasKey(const std::string& keyPath) const { return keys_.count(keyPath) != 0; }
    const Values& ValuesOf(const std::string& keyPath) const;

    std::set<std::string> refusedKeys;    // CreateKey fails for these paths
    std::set<std::string> refusedValues;  // SetText fails for these value names
    std::vector<std::string> queried;     // value names, in the order they were asked for
    std::vector<std::string> written;     // value names, in the order they were stored

private:
    std::map<std::string, Values> keys_;
};

}  // namespace flutt
