// probe: looks at and pokes the saver's windows from outside, for the
// end-to-end tests. One command per run, or many from a script through
// "serve" (ToolOutput.h); results as key=value lines (UTF-8).
//
//   probe find CLASS [--title T] [--hidden] [--timeout MS]
//         waits for a top-level window of CLASS (visible unless --hidden);
//         prints hwnd=N, or hwnd=none and exits 1 after the time limit
//   probe watch CLASS [--wait-for CLASS2] [--timeout MS]
//         listens for the creation of a window of CLASS by any process:
//         prints ready=1 once it listens, then hwnd=N and created_ms= (when
//         the window was made, Unix ms), or hwnd=none after the time limit;
//         then waits for a visible window of CLASS2: shown=N and shown_ms=
//   probe gone CLASS [--timeout MS]
//         waits until no top-level window of CLASS is left; gone=1 or gone=0
//   probe info TARGET          position, size, styles, parent, owner, process,
//                              the next window below it in z-order
//   probe children TARGET      one line per direct child window
//   probe post TARGET MSG WPARAM LPARAM [...]   PostMessageW
//   probe send TARGET MSG WPARAM LPARAM [...]   SendMessageTimeoutW, prints result=, at_ms=
//         (more messages: four more arguments each, sent in turn, a line each),
//         then done_ms= (Unix ms); --wait-for CLASS first prints waiting=1 and
//         waits up to a minute for a visible window of CLASS (a probe started
//         before the program whose window it is)
//   probe msgbox [--timeout MS] [--press]
//         waits for a message box; prints caption, text, owner and buttons;
//         --press presses its OK button and waits for the box to go
//   probe wait-pid PID [--timeout MS]
//         waits for a process to end; state=exited with exit=N (signed),
//         state=running after the time limit, or state=gone when no such
//         process could be opened
//   probe cover TARGET X Y W H MS
//         shows a top-most magenta window over that rectangle of the screen
//         for MS ms (prints shown=1 once it is painted), then destroys it and
//         has TARGET repaint the part it uncovered, erasing it first, as
//         Windows does without desktop composition; prints gone=1
//   probe reg SUBKEY [VALUE]   a key under HKEY_CURRENT_USER: key=missing or
//         key=present with values=, subkeys=, subkey= lines; with VALUE its
//         type=, bytes= (raw size, UTF-16 with its NUL) and text=
//   probe values SUBKEY   every value of a key under HKEY_CURRENT_USER:
//         key=missing, or key=present and one line v:NAME=DATA a value, DATA
//         as a .reg file writes it ("text" with \\, \" and \n escaped,
//         dword:0000002a, hex(N):01,02 for other types), then end=N values
//   probe reg-delete SUBKEY   deletes a key under HKEY_CURRENT_USER with all
//         it holds: deleted=1, or key=missing when there was none
//   probe reg-set SUBKEY NAME=TEXT...   creates the key and stores REG_SZ
//         values (NAME=dword:HEX stores a DWORD); prints set=N
//   A registry read that fails for another reason than a missing key or
//   value prints error= with the system's error code.
//   probe foreground [--wait-for CLASS] [--timeout MS]
//         another program taking the foreground: shows a window, makes it the
//         foreground window (foreground=1 when it is, foreground_ms= when),
//         then counts the keys it receives for MS ms and prints keys=N;
//         --wait-for first waits up to a minute for a visible window of
//         CLASS (waiting=1)
//   probe desktop
//         stands in for the desktop, as a program of its own: a window over
//         the whole virtual screen painted with a known pattern, r = x & 255,
//         g = y & 255, b = (x ^ y) & 255 (x, y: screen coordinates); prints
//         hwnd=N once it is painted and runs until the window is closed
//   probe monitors   one line per monitor: monitor=left,top,right,bottom primary=0|1
//   probe dpi TARGET  how Windows scales a window: window_dpi= (GetDpiForWindow),
//         awareness= of its DPI awareness context (0 unaware, 1 system, 2 per
//         monitor; v2=1 when it is per-monitor version 2), system_dpi=
//         (GetDpiForSystem), and size= of its window rectangle
//   probe display-size W H   changes the primary display's mode to W x H
//         (ChangeDisplaySettingsExW); result= its answer (0 is done)
//
// TARGET is a window handle (decimal or 0x hex) or a class name (the first
// top-level window of that class). Numbers may be decimal or 0x hex.
#include "ToolOutput.h"

#include <string>
#include <vector>

namespace {

using e2e::ClassOf;
using e2e::HandleNumber;
using e2e::Line;
using e2e::Linef;
using e2e::OneLine;
using e2e::ParseNumber;
using e2e::ResolveTarget;
using e2e::TextOf;

struct Options {
    std::vector<std::wstring> positional;
    std::wstring title;
    bool hasTitle = false;
    bool hidden = false;
    bool press = false;
    std::wstring waitFor;  // a window class to wait for first
    DWORD timeoutMs = 10000;
};

bool ParseOptions(int argc, wchar_t** argv, int first, Options& options)
{
    for (int i = first; i < argc; ++i) {
        const std::wstring arg = argv[i];
        unsigned long long number = 0;
        if (arg == L"--title" && i + 1 < argc) {
            options.title = argv[++i];
            options.hasTitle = true;
        } else if (arg == L"--hidden") {
            options.hidden = true;
        } else if (arg == L"--wait-for" && i + 1 < argc) {
            options.waitFor = argv[++i];
        } else if (arg == L"--press") {
            options.press = true;
        } else if (arg == L"--timeout" && i + 1 < argc && ParseNumber(argv[i + 1], number)) {
            options.timeoutMs = static_cast<DWORD>(number);
            ++i;
        } else if (arg.rfind(L"--", 0) == 0) {
            Linef(L"error=unknown option %ls", arg.c_str());
            return false;
        } else {
            options.positional.push_back(arg);
        }
    }
    return true;
}

struct Search {
    std::wstring className;
    const Options* options;
    HWND found = nullptr;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<Search*>(context);
    if (ClassOf(window) != search->className)
        return TRUE;
    if (!search->options->hidden && !IsWindowVisible(window))
        return TRUE;
    if (search->options->hasTitle) {
        wchar_t title[1024] = {};
        GetWindowTextW(window, title, 1024);
        if (search->options->title != title)
            return TRUE;
    }
    search->found = window;
    return FALSE;
}

HWND FindTopLevel(const std::wstring& className, const Options& options)
{
    Search search{className, &options};
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The wall clock in Unix milliseconds, as the test scripts read it.
unsigned long long UnixNowMs()
{
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const unsigned long long ticks = static_cast<unsigned long long>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
    return (ticks - 116444736000000000ULL) / 10000;
}

// Polls until found() gives true or the time limit passes.
template <typename Condition>
bool WaitFor(DWORD timeoutMs, Condition found)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (found())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(25);
    }
}

void PrintWindow(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    const LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    const HWND parent = (style & WS_CHILD) ? GetAncestor(window, GA_PARENT) : nullptr;
    const HWND owner = GetWindow(window, GW_OWNER);
    Linef(L"hwnd=%lu", HandleNumber(window));
    Linef(L"class=%ls", ClassOf(window).c_str());
    Linef(L"title=%ls", OneLine(TextOf(window)).c_str());
    Linef(L"pid=%lu", pid);
    Linef(L"rect=%ld,%ld,%ld,%ld", rect.left, rect.top, rect.right, rect.bottom);
    Linef(L"size=%ldx%ld", rect.right - rect.left, rect.bottom - rect.top);
    Linef(L"style=0x%08lX", static_cast<unsigned long>(style));
    Linef(L"exstyle=0x%08lX", static_cast<unsigned long>(exStyle));
    Linef(L"topmost=%d", (exStyle & WS_EX_TOPMOST) ? 1 : 0);
    Linef(L"visible=%d", IsWindowVisible(window) ? 1 : 0);
    Linef(L"parent=%lu", HandleNumber(parent));
    Linef(L"parent_class=%ls", ClassOf(parent).c_str());
    Linef(L"owner=%lu", HandleNumber(owner));
    Linef(L"owner_class=%ls", ClassOf(owner).c_str());
    Linef(L"below=%lu", HandleNumber(GetWindow(window, GW_HWNDNEXT)));
}

int CmdFind(const Options& options, bool waitGone)
{
    if (options.positional.size() != 2) {
        Line(L"error=usage: find|gone CLASS [--title T] [--hidden] [--timeout MS]");
        return 2;
    }
    const std::wstring& className = options.positional[1];
    HWND found = nullptr;
    if (waitGone) {
        const bool gone = WaitFor(options.timeoutMs, [&] { return FindTopLevel(className, options) == nullptr; });
        Linef(L"gone=%d", gone ? 1 : 0);
        return gone ? 0 : 1;
    }
    if (!WaitFor(options.timeoutMs, [&] { return (found = FindTopLevel(className, options)) != nullptr; })) {
        Line(L"hwnd=none");
        return 1;
    }
    Linef(L"hwnd=%lu", HandleNumber(found));
    return 0;
}

// The window a watch waits for, and when it was made (GetTickCount's clock).
struct Watch {
    std::wstring className;
    HWND found = nullptr;
    DWORD createdTick = 0;
} g_watch;

void CALLBACK WindowCreated(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD eventTick)
{
    if (g_watch.found == nullptr && object == OBJID_WINDOW && window != nullptr &&
        ClassOf(window) == g_watch.className) {
        g_watch.found = window;
        g_watch.createdTick = eventTick;
    }
}

int CmdWatch(const Options& options)
{
    if (options.positional.size() != 2) {
        Line(L"error=usage: watch CLASS [--timeout MS]");
        return 2;
    }
    g_watch.className = options.positional[1];
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, WindowCreated,
                                               0, 0, WINEVENT_OUTOFCONTEXT);
    if (hook == nullptr) {
        Linef(L"error=SetWinEventHook failed (%lu)", GetLastError());
        return 1;
    }
    Line(L"ready=1");
    const DWORD start = GetTickCount();
    while (g_watch.found == nullptr && GetTickCount() - start < options.timeoutMs) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 25, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    UnhookWinEvent(hook);
    if (g_watch.found == nullptr) {
        Line(L"hwnd=none");
        return 1;
    }
    Linef(L"hwnd=%lu", HandleNumber(g_watch.found));
    // The event's tick, moved onto the wall clock the test scripts use.
    Linef(L"created_ms=%llu", UnixNowMs() - (GetTickCount() - g_watch.createdTick));
    if (options.waitFor.empty())
        return 0;
    HWND shown = nullptr;
    if (!WaitFor(options.timeoutMs, [&] { return (shown = FindTopLevel(options.waitFor, options)) != nullptr; })) {
        Line(L"shown=none");
        return 1;
    }
    Linef(L"shown=%lu", HandleNumber(shown));
    Linef(L"shown_ms=%llu", UnixNowMs());
    return 0;
}

int CmdInfo(const Options& options)
{
    if (options.positional.size() != 2) {
        Line(L"error=usage: info TARGET");
        return 2;
    }
    const HWND window = ResolveTarget(options.positional[1].c_str());
    if (window == nullptr || !IsWindow(window)) {
        Line(L"hwnd=none");
        return 1;
    }
    PrintWindow(window);
    return 0;
}

int CmdChildren(const Options& options)
{
    if (options.positional.size() != 2) {
        Line(L"error=usage: children TARGET");
        return 2;
    }
    const HWND window = ResolveTarget(options.positional[1].c_str());
    if (window == nullptr || !IsWindow(window)) {
        Line(L"hwnd=none");
        return 1;
    }
    int count = 0;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect{};
        GetWindowRect(child, &rect);
        POINT topLeft{rect.left, rect.top};
        ScreenToClient(window, &topLeft);
        Linef(L"child hwnd=%lu class=%ls x=%ld y=%ld w=%ld h=%ld visible=%d style=0x%08lX",
              HandleNumber(child), ClassOf(child).c_str(), topLeft.x, topLeft.y,
              rect.right - rect.left, rect.bottom - rect.top, IsWindowVisible(child) ? 1 : 0,
              static_cast<unsigned long>(GetWindowLongW(child, GWL_STYLE)));
        ++count;
    }
    Linef(L"children=%d", count);
    return 0;
}

// --wait-for CLASS: a probe started before the program whose window it acts
// on first says so (waiting=1), then waits up to a minute for the window to
// show; false (hwnd=none printed) when it never did.
bool WaitForWindowFirst(const Options& options)
{
    if (options.waitFor.empty())
        return true;
    Line(L"waiting=1");
    if (WaitFor(60000, [&] { return FindTopLevel(options.waitFor, options) != nullptr; }))
        return true;
    Line(L"hwnd=none");
    return false;
}

int CmdMessage(const Options& options, bool send)
{
    const std::vector<std::wstring>& args = options.positional;
    if (args.size() < 5 || (args.size() - 1) % 4 != 0) {
        Line(L"error=usage: post|send TARGET MSG WPARAM LPARAM [TARGET MSG WPARAM LPARAM]...");
        return 2;
    }
    if (!WaitForWindowFirst(options))
        return 1;
    // One message after the other, each one's line printed before the next.
    for (std::size_t at = 1; at < args.size(); at += 4) {
        unsigned long long message = 0, wParam = 0, lParam = 0;
        if (!ParseNumber(args[at + 1].c_str(), message) || !ParseNumber(args[at + 2].c_str(), wParam) ||
            !ParseNumber(args[at + 3].c_str(), lParam)) {
            Line(L"error=usage: post|send TARGET MSG WPARAM LPARAM [TARGET MSG WPARAM LPARAM]...");
            return 2;
        }
        const HWND window = ResolveTarget(args[at].c_str());
        if (window == nullptr || !IsWindow(window)) {
            Line(L"hwnd=none");
            return 1;
        }
        if (send) {
            DWORD_PTR result = 0;
            const LRESULT ok = SendMessageTimeoutW(window, static_cast<UINT>(message), static_cast<WPARAM>(wParam),
                                                   static_cast<LPARAM>(lParam), SMTO_NORMAL, options.timeoutMs,
                                                   &result);
            if (!ok) {
                Linef(L"sent=0 error=%lu", GetLastError());
                return 1;
            }
            Linef(L"sent=1 result=%lld at_ms=%llu", static_cast<long long>(static_cast<LONG_PTR>(result)),
                  UnixNowMs());
        } else if (PostMessageW(window, static_cast<UINT>(message), static_cast<WPARAM>(wParam),
                                static_cast<LPARAM>(lParam))) {
            Line(L"posted=1");
        } else {
            Linef(L"posted=0 error=%lu", GetLastError());
            return 1;
        }
    }
    Linef(L"done_ms=%llu", UnixNowMs());
    return 0;
}

int CmdMsgBox(const Options& options)
{
    Options anyBox = options;
    anyBox.hidden = false;
    anyBox.hasTitle = false;
    HWND box = nullptr;
    if (!WaitFor(options.timeoutMs, [&] { return (box = FindTopLevel(L"#32770", anyBox)) != nullptr; })) {
        Line(L"msgbox=none");
        return 1;
    }
    Sleep(100);  // let the box finish laying out its controls
    const HWND owner = GetWindow(box, GW_OWNER);
    DWORD pid = 0;
    GetWindowThreadProcessId(box, &pid);
    Linef(L"msgbox=%lu", HandleNumber(box));
    Linef(L"pid=%lu", pid);
    Linef(L"caption=%ls", OneLine(TextOf(box)).c_str());
    Linef(L"owner_class=%ls", ClassOf(owner).c_str());
    Linef(L"owner_title=%ls", OneLine(TextOf(owner)).c_str());
    std::wstring buttons;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring cls = ClassOf(child);
        const std::wstring text = TextOf(child);
        if (_wcsicmp(cls.c_str(), L"Button") == 0 && IsWindowVisible(child)) {
            if (!buttons.empty())
                buttons += L",";
            buttons += text;
        } else if (_wcsicmp(cls.c_str(), L"Static") == 0 && !text.empty() &&
                   (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
            Linef(L"text=%ls", OneLine(text).c_str());
        }
    }
    Linef(L"buttons=%ls", buttons.c_str());
    if (options.press) {
        const HWND ok = GetDlgItem(box, IDOK);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
        const bool gone = WaitFor(5000, [&] { return !IsWindow(box) || !IsWindowVisible(box); });
        Linef(L"pressed=%d", gone ? 1 : 0);
        return gone ? 0 : 1;
    }
    return 0;
}

int CmdWaitPid(const Options& options)
{
    unsigned long long pid = 0;
    if (options.positional.size() != 2 || !ParseNumber(options.positional[1].c_str(), pid)) {
        Line(L"error=usage: wait-pid PID [--timeout MS]");
        return 2;
    }
    const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                       static_cast<DWORD>(pid));
    if (process == nullptr) {
        Line(L"state=gone");
        return 0;
    }
    Line(L"watching=1");
    const DWORD waited = WaitForSingleObject(process, options.timeoutMs);
    if (waited == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(process, &code);
        Line(L"state=exited");
        Linef(L"exit=%ld", static_cast<long>(code));
    } else {
        Line(L"state=running");
    }
    CloseHandle(process);
    return 0;
}

LRESULT CALLBACK CoverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND) {
        RECT area{};
        GetClientRect(window, &area);
        const HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
        FillRect(reinterpret_cast<HDC>(wParam), &area, magenta);
        DeleteObject(magenta);
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void PumpFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        Sleep(10);
    } while (GetTickCount() - start < ms);
}

// The keys that reached the foreground window of `probe foreground`.
int g_keys = 0;

LRESULT CALLBACK ForegroundProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
        ++g_keys;
    return DefWindowProcW(window, message, wParam, lParam);
}

int CmdForeground(const Options& options)
{
    if (!WaitForWindowFirst(options))
        return 1;
    WNDCLASSW wc{};
    wc.lpfnWndProc = ForegroundProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ProbeForeground";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassW(&wc);
    const HWND window = CreateWindowExW(0, wc.lpszClassName, L"another program", WS_POPUP, 100, 100, 320, 200,
                                        nullptr, nullptr, wc.hInstance, nullptr);
    if (window == nullptr) {
        Linef(L"error=CreateWindowExW %lu", GetLastError());
        return 1;
    }
    // One taking of the foreground: shown without activation first, as
    // showing would take it once already.
    ShowWindow(window, SW_SHOWNOACTIVATE);
    Linef(L"taken=%d", SetForegroundWindow(window) ? 1 : 0);
    Linef(L"foreground=%d", GetForegroundWindow() == window ? 1 : 0);
    Linef(L"foreground_ms=%llu", UnixNowMs());
    PumpFor(options.timeoutMs);
    Linef(L"keys=%d", g_keys);
    DestroyWindow(window);
    return 0;
}

int CmdCover(const Options& options)
{
    unsigned long long v[5] = {};
    if (options.positional.size() != 7) {
        Line(L"error=usage: cover TARGET X Y W H MS");
        return 2;
    }
    for (int i = 0; i < 5; ++i) {
        if (!ParseNumber(options.positional[std::size_t(i) + 2].c_str(), v[i])) {
            Line(L"error=usage: cover TARGET X Y W H MS");
            return 2;
        }
    }
    const HWND target = ResolveTarget(options.positional[1].c_str());
    if (!target) {
        Line(L"hwnd=none");
        return 1;
    }
    WNDCLASSW wc{};
    wc.lpfnWndProc = CoverProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"E2ECover";
    RegisterClassW(&wc);
    HWND cover = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, wc.lpszClassName, L"cover", WS_POPUP,
                                 int(v[0]), int(v[1]), int(v[2]), int(v[3]), nullptr, nullptr, wc.hInstance, nullptr);
    if (!cover) {
        Linef(L"error=CreateWindowExW %lu", GetLastError());
        return 1;
    }
    ShowWindow(cover, SW_SHOWNOACTIVATE);
    UpdateWindow(cover);
    PumpFor(200);
    Line(L"shown=1");
    PumpFor(static_cast<DWORD>(v[4]));
    DestroyWindow(cover);
    // Wine keeps a covered window's pixels and puts them back by itself;
    // Windows without desktop composition has the window repaint instead.
    RECT uncovered = {int(v[0]), int(v[1]), int(v[0] + v[2]), int(v[1] + v[3])};
    MapWindowPoints(nullptr, target, reinterpret_cast<POINT*>(&uncovered), 2);
    RedrawWindow(target, &uncovered, nullptr, RDW_INVALIDATE | RDW_ERASE);
    PumpFor(100);
    Line(L"gone=1");
    return 0;
}

// Opens a key under HKEY_CURRENT_USER for reading and prints key=present; a
// missing key prints key=missing and leaves `key` null. False, with error=,
// when the key could not be read.
bool OpenUserKey(const std::wstring& path, HKEY& key)
{
    key = nullptr;
    const LONG result = RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key);
    if (result == ERROR_FILE_NOT_FOUND) {
        Line(L"key=missing");
        return true;
    }
    if (result != ERROR_SUCCESS) {
        Linef(L"error=RegOpenKeyExW %ld", result);
        key = nullptr;
        return false;
    }
    Line(L"key=present");
    return true;
}

// A value's data as a .reg file (regedit's export) writes it.
std::wstring RegFileData(DWORD type, const std::vector<BYTE>& data, DWORD bytes)
{
    if (type == REG_SZ) {
        std::wstring text = L"\"";
        for (const wchar_t* c = reinterpret_cast<const wchar_t*>(data.data()); *c != L'\0'; ++c) {
            if (*c == L'\n') {
                text += L"\\n";
                continue;
            }
            if (*c == L'\\' || *c == L'"')
                text += L'\\';
            text += *c;
        }
        return text + L"\"";
    }
    wchar_t buffer[32];
    if (type == REG_DWORD && bytes == 4) {
        std::swprintf(buffer, 32, L"dword:%08lx", *reinterpret_cast<const DWORD*>(data.data()));
        return buffer;
    }
    std::wstring text = type == REG_BINARY ? L"hex:" : L"hex(" + std::to_wstring(type) + L"):";
    for (DWORD i = 0; i < bytes; ++i) {
        std::swprintf(buffer, 32, i == 0 ? L"%02x" : L",%02x", data[i]);
        text += buffer;
    }
    return text;
}

int CmdValues(const Options& options)
{
    if (options.positional.size() != 2) {
        Line(L"error=usage: values SUBKEY");
        return 2;
    }
    HKEY key = nullptr;
    if (!OpenUserKey(options.positional[1], key))
        return 1;
    if (key == nullptr)
        return 0;
    int count = 0;
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameLength = 16384, type = 0, bytes = 0;
        LONG result = RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &bytes);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        std::vector<BYTE> data(bytes + 2 * sizeof(wchar_t), 0);
        if (result == ERROR_SUCCESS) {
            nameLength = 16384;
            result = RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data.data(), &bytes);
        }
        if (result != ERROR_SUCCESS) {
            Linef(L"error=RegEnumValueW %ld at value %lu", result, i);
            RegCloseKey(key);
            return 1;
        }
        Line(L"v:" + std::wstring(name, nameLength) + L"=" + RegFileData(type, data, bytes));
        ++count;
    }
    RegCloseKey(key);
    Linef(L"end=%d", count);
    return 0;
}

int CmdRegDelete(const Options& options)
{
    if (options.positional.size() != 2) {
        Line(L"error=usage: reg-delete SUBKEY");
        return 2;
    }
    const LONG result = RegDeleteTreeW(HKEY_CURRENT_USER, options.positional[1].c_str());
    if (result == ERROR_FILE_NOT_FOUND) {
        Line(L"key=missing");
        return 0;
    }
    if (result != ERROR_SUCCESS) {
        Linef(L"error=RegDeleteTreeW %ld", result);
        return 1;
    }
    Line(L"deleted=1");
    return 0;
}

int CmdRegSet(const Options& options)
{
    if (options.positional.size() < 3) {
        Line(L"error=usage: reg-set SUBKEY NAME=TEXT...");
        return 2;
    }
    HKEY key = nullptr;
    LONG result = RegCreateKeyExW(HKEY_CURRENT_USER, options.positional[1].c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) {
        Linef(L"error=RegCreateKeyExW %ld", result);
        return 1;
    }
    int count = 0;
    for (size_t i = 2; i < options.positional.size() && result == ERROR_SUCCESS; ++i) {
        const std::wstring& pair = options.positional[i];
        const size_t equals = pair.find(L'=');
        if (equals == std::wstring::npos) {
            Linef(L"error=not NAME=TEXT: %ls", pair.c_str());
            RegCloseKey(key);
            return 2;
        }
        const std::wstring name = pair.substr(0, equals), data = pair.substr(equals + 1);
        unsigned long long number = 0;
        if (data.rfind(L"dword:", 0) == 0 && ParseNumber((L"0x" + data.substr(6)).c_str(), number)) {
            const DWORD value = static_cast<DWORD>(number);
            result = RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
        } else {
            result = RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                    static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
        }
        if (result == ERROR_SUCCESS)
            ++count;
        else
            Linef(L"error=RegSetValueExW %ls: %ld", name.c_str(), result);
    }
    RegCloseKey(key);
    Linef(L"set=%d", count);
    return result == ERROR_SUCCESS ? 0 : 1;
}

int CmdReg(const Options& options)
{
    if (options.positional.size() != 2 && options.positional.size() != 3) {
        Line(L"error=usage: reg SUBKEY [VALUE]");
        return 2;
    }
    HKEY key = nullptr;
    if (!OpenUserKey(options.positional[1], key))
        return 1;
    if (key == nullptr)
        return 0;
    if (options.positional.size() == 3) {
        DWORD type = 0, bytes = 0;
        const wchar_t* name = options.positional[2].c_str();
        LONG result = RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes);
        std::vector<BYTE> data(bytes + sizeof(wchar_t), 0);
        if (result == ERROR_SUCCESS)
            result = RegQueryValueExW(key, name, nullptr, &type, data.data(), &bytes);
        if (result == ERROR_FILE_NOT_FOUND) {
            Line(L"value=missing");
        } else if (result != ERROR_SUCCESS) {
            Linef(L"error=RegQueryValueExW %ld", result);
            RegCloseKey(key);
            return 1;
        } else {
            Line(L"value=present");
            Linef(L"type=%lu", type);
            Linef(L"bytes=%lu", bytes);
            if (type == REG_SZ || type == REG_EXPAND_SZ)
                Linef(L"text=%ls", OneLine(reinterpret_cast<const wchar_t*>(data.data())).c_str());
            else if (type == REG_DWORD && bytes == 4)
                Linef(L"dword=%lu", *reinterpret_cast<const DWORD*>(data.data()));
        }
    } else {
        DWORD subkeys = 0, values = 0;
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                         nullptr, nullptr, nullptr);
        Linef(L"values=%lu", values);
        Linef(L"subkeys=%lu", subkeys);
        for (DWORD i = 0; i < subkeys; ++i) {
            wchar_t name[256] = {};
            DWORD length = 256;
            if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
                Linef(L"subkey=%ls", name);
        }
    }
    RegCloseKey(key);
    return 0;
}

LRESULT CALLBACK DesktopProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        RECT rect{};
        GetWindowRect(window, &rect);
        const int w = rect.right - rect.left, h = rect.bottom - rect.top;
        std::vector<DWORD> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const int sx = x + rect.left, sy = y + rect.top;
                pixels[static_cast<size_t>(y) * w + x] = static_cast<DWORD>((sx & 255) << 16 | (sy & 255) << 8 | ((sx ^ sy) & 255));
            }
        }
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(dc, 0, 0, w, h, 0, 0, 0, h, pixels.data(), &info, DIB_RGB_COLORS);
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int CmdDesktop()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = DesktopProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"E2EDesktop";
    RegisterClassW(&wc);
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"desktop", WS_POPUP | WS_VISIBLE, left,
                                        top, GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                        GetSystemMetrics(SM_CYVIRTUALSCREEN), nullptr, nullptr, wc.hInstance, nullptr);
    if (window == nullptr) {
        Linef(L"error=CreateWindowExW failed, %lu", GetLastError());
        return 1;
    }
    UpdateWindow(window);
    GdiFlush();
    Linef(L"hwnd=%lu", HandleNumber(window));
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}

BOOL CALLBACK PrintMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        const RECT& r = info.rcMonitor;
        Linef(L"monitor=%ld,%ld,%ld,%ld primary=%d", r.left, r.top, r.right, r.bottom,
              (info.dwFlags & MONITORINFOF_PRIMARY) ? 1 : 0);
    }
    return TRUE;
}

int CmdMonitors()
{
    EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, 0);
    return 0;
}

int CmdDpi(const Options& options)
{
    if (options.positional.size() < 2) {
        Line(L"error=usage: probe dpi TARGET");
        return 2;
    }
    const HWND window = ResolveTarget(options.positional[1].c_str());
    if (window == nullptr) {
        Line(L"error=no such window");
        return 1;
    }
    // Windows 10 1607's functions, looked up: the probe's own headers target Windows 7.
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const auto find = [user32](const char* name) {
        return reinterpret_cast<void*>(GetProcAddress(user32, name));
    };
    using DpiForWindow = UINT(WINAPI*)(HWND);
    using DpiForSystem = UINT(WINAPI*)();
    using WindowContext = HANDLE(WINAPI*)(HWND);
    using AwarenessOf = int(WINAPI*)(HANDLE);
    using ContextsEqual = BOOL(WINAPI*)(HANDLE, HANDLE);
    const auto dpiForWindow = reinterpret_cast<DpiForWindow>(find("GetDpiForWindow"));
    const auto dpiForSystem = reinterpret_cast<DpiForSystem>(find("GetDpiForSystem"));
    const auto windowContext = reinterpret_cast<WindowContext>(find("GetWindowDpiAwarenessContext"));
    const auto awarenessOf = reinterpret_cast<AwarenessOf>(find("GetAwarenessFromDpiAwarenessContext"));
    const auto contextsEqual = reinterpret_cast<ContextsEqual>(find("AreDpiAwarenessContextsEqual"));
    if (!dpiForWindow || !dpiForSystem || !windowContext || !awarenessOf || !contextsEqual) {
        Line(L"error=no per-monitor DPI functions");
        return 1;
    }
    const HANDLE context = windowContext(window);
    const HANDLE perMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
    RECT r{};
    GetWindowRect(window, &r);
    Linef(L"window_dpi=%u", dpiForWindow(window));
    Linef(L"awareness=%d", awarenessOf(context));
    Linef(L"v2=%d", contextsEqual(context, perMonitorV2) ? 1 : 0);
    Linef(L"system_dpi=%u", dpiForSystem());
    Linef(L"size=%ldx%ld", r.right - r.left, r.bottom - r.top);
    return 0;
}

int CmdDisplaySize(const Options& options)
{
    unsigned long long width = 0, height = 0;
    if (options.positional.size() != 3 || !ParseNumber(options.positional[1].c_str(), width) ||
        !ParseNumber(options.positional[2].c_str(), height)) {
        Line(L"error=usage: probe display-size W H");
        return 2;
    }
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    const LONG result = ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr);
    Linef(L"result=%ld", result);
    return result == DISP_CHANGE_SUCCESSFUL ? 0 : 1;
}

int Run(int argc, wchar_t** argv)
{
    Options options;
    if (argv == nullptr || argc < 2 || !ParseOptions(argc, argv, 1, options) || options.positional.empty()) {
        Line(L"error=usage: probe find|watch|gone|info|children|post|send|msgbox|wait-pid|reg|values|reg-delete|reg-set|cover|foreground|desktop|monitors|dpi|display-size ...");
        return 2;
    }
    const std::wstring& command = options.positional[0];
    if (command == L"find")
        return CmdFind(options, false);
    if (command == L"gone")
        return CmdFind(options, true);
    if (command == L"watch")
        return CmdWatch(options);
    if (command == L"info")
        return CmdInfo(options);
    if (command == L"children")
        return CmdChildren(options);
    if (command == L"post")
        return CmdMessage(options, false);
    if (command == L"send")
        return CmdMessage(options, true);
    if (command == L"msgbox")
        return CmdMsgBox(options);
    if (command == L"wait-pid")
        return CmdWaitPid(options);
    if (command == L"reg")
        return CmdReg(options);
    if (command == L"values")
        return CmdValues(options);
    if (command == L"reg-delete")
        return CmdRegDelete(options);
    if (command == L"reg-set")
        return CmdRegSet(options);
    if (command == L"cover")
        return CmdCover(options);
    if (command == L"foreground")
        return CmdForeground(options);
    if (command == L"desktop")
        return CmdDesktop();
    if (command == L"monitors")
        return CmdMonitors();
    if (command == L"dpi")
        return CmdDpi(options);
    if (command == L"display-size")
        return CmdDisplaySize(options);
    Linef(L"error=unknown command %ls", command.c_str());
    return 2;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    return e2e::RunOrServe(&Run);
}
