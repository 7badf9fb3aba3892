// Fonts given as the settings give them: a face name and a size in points.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win/Handles.h"

namespace flutt::win {

// The character height in pixels of a size in points on `dc` (the screen
// when null), as a negative LOGFONT height.
int PointsToFontHeight(int points, HDC dc = nullptr);

// The same for a display of `dpi` dots per inch.
int PointsToFontHeightAtDpi(int points, int dpi);

// A plain font of that face and size: normal weight, the default character set.
unique_hfont CreatePointFont(const std::wstring& face, int points, HDC dc = nullptr);
unique_hfont CreatePointFontAtDpi(const std::wstring& face, int points, int dpi);

}  // namespace flutt::win
