// Pictures embedded in the program file as RCDATA resources (BMP file
// images), loaded into display-format surfaces.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <span>

#include "platform/win/GdiSurface.h"

namespace flutt::win {

// The bytes of an RCDATA resource; empty when the program has no such resource.
std::span<const std::uint8_t> ResourceBytes(HINSTANCE instance, const wchar_t* name);

// The named picture; throws when it is missing or not a valid BMP.
std::unique_ptr<GdiSurface> LoadPicture(HINSTANCE instance, const wchar_t* name);

}  // namespace flutt::win
