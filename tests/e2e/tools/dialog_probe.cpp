// dialog_probe: reads the settings dialog's controls from outside, for the
// end-to-end tests. One command per run, or many from a script through
// "serve" (ToolOutput.h); results as key=value lines (UTF-8).
//
//   dialog_probe controls TARGET
//         every descendant window, depth first in z-order, one line each:
//         ctl hwnd= parent= depth= id= class= x= y= w= h= (relative to
//         TARGET's client area) px= py= (relative to the parent's) sx= sy= (screen) visible= enabled= tabstop=
//         check= (buttons) pos= min= max= (track bars) sel= (tab controls)
//         text=... (always last, the rest of the line); a list box adds one
//         line per item: item list= index= data= text=...; then focus=
//         (the window with the keyboard focus in TARGET's thread)
//   dialog_probe client TARGET
//         client=WxH and origin=X,Y (screen position of the client area)
//   dialog_probe textfit TARGET DPI
//         every descendant label (Static, not an icon) and button, one line
//         each: fit hwnd= class= kind=label|check|radio|push|owner w= h= (the
//         window) text_w= text_h= (GetTextExtentPoint32W of its text, without
//         the accelerator's "&") font=own|form visible= text=...; the font is
//         the one the window reports with WM_GETFONT (own) where this process
//         can read it, else the form's font for its kind at DPI (form): Wine
//         keeps font handles to their process
//   dialog_probe dpichanged HWND DPI LEFT TOP RIGHT BOTTOM
//         sends WM_DPICHANGED as Windows does when the window moves to a
//         monitor of another DPI, the suggested rectangle written into the
//         window's process; sent=1 once it was handled
//   dialog_probe settext HWND TEXT
//         WM_SETTEXT, as typing would change the text
//   dialog_probe acc HWND...
//         each window's accessible object as a screen reader gets it
//         (AccessibleObjectFromWindow, OBJID_CLIENT), itself (child=0) and
//         each child that is a simple element: acc hwnd= child= role=
//         state=0x... children= (the object's count) action= shortcut=; then
//         name hwnd= child= text=... and value hwnd= child= text=... (lines
//         only for what it has)
//   dialog_probe doaction HWND CHILD
//         accDoDefaultAction on a child of the window's object; done=1
//   dialog_probe events HWND MS
//         watches the window's process with an out-of-context
//         SetWinEventHook: ready=1 once watching, then a line for each
//         object event (event=0x... hwnd= object= child=) until MS ms have
//         passed or the window is gone; then end=1
//
// TARGET is a window handle (decimal or 0x hex) or a top-level class name.
#include "ToolOutput.h"

#include <commctrl.h>
#include <oleacc.h>

#include "dialog/OptDlgForm.h"

#include <string>
#include <vector>

namespace {

using e2e::ClassOf;
using e2e::HandleNumber;
using e2e::Line;
using e2e::Linef;
using e2e::OneLine;
using e2e::ResolveTarget;
using e2e::TextOf;

LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 3000, &result);
    return static_cast<LRESULT>(result);
}

void PrintTree(HWND top, HWND parent, int depth)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect{};
        GetWindowRect(child, &rect);
        POINT topLeft{rect.left, rect.top};
        ScreenToClient(top, &topLeft);
        POINT inParent{rect.left, rect.top};
        ScreenToClient(parent, &inParent);
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        const std::wstring cls = ClassOf(child);
        std::wstring extra;
        wchar_t buffer[256];
        if (_wcsicmp(cls.c_str(), L"Button") == 0) {
            swprintf(buffer, 256, L" check=%ld", static_cast<long>(Ask(child, BM_GETCHECK)));
            extra += buffer;
        } else if (cls == TRACKBAR_CLASSW) {
            swprintf(buffer, 256, L" pos=%ld min=%ld max=%ld", static_cast<long>(Ask(child, TBM_GETPOS)),
                     static_cast<long>(Ask(child, TBM_GETRANGEMIN)), static_cast<long>(Ask(child, TBM_GETRANGEMAX)));
            extra += buffer;
        } else if (cls == WC_TABCONTROLW) {
            swprintf(buffer, 256, L" sel=%ld count=%ld", static_cast<long>(Ask(child, TCM_GETCURSEL)),
                     static_cast<long>(Ask(child, TCM_GETITEMCOUNT)));
            extra += buffer;
        }
        Linef(L"ctl hwnd=%lu parent=%lu depth=%d id=%d class=%ls x=%ld y=%ld w=%ld h=%ld px=%ld py=%ld sx=%ld "
              L"sy=%ld visible=%d enabled=%d tabstop=%d%ls text=%ls",
              HandleNumber(child), HandleNumber(parent), depth, GetDlgCtrlID(child), cls.c_str(), topLeft.x,
              topLeft.y, 
              rect.right - rect.left, rect.bottom - rect.top, inParent.x, inParent.y, rect.left, rect.top,
              IsWindowVisible(child) ? 1 : 0,
              IsWindowEnabled(child) ? 1 : 0, (style & WS_TABSTOP) ? 1 : 0, extra.c_str(),
              OneLine(TextOf(child)).c_str());
        if (_wcsicmp(cls.c_str(), L"ListBox") == 0) {
            const LRESULT count = Ask(child, LB_GETCOUNT);
            for (LRESULT i = 0; i < count; ++i) {
                wchar_t text[512] = {};
                if (Ask(child, LB_GETTEXTLEN, static_cast<WPARAM>(i)) < 512)
                    Ask(child, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
                Linef(L"item list=%lu index=%ld data=%ld text=%ls", HandleNumber(child), static_cast<long>(i),
                      static_cast<long>(Ask(child, LB_GETITEMDATA, static_cast<WPARAM>(i))), text);
            }
        }
        PrintTree(top, child, depth + 1);
    }
}

int CmdControls(HWND top)
{
    PrintTree(top, top, 1);
    // The focus belongs to the dialog's thread; ask it through that thread's input state.
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info))
        Linef(L"focus=%lu", HandleNumber(info.hwndFocus));
    return 0;
}

// The text as drawn: "&" marks the accelerator and "&&" shows one "&".
std::wstring WithoutPrefix(const std::wstring& text)
{
    std::wstring shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) ++i;
        shown += text[i];
    }
    return shown;
}

std::wstring FromUtf8(const char* text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

// The font the form gives a control: the link's, or the dialog's.
LOGFONTW FormFont(const std::wstring& text, int dpi)
{
    LOGFONTW font{};
    const bool link = text == FromUtf8(flutt::kHomepageUrl);
    font.lfHeight = -MulDiv(link ? flutt::kLinkFontPixels : flutt::kFormFontPixels, dpi, 96);
    font.lfWeight = link ? FW_BOLD : FW_NORMAL;
    font.lfItalic = link;
    font.lfUnderline = link;
    font.lfCharSet = link ? DEFAULT_CHARSET : SHIFTJIS_CHARSET;
    FromUtf8(link ? flutt::kLinkFontName : flutt::kFormFontName).copy(font.lfFaceName, LF_FACESIZE - 1);
    return font;
}

void PrintTextFit(HWND parent, int dpi)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring cls = ClassOf(child);
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        const wchar_t* kind = nullptr;
        bool prefix = true;
        if (_wcsicmp(cls.c_str(), L"Static") == 0) {
            const LONG type = style & SS_TYPEMASK;
            if (type != SS_ICON && type != SS_BITMAP) kind = L"label";
            prefix = !(style & SS_NOPREFIX);
        } else if (_wcsicmp(cls.c_str(), L"Button") == 0) {
            switch (style & BS_TYPEMASK) {
                case BS_CHECKBOX:
                case BS_AUTOCHECKBOX: kind = L"check"; break;
                case BS_RADIOBUTTON:
                case BS_AUTORADIOBUTTON: kind = L"radio"; break;
                case BS_PUSHBUTTON:
                case BS_DEFPUSHBUTTON: kind = L"push"; break;
                case BS_OWNERDRAW: kind = L"owner"; break;
                default: break;
            }
        }
        if (kind != nullptr) {
            RECT rect{};
            GetWindowRect(child, &rect);
            const std::wstring text = TextOf(child);
            const std::wstring shown = prefix ? WithoutPrefix(text) : text;
            SIZE extent{0, 0};
            bool own = false;
            const HFONT font = reinterpret_cast<HFONT>(Ask(child, WM_GETFONT));
            LOGFONTW logFont{};
            own = font != nullptr && GetObjectW(font, sizeof logFont, &logFont) == sizeof logFont;
            if (!own) logFont = FormFont(text, dpi);
            {
                const HFONT copy = CreateFontIndirectW(&logFont);
                const HDC dc = GetDC(nullptr);
                const HGDIOBJ old = SelectObject(dc, copy);
                GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &extent);
                SelectObject(dc, old);
                ReleaseDC(nullptr, dc);
                DeleteObject(copy);
            }
            Linef(L"fit hwnd=%lu class=%ls kind=%ls w=%ld h=%ld text_w=%ld text_h=%ld font=%ls visible=%d text=%ls",
                  HandleNumber(child), cls.c_str(), kind, rect.right - rect.left, rect.bottom - rect.top, extent.cx,
                  extent.cy, own ? L"own" : L"form", IsWindowVisible(child) ? 1 : 0, OneLine(text).c_str());
        }
        PrintTextFit(child, dpi);
    }
}

int CmdDpiChanged(HWND window, int dpi, const RECT& suggested)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    if (process == nullptr) {
        Line(L"error=cannot open the window's process");
        return 1;
    }
    void* remote = VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    bool sent = false;
    if (remote != nullptr && WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr)) {
        DWORD_PTR result = 0;
        sent = SendMessageTimeoutW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote),
                                   SMTO_ABORTIFHUNG, 10000, &result) != 0;
    }
    if (remote != nullptr) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    Linef(L"sent=%d", sent ? 1 : 0);
    return sent ? 0 : 1;
}

VARIANT ChildId(long child)
{
    VARIANT id;
    VariantInit(&id);
    id.vt = VT_I4;
    id.lVal = child;
    return id;
}

IAccessible* AccessibleOf(HWND window)
{
    IAccessible* object = nullptr;
    const HRESULT got = AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                                   reinterpret_cast<void**>(&object));
    if (FAILED(got) || object == nullptr) {
        Linef(L"error=no accessible object for %lu (0x%08lx)", HandleNumber(window), static_cast<unsigned long>(got));
        return nullptr;
    }
    return object;
}

bool PrintAccessible(HWND window)
{
    IAccessible* object = AccessibleOf(window);
    if (object == nullptr)
        return false;
    long count = 0;
    object->get_accChildCount(&count);
    for (long child = 0; child <= count; ++child) {
        const VARIANT id = ChildId(child);
        VARIANT role, state;
        VariantInit(&role);
        VariantInit(&state);
        if (FAILED(object->get_accRole(id, &role)) || role.vt != VT_I4)
            continue;  // a child window's object of its own, not a simple element
        object->get_accState(id, &state);
        BSTR text[4] = {};  // default action, shortcut, name, value
        object->get_accDefaultAction(id, &text[0]);
        object->get_accKeyboardShortcut(id, &text[1]);
        object->get_accName(id, &text[2]);
        object->get_accValue(id, &text[3]);
        Linef(L"acc hwnd=%lu child=%ld role=%ld state=0x%lx children=%ld action=%ls shortcut=%ls",
              HandleNumber(window), child, role.lVal, state.vt == VT_I4 ? static_cast<unsigned long>(state.lVal) : 0UL,
              child == 0 ? count : 0L, text[0] ? text[0] : L"", text[1] ? text[1] : L"");
        if (text[2] != nullptr)
            Linef(L"name hwnd=%lu child=%ld text=%ls", HandleNumber(window), child, OneLine(text[2]).c_str());
        if (text[3] != nullptr)
            Linef(L"value hwnd=%lu child=%ld text=%ls", HandleNumber(window), child, OneLine(text[3]).c_str());
        for (BSTR t : text)
            SysFreeString(t);
    }
    object->Release();
    return true;
}

int CmdDoAction(HWND window, long child)
{
    IAccessible* object = AccessibleOf(window);
    const bool done = object != nullptr && object->accDoDefaultAction(ChildId(child)) == S_OK;
    if (object != nullptr)
        object->Release();
    Linef(L"done=%d", done ? 1 : 0);
    return done ? 0 : 1;
}

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    if (event >= EVENT_OBJECT_CREATE && event <= EVENT_OBJECT_END)
        Linef(L"event=0x%04lx hwnd=%lu object=%ld child=%ld", static_cast<unsigned long>(event), HandleNumber(window),
              static_cast<long>(object), static_cast<long>(child));
}

int CmdEvents(HWND window, DWORD milliseconds)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_END, nullptr, &OnEvent, process, 0,
                                               WINEVENT_OUTOFCONTEXT);
    if (hook == nullptr) {
        Line(L"error=SetWinEventHook failed");
        return 1;
    }
    Line(L"ready=1");
    const DWORD start = GetTickCount();
    while (IsWindow(window) && GetTickCount() - start < milliseconds) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    UnhookWinEvent(hook);
    Line(L"end=1");
    return 0;
}

int CmdClient(HWND top)
{
    RECT client{};
    GetClientRect(top, &client);
    POINT origin{0, 0};
    ClientToScreen(top, &origin);
    Linef(L"client=%ldx%ld", client.right, client.bottom);
    Linef(L"origin=%ld,%ld", origin.x, origin.y);
    return 0;
}

int Run(int argc, wchar_t** argv)
{
    if (argv == nullptr || argc < 3) {
        Line(L"error=usage: dialog_probe controls|client|textfit TARGET | settext HWND TEXT");
        return 2;
    }
    const std::wstring command = argv[1];
    const HWND target = ResolveTarget(argv[2]);
    if (target == nullptr || !IsWindow(target)) {
        Line(L"hwnd=none");
        return 1;
    }
    if (command == L"controls")
        return CmdControls(target);
    if (command == L"client")
        return CmdClient(target);
    if (command == L"acc") {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        bool all = true;
        for (int i = 2; i < argc; ++i)
            all = PrintAccessible(ResolveTarget(argv[i])) && all;
        CoUninitialize();
        return all ? 0 : 1;
    }
    if (command == L"doaction" && argc == 4) {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        const int result = CmdDoAction(target, _wtol(argv[3]));
        CoUninitialize();
        return result;
    }
    if (command == L"events" && argc == 4)
        return CmdEvents(target, static_cast<DWORD>(_wtol(argv[3])));
    if (command == L"textfit" && argc == 4) {
        PrintTextFit(target, _wtoi(argv[3]));
        return 0;
    }
    if (command == L"dpichanged" && argc == 8) {
        const RECT suggested{_wtoi(argv[4]), _wtoi(argv[5]), _wtoi(argv[6]), _wtoi(argv[7])};
        return CmdDpiChanged(target, _wtoi(argv[3]), suggested);
    }
    if (command == L"settext" && argc == 4) {
        DWORD_PTR result = 0;
        const bool sent = SendMessageTimeoutW(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]),
                                              SMTO_ABORTIFHUNG, 3000, &result) != 0;
        Linef(L"sent=%d", sent ? 1 : 0);
        return sent ? 0 : 1;
    }
    Linef(L"error=unknown command %ls", command.c_str());
    return 2;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    return e2e::RunOrServe(&Run);
}
