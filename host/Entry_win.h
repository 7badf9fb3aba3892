// The program's entry: run mode, preview guard, start-up by mode, exit code.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace flutt {

// Runs the program over its argument vector (element 0 is the program
// path) and returns the exit code: -1 for a rejected command line or a
// second preview, 0 otherwise.
int RunProgram(HINSTANCE instance, const std::vector<std::wstring>& args);

}  // namespace flutt
