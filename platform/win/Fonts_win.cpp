#include "platform/win/Fonts_win.h"

namespace flutt::win {
namespace {

unique_hfont CreateFontOfHeight(const std::wstring& face, int height) {
    LOGFONTW font = {};
    font.lfHeight = height;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    face.copy(font.lfFaceName, LF_FACESIZE - 1);
    return unique_hfont(::CreateFontIndirectW(&font));
}

}  // namespace

int PointsToFontHeight(int points, HDC dc) {
    if (dc) return PointsToFontHeightAtDpi(points, ::GetDeviceCaps(dc, LOGPIXELSY));
    const unique_window_dc screen(nullptr);
    return PointsToFontHeightAtDpi(points, ::GetDeviceCaps(screen.get(), LOGPIXELSY));
}

int PointsToFontHeightAtDpi(int points, int dpi) { return -::MulDiv(points, dpi, 72); }

unique_hfont CreatePointFont(const std::wstring& face, int points, HDC dc) {
    return CreateFontOfHeight(face, PointsToFontHeight(points, dc));
}

unique_hfont CreatePointFontAtDpi(const std::wstring& face, int points, int dpi) {
    return CreateFontOfHeight(face, PointsToFontHeightAtDpi(points, dpi));
}

}  // namespace flutt::win
