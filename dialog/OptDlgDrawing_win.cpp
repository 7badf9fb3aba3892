// The settings dialog's own drawing: the character list, the colour
// swatches, the sample panel and the radio groups' frames.
#include "dialog/OptDlg_win.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <span>

#include "platform/win/Registry_win.h"
#include "platform/win/Resources_win.h"
#include "platform/win/Text_win.h"
#include "platform/win/Win32Error.h"
#include "platform/win/Fonts_win.h"
#include "platform/win/WindowObject.h"
#include "dialog/OptDlgAccess.h"
#include "dialog/OptDlgShared_win.h"

namespace flutt {
using namespace optdlg;

// ---- drawing ---------------------------------------------------------------------------

void TOptDialog::DrawCheckListItem(const DRAWITEMSTRUCT& item) const {
    if (item.itemID == static_cast<UINT>(-1)) return;
    HDC dc = item.hDC;
    RECT row = item.rcItem;
    const int index = static_cast<int>(item.itemID);
    const bool checked = index < kCharacterCount && model_.IsCharacterChecked(index);

    RECT column = row;
    column.right = row.left + Scaled(kCheckColumnWidth);
    ::FillRect(dc, &column, ::GetSysColorBrush(COLOR_WINDOW));
    const int boxSize = Scaled(kCheckBoxSize);
    const int top = row.top + (row.bottom - row.top - boxSize) / 2;
    const int left = row.left + Scaled(1);
    RECT box = {left, top, left + boxSize, top + boxSize};
    ::DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (checked ? DFCS_CHECKED : 0));

    RECT text = row;
    text.left = column.right;
    const bool selected = item.itemState & ODS_SELECTED;
    ::FillRect(dc, &text, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    ::SetBkMode(dc, TRANSPARENT);
    wchar_t name[128] = {};
    if (::SendMessageW(item.hwndItem, LB_GETTEXTLEN, index, 0) < 128) {
        ::SendMessageW(item.hwndItem, LB_GETTEXT, index, reinterpret_cast<LPARAM>(name));
    }
    RECT label = text;
    label.left += Scaled(2);
    ::DrawTextW(dc, name, -1, &label, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if ((item.itemState & ODS_FOCUS) && !FocusCuesHidden(item.hwndItem)) ::DrawFocusRect(dc, &text);
}

void TOptDialog::DrawColorButton(const DRAWITEMSTRUCT& item) const {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const bool pushed = item.itemState & ODS_SELECTED;
    const bool focused = item.itemState & ODS_FOCUS;
    const bool disabled = item.itemState & ODS_DISABLED;
    // In high contrast every part but the swatch takes the system's colours.
    const bool highContrast = HighContrastOn();
    if (focused) {
        // A focused push button shows the thick frame of the button Enter presses.
        const bool black = ReadableColor(0, static_cast<std::int32_t>(::GetSysColor(COLOR_BTNTEXT)),
                                         static_cast<std::int32_t>(::GetSysColor(COLOR_BTNFACE)), highContrast) == 0;
        ::FrameRect(dc, &r, black ? static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH))
                                  : ::GetSysColorBrush(COLOR_BTNTEXT));
        ::InflateRect(&r, -1, -1);
    }
    ::DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));

    const std::wstring caption = WindowText(item.hwndItem);
    win::select_result selected(dc, dialogFont_.get());
    ::SetBkMode(dc, TRANSPARENT);
    RECT text = r;
    if (pushed) ::OffsetRect(&text, 1, 1);
    const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | ((item.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0);
    const ColorButton which =
        item.hwndItem == ctl(Ctl::btnFontColor) ? ColorButton::FontColor : ColorButton::Background;
    if (highContrast && !disabled) {
        // The swatch ("■", the caption's first character) in the colour held, the words in the button's text colour.
        RECT whole = text;
        ::DrawTextW(dc, caption.c_str(), -1, &whole, format | DT_CALCRECT);
        const int left = text.left + ((text.right - text.left) - (whole.right - whole.left)) / 2;
        RECT swatch = {left, text.top, text.right, text.bottom};
        const UINT leftFormat = (format & ~DT_CENTER) | DT_LEFT;
        ::SetTextColor(dc, ToColorRef(model_.ButtonColor(which)));
        ::DrawTextW(dc, caption.c_str(), 1, &swatch, leftFormat);
        RECT swatchSize = swatch;
        ::DrawTextW(dc, caption.c_str(), 1, &swatchSize, leftFormat | DT_CALCRECT);
        RECT words = {swatchSize.right, text.top, text.right, text.bottom};
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
        ::DrawTextW(dc, caption.c_str() + 1, -1, &words, leftFormat);
    } else if (highContrast) {
        ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
        ::DrawTextW(dc, caption.c_str(), -1, &text, format);
    } else if (disabled) {
        RECT light = text;
        ::OffsetRect(&light, 1, 1);
        ::SetTextColor(dc, ::GetSysColor(COLOR_3DHILIGHT));
        ::DrawTextW(dc, caption.c_str(), -1, &light, format);
        ::SetTextColor(dc, ::GetSysColor(COLOR_3DSHADOW));
        ::DrawTextW(dc, caption.c_str(), -1, &text, format);
    } else {
        // The whole caption, "■" included, in the colour the button holds.
        ::SetTextColor(dc, ToColorRef(model_.ButtonColor(which)));
        ::DrawTextW(dc, caption.c_str(), -1, &text, format);
    }
    if (focused && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = r;
        ::InflateRect(&focus, -Scaled(3), -Scaled(3));
        ::DrawFocusRect(dc, &focus);
    }
}

// The link's focus frame, round its words, while it has the focus and the
// keyboard cues show.
void TOptDialog::DrawLinkFocus(HWND link) const {
    if (::GetFocus() != link || FocusCuesHidden(link)) return;
    win::unique_window_dc dc(link);
    win::select_result selected(dc.get(), linkFont_.get());
    RECT client = {}, words = {};
    ::GetClientRect(link, &client);
    const std::wstring text = WindowText(link);
    ::DrawTextW(dc.get(), text.c_str(), -1, &words, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    RECT frame = {client.left, client.top, std::min(client.right, words.right + Scaled(2)), client.bottom};
    ::SetTextColor(dc.get(), ::GetSysColor(COLOR_BTNTEXT));
    ::SetBkColor(dc.get(), ::GetSysColor(COLOR_BTNFACE));
    ::DrawFocusRect(dc.get(), &frame);
}

void TOptDialog::PaintPanel(HWND panel) const {
    win::unique_paint paint(panel);
    HDC dc = paint.get();
    RECT r = {};
    ::GetClientRect(panel, &r);
    const SampleLook look = model_.Sample();
    // A lowered bevel one pixel wide, then the fill inside it.
    ::DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    if (look.fillColor) {
        win::unique_hbrush fill(::CreateSolidBrush(ToColorRef(*look.fillColor)));
        ::FillRect(dc, &r, fill.get());
    } else {
        ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    }
    if (MessageFont) {
        win::select_result selected(dc, MessageFont.get());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ToColorRef(look.textColor));
        ::IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        const std::wstring caption = win::Widen(look.caption);
        ::DrawTextW(dc, caption.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
    }
}

void TOptDialog::PaintRadioGroupFrame(HWND group, HFONT font, int captionInset) {
    win::unique_paint paint(group);
    HDC dc = paint.get();
    RECT r = {};
    ::GetClientRect(group, &r);
    win::select_result selected(dc, font);
    TEXTMETRICW metrics = {};
    ::GetTextMetricsW(dc, &metrics);
    RECT frame = r;
    frame.top += metrics.tmHeight / 2 - 1;
    ::DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    const std::wstring caption = WindowText(group);
    if (!caption.empty()) {
        RECT text = {captionInset, 0, captionInset, metrics.tmHeight};
        ::DrawTextW(dc, caption.c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        ::SetBkMode(dc, OPAQUE);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
        ::DrawTextW(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_NOPREFIX);
    }
}

}  // namespace flutt
