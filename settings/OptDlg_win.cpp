#include "settings/OptDlg_win.h"

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

namespace flutt {
namespace {

constexpr wchar_t kDialogClass[] = L"TOptDialog";
constexpr wchar_t kSheetClass[] = L"TTabSheet";
constexpr wchar_t kGroupClass[] = L"TRadioGroup";
constexpr wchar_t kPanelClass[] = L"TPanel";

constexpr DWORD kDialogStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kFirstControlId = 100;
constexpr int kFirstRadioId = 1000;
constexpr int kCheckBoxSize = 13;
constexpr int kCheckColumnWidth = kCheckBoxSize + 2;  // the check box and its margin, left of each item's text

constexpr int kTabImageSize = 16;
constexpr COLORREF kTabImageKeyColor = RGB(255, 0, 255);  // the see-through colour of the tab image strip

constexpr COLORREF kLinkColor = 0xFF0000;         // blue (0x00BBGGRR)
constexpr COLORREF kLinkPressedColor = 0x0000FF;  // red

// The radio groups, in the order of TOptDialog::radios_.
constexpr Ctl kRadioGroups[] = {Ctl::rdgBack, Ctl::rdgUpdown, Ctl::rdgLR};

// The Message tab's controls that the message switch enables, by the model's name.
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

#ifdef FLUTT_REDUCED
constexpr bool kReducedBuild = true;
#else
constexpr bool kReducedBuild = false;
#endif

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

win::unique_hfont MakeFont(const char* face, int pixels, BYTE charset, int weight = FW_NORMAL, bool italic = false,
                           bool underline = false) {
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

// The folder of the program file, without a trailing separator.
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

std::uint32_t ReadU32(std::span<const std::uint8_t> bytes, std::size_t at) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

// A picture stored as a BMP file image in an RCDATA resource; none when the
// program lacks it or it is not a BMP.
win::unique_hbitmap BitmapFromResource(HINSTANCE instance, const wchar_t* name) {
    const auto bytes = win::ResourceBytes(instance, name);
    if (bytes.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) return {};
    BITMAPFILEHEADER file = {};
    std::memcpy(&file, bytes.data(), sizeof file);
    if (file.bfType != 0x4D42 || file.bfOffBits >= bytes.size()) return {};
    const auto* info = reinterpret_cast<const BITMAPINFO*>(bytes.data() + sizeof(BITMAPFILEHEADER));
    win::unique_window_dc screen(nullptr);
    return win::unique_hbitmap(
        ::CreateDIBitmap(screen.get(), &info->bmiHeader, CBM_INIT, bytes.data() + file.bfOffBits, info, DIB_RGB_COLORS));
}

// An icon of the given size from an ICON resource, or else from an RCDATA
// resource holding an ICO file image of one picture.
win::unique_hicon LoadIconResource(HINSTANCE instance, const wchar_t* name, int size) {
    if (HANDLE icon = ::LoadImageW(instance, name, IMAGE_ICON, size, size, LR_DEFAULTCOLOR)) {
        return win::unique_hicon(static_cast<HICON>(icon));
    }
    const auto bytes = win::ResourceBytes(instance, name);
    constexpr std::size_t kDirectorySize = 6, kEntrySize = 16;
    if (bytes.size() < kDirectorySize + kEntrySize) return {};
    const std::uint32_t imageBytes = ReadU32(bytes, kDirectorySize + 8);
    const std::uint32_t imageOffset = ReadU32(bytes, kDirectorySize + 12);
    if (imageOffset > bytes.size() || imageBytes > bytes.size() - imageOffset) return {};
    return win::unique_hicon(::CreateIconFromResourceEx(const_cast<std::uint8_t*>(bytes.data() + imageOffset),
                                                        imageBytes, TRUE, 0x00030000, size, size, LR_DEFAULTCOLOR));
}

// The five tab images: a strip of 16 x 16 pictures on a see-through colour.
win::unique_himagelist LoadTabImages(HINSTANCE instance) {
    win::unique_hbitmap strip = BitmapFromResource(instance, L"TabImages");
    if (!strip) {
        return win::unique_himagelist(::ImageList_LoadImageW(instance, L"TabImages", kTabImageSize, 0,
                                                             kTabImageKeyColor, IMAGE_BITMAP, LR_CREATEDIBSECTION));
    }
    win::unique_himagelist images(::ImageList_Create(kTabImageSize, kTabImageSize, ILC_COLOR24 | ILC_MASK, 5, 0));
    if (images) ::ImageList_AddMasked(images.get(), strip.get(), kTabImageKeyColor);
    return images;
}

}  // namespace

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
    dialogFont_ = MakeFont(kFormFontName, kFormFontPixels, SHIFTJIS_CHARSET);
    checkListFont_ = MakeFont(kFormFontName, kCheckListFontPixels, SHIFTJIS_CHARSET);
    linkFont_ = MakeFont(kLinkFontName, kLinkFontPixels, DEFAULT_CHARSET, FW_BOLD, true, true);
}

void TOptDialog::CreateHandle() {
    RECT frame = {0, 0, kFormClientWidth, kFormClientHeight};
    ::AdjustWindowRectEx(&frame, kDialogStyle, FALSE, 0);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
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

void TOptDialog::CreateControls() {
    ImageList1 = LoadTabImages(app_.Instance());
    if (ImageList1) ImageList_SetBkColor(ImageList1.get(), CLR_NONE);
    for (const FormRow& row : form_) {
        HWND control = CreateControl(row);
        controls_[static_cast<int>(row.id)] = control;
        if (!row.hint.empty()) AddHint(control, row.hint);
    }
}

HWND TOptDialog::CreateControl(const FormRow& row) {
    const HINSTANCE instance = app_.Instance();
    HWND parent = row.parent == Ctl::Form ? window_ : ctl(row.parent);
    const FormRect& b = row.bounds;
    const std::wstring caption = win::Widen(row.caption);
    int id = kFirstControlId + static_cast<int>(row.id);
    if (row.id == Ctl::btnOK) id = IDOK;
    if (row.id == Ctl::btnCancel) id = IDCANCEL;
    const HMENU menuId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    DWORD style = WS_CHILD | WS_VISIBLE | (row.tabStop ? WS_TABSTOP : 0);
    DWORD exStyle = 0;
    HFONT font = dialogFont_.get();
    const wchar_t* className = nullptr;

    switch (row.kind) {
        case ControlKind::PageControl:
            return CreatePageControl(row, parent);
        case ControlKind::RadioGroup:
            return CreateRadioGroup(row, parent);
        case ControlKind::TabSheet: {
            // A page fills the tab control's display area; only the active one is shown.
            HWND sheet = ::CreateWindowExW(WS_EX_CONTROLPARENT, kSheetClass, caption.c_str(),
                                           WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, sheetDesign_.left,
                                           sheetDesign_.top, sheetDesign_.right - sheetDesign_.left,
                                           sheetDesign_.bottom - sheetDesign_.top, parent, menuId, instance, this);
            if (!sheet) win::RaiseLastWin32Error();
            return sheet;
        }
        case ControlKind::Button:
            className = L"BUTTON";
            style |= row.id == Ctl::btnOK ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
            break;
        case ControlKind::ColorButton:
            className = L"BUTTON";
            style |= BS_OWNERDRAW;
            break;
        case ControlKind::CheckBox:
            className = L"BUTTON";
            style |= BS_AUTOCHECKBOX;
            break;
        case ControlKind::Label:
            className = L"STATIC";
            style |= SS_LEFTNOWORDWRAP | (row.caption.find('&') == std::string::npos ? SS_NOPREFIX : 0) |
                     (row.hint.empty() ? 0 : SS_NOTIFY);
            break;
        case ControlKind::Link:
            className = L"STATIC";
            style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY;
            font = linkFont_.get();
            break;
        case ControlKind::TrackBar:
            className = TRACKBAR_CLASSW;
            style |= TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS | TBS_FIXEDLENGTH;
            break;
        case ControlKind::Edit:
            className = L"EDIT";
            style |= ES_AUTOHSCROLL | ES_LEFT;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case ControlKind::CheckList:
            className = L"LISTBOX";
            style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
            exStyle = WS_EX_CLIENTEDGE;
            font = checkListFont_.get();
            break;
        case ControlKind::Panel:
            className = kPanelClass;
            break;
        case ControlKind::Icon:
            className = L"STATIC";
            style |= SS_ICON | SS_NOTIFY;
            break;
    }

    const bool sizedToCaption = row.kind == ControlKind::Label && b.w == 0 && b.h == 0;
    void* createParam = row.kind == ControlKind::Panel ? this : nullptr;  // only our own classes take it
    HWND control = ::CreateWindowExW(exStyle, className, sizedToCaption ? L"" : caption.c_str(), style, b.x, b.y,
                                     b.w, b.h, parent, menuId, instance, createParam);
    if (!control) win::RaiseLastWin32Error();
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    controls_[static_cast<int>(row.id)] = control;

    switch (row.kind) {
        case ControlKind::Label:
            if (sizedToCaption) SetLabelText(row.id, row.caption);
            break;
        case ControlKind::Link:
            ::SetWindowSubclass(control, &TOptDialog::LinkProc, 0, reinterpret_cast<DWORD_PTR>(this));
            break;
        case ControlKind::TrackBar:
            ::SendMessageW(control, TBM_SETRANGEMIN, FALSE, row.range.min);
            ::SendMessageW(control, TBM_SETRANGEMAX, FALSE, row.range.max);
            ::SendMessageW(control, TBM_SETTICFREQ, row.range.tickFrequency, 0);
            ::SendMessageW(control, TBM_SETLINESIZE, 0, 1);
            ::SendMessageW(control, TBM_SETPAGESIZE, 0, 2);
            ::SendMessageW(control, TBM_SETTHUMBLENGTH, kTrackBarThumbLength, 0);
            break;
        case ControlKind::Edit:
            ::SendMessageW(control, EM_SETLIMITTEXT, 0, 0);  // no length limit
            break;
        case ControlKind::CheckList:
            for (const std::string& item : row.items) {
                ::SendMessageW(control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win::Widen(item).c_str()));
            }
            ::SendMessageW(control, LB_SETITEMHEIGHT, 0, kCheckListItemHeight);
            ::SetWindowSubclass(control, &TOptDialog::CheckListProc, 0, reinterpret_cast<DWORD_PTR>(this));
            break;
        case ControlKind::Icon: {
            auto& icon = icons_[row.id == Ctl::imgLogo ? 0 : 1];
            icon = LoadIconResource(instance, win::Widen(row.resource).c_str(), b.w);
            if (icon) ::SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(icon.get()), 0);
            ::SetWindowPos(control, nullptr, b.x, b.y, b.w, b.h, SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        }
        default:
            break;
    }
    return control;
}

HWND TOptDialog::CreatePageControl(const FormRow& row, HWND parent) {
    const FormRect& b = row.bounds;
    HWND tabs = ::CreateWindowExW(WS_EX_CONTROLPARENT, WC_TABCONTROLW, L"",
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                                      TCS_HOTTRACK,
                                  b.x, b.y, b.w, b.h, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId)), app_.Instance(),
                                  nullptr);
    if (!tabs) win::RaiseLastWin32Error();
    ::SendMessageW(tabs, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont_.get()), FALSE);
    if (ImageList1) TabCtrl_SetImageList(tabs, ImageList1.get());
    int index = 0;
    for (const FormRow& page : form_) {
        if (page.kind != ControlKind::TabSheet) continue;
        std::wstring text = win::Widen(page.caption);
        TCITEMW item = {};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = text.data();
        item.iImage = ImageList1 ? page.imageIndex : -1;
        ::SendMessageW(tabs, TCM_INSERTITEMW, index++, reinterpret_cast<LPARAM>(&item));
    }
    RECT area = {0, 0, b.w, b.h};
    TabCtrl_AdjustRect(tabs, FALSE, &area);
    sheetDesign_ = area;
    return tabs;
}

HWND TOptDialog::CreateRadioGroup(const FormRow& row, HWND parent) {
    const FormRect& b = row.bounds;
    const int groupIndex = RadioGroupIndexOf(row.id);
    HWND group = ::CreateWindowExW(WS_EX_CONTROLPARENT, kGroupClass, win::Widen(row.caption).c_str(),
                                   WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, b.x, b.y, b.w, b.h, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + int(row.id))),
                                   app_.Instance(), this);
    if (!group) win::RaiseLastWin32Error();
    ::SendMessageW(group, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont_.get()), FALSE);

    TEXTMETRICW metrics = {};
    {
        win::unique_window_dc dc(group);
        win::select_result selected(dc.get(), dialogFont_.get());
        ::GetTextMetricsW(dc.get(), &metrics);
    }
    const auto rects = RadioItemRects(b, static_cast<int>(row.items.size()), metrics.tmHeight);
    auto& radios = radios_[groupIndex];
    for (std::size_t i = 0; i < row.items.size(); ++i) {
        const FormRect& r = rects[i];
        const DWORD style = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0);
        HWND radio = ::CreateWindowExW(
            0, L"BUTTON", win::Widen(row.items[i]).c_str(), style, r.x, r.y, r.w, r.h, group,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstRadioId + groupIndex * 16 + int(i))),
            app_.Instance(), nullptr);
        if (!radio) win::RaiseLastWin32Error();
        ::SendMessageW(radio, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont_.get()), FALSE);
        radios.push_back(radio);
        AddHint(radio, row.hint);  // the group's hint also shows over its items
    }
    return group;
}

void TOptDialog::AddHint(HWND control, const std::string& hint) {
    if (!tooltip_ || !control) return;
    std::wstring text = win::Widen(hint);
    TTTOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text.data();
    ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

// Keeps the anchored controls at their distances when the window is resized
// (maximised and restored).
void TOptDialog::Relayout() {
    if (!ctl(Ctl::btnCancel)) return;  // still being created
    RECT client = {};
    ::GetClientRect(window_, &client);
    const int dx = client.right - kFormClientWidth;
    const int dy = client.bottom - kFormClientHeight;
    RECT sheet = {};
    for (const FormRow& row : form_) {
        if (row.anchors == kAnchorDefault) continue;
        int pdx = dx, pdy = dy;
        if (row.parent != Ctl::Form) {
            pdx = sheet.right - sheet.left - (sheetDesign_.right - sheetDesign_.left);
            pdy = sheet.bottom - sheet.top - (sheetDesign_.bottom - sheetDesign_.top);
        }
        const FormRect r = Anchored(row.bounds, row.anchors, pdx, pdy);
        ::SetWindowPos(ctl(row.id), nullptr, r.x, r.y, r.w, r.h, SWP_NOZORDER | SWP_NOACTIVATE);
        if (row.id == Ctl::PageControl) {
            sheet = {0, 0, r.w, r.h};
            TabCtrl_AdjustRect(ctl(Ctl::PageControl), FALSE, &sheet);
            for (Ctl page : {Ctl::tshGeneral, Ctl::tshMessage, Ctl::tshCharacter, Ctl::tshAbout}) {
                ::SetWindowPos(ctl(page), nullptr, sheet.left, sheet.top, sheet.right - sheet.left,
                               sheet.bottom - sheet.top, SWP_NOZORDER | SWP_NOACTIVATE);
            }
        }
    }
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

// ---- showing the model ---------------------------------------------------------------

void TOptDialog::ShowModel() {
    syncing_ = true;
    auto showTrackBar = [&](Ctl bar, const TrackBarState& state, Ctl label) {
        if (::SendMessageW(ctl(bar), TBM_GETPOS, 0, 0) != state.Position()) {
            ::SendMessageW(ctl(bar), TBM_SETPOS, TRUE, state.Position());
        }
        SetLabelText(label, state.ValueText());
    };
    showTrackBar(Ctl::trkCharNum, model_.trkCharNum(), Ctl::lblNum);
    showTrackBar(Ctl::trkUpdownSpeed, model_.trkUpdownSpeed(), Ctl::lblUpdownSpeedValue);
    showTrackBar(Ctl::trkLRSpeed, model_.trkLRSpeed(), Ctl::lblLRSpeedValue);

    const RadioGroupState* groups[] = {&model_.rdgBack(), &model_.rdgUpdown(), &model_.rdgLR()};
    for (int g = 0; g < 3; ++g) {
        const int index = groups[g]->Index();
        const auto& radios = radios_[g];
        for (int i = 0; i < static_cast<int>(radios.size()); ++i) {
            const WPARAM check = i == index ? BST_CHECKED : BST_UNCHECKED;
            if (static_cast<WPARAM>(::SendMessageW(radios[i], BM_GETCHECK, 0, 0)) != check) {
                ::SendMessageW(radios[i], BM_SETCHECK, check, 0);
            }
            // The keyboard enters a group at its chosen item, or at the first when none is chosen.
            SetStyleBit(radios[i], WS_TABSTOP, i == index || (index < 0 && i == 0));
        }
    }

    HWND list = ctl(Ctl::CheckList1);
    bool listChanged = false;
    for (int i = 0; i < kCharacterCount; ++i) {
        // The item data mirrors the check, for anyone who reads the list from outside.
        const LRESULT checked = model_.IsCharacterChecked(i) ? 1 : 0;
        if (::SendMessageW(list, LB_GETITEMDATA, i, 0) != checked) {
            ::SendMessageW(list, LB_SETITEMDATA, i, checked);
            listChanged = true;
        }
    }
    if (listChanged) ::InvalidateRect(list, nullptr, FALSE);

    auto showCheck = [&](Ctl box, bool checked) {
        const WPARAM state = checked ? BST_CHECKED : BST_UNCHECKED;
        if (static_cast<WPARAM>(::SendMessageW(ctl(box), BM_GETCHECK, 0, 0)) != state) {
            ::SendMessageW(ctl(box), BM_SETCHECK, state, 0);
        }
    };
    showCheck(Ctl::chkMessage, model_.chkMessage());
    showCheck(Ctl::chkIsMessageFront, model_.chkIsMessageFront());
    showCheck(Ctl::chkTransparent, model_.chkTransparent());

    const std::wstring message = win::Widen(model_.edtMessage());
    if (WindowText(ctl(Ctl::edtMessage)) != message) ::SetWindowTextW(ctl(Ctl::edtMessage), message.c_str());

    SetLabelText(Ctl::lblFontName, model_.lblFontName());
    SetLabelText(Ctl::lblVersion, model_.lblVersion());
    SetLabelText(Ctl::lblTimesOfBoot, model_.lblTimesOfBoot());

    for (SwitchedControl c : kSwitchedControls) {
        HWND control = ctl(ControlOf(c));
        const bool enabled = model_.IsEnabled(c);
        if (static_cast<bool>(::IsWindowEnabled(control)) != enabled) ::EnableWindow(control, enabled);
    }
    ::InvalidateRect(ctl(Ctl::btnFontColor), nullptr, FALSE);
    ::InvalidateRect(ctl(Ctl::btnBackground), nullptr, FALSE);

    // The sample: caption, colours and font.
    UpdateSampleFont();
    const std::wstring sample = win::Widen(model_.Sample().caption);
    if (WindowText(ctl(Ctl::pnlSample)) != sample) ::SetWindowTextW(ctl(Ctl::pnlSample), sample.c_str());
    ::InvalidateRect(ctl(Ctl::pnlSample), nullptr, FALSE);

    ShowActivePage();
    syncing_ = false;
}

void TOptDialog::ShowActivePage() {
    HWND tabs = ctl(Ctl::PageControl);
    const int active = static_cast<int>(model_.ActiveTab());
    if (TabCtrl_GetCurSel(tabs) != active) TabCtrl_SetCurSel(tabs, active);
    const Ctl pages[] = {Ctl::tshGeneral, Ctl::tshMessage, Ctl::tshCharacter, Ctl::tshAbout};
    ::ShowWindow(ctl(pages[active]), SW_SHOW);
    for (int i = 0; i < 4; ++i) {
        if (i == active || !::IsWindowVisible(ctl(pages[i]))) continue;
        // Focus never stays on a page that is no longer shown.
        if (::IsChild(ctl(pages[i]), ::GetFocus())) {
            ::SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(tabs), TRUE);
        }
        ::ShowWindow(ctl(pages[i]), SW_HIDE);
    }
}

// Sets a label's text; a label designed without a size is fitted to its text.
void TOptDialog::SetLabelText(Ctl label, const std::string& text) {
    HWND control = ctl(label);
    const std::wstring wide = win::Widen(text);
    if (WindowText(control) == wide && !wide.empty()) return;
    ::SetWindowTextW(control, wide.c_str());
    const FormRow& row = FormRowOf(form_, label);
    if (row.bounds.w != 0 || row.bounds.h != 0) return;
    win::unique_window_dc dc(control);
    win::select_result selected(dc.get(), dialogFont_.get());
    RECT extent = {0, 0, 0, 0};
    const UINT prefix = (::GetWindowLongW(control, GWL_STYLE) & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    ::DrawTextW(dc.get(), wide.empty() ? L" " : wide.c_str(), -1, &extent,
                DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | prefix);
    ::SetWindowPos(control, nullptr, 0, 0, extent.right, extent.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TOptDialog::UpdateSampleFont() {
    const MessageFontState& wanted = model_.MessageFont();
    if (MessageFont && sampleFontState_ == wanted) return;
    // A point size becomes a character height in pixels at the screen's resolution.
    win::unique_hfont font = win::CreatePointFont(win::Widen(wanted.name), wanted.size);
    if (!font) win::RaiseLastWin32Error();
    MessageFont = std::move(font);
    sampleFontState_ = wanted;
}

// ---- drawing ---------------------------------------------------------------------------

void TOptDialog::DrawCheckListItem(const DRAWITEMSTRUCT& item) const {
    if (item.itemID == static_cast<UINT>(-1)) return;
    HDC dc = item.hDC;
    RECT row = item.rcItem;
    const int index = static_cast<int>(item.itemID);
    const bool checked = index < kCharacterCount && model_.IsCharacterChecked(index);

    RECT column = row;
    column.right = row.left + kCheckColumnWidth;
    ::FillRect(dc, &column, ::GetSysColorBrush(COLOR_WINDOW));
    const int top = row.top + (row.bottom - row.top - kCheckBoxSize) / 2;
    RECT box = {row.left + 1, top, row.left + 1 + kCheckBoxSize, top + kCheckBoxSize};
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
    label.left += 2;
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
        ::InflateRect(&focus, -3, -3);
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

void TOptDialog::PaintRadioGroupFrame(HWND group, HFONT font) {
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
        RECT text = {8, 0, 8, metrics.tmHeight};
        ::DrawTextW(dc, caption.c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        ::SetBkMode(dc, OPAQUE);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
        ::DrawTextW(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_NOPREFIX);
    }
}

// ---- keyboard ------------------------------------------------------------------------------

bool TOptDialog::KeyboardFilter(const MSG& msg) {
    if (!window_ || closing_ || (msg.hwnd != window_ && !::IsChild(window_, msg.hwnd))) return false;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && !(::GetKeyState(VK_MENU) & 0x8000)) {
        const bool back = ::GetKeyState(VK_SHIFT) & 0x8000;
        if (::GetKeyState(VK_CONTROL) & 0x8000) {
            // Ctrl+Tab and Ctrl+Shift+Tab turn the pages.
            const int next = (static_cast<int>(model_.ActiveTab()) + (back ? 3 : 1)) % 4;
            RunHandler(app_, [&] {
                model_.SetActiveTab(static_cast<OptTab>(next));
                ShowActivePage();
            });
        } else {
            RunHandler(app_, [&] { FocusNextControl(!back); });
        }
        return true;
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
    MSG copy = msg;
    return ::IsDialogMessageW(window_, &copy);
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
                ::SetTextColor(dc, urlPressed_ ? kLinkPressedColor : kLinkColor);
                ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
            }
            break;
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) RunHandler(app_, [&] { Relayout(); });
            break;
        case WM_CLOSE:
            RunHandler(app_, [&] { btnCancelClick(); });
            return 0;
        case WM_DESTROY:
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
                    RunHandler(dialog->app_, [&] { PaintRadioGroupFrame(window, dialog->dialogFont_.get()); });
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
            if (HIWORD(hit) == 0 && GET_X_LPARAM(lParam) < kCheckColumnWidth) {
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
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(list, &TOptDialog::CheckListProc, 0);
            break;
    }
    return ::DefSubclassProc(list, message, wParam, lParam);
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
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(label, &TOptDialog::LinkProc, 0);
            break;
    }
    return ::DefSubclassProc(label, message, wParam, lParam);
}

}  // namespace flutt
