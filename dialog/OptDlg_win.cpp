// The settings dialog's window: its creation, the handlers of its events,
// the prompts, the keyboard and the window procedures.
#include "dialog/OptDlg_win.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <span>

#include "platform/win/Dpi_win.h"
#include "platform/win/Registry_win.h"
#include "platform/win/Resources_win.h"
#include "platform/win/Text_win.h"
#include "platform/win/Win32Error.h"
#include "platform/win/Fonts_win.h"
#include "platform/win/WindowObject.h"
#include "dialog/OptDlgShared_win.h"

namespace flutt {
using namespace optdlg;

// ---- creation ------------------------------------------------------------------

TOptDialog::TOptDialog(TApplication& app)
    : app_(app), form_(OptDialogForm(kReducedBuild)), model_(kReducedBuild) {
    customColors_.fill(RGB(255, 255, 255));
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);

    const HINSTANCE instance = app_.Instance();
    const HICON icon = ::LoadIconW(instance, L"MAINICON");
    // The dialog's class keeps the dialog manager's data, so the dialog
    // manager's default handling (DefDlgProc) drives its keyboard interface.
    RegisterWindowClass(instance, kDialogClass, &TOptDialog::WindowProc, DLGWINDOWEXTRA, icon);
    RegisterWindowClass(instance, kSheetClass, &TOptDialog::ContainerProc, 0, nullptr);
    RegisterWindowClass(instance, kGroupClass, &TOptDialog::ContainerProc, 0, nullptr);
    RegisterWindowClass(instance, kPanelClass, &TOptDialog::PanelProc, 0, nullptr);

    // The dialog opens centred on the primary monitor, at that monitor's DPI.
    dpi_ = win::PrimaryMonitorDpi();
    CreateFonts();
    CreateHandle();
    CreateControls();
    ::SendMessageW(window_, DM_SETDEFID, IDOK, 0);  // Enter presses OK
    FormCreate();
    ShowModel();

    app_.SetMainWindow(window_);
    app_.SetMessageFilter([this](const MSG& msg) { return KeyboardFilter(msg); });
    ::ShowWindow(window_, SW_SHOW);
    ::SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ctl(Ctl::PageControl)), TRUE);
    ::UpdateWindow(window_);
}

TOptDialog::~TOptDialog() {
    closing_ = true;
    if (window_ && ::IsWindow(window_)) ::DestroyWindow(window_);
}

void TOptDialog::CreateFonts() {
    dialogFont_ = MakeFont(kFormFontName, Scaled(kFormFontPixels), SHIFTJIS_CHARSET);
    checkListFont_ = MakeFont(kFormFontName, Scaled(kCheckListFontPixels), SHIFTJIS_CHARSET);
    linkFont_ = MakeFont(kLinkFontName, Scaled(kLinkFontPixels), DEFAULT_CHARSET, FW_BOLD, true, true);
}

void TOptDialog::CreateHandle() {
    RECT frame = {0, 0, Scaled(kFormClientWidth), Scaled(kFormClientHeight)};
    win::AdjustWindowRectForDpi(frame, kDialogStyle, 0, dpi_);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    // Centred; on a screen too small for it, its caption stays on the screen.
    const int x = std::max(0, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    const int y = std::max(0, (::GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    HWND window = ::CreateWindowExW(0, kDialogClass, win::Widen(kFormCaption).c_str(), kDialogStyle, x, y, width,
                                    height, nullptr, nullptr, app_.Instance(), this);
    if (!window) win::RaiseLastWin32Error();
    window_ = window;
    ::SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont_.get()), FALSE);

    tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                                 app_.Instance(), nullptr);
    if (tooltip_) ::SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont_.get()), FALSE);
}


// ---- the load and the handlers ---------------------------------------------------

void TOptDialog::FormCreate() {
    win::CurrentUserRegistry registry;
    model_.FormCreate(registry);
}

void TOptDialog::FormDestroy() { MessageFont.reset(); }

void TOptDialog::btnOKClick() {
    win::CurrentUserRegistry registry;
    const bool saved = model_.btnOKClick(registry, *this);
    ShowModel();
    if (saved) Close();
}

void TOptDialog::btnCancelClick() { Close(); }

void TOptDialog::btnDefaultClick() {
    model_.btnDefaultClick(*this);
    ShowModel();
}

void TOptDialog::btnRecommendationClick() {
    model_.btnRecommendationClick();
    ShowModel();
}

void TOptDialog::btnShowaMojiClick() {
    model_.btnShowaMojiClick();
    ShowModel();
}

void TOptDialog::btnFontClick() {
    model_.btnFontClick(*this);
    pnlSampleClick();
}

void TOptDialog::btnColorClick(HWND button) {
    model_.btnColorClick(button == ctl(Ctl::btnFontColor) ? ColorButton::FontColor : ColorButton::Background, *this);
    ::InvalidateRect(button, nullptr, TRUE);
    pnlSampleClick();
}

void TOptDialog::pnlSampleClick() { ShowModel(); }

void TOptDialog::edtMessageChange() {
    model_.SetMessageText(win::Narrow(WindowText(ctl(Ctl::edtMessage))));
    pnlSampleClick();
}

void TOptDialog::chkMessageClick() {
    model_.SetMessageShown(::SendMessageW(ctl(Ctl::chkMessage), BM_GETCHECK, 0, 0) == BST_CHECKED);
    ShowModel();
}

void TOptDialog::chkTransparentClick() {
    model_.SetTransparent(::SendMessageW(ctl(Ctl::chkTransparent), BM_GETCHECK, 0, 0) == BST_CHECKED);
    ShowModel();
}

void TOptDialog::trackBarChange(HWND trackBar) {
    const int position = static_cast<int>(::SendMessageW(trackBar, TBM_GETPOS, 0, 0));
    if (trackBar == ctl(Ctl::trkCharNum)) model_.trkCharNum().SetPosition(position);
    if (trackBar == ctl(Ctl::trkUpdownSpeed)) model_.trkUpdownSpeed().SetPosition(position);
    if (trackBar == ctl(Ctl::trkLRSpeed)) model_.trkLRSpeed().SetPosition(position);
    ShowModel();
}

void TOptDialog::radioClick(HWND radio) {
    for (int g = 0; g < 3; ++g) {
        const auto& radios = radios_[g];
        const auto it = std::find(radios.begin(), radios.end(), radio);
        if (it == radios.end()) continue;
        const int index = static_cast<int>(it - radios.begin());
        (g == 0 ? model_.rdgBack() : g == 1 ? model_.rdgUpdown() : model_.rdgLR()).SetIndex(index);
    }
    ShowModel();
}

void TOptDialog::PageControlChange() {
    const int page = TabCtrl_GetCurSel(ctl(Ctl::PageControl));
    if (page >= 0) model_.SetActiveTab(static_cast<OptTab>(page));
    ShowActivePage();
}

void TOptDialog::CheckListToggle(int index) {
    if (index < 0 || index >= kCharacterCount) return;
    model_.SetCharacterChecked(index, !model_.IsCharacterChecked(index));
    ShowModel();
}

void TOptDialog::lblURLMouseDown() {
    urlPressed_ = true;
    ::InvalidateRect(ctl(Ctl::lblURL), nullptr, TRUE);
}

void TOptDialog::lblURLMouseUp() {
    urlPressed_ = false;
    ::InvalidateRect(ctl(Ctl::lblURL), nullptr, TRUE);
}

void TOptDialog::lblURLClick() {
    // The result is not examined: a failing shell call is ignored.
    ::ShellExecuteW(window_, nullptr, win::Widen(kHomepageUrl).c_str(), nullptr, ProgramFolder().c_str(),
                    SW_SHOWMAXIMIZED);
}

void TOptDialog::Close() {
    if (closing_) return;
    closing_ = true;
    ::ShowWindow(window_, SW_HIDE);
    app_.Terminate();
}

// ---- prompts ---------------------------------------------------------------------

void TOptDialog::ShowCaution() {
    ::MessageBoxW(window_, win::Widen(kCautionText).c_str(), win::Widen(kCautionCaption).c_str(),
                  MB_OK | MB_ICONEXCLAMATION);
}

bool TOptDialog::ConfirmReset() {
    return ::MessageBoxW(window_, win::Widen(kResetText).c_str(), win::Widen(kResetCaption).c_str(),
                         MB_OKCANCEL | MB_ICONINFORMATION) == IDOK;
}

std::optional<MessageFontState> TOptDialog::PickFont(const MessageFontState& current) {
    LOGFONTW font = {};
    font.lfHeight = win::PointsToFontHeight(current.size);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    const std::wstring face = win::Widen(current.name);
    face.copy(font.lfFaceName, LF_FACESIZE - 1);
    CHOOSEFONTW chooser = {};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = window_;
    chooser.lpLogFont = &font;
    chooser.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;  // no effects, no size limits
    if (!::ChooseFontW(&chooser)) return std::nullopt;
    // Only the face and the size are taken; style, colour and character set are not.
    return MessageFontState{win::Narrow(font.lfFaceName), (chooser.iPointSize + 5) / 10};
}

std::optional<std::int32_t> TOptDialog::PickColor(std::int32_t current) {
    CHOOSECOLORW chooser = {};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = window_;
    chooser.rgbResult = ToColorRef(current);
    chooser.lpCustColors = customColors_.data();
    chooser.Flags = CC_RGBINIT;
    if (!::ChooseColorW(&chooser)) return std::nullopt;
    return static_cast<std::int32_t>(chooser.rgbResult & 0x00FFFFFF);
}


// ---- keyboard ------------------------------------------------------------------------------

bool TOptDialog::KeyboardFilter(const MSG& msg) {
    if (!window_ || closing_ || (msg.hwnd != window_ && !::IsChild(window_, msg.hwnd))) return false;
    const bool ctrl = ::GetKeyState(VK_CONTROL) & 0x8000;
    const bool shift = ::GetKeyState(VK_SHIFT) & 0x8000;
    if (msg.message == WM_KEYDOWN && !(::GetKeyState(VK_MENU) & 0x8000) &&
        (msg.wParam == VK_TAB || msg.wParam == VK_NEXT || msg.wParam == VK_PRIOR)) {
        // Ctrl+Tab, Ctrl+PageDown and their reverses turn the pages, wherever the focus is.
        const PageKey key = msg.wParam == VK_TAB ? PageKey::Tab : msg.wParam == VK_NEXT ? PageKey::PageDown
                                                                                        : PageKey::PageUp;
        if (const auto step = PageStep(key, ctrl, shift)) {
            RunHandler(app_, [&] { TurnPage(*step); });
            return true;
        }
        if (msg.wParam == VK_TAB && !ctrl) {
            RunHandler(app_, [&] { FocusNextControl(!shift); });
            return true;
        }
    }
    if (msg.message == WM_KEYDOWN &&
        (msg.wParam == VK_UP || msg.wParam == VK_DOWN || msg.wParam == VK_LEFT || msg.wParam == VK_RIGHT)) {
        // Arrow keys choose within a radio group (the dialog manager looks for
        // groups among the dialog's own children only, and ours lie deeper).
        HWND focus = ::GetFocus();
        for (int g = 0; g < 3; ++g) {
            const auto& radios = radios_[g];
            const auto at = std::find(radios.begin(), radios.end(), focus);
            if (at == radios.end()) continue;
            const int count = static_cast<int>(radios.size());
            const int step = (msg.wParam == VK_UP || msg.wParam == VK_LEFT) ? count - 1 : 1;
            const int next = (static_cast<int>(at - radios.begin()) + step) % count;
            RunHandler(app_, [&] {
                (g == 0 ? model_.rdgBack() : g == 1 ? model_.rdgUpdown() : model_.rdgLR()).SetIndex(next);
                ShowModel();
                ::SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(radios[next]), TRUE);
            });
            return true;
        }
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
        // A focused colour button is pressed by Enter like the other push buttons.
        HWND focus = ::GetFocus();
        if (focus == ctl(Ctl::btnFontColor) || focus == ctl(Ctl::btnBackground)) {
            ::SendMessageW(focus, BM_CLICK, 0, 0);
            return true;
        }
    }
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_SPACE) &&
        ::GetFocus() == ctl(Ctl::lblURL)) {
        // The link opens by Enter or Space, as a click opens it.
        RunHandler(app_, [&] { lblURLClick(); });
        return true;
    }
    MSG copy = msg;
    return ::IsDialogMessageW(window_, &copy);
}

void TOptDialog::TurnPage(int step) {
    model_.SetActiveTab(TurnedPage(model_.ActiveTab(), step));
    ShowActivePage();
}

// The tab order runs through the frame's controls in creation order and,
// right after the tab control, through the shown page's controls; a radio
// group is entered at its chosen item.
void TOptDialog::FocusNextControl(bool forward) {
    std::vector<HWND> order;
    auto collect = [&](auto&& self, HWND parent) -> void {
        for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            if (!::IsWindowVisible(child) || !::IsWindowEnabled(child)) continue;
            if (::GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) order.push_back(child);
            if (::GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) self(self, child);
        }
    };
    collect(collect, window_);
    if (order.empty()) return;
    const auto current = std::find(order.begin(), order.end(), ::GetFocus());
    std::size_t next = 0;
    if (current == order.end()) {
        next = forward ? 0 : order.size() - 1;
    } else {
        const std::size_t at = static_cast<std::size_t>(current - order.begin());
        next = forward ? (at + 1) % order.size() : (at + order.size() - 1) % order.size();
    }
    ::SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(order[next]), TRUE);
    // The keyboard is in use: focus cues show from now on.
    ::SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

// ---- lookups ---------------------------------------------------------------------------------

Ctl TOptDialog::IdOf(HWND control) const {
    for (int i = 0; i < kControlCount; ++i) {
        if (controls_[i] == control) return static_cast<Ctl>(i);
    }
    return Ctl::Form;
}

int TOptDialog::RadioGroupIndexOf(Ctl group) const {
    for (int g = 0; g < 3; ++g) {
        if (kRadioGroups[g] == group) return g;
    }
    return 0;
}

// ---- window procedures ---------------------------------------------------------------------------

LRESULT TOptDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            HWND from = reinterpret_cast<HWND>(lParam);
            const UINT id = LOWORD(wParam);
            const UINT code = HIWORD(wParam);
            if (syncing_ && !(from == nullptr && (id == IDOK || id == IDCANCEL))) return 0;
            RunHandler(app_, [&] {
                if (!from || from == ctl(Ctl::btnOK) || from == ctl(Ctl::btnCancel)) {
                    if (id == IDOK) btnOKClick();
                    if (id == IDCANCEL) btnCancelClick();
                    return;
                }
                if (code == EN_CHANGE && from == ctl(Ctl::edtMessage)) {
                    edtMessageChange();
                    return;
                }
                if (code != BN_CLICKED) return;
                switch (IdOf(from)) {
                    case Ctl::btnDefault: btnDefaultClick(); break;
                    case Ctl::btnRecommendation: btnRecommendationClick(); break;
                    case Ctl::btnShowaMoji: btnShowaMojiClick(); break;
                    case Ctl::btnFont: btnFontClick(); break;
                    case Ctl::btnFontColor:
                    case Ctl::btnBackground: btnColorClick(from); break;
                    case Ctl::chkMessage: chkMessageClick(); break;
                    case Ctl::chkTransparent: chkTransparentClick(); break;
                    case Ctl::chkIsMessageFront:
                        model_.SetMessageFront(::SendMessageW(from, BM_GETCHECK, 0, 0) == BST_CHECKED);
                        break;
                    case Ctl::chkEveryMonitor:
                        model_.SetOnEveryMonitor(::SendMessageW(from, BM_GETCHECK, 0, 0) == BST_CHECKED);
                        break;
                    case Ctl::Form: radioClick(from); break;
                    default: break;
                }
            });
            return 0;
        }
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->hwndFrom == ctl(Ctl::PageControl) && header->code == TCN_SELCHANGE) {
                RunHandler(app_, [&] { PageControlChange(); });
                return 0;
            }
            break;
        }
        case WM_HSCROLL:
            if (lParam && !syncing_) {
                RunHandler(app_, [&] { trackBarChange(reinterpret_cast<HWND>(lParam)); });
                return 0;
            }
            break;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            RunHandler(app_, [&] {
                if (item->hwndItem == ctl(Ctl::CheckList1)) DrawCheckListItem(*item);
                if (item->hwndItem == ctl(Ctl::btnFontColor) || item->hwndItem == ctl(Ctl::btnBackground)) {
                    DrawColorButton(*item);
                }
            });
            return TRUE;
        }
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == ctl(Ctl::lblURL)) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                // Blue, red while pressed; the system's link colour in high contrast.
                const COLORREF own = urlPressed_ ? kLinkPressedColor : kLinkColor;
                ::SetTextColor(dc, static_cast<COLORREF>(ReadableColor(
                                       own, ::GetSysColor(COLOR_HOTLIGHT), ::GetSysColor(COLOR_BTNFACE),
                                       HighContrastOn())));
                ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
            }
            break;
        case WM_SYSCOLORCHANGE:
        case WM_SETTINGCHANGE:
            SystemColorsChanged(message, wParam, lParam);
            break;
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) RunHandler(app_, [&] { Relayout(); });
            break;
        case WM_DPICHANGED:
            RunHandler(app_, [&] { ApplyDpi(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); });
            return 0;
        case WM_CLOSE:
            RunHandler(app_, [&] { btnCancelClick(); });
            return 0;
        case WM_DESTROY:
            DisconnectAccessibles();
            RunHandler(app_, [&] { FormDestroy(); });
            // Destroyed from outside: the run ends all the same.
            if (!closing_) app_.Terminate();
            break;
        case WM_NCDESTROY: {
            const LRESULT result = ::DefDlgProcW(window_, message, wParam, lParam);
            window_ = nullptr;
            return result;
        }
    }
    return ::DefDlgProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK TOptDialog::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* dialog = win::WindowObject<TOptDialog>(window, message, lParam);
    if (dialog && message == WM_NCCREATE) dialog->window_ = window;
    if (!dialog || !dialog->window_) return ::DefDlgProcW(window, message, wParam, lParam);
    return dialog->HandleMessage(message, wParam, lParam);
}

// The pages and the radio groups hand their controls' notifications to the
// dialog, which handles every control in one place.
LRESULT CALLBACK TOptDialog::ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* dialog = win::WindowObject<TOptDialog>(window, message, lParam);
    if (dialog && dialog->window_) {
        switch (message) {
            case WM_COMMAND:
            case WM_NOTIFY:
            case WM_HSCROLL:
            case WM_VSCROLL:
            case WM_DRAWITEM:
            case WM_MEASUREITEM:
            case WM_CTLCOLORSTATIC:
            case WM_CTLCOLORBTN:
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORLISTBOX:
            case WM_CTLCOLORSCROLLBAR:
                return ::SendMessageW(dialog->window_, message, wParam, lParam);
            case WM_PAINT: {
                wchar_t className[32] = {};
                ::GetClassNameW(window, className, 32);
                if (std::wstring(className) == kGroupClass) {
                    RunHandler(dialog->app_, [&] {
                        PaintRadioGroupFrame(window, dialog->dialogFont_.get(), dialog->Scaled(8));
                    });
                    return 0;
                }
                break;
            }
        }
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK TOptDialog::PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* dialog = win::WindowObject<TOptDialog>(window, message, lParam);
    if (dialog && dialog->window_) {
        switch (message) {
            case WM_ERASEBKGND:
                return 1;  // the paint fills every pixel
            case WM_PAINT:
                RunHandler(dialog->app_, [&] { dialog->PaintPanel(window); });
                return 0;
            case WM_LBUTTONUP:
                RunHandler(dialog->app_, [dialog] { dialog->pnlSampleClick(); });
                return 0;
        }
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK TOptDialog::CheckListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR self) {
    auto* dialog = reinterpret_cast<TOptDialog*>(self);
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            const LRESULT result = ::DefSubclassProc(list, message, wParam, lParam);
            // A click on an item's check box toggles it.
            const DWORD hit = static_cast<DWORD>(::SendMessageW(list, LB_ITEMFROMPOINT, 0, lParam));
            if (HIWORD(hit) == 0 && GET_X_LPARAM(lParam) < dialog->Scaled(kCheckColumnWidth)) {
                RunHandler(dialog->app_, [&] { dialog->CheckListToggle(LOWORD(hit)); });
            }
            return result;
        }
        case WM_KEYDOWN:
            if (wParam == VK_SPACE) {
                const int caret = static_cast<int>(::SendMessageW(list, LB_GETCARETINDEX, 0, 0));
                RunHandler(dialog->app_, [&] { dialog->CheckListToggle(caret); });
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == L' ') return 0;
            break;
        case WM_UPDATEUISTATE:
            ::InvalidateRect(list, nullptr, FALSE);
            break;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(list, &TOptDialog::CheckListProc, 0);
            break;
    }
    return ::DefSubclassProc(list, message, wParam, lParam);
}

// Answers a screen reader's request for the control's accessible object.
LRESULT CALLBACK TOptDialog::AccessProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR object) {
    auto* accessible = reinterpret_cast<ControlAccessible*>(object);
    switch (message) {
        case WM_GETOBJECT:
            if (const LRESULT answer = accessible->Answer(wParam, lParam)) return answer;
            break;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(control, &TOptDialog::AccessProc, 0);
            break;
    }
    return ::DefSubclassProc(control, message, wParam, lParam);
}

LRESULT CALLBACK TOptDialog::LinkProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR self) {
    auto* dialog = reinterpret_cast<TOptDialog*>(self);
    switch (message) {
        case WM_SETCURSOR:
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        case WM_LBUTTONDOWN:
            ::SetCapture(label);
            RunHandler(dialog->app_, [dialog] { dialog->lblURLMouseDown(); });
            return 0;
        case WM_LBUTTONUP: {
            const bool wasPressed = dialog->urlPressed_;
            const POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ::ReleaseCapture();
            if (dialog->urlPressed_) RunHandler(dialog->app_, [dialog] { dialog->lblURLMouseUp(); });
            RECT client = {};
            ::GetClientRect(label, &client);
            if (wasPressed && ::PtInRect(&client, at)) RunHandler(dialog->app_, [dialog] { dialog->lblURLClick(); });
            return 0;
        }
        case WM_CAPTURECHANGED:
            if (dialog->urlPressed_) RunHandler(dialog->app_, [dialog] { dialog->lblURLMouseUp(); });
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE:
            ::InvalidateRect(label, nullptr, TRUE);
            break;
        case WM_PAINT: {
            // The whole link is painted each time, so that the focus frame over it is drawn once.
            ::InvalidateRect(label, nullptr, TRUE);
            const LRESULT result = ::DefSubclassProc(label, message, wParam, lParam);
            RunHandler(dialog->app_, [&] { dialog->DrawLinkFocus(label); });
            return result;
        }
        case kActivateLink:
            RunHandler(dialog->app_, [dialog] { dialog->lblURLClick(); });
            return 0;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(label, &TOptDialog::LinkProc, 0);
            break;
    }
    return ::DefSubclassProc(label, message, wParam, lParam);
}

}  // namespace flutt
