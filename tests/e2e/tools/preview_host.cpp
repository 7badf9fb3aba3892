// preview_host: stands in for the Display control panel in the end-to-end
// tests. It makes a frame window with a small preview area (a child window,
// 152 x 112 unless told otherwise), starts the saver with "/p <area>" the way
// the control panel does, and reports on stdout (UTF-8, key=value lines):
//
//   host=N area=N                the frame and the preview area
//   saver_pid=N                  the started saver process
//   child=N class=C parent=N parent_is_area=0|1 x= y= w= h= style=0x.. exstyle=0x.. pid=N
//                                the saver's window in the area, once it is
//                                there and visible (or 5 s after it appeared)
//   ready=1 at_ms=N              after the first child= line; N counts from
//                                the saver's start (also on sent_close=,
//                                destroyed=)
//   saver_exit=N                 when the saver process ends (signed exit code),
//                                then the host ends too
//   saver_exit=timeout           the saver still ran at the time limit
//
// Usage: preview_host SAVER_PATH [--size W H] [--do ACTION] [--after MS] [--timeout MS]
//
// ACTION is done MS milliseconds (default 0) after the saver's window appeared:
//   close    post WM_CLOSE to the saver's window
//   destroy  DestroyWindow the frame (the area and the saver's window go with it)
//   exit     end the host at once without destroying anything
//   report   print the child= line again
// Without --do the host waits; a test sends it the same actions as messages
// to its frame window (class FluttPreviewHost): WM_APP+1 close, WM_APP+2
// destroy, WM_APP+3 exit, WM_APP+4 report.
#include "ToolOutput.h"

#include <string>

namespace {

using e2e::ClassOf;
using e2e::HandleNumber;
using e2e::Line;
using e2e::Linef;
using e2e::ParseNumber;

constexpr UINT kCmdClose = WM_APP + 1;
constexpr UINT kCmdDestroy = WM_APP + 2;
constexpr UINT kCmdExit = WM_APP + 3;
constexpr UINT kCmdReport = WM_APP + 4;
constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT_PTR kActionTimer = 2;

DWORD g_startTick = 0;  // when the saver was started
HWND g_frame = nullptr;
HWND g_area = nullptr;
HWND g_child = nullptr;
DWORD g_childFoundTick = 0;
UINT g_action = 0;
DWORD g_afterMs = 0;

void Report()
{
    if (g_child == nullptr || !IsWindow(g_child)) {
        Line(L"child=none");
        return;
    }
    RECT rect{};
    GetWindowRect(g_child, &rect);
    POINT topLeft{rect.left, rect.top};
    ScreenToClient(g_area, &topLeft);
    DWORD pid = 0;
    GetWindowThreadProcessId(g_child, &pid);
    const HWND parent = GetAncestor(g_child, GA_PARENT);
    Linef(L"child=%lu class=%ls parent=%lu parent_is_area=%d x=%ld y=%ld w=%ld h=%ld style=0x%08lX exstyle=0x%08lX pid=%lu",
          HandleNumber(g_child), ClassOf(g_child).c_str(), HandleNumber(parent), parent == g_area ? 1 : 0,
          topLeft.x, topLeft.y, rect.right - rect.left, rect.bottom - rect.top,
          static_cast<unsigned long>(GetWindowLongW(g_child, GWL_STYLE)),
          static_cast<unsigned long>(GetWindowLongW(g_child, GWL_EXSTYLE)), pid);
}

void Perform(UINT command)
{
    switch (command) {
    case kCmdClose:
        if (g_child != nullptr && IsWindow(g_child)) {
            PostMessageW(g_child, WM_CLOSE, 0, 0);
            Linef(L"sent_close=1 at_ms=%lu", GetTickCount() - g_startTick);
        } else {
            Line(L"sent_close=0");
        }
        break;
    case kCmdDestroy:
        if (g_frame != nullptr) {
            DestroyWindow(g_frame);
            g_frame = nullptr;
            Linef(L"destroyed=1 at_ms=%lu", GetTickCount() - g_startTick);
        }
        break;
    case kCmdExit:
        Line(L"exiting=1");
        ExitProcess(0);
    case kCmdReport:
        Report();
        break;
    default:
        break;
    }
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        if (wParam == kWatchTimer && g_area != nullptr) {
            if (g_child == nullptr) {
                g_child = FindWindowExW(g_area, nullptr, nullptr, nullptr);
                g_childFoundTick = GetTickCount();
            }
            // A window is found while it is still being created; it shows
            // itself at the end of that. Report it once it is visible (or, so
            // that a test can see the fault, once it has had 5 s to get so).
            if (g_child != nullptr &&
                (IsWindowVisible(g_child) || !IsWindow(g_child) || GetTickCount() - g_childFoundTick >= 5000)) {
                Report();
                Linef(L"ready=1 at_ms=%lu", GetTickCount() - g_startTick);
                KillTimer(window, kWatchTimer);
                if (g_action != 0)
                    SetTimer(window, kActionTimer, g_afterMs == 0 ? USER_TIMER_MINIMUM : g_afterMs, nullptr);
            }
        } else if (wParam == kActionTimer) {
            KillTimer(window, kActionTimer);
            Perform(g_action);
        }
        return 0;
    case kCmdClose:
    case kCmdDestroy:
    case kCmdExit:
    case kCmdReport:
        Perform(message);
        return 0;
    case WM_CLOSE:
        return 0;  // only the test decides when the host goes away
    case WM_SYSCOMMAND:
        // A lone Alt pressed by a test would start keyboard menu mode, a modal
        // loop in which the host would stop doing its own work.
        if ((wParam & 0xFFF0) == SC_KEYMENU || (wParam & 0xFFF0) == SC_MOUSEMENU)
            return 0;
        return DefWindowProcW(window, message, wParam, lParam);
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool RegisterClasses(HINSTANCE instance)
{
    WNDCLASSEXW frame{};
    frame.cbSize = sizeof frame;
    frame.lpfnWndProc = FrameProc;
    frame.hInstance = instance;
    frame.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    frame.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    frame.lpszClassName = L"FluttPreviewHost";
    WNDCLASSEXW area{};
    area.cbSize = sizeof area;
    area.lpfnWndProc = DefWindowProcW;
    area.hInstance = instance;
    area.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    area.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    area.lpszClassName = L"FluttPreviewArea";
    return RegisterClassExW(&frame) != 0 && RegisterClassExW(&area) != 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc < 2) {
        Line(L"error=usage: preview_host SAVER_PATH [--size W H] [--do close|destroy|exit|report] [--after MS] [--timeout MS]");
        return 2;
    }
    const std::wstring saver = argv[1];
    int width = 152, height = 112;
    DWORD timeoutMs = 30000;
    for (int i = 2; i < argc; ++i) {
        const std::wstring arg = argv[i];
        unsigned long long a = 0, b = 0;
        if (arg == L"--size" && i + 2 < argc && ParseNumber(argv[i + 1], a) && ParseNumber(argv[i + 2], b)) {
            width = static_cast<int>(a);
            height = static_cast<int>(b);
            i += 2;
        } else if (arg == L"--after" && i + 1 < argc && ParseNumber(argv[i + 1], a)) {
            g_afterMs = static_cast<DWORD>(a);
            ++i;
        } else if (arg == L"--timeout" && i + 1 < argc && ParseNumber(argv[i + 1], a)) {
            timeoutMs = static_cast<DWORD>(a);
            ++i;
        } else if (arg == L"--do" && i + 1 < argc) {
            const std::wstring action = argv[++i];
            g_action = action == L"close" ? kCmdClose
                     : action == L"destroy" ? kCmdDestroy
                     : action == L"exit" ? kCmdExit
                     : action == L"report" ? kCmdReport : 0;
            if (g_action == 0) {
                Linef(L"error=unknown action %ls", action.c_str());
                return 2;
            }
        } else {
            Linef(L"error=unknown argument %ls", arg.c_str());
            return 2;
        }
    }

    if (!RegisterClasses(instance)) {
        Line(L"error=RegisterClassExW failed");
        return 3;
    }
    g_frame = CreateWindowExW(0, L"FluttPreviewHost", L"Preview host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              200, 150, width + 200, height + 160, nullptr, nullptr, instance, nullptr);
    g_area = CreateWindowExW(0, L"FluttPreviewArea", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                             40, 30, width, height, g_frame, nullptr, instance, nullptr);
    if (g_frame == nullptr || g_area == nullptr) {
        Line(L"error=CreateWindowExW failed");
        return 3;
    }
    Linef(L"host=%lu area=%lu", HandleNumber(g_frame), HandleNumber(g_area));

    // The command line the control panel gives a screen saver's preview.
    std::wstring commandLine = L"\"" + saver + L"\" /p " + std::to_wstring(HandleNumber(g_area));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    g_startTick = GetTickCount();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        Linef(L"error=CreateProcessW failed %lu", GetLastError());
        return 3;
    }
    CloseHandle(process.hThread);
    Linef(L"saver_pid=%lu", process.dwProcessId);
    SetTimer(g_frame, kWatchTimer, 20, nullptr);

    // Pump messages (the saver's window creation talks to our windows) until
    // the saver ends or the time limit passes.
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) {
            Line(L"saver_exit=timeout");
            return 1;
        }
        const DWORD wait = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(process.hProcess, &code);
            Linef(L"saver_exit=%ld", static_cast<long>(code));
            return 0;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                break;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}
