// Values as the tests put them into the in-memory registry and read them back.
#pragma once

#include <string>
#include <utility>

#include "platform/fake/MemoryRegistry.h"

namespace flutt::testing {

// Where the program keeps its settings, spelled out as users and the setup
// programs see it.
inline const std::string kSettingsPath = "Software\\Orrin Software\\Fluttons Saver";

// A REG_SZ value.
inline RegistryValue Text(std::string text) { return {RegistryValue::Kind::Text, std::move(text)}; }

}  // namespace flutt::testing
