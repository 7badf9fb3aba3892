// The dots per inch of monitors and windows, for a program that declares
// itself per-monitor DPI aware. The newer functions are looked up at run
// time, so the program still starts on Windows versions without them: it
// then falls back to the monitor's DPI (Windows 8.1), then to the system's.
#pragma once

#include <windows.h>

namespace flutt::win {

// The DPI of a monitor (GetDpiForMonitor, effective DPI), or the system's.
int MonitorDpi(HMONITOR monitor);

// The DPI of the primary monitor.
int PrimaryMonitorDpi();

// The DPI of a window, as Windows scales it (GetDpiForWindow), or of the
// monitor it is on.
int WindowDpi(HWND window);

// Grows a client rectangle to the window rectangle of a window of that style
// at a DPI (AdjustWindowRectExForDpi); before Windows 10 1607, at the
// system's DPI.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi);

}  // namespace flutt::win
