// What the settings dialog's files share: its window classes, control
// identifiers and colours, and small helpers over Win32 calls.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "assets/BuildVariant.h"
#include "dialog/OptDlgForm.h"
#include "dialog/OptDialogModel.h"
#include "platform/win/Handles.h"

namespace flutt::optdlg {

inline constexpr wchar_t kDialogClass[] = L"TOptDialog";
inline constexpr wchar_t kSheetClass[] = L"TTabSheet";
inline constexpr wchar_t kGroupClass[] = L"TRadioGroup";
inline constexpr wchar_t kPanelClass[] = L"TPanel";

inline constexpr DWORD kDialogStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
inline constexpr int kFirstControlId = 100;
inline constexpr int kFirstRadioId = 1000;
inline constexpr int kCheckBoxSize = 13;
inline constexpr int kCheckColumnWidth = kCheckBoxSize + 2;  // the check box and its margin, left of each item's text

inline constexpr int kTabImageSize = 16;
inline constexpr COLORREF kTabImageKeyColor = RGB(255, 0, 255);  // the see-through colour of the tab image strip

inline constexpr COLORREF kLinkColor = 0xFF0000;         // blue (0x00BBGGRR)
inline constexpr COLORREF kLinkPressedColor = 0x0000FF;  // red
// Posted to the link to open it (a screen reader's default action).
inline constexpr UINT kActivateLink = WM_APP + 1;

// The radio groups, in the order of TOptDialog::radios_.
inline constexpr Ctl kRadioGroups[] = {Ctl::rdgBack, Ctl::rdgUpdown, Ctl::rdgLR};

// The Message tab's controls that the message switch enables, by the model's name.
Ctl ControlOf(SwitchedControl control);

void RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc, int extraBytes, HICON icon);
win::unique_hfont MakeFont(const char* face, int pixels, BYTE charset, int weight = FW_NORMAL, bool italic = false,
                           bool underline = false);
std::wstring WindowText(HWND window);
void SetStyleBit(HWND window, LONG bit, bool on);
COLORREF ToColorRef(std::int32_t color);
// True while the user has a high-contrast theme on.
bool HighContrastOn();
// True when the window's keyboard cues hide focus rectangles (UISF_HIDEFOCUS).
bool FocusCuesHidden(HWND window);
// The folder of the program file, without a trailing separator.
std::wstring ProgramFolder();

}  // namespace flutt::optdlg
