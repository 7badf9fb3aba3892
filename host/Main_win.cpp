// fluttsaver.scr: the process entry.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "host/Entry_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // The C runtime's argument vector: split as Windows programs do, element 0
    // the program path.
    const std::vector<std::wstring> args(__wargv, __wargv + __argc);
    return flutt::RunProgram(instance, args);
}
