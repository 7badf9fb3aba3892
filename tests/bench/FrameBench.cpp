// Frame benchmark: run under Wine (or Windows); scripts/bench.sh drives it.
//   frame_bench floor        the floor: two full-screen 32-bit memory copies
//   frame_bench idle         the idle floor: a full-screen window whose 100 ms
//                            timer draws nothing, until it is ended
//   frame_bench frames SCR   median time per frame and per phase for 0, 100
//                            and 1000 characters, in process, against the floor
//   frame_bench first SCR BACK2
//                            the steps to the first frame, in process, with
//                            that background
//   frame_bench start SCR FIRST_PAINT_EXE
//                            the saver's process start to its first frame on
//                            the screen, against a minimal program's first paint
// (The cost of a frame that matters is measured from outside by bench.sh:
// Wine reports no CPU times of another process, and a copy onto a window is
// flushed to the display after the measured steps.)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "anim/Random.h"
#include "anim/SaverAnimation_win.h"
#include "platform/win/Handles.h"

namespace {

using namespace flutt;

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return double(t.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

constexpr int kFrames = 120;

double FloorMs(ScreenSize screen) {
    const std::size_t bytes = std::size_t(screen.W) * screen.H * 4;
    std::vector<std::uint8_t> a(bytes, 1), b(bytes, 2), c(bytes, 3);
    std::vector<double> samples;
    for (int i = 0; i < kFrames; ++i) {
        const double start = NowMs();
        std::memcpy(b.data(), a.data(), bytes);
        std::memcpy(c.data(), b.data(), bytes);
        samples.push_back(NowMs() - start);
        a[i] = c[bytes - 1 - i];  // keep the copies observable
    }
    return Median(samples);
}

HWND MakePresentWindow(ScreenSize screen) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"FrameBenchWindow";
    ::RegisterClassW(&wc);
    HWND window = ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"frame bench", WS_POPUP | WS_VISIBLE, 0, 0,
                                    screen.W, screen.H, nullptr, nullptr, wc.hInstance, nullptr);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    return window;
}

void MeasureFrames(HINSTANCE resources, HWND window, int num, double floorMs) {
    SaverSettings settings;
    settings.num = num;
    RandomSeed(1);
    // The saver keeps the screen's size and refreshes it when the display changes.
    const ScreenSize screenSize = PrimaryScreenSize();
    SaverAnimation animation(resources, settings, [screenSize] { return screenSize; });
    animation.LoadSheets();
    animation.CreateFrameBitmap();
    animation.CreateCharacters();
    animation.ComposeBackground(animation.Screen());

    const win::unique_window_dc target(window);
    std::vector<double> total, step, present;
    for (int i = 0; i < kFrames; ++i) {
        // As DrawFrame does it: the screen's size once, then the steps.
        const ScreenSize screen = animation.Screen();
        const double t0 = NowMs();
        const FrameChanges& changes = animation.StepFrame(screen);
        const double t1 = NowMs();
        animation.Present(target.get(), changes);
        ::GdiFlush();
        const double t2 = NowMs();
        step.push_back(t1 - t0);
        present.push_back(t2 - t1);
        total.push_back(t2 - t0);
    }
    const double median = Median(total);
    std::printf("num %4d: %7.3f ms/frame (%5.1fx floor)  step %6.3f  present %6.3f\n", num, median,
                median / floorMs, Median(step), Median(present));
}

// The steps from nothing to the first frame on the screen, in process, with
// background `back2`: milliseconds each, medians of three.
void MeasureFirstFrame(HINSTANCE resources, HWND window, int back2) {
    const char* names[] = {"sheets", "frame buffer", "characters", "background", "step", "present"};
    constexpr int kSteps = std::size(names);
    std::vector<double> samples[kSteps];
    const ScreenSize screenSize = PrimaryScreenSize();
    for (int run = 0; run < 3; ++run) {
        SaverSettings settings;
        settings.back2 = back2;
        RandomSeed(1);
        SaverAnimation animation(resources, settings, [screenSize] { return screenSize; });
        const win::unique_window_dc target(window);
        double t[kSteps + 1];
        t[0] = NowMs();
        animation.LoadSheets();
        t[1] = NowMs();
        animation.CreateFrameBitmap();
        t[2] = NowMs();
        animation.CreateCharacters();
        t[3] = NowMs();
        animation.ComposeBackground(screenSize);
        t[4] = NowMs();
        const FrameChanges& changes = animation.StepFrame(screenSize);
        t[5] = NowMs();
        animation.Present(target.get(), changes);
        ::GdiFlush();
        t[6] = NowMs();
        for (int i = 0; i < kSteps; ++i) samples[i].push_back(t[i + 1] - t[i]);
    }
    std::printf("first frame in process, background %d:", back2);
    for (int i = 0; i < kSteps; ++i) std::printf("%s %s %.1f", i ? "," : "", names[i], Median(samples[i]));
    std::printf(" ms\n");
}

// Starts `program` with `arguments` and returns its process; `startMs` is when.
PROCESS_INFORMATION Start(const std::wstring& program, const std::wstring& arguments, double& startMs) {
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    startMs = NowMs();
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        std::printf("cannot start %ls (error %lu)\n", program.c_str(), ::GetLastError());
    }
    return process;
}

// One start of a program: milliseconds from starting it to its window
// showing (visible), and to its first picture on the screen (the top-left
// pixel turns neither white nor black: black is what a window shows before it
// paints); -1 where that was not seen.
struct StartTimes {
    double shownMs = -1;
    double pictureMs = -1;
};

// Starts the program, waits for its window of `windowClass` and its first
// picture, then closes that window.
StartTimes StartToFirstPicture(const std::wstring& program, const std::wstring& arguments, const wchar_t* windowClass) {
    {
        const win::unique_window_dc screen(nullptr);
        ::PatBlt(screen.get(), 0, 0, 1, 1, WHITENESS);
    }
    StartTimes times;
    double startMs = 0;
    PROCESS_INFORMATION started = Start(program, arguments, startMs);
    if (!started.hProcess) return times;
    win::unique_handle process(started.hProcess), thread(started.hThread);
    while (NowMs() - startMs < 30000) {  // a huge screen's first frame may take seconds
        if (times.shownMs < 0) {
            HWND window = ::FindWindowW(windowClass, nullptr);
            if (window && ::IsWindowVisible(window)) times.shownMs = NowMs() - startMs;
        }
        const win::unique_window_dc screen(nullptr);
        const COLORREF pixel = ::GetPixel(screen.get(), 0, 0);
        if (pixel != RGB(255, 255, 255) && pixel != RGB(0, 0, 0) && pixel != CLR_INVALID) {
            times.pictureMs = NowMs() - startMs;
            break;
        }
        ::Sleep(1);
    }
    for (int i = 0; i < 200; ++i) {
        if (HWND window = ::FindWindowW(windowClass, nullptr)) {
            ::PostMessageW(window, WM_CLOSE, 0, 0);
            break;
        }
        ::Sleep(10);
    }
    if (::WaitForSingleObject(process.get(), 5000) != WAIT_OBJECT_0) ::TerminateProcess(process.get(), 1);
    return times;
}

// "median (lowest-highest)" of the samples seen (not negative), and how many
// were not seen.
std::string Spread(std::vector<double> samples) {
    const auto missed = std::erase_if(samples, [](double ms) { return ms < 0; });
    char text[96] = "not seen";
    if (!samples.empty()) {
        std::sort(samples.begin(), samples.end());
        std::snprintf(text, sizeof text, "%.0f ms (%.0f-%.0f)", Median(samples), samples.front(), samples.back());
    }
    std::string spread = text;
    if (missed > 0 && !samples.empty()) spread += ", " + std::to_string(missed) + " not seen";
    return spread;
}

// Start-up of the saver against the minimal program, alternating, medians.
void MeasureStartUp(const std::wstring& scr, const std::wstring& minimal) {
    std::vector<double> saverStart, saverShown, paintStart, paintShown;
    for (int i = 0; i < 5; ++i) {
        const StartTimes yardstick = StartToFirstPicture(minimal, L"", L"FirstPaint");
        const StartTimes saver = StartToFirstPicture(scr, L"/s", L"TMainForm");
        paintStart.push_back(yardstick.pictureMs);
        paintShown.push_back(yardstick.pictureMs < 0 || yardstick.shownMs < 0 ? -1 : yardstick.pictureMs - yardstick.shownMs);
        saverStart.push_back(saver.pictureMs);
        saverShown.push_back(saver.pictureMs < 0 || saver.shownMs < 0 ? -1 : saver.pictureMs - saver.shownMs);
        ::Sleep(300);
    }
    std::printf("start to first frame: saver %s, minimal program %s; medians of 5 (lowest-highest)\n",
                Spread(saverStart).c_str(), Spread(paintStart).c_str());
    std::printf("window showing to first frame: saver %s, minimal program %s\n", Spread(saverShown).c_str(),
                Spread(paintShown).c_str());
}

// The least that any program costs which shows a full-screen window and
// wakes ten times a second, as the saver does: its timer ticks draw nothing.
int RunIdleWindow() {
    HWND window = MakePresentWindow(PrimaryScreenSize());
    ::SetTimer(window, 1, 100, nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc >= 2 ? argv[1] : L"";
    if (mode == L"floor") {
        std::printf("floor_ms=%.4f\n", FloorMs(PrimaryScreenSize()));
        return 0;
    }
    if (mode == L"idle") return RunIdleWindow();
    if (mode == L"start" && argc >= 4) {
        MeasureStartUp(argv[2], argv[3]);
        return 0;
    }
    if ((mode != L"frames" && mode != L"first") || argc < 3) {
        std::printf("usage: frame_bench floor | idle | frames SCR | first SCR BACK2 | start SCR FIRST_PAINT_EXE\n");
        return 2;
    }
    const std::wstring scr = argv[2];
    HMODULE resources = ::LoadLibraryExW(scr.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!resources) {
        std::printf("cannot open %ls for its pictures\n", scr.c_str());
        return 1;
    }
    const ScreenSize screen = PrimaryScreenSize();
    if (mode == L"first") {
        HWND window = MakePresentWindow(screen);
        MeasureFirstFrame(resources, window, argc >= 4 ? _wtoi(argv[3]) : 1);
        ::DestroyWindow(window);
        ::FreeLibrary(resources);
        return 0;
    }
    std::printf("screen %d x %d, %d frames per figure, medians\n", screen.W, screen.H, kFrames);
    const double floorMs = FloorMs(screen);
    std::printf("floor (two full-screen 32-bit memory copies): %.3f ms\n", floorMs);
    HWND window = MakePresentWindow(screen);
    for (int num : {0, 100, 300, 600, 1000}) MeasureFrames(resources, window, num, floorMs);
    ::DestroyWindow(window);
    ::FreeLibrary(resources);
    return 0;
}
