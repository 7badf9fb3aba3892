// The dots per inch of monitors and windows, for a program that declares
// itself per-monitor DPI aware. The newer functions are looked up at run
// time, so the program still starts on Windows versions without them: it
// then falls back to the monitor's DPI (Windows 8.1), then to the system's.
#pragma once

#include <windows.h>

namespace flutt::win {

// The DPI of the primary monitor.
int PrimaryMonitorDpi();

// The DPI of a window, as Windows scales it (GetDpiForWindow), or of the
// monitor it is on.
int WindowDpi(HWND window);

// Until its windows scale themselves, this thread's windows run DPI-unaware:
// Windows scales them to the monitor as it does for programs that declare no
// awareness. Nothing happens on systems without per-thread awareness.
void MakeThreadDpiUnaware();

}  // namespace flutt::win
