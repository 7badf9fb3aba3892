// The settings dialog's pages and their controls: created from the form
// table, laid out, and showing the model.
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
namespace {

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

// The five tab images: a strip of 16 x 16 pictures on a see-through colour,
// at size x size each; other sizes than 16 enlarge the pixels as they are
// (nearest pixel), so the see-through colour stays exact.
win::unique_himagelist LoadTabImages(HINSTANCE instance, int size) {
    win::unique_hbitmap strip = BitmapFromResource(instance, L"TabImages");
    if (!strip && size == kTabImageSize) {
        return win::unique_himagelist(::ImageList_LoadImageW(instance, L"TabImages", kTabImageSize, 0,
                                                             kTabImageKeyColor, IMAGE_BITMAP, LR_CREATEDIBSECTION));
    }
    if (!strip) {
        strip.reset(static_cast<HBITMAP>(
            ::LoadImageW(instance, L"TabImages", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    }
    if (!strip) return {};
    if (size != kTabImageSize) {
        BITMAP info = {};
        ::GetObjectW(strip.get(), sizeof info, &info);
        const int count = info.bmWidth / kTabImageSize;
        win::unique_window_dc screen(nullptr);
        win::unique_hbitmap large(::CreateCompatibleBitmap(screen.get(), count * size, size));
        win::unique_hdc from(::CreateCompatibleDC(screen.get()));
        win::unique_hdc to(::CreateCompatibleDC(screen.get()));
        if (!large || !from || !to) return {};
        {
            win::select_result fromSelected(from.get(), strip.get());
            win::select_result toSelected(to.get(), large.get());
            ::SetStretchBltMode(to.get(), COLORONCOLOR);
            ::StretchBlt(to.get(), 0, 0, count * size, size, from.get(), 0, 0, count * kTabImageSize, kTabImageSize,
                         SRCCOPY);
        }
        strip = std::move(large);
    }
    win::unique_himagelist images(::ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 5, 0));
    if (images) ::ImageList_AddMasked(images.get(), strip.get(), kTabImageKeyColor);
    return images;
}

}  // namespace

// ---- the controls --------------------------------------------------------------

void TOptDialog::CreateImages() {
    ImageList1 = LoadTabImages(app_.Instance(), Scaled(kTabImageSize));
    if (ImageList1) ImageList_SetBkColor(ImageList1.get(), CLR_NONE);
    for (const Ctl id : {Ctl::imgLogo, Ctl::Image1}) {
        const FormRow& row = FormRowOf(form_, id);
        icons_[id == Ctl::imgLogo ? 0 : 1] =
            LoadIconResource(app_.Instance(), win::Widen(row.resource).c_str(), ScaledRect(row.bounds, dpi_).w);
    }
}

void TOptDialog::CreateControls() {
    CreateImages();
    for (const FormRow& row : form_) {
        HWND control = CreateControl(row);
        controls_[static_cast<int>(row.id)] = control;
        if (!row.hint.empty()) AddHint(control, row.hint);
    }
}

HWND TOptDialog::CreateControl(const FormRow& row) {
    const HINSTANCE instance = app_.Instance();
    HWND parent = row.parent == Ctl::Form ? window_ : ctl(row.parent);
    const FormRect b = ScaledRect(row.bounds, dpi_);
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
            MakeAccessible(control);
            break;
        case ControlKind::ColorButton:
            MakeAccessible(control);
            break;
        case ControlKind::TrackBar:
            ::SendMessageW(control, TBM_SETRANGEMIN, FALSE, row.range.min);
            ::SendMessageW(control, TBM_SETRANGEMAX, FALSE, row.range.max);
            ::SendMessageW(control, TBM_SETTICFREQ, row.range.tickFrequency, 0);
            ::SendMessageW(control, TBM_SETLINESIZE, 0, 1);
            ::SendMessageW(control, TBM_SETPAGESIZE, 0, 2);
            ::SendMessageW(control, TBM_SETTHUMBLENGTH, Scaled(kTrackBarThumbLength), 0);
            break;
        case ControlKind::Edit:
            ::SendMessageW(control, EM_SETLIMITTEXT, 0, 0);  // no length limit
            break;
        case ControlKind::CheckList:
            for (const std::string& item : row.items) {
                ::SendMessageW(control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win::Widen(item).c_str()));
            }
            ::SendMessageW(control, LB_SETITEMHEIGHT, 0, Scaled(kCheckListItemHeight));
            ::SetWindowSubclass(control, &TOptDialog::CheckListProc, 0, reinterpret_cast<DWORD_PTR>(this));
            MakeAccessible(control);
            break;
        case ControlKind::Icon: {
            const auto& icon = icons_[row.id == Ctl::imgLogo ? 0 : 1];
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
    const FormRect b = ScaledRect(row.bounds, dpi_);
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
    const FormRect b = ScaledRect(row.bounds, dpi_);
    const int groupIndex = RadioGroupIndexOf(row.id);
    HWND group = ::CreateWindowExW(WS_EX_CONTROLPARENT, kGroupClass, win::Widen(row.caption).c_str(),
                                   WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, b.x, b.y, b.w, b.h, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + int(row.id))),
                                   app_.Instance(), this);
    if (!group) win::RaiseLastWin32Error();
    ::SendMessageW(group, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont_.get()), FALSE);
    controls_[static_cast<int>(row.id)] = group;
    MakeAccessible(group);

    auto& radios = radios_[groupIndex];
    for (std::size_t i = 0; i < row.items.size(); ++i) {
        const DWORD style = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0);
        HWND radio = ::CreateWindowExW(
            0, L"BUTTON", win::Widen(row.items[i]).c_str(), style, 0, 0, 0, 0, group,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstRadioId + groupIndex * 16 + int(i))),
            app_.Instance(), nullptr);
        if (!radio) win::RaiseLastWin32Error();
        ::SendMessageW(radio, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont_.get()), FALSE);
        radios.push_back(radio);
        AddHint(radio, row.hint);  // the group's hint also shows over its items
    }
    PlaceRadioItems(row);
    return group;
}

// A radio group's items, placed for the group's font.
void TOptDialog::PlaceRadioItems(const FormRow& row) {
    HWND group = ctl(row.id);
    TEXTMETRICW metrics = {};
    {
        win::unique_window_dc dc(group);
        win::select_result selected(dc.get(), dialogFont_.get());
        ::GetTextMetricsW(dc.get(), &metrics);
    }
    const auto rects =
        RadioItemRects(ScaledRect(row.bounds, dpi_), static_cast<int>(row.items.size()), metrics.tmHeight, dpi_);
    const auto& radios = radios_[RadioGroupIndexOf(row.id)];
    for (std::size_t i = 0; i < radios.size() && i < rects.size(); ++i) {
        const FormRect& r = rects[i];
        ::SetWindowPos(radios[i], nullptr, r.x, r.y, r.w, r.h, SWP_NOZORDER | SWP_NOACTIVATE);
    }
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

// Places every control for the DPI and keeps the anchored ones at their
// distances when the window is resized (maximised and restored).
void TOptDialog::Relayout() {
    if (!ctl(Ctl::btnCancel)) return;  // still being created
    RECT client = {};
    ::GetClientRect(window_, &client);
    const int dx = client.right - Scaled(kFormClientWidth);
    const int dy = client.bottom - Scaled(kFormClientHeight);
    RECT sheet = {};
    for (const FormRow& row : form_) {
        if (row.kind == ControlKind::TabSheet) continue;
        int pdx = dx, pdy = dy;
        if (row.parent != Ctl::Form) {
            pdx = sheet.right - sheet.left - (sheetDesign_.right - sheetDesign_.left);
            pdy = sheet.bottom - sheet.top - (sheetDesign_.bottom - sheetDesign_.top);
        }
        const FormRect r = Anchored(ScaledRect(row.bounds, dpi_), row.anchors, pdx, pdy);
        const bool fitted = row.kind == ControlKind::Label && row.bounds.w == 0 && row.bounds.h == 0;
        ::SetWindowPos(ctl(row.id), nullptr, r.x, r.y, r.w, r.h,
                       SWP_NOZORDER | SWP_NOACTIVATE | (fitted ? SWP_NOSIZE : 0));
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

void TOptDialog::ApplyDpi(int dpi, const RECT& suggested) {
    if (dpi <= 0) return;
    dpi_ = dpi;
    // The old fonts and images stay alive until no control uses them.
    win::unique_hfont oldDialogFont = std::move(dialogFont_);
    win::unique_hfont oldCheckListFont = std::move(checkListFont_);
    win::unique_hfont oldLinkFont = std::move(linkFont_);
    win::unique_himagelist oldImages = std::move(ImageList1);
    std::array<win::unique_hicon, 2> oldIcons = std::move(icons_);
    CreateFonts();
    CreateImages();
    MessageFont.reset();  // the sample's font is made again for the new DPI
    UpdateSampleFont();

    auto setFont = [](HWND control, HFONT font) {
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    };
    setFont(window_, dialogFont_.get());
    if (tooltip_) setFont(tooltip_, dialogFont_.get());
    for (const FormRow& row : form_) {
        HWND control = ctl(row.id);
        switch (row.kind) {
            case ControlKind::Link: setFont(control, linkFont_.get()); break;
            case ControlKind::CheckList:
                setFont(control, checkListFont_.get());
                ::SendMessageW(control, LB_SETITEMHEIGHT, 0, Scaled(kCheckListItemHeight));
                break;
            case ControlKind::Icon:
                if (const auto& icon = icons_[row.id == Ctl::imgLogo ? 0 : 1]) {
                    ::SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(icon.get()), 0);
                }
                break;
            case ControlKind::PageControl:
                setFont(control, dialogFont_.get());
                TabCtrl_SetImageList(control, ImageList1.get());
                break;
            case ControlKind::RadioGroup:
                setFont(control, dialogFont_.get());
                for (HWND radio : radios_[RadioGroupIndexOf(row.id)]) setFont(radio, dialogFont_.get());
                PlaceRadioItems(row);
                break;
            default: setFont(control, dialogFont_.get()); break;
        }
        if (row.kind == ControlKind::Label && row.bounds.w == 0 && row.bounds.h == 0) FitLabel(row.id);
    }
    const FormRect tabs = ScaledRect(FormRowOf(form_, Ctl::PageControl).bounds, dpi_);
    sheetDesign_ = {0, 0, tabs.w, tabs.h};
    TabCtrl_AdjustRect(ctl(Ctl::PageControl), FALSE, &sheetDesign_);

    ::SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    Relayout();  // also when the window kept its size
    for (const FormRow& row : form_) {
        // After the track bar's resize, which may fit the thumb to the old length.
        if (row.kind == ControlKind::TrackBar) {
            ::SendMessageW(ctl(row.id), TBM_SETTHUMBLENGTH, Scaled(kTrackBarThumbLength), 0);
        }
    }
    ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

// ---- what screen readers hear ----------------------------------------------------------

void TOptDialog::MakeAccessible(HWND control) {
    auto* object = new ControlAccessible(control, *this);
    accessibles_.emplace_back(control, object);
    ::SetWindowSubclass(control, &TOptDialog::AccessProc, 0, reinterpret_cast<DWORD_PTR>(object));
}

AccessibleItem TOptDialog::Describe(HWND control, int child) const {
    const Ctl id = IdOf(control);
    switch (id) {
        case Ctl::CheckList1: return child == 0 ? CheckListAccess(form_) : CharacterItemAccess(model_, child - 1);
        case Ctl::btnFontColor: return ColorButtonAccess(form_, model_, ColorButton::FontColor);
        case Ctl::btnBackground: return ColorButtonAccess(form_, model_, ColorButton::Background);
        case Ctl::lblURL: return LinkAccess(FormRowOf(form_, id));
        case Ctl::rdgBack:
        case Ctl::rdgUpdown:
        case Ctl::rdgLR: return RadioGroupAccess(FormRowOf(form_, id));
        default: return {};
    }
}

// Called from a screen reader's request: what needs the user (a chooser, the
// browser) starts once the request has returned.
void TOptDialog::DoDefaultAction(HWND control, int child) {
    switch (IdOf(control)) {
        case Ctl::CheckList1: RunHandler(app_, [&] { CheckListToggle(child - 1); }); break;
        case Ctl::btnFontColor:
        case Ctl::btnBackground: ::PostMessageW(control, BM_CLICK, 0, 0); break;
        case Ctl::lblURL: ::PostMessageW(control, kActivateLink, 0, 0); break;
        default: break;
    }
}

void TOptDialog::DisconnectAccessibles() {
    for (const auto& [control, object] : accessibles_) {
        ::RemoveWindowSubclass(control, &TOptDialog::AccessProc, 0);
        object->Disconnect();
    }
    accessibles_.clear();
}

void TOptDialog::SystemColorsChanged(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSCOLORCHANGE) {
        // The common controls learn of new colours only from their top-level window.
        for (const FormRow& row : form_) {
            if (row.kind == ControlKind::PageControl || row.kind == ControlKind::TrackBar) {
                ::SendMessageW(ctl(row.id), message, wParam, lParam);
            }
        }
    } else if (wParam != SPI_SETHIGHCONTRAST) {
        return;
    }
    ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

// ---- showing the model ---------------------------------------------------------------

void TOptDialog::ShowModel() {
    syncing_ = true;
    // What the program changes itself (the load, a preset, the reset), screen
    // readers hear of as they hear of the user's changes.
    auto changed = [](DWORD event, HWND control, LONG child) {
        ::NotifyWinEvent(event, control, OBJID_CLIENT, child);
    };
    auto showTrackBar = [&](Ctl bar, const TrackBarState& state, Ctl label) {
        if (::SendMessageW(ctl(bar), TBM_GETPOS, 0, 0) != state.Position()) {
            ::SendMessageW(ctl(bar), TBM_SETPOS, TRUE, state.Position());
            changed(EVENT_OBJECT_VALUECHANGE, ctl(bar), CHILDID_SELF);
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
                changed(EVENT_OBJECT_STATECHANGE, radios[i], CHILDID_SELF);
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
            changed(EVENT_OBJECT_STATECHANGE, list, i + 1);  // the list draws its checks itself: by any path
        }
    }
    if (listChanged) ::InvalidateRect(list, nullptr, FALSE);

    auto showCheck = [&](Ctl box, bool checked) {
        const WPARAM state = checked ? BST_CHECKED : BST_UNCHECKED;
        if (static_cast<WPARAM>(::SendMessageW(ctl(box), BM_GETCHECK, 0, 0)) != state) {
            ::SendMessageW(ctl(box), BM_SETCHECK, state, 0);
            changed(EVENT_OBJECT_STATECHANGE, ctl(box), CHILDID_SELF);
        }
    };
    showCheck(Ctl::chkMessage, model_.chkMessage());
    showCheck(Ctl::chkIsMessageFront, model_.chkIsMessageFront());
    showCheck(Ctl::chkTransparent, model_.chkTransparent());
    showCheck(Ctl::chkEveryMonitor, model_.chkEveryMonitor());

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
    for (const ColorButton button : {ColorButton::FontColor, ColorButton::Background}) {
        auto& shown = shownColors_[button == ColorButton::FontColor ? 0 : 1];
        if (shown == model_.ButtonColor(button)) continue;
        shown = model_.ButtonColor(button);
        changed(EVENT_OBJECT_VALUECHANGE, ctl(button == ColorButton::FontColor ? Ctl::btnFontColor : Ctl::btnBackground),
                CHILDID_SELF);
    }

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
    FitLabel(label);
}

void TOptDialog::FitLabel(Ctl label) {
    HWND control = ctl(label);
    const std::wstring wide = WindowText(control);
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
    // A point size becomes a character height in pixels at the dialog's DPI.
    win::unique_hfont font = win::CreatePointFontAtDpi(win::Widen(wanted.name), wanted.size, dpi_);
    if (!font) win::RaiseLastWin32Error();
    MessageFont = std::move(font);
    sampleFontState_ = wanted;
}

}  // namespace flutt
