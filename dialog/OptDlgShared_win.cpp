#include "dialog/OptDlgShared_win.h"

#include "platform/win/Text_win.h"
#include "platform/win/Win32Error.h"

namespace flutt::optdlg {

Ctl ControlOf(SwitchedControl control) {
    switch (control) {
        case SwitchedControl::btnFont: return Ctl::btnFont;
        case SwitchedControl::lblBackground: return Ctl::lblBackground;
        case SwitchedControl::edtMessage: return Ctl::edtMessage;
        case SwitchedControl::lblMessage: return Ctl::lblMessage;
        case SwitchedControl::btnBackground: return Ctl::btnBackground;
        case SwitchedControl::lblFontColor: return Ctl::lblFontColor;
        case SwitchedControl::btnFontColor: return Ctl::btnFontColor;
        case SwitchedControl::chkIsMessageFront: return Ctl::chkIsMessageFront;
        case SwitchedControl::lblFont: return Ctl::lblFont;
        case SwitchedControl::lblFontName: return Ctl::lblFontName;
        case SwitchedControl::lblMessageSample: return Ctl::lblMessageSample;
        case SwitchedControl::pnlSample: return Ctl::pnlSample;
        case SwitchedControl::chkTransparent: return Ctl::chkTransparent;
    }
    return Ctl::Form;
}

void RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc, int extraBytes, HICON icon) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.cbWndExtra = extraBytes;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) win::RaiseLastWin32Error();
}

win::unique_hfont MakeFont(const char* face, int pixels, BYTE charset, int weight, bool italic, bool underline) {
    HFONT font = ::CreateFontW(-pixels, 0, 0, 0, weight, italic, underline, FALSE, charset, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                               win::Widen(face).c_str());
    if (!font) win::RaiseLastWin32Error();
    return win::unique_hfont(font);
}

std::wstring WindowText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

void SetStyleBit(HWND window, LONG bit, bool on) {
    const LONG style = ::GetWindowLongW(window, GWL_STYLE);
    const LONG wanted = on ? (style | bit) : (style & ~bit);
    if (wanted != style) ::SetWindowLongW(window, GWL_STYLE, wanted);
}

COLORREF ToColorRef(std::int32_t color) { return static_cast<COLORREF>(color) & 0x00FFFFFF; }

bool HighContrastOn() {
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof contrast;
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

bool FocusCuesHidden(HWND window) { return ::SendMessageW(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS; }

std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

}  // namespace flutt::optdlg
