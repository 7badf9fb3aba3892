// Frame benchmark: run under Wine (or Windows) on a 1920 x 1080 display.
//   wine frame_bench.exe path\to\fluttsaver.scr
// Prints the median time per frame and per phase for 0, 100 and 1000
// characters against the floor of two full-screen 32-bit memory copies, the
// and the time from the saver's process start to its first presented frame.
// (scripts/bench.sh adds the saver's CPU share in its real loop, measured
// from outside: Wine reports no CPU times of another process.)
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
    std::vector<double> total, background, characters, present;
    for (int i = 0; i < kFrames; ++i) {
        // As DrawFrame does it: the screen's size once, then the three steps.
        const ScreenSize screen = animation.Screen();
        const double t0 = NowMs();
        animation.CopyBackground(screen);
        const double t1 = NowMs();
        animation.DrawCharacters(screen);
        ::GdiFlush();
        const double t2 = NowMs();
        animation.Present(target.get(), screen);
        ::GdiFlush();
        const double t3 = NowMs();
        background.push_back(t1 - t0);
        characters.push_back(t2 - t1);
        present.push_back(t3 - t2);
        total.push_back(t3 - t0);
    }
    const double median = Median(total);
    std::printf("num %4d: %7.3f ms/frame (%5.1fx floor)  background %6.3f  characters %6.3f  present %6.3f\n", num,
                median, median / floorMs, Median(background), Median(characters), Median(present));
}

// Starts the saver full screen and returns its process; `startMs` is when.
PROCESS_INFORMATION StartSaver(const std::wstring& scr, double& startMs) {
    std::wstring commandLine = L"\"" + scr + L"\" /s";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    startMs = NowMs();
    if (!::CreateProcessW(scr.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        std::printf("cannot start %ls (error %lu)\n", scr.c_str(), ::GetLastError());
    }
    return process;
}

void MeasureSaverProcess(const std::wstring& scr) {
    // The screen's top-left pixel before the saver; the first frame changes it.
    COLORREF before;
    {
        const win::unique_window_dc screen(nullptr);
        ::PatBlt(screen.get(), 0, 0, 1, 1, WHITENESS);
        before = ::GetPixel(screen.get(), 0, 0);
    }
    double startMs = 0;
    PROCESS_INFORMATION saver = StartSaver(scr, startMs);
    if (!saver.hProcess) return;
    win::unique_handle process(saver.hProcess), thread(saver.hThread);
    double firstFrameMs = -1;
    while (NowMs() - startMs < 5000) {
        const win::unique_window_dc screen(nullptr);
        if (::GetPixel(screen.get(), 0, 0) != before) {
            firstFrameMs = NowMs() - startMs;
            break;
        }
        ::Sleep(1);
    }
    if (firstFrameMs >= 0) {
        std::printf("process start to first frame: %.0f ms\n", firstFrameMs);
    } else {
        std::printf("process start to first frame: not seen within 5 s\n");
    }
    if (HWND saverWindow = ::FindWindowW(L"TMainForm", nullptr)) ::PostMessageW(saverWindow, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.get(), 5000) != WAIT_OBJECT_0) ::TerminateProcess(process.get(), 1);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::printf("usage: frame_bench path\\to\\fluttsaver.scr\n");
        return 2;
    }
    const std::wstring scr = argv[1];
    HMODULE resources = ::LoadLibraryExW(scr.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!resources) {
        std::printf("cannot open %ls for its pictures\n", scr.c_str());
        return 1;
    }
    const ScreenSize screen = PrimaryScreenSize();
    std::printf("screen %d x %d, %d frames per figure, medians\n", screen.W, screen.H, kFrames);
    const double floorMs = FloorMs(screen);
    std::printf("floor (two full-screen 32-bit memory copies): %.3f ms\n", floorMs);
    HWND window = MakePresentWindow(screen);
    for (int num : {0, 100, 1000}) MeasureFrames(resources, window, num, floorMs);
    ::DestroyWindow(window);
    MeasureSaverProcess(scr);
    ::FreeLibrary(resources);
    return 0;
}
