// The program's pictures, carried inside it as the BMP files the asset
// generator wrote.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/BmpImage.h"

namespace flutt::hack {

// The BMP file of a picture by its name ("imgChar0" .. "imgChar14",
// "imgBack1" .. "imgBack8"); empty for any other name.
std::span<const std::uint8_t> ArtworkFile(const std::string& name);

// The same picture decoded; nothing for an unknown name.
std::optional<Image32> ArtworkPicture(const std::string& name);

}  // namespace flutt::hack
