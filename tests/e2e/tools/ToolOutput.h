// Shared bits of the end-to-end helper programs: UTF-8 lines on standard
// output (the test scripts read them), number parsing and window facts.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace e2e {

// One line of UTF-8 text on stdout, written at once (no buffering), so a test
// script that reads the file while the tool still runs sees whole lines.
inline void Line(const std::wstring& text)
{
    std::wstring line = text + L"\n";
    const int n = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), bytes.data(), n,
                        nullptr, nullptr);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
              &written, nullptr);
}

// printf-style; use %ls for wide strings.
inline void Linef(const wchar_t* format, ...)
{
    wchar_t buffer[4096];
    va_list args;
    va_start(args, format);
    std::vswprintf(buffer, sizeof buffer / sizeof buffer[0], format, args);
    va_end(args);
    Line(buffer);
}

// Decimal or 0x-prefixed hexadecimal, as the test scripts write numbers.
inline bool ParseNumber(const wchar_t* text, unsigned long long& value)
{
    if (text == nullptr || *text == L'\0')
        return false;
    wchar_t* end = nullptr;
    const bool hex = text[0] == L'0' && (text[1] == L'x' || text[1] == L'X');
    value = std::wcstoull(hex ? text + 2 : text, &end, hex ? 16 : 10);
    return end != nullptr && *end == L'\0';
}

// A window named by its handle's number, or by the class of a top-level window.
inline HWND ResolveTarget(const wchar_t* target)
{
    unsigned long long number = 0;
    if (ParseNumber(target, number))
        return reinterpret_cast<HWND>(static_cast<ULONG_PTR>(number));
    return FindWindowW(target, nullptr);
}

// Window handles are printed and read as unsigned decimal numbers, the way the
// screen-saver host passes them on the command line.
inline unsigned long HandleNumber(HWND window)
{
    return static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(window));
}

inline std::wstring ClassOf(HWND window)
{
    if (window == nullptr)
        return L"";
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

// The text of a window of any process: WM_GETTEXT with a time limit, so a hung
// target cannot hang the tool.
inline std::wstring TextOf(HWND window)
{
    wchar_t text[2048] = {};
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 3000, &result))
        GetWindowTextW(window, text, 2048);
    return text;
}

// Makes a value printable on one line: line breaks become the two characters \n.
inline std::wstring OneLine(const std::wstring& text)
{
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'\n')
            out += L"\\n";
        else if (c == L'\r')
            out += L"\\r";
        else
            out += c;
    }
    return out;
}

// The "serve" command of a tool: a Wine process start costs a test script
// a second or more on a loaded machine, so a script keeps one tool process
// running and hands it its quick commands. Each line of standard input is one
// command, its arguments separated by U+001F (the unit separator), run by
// `run` as if they had come on the command line after the program's name;
// after the command's own lines comes served=N, N its exit code. Returns at
// the end of the input.
template <class Run>  // int run(int argc, wchar_t** argv)
int Serve(Run run)
{
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    std::string line;
    char c = 0;
    DWORD got = 0;
    while (ReadFile(input, &c, 1, &got, nullptr) && got == 1) {
        if (c != '\n') {
            line += c;
            continue;
        }
        const int n = MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0);
        std::wstring text(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), text.data(), n);
        line.clear();
        std::vector<std::wstring> args{L"serve"};
        for (size_t start = 0;;) {
            const size_t end = text.find(L'\x1f', start);
            args.push_back(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
            if (end == std::wstring::npos)
                break;
            start = end + 1;
        }
        std::vector<wchar_t*> argv;
        for (std::wstring& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        Linef(L"served=%d", run(static_cast<int>(args.size()), argv.data()));
    }
    return 0;
}

// A tool's entry: the command "serve" alone serves commands (Serve), any
// other command line is one command.
template <class Run>
int RunOrServe(Run run)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv != nullptr && argc == 2 && std::wstring(argv[1]) == L"serve")
        return Serve(run);
    return run(argc, argv);
}

}  // namespace e2e
