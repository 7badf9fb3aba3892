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
    if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &text);
}

void TOptDialog::DrawColorButton(const DRAWITEMSTRUCT& item) const {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const bool pushed = item.itemState & ODS_SELECTED;
    const bool focused = item.itemState & ODS_FOCUS;
    const bool disabled = item.itemState & ODS_DISABLED;
    if (focused) {
        // A focused push button shows the thick frame of the button Enter presses.
        ::FrameRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::InflateRect(&r, -1, -1);
    }
    ::DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));

    const std::wstring caption = WindowText(item.hwndItem);
    win::select_result selected(dc, dialogFont_.get());
    ::SetBkMode(dc, TRANSPARENT);
    RECT text = r;
    if (pushed) ::OffsetRect(&text, 1, 1);
    const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | ((item.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0);
    if (disabled) {
        RECT light = text;
        ::OffsetRect(&light, 1, 1);
        ::SetTextColor(dc, ::GetSysColor(COLOR_3DHILIGHT));
        ::DrawTextW(dc, caption.c_str(), -1, &light, format);
        ::SetTextColor(dc, ::GetSysColor(COLOR_3DSHADOW));
    } else {
        const ColorButton which =
            item.hwndItem == ctl(Ctl::btnFontColor) ? ColorButton::FontColor : ColorButton::Background;
        // The whole caption, "■" included, in the colour the button holds.
        ::SetTextColor(dc, ToColorRef(model_.ButtonColor(which)));
    }
    ::DrawTextW(dc, caption.c_str(), -1, &text, format);
    if (focused && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = r;
        ::InflateRect(&focus, -Scaled(3), -Scaled(3));
        ::DrawFocusRect(dc, &focus);
    }
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
