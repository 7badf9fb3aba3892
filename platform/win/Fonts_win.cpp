#include "platform/win/Fonts_win.h"

namespace flutt::win {

int PointsToFontHeight(int points, HDC dc) {
    if (dc) return -::MulDiv(points, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
    const unique_window_dc screen(nullptr);
    return -::MulDiv(points, ::GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
}

unique_hfont CreatePointFont(const std::wstring& face, int points, HDC dc) {
    LOGFONTW font = {};
    font.lfHeight = PointsToFontHeight(points, dc);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    face.copy(font.lfFaceName, LF_FACESIZE - 1);
    return unique_hfont(::CreateFontIndirectW(&font));
}

}  // namespace flutt::win
