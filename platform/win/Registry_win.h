// The current user's registry hive, through the wide registry API.
#pragma once

#include "platform/Registry.h"

namespace flutt::win {

class CurrentUserRegistry final : public Registry {
public:
    bool CreateKey(const std::string& keyPath) override;
    std::optional<RegistryValue> QueryValue(const std::string& keyPath, const std::string& name) override;
    bool SetText(const std::string& keyPath, const std::string& name, const std::string& text) override;
};

}  // namespace flutt::win
