// The Windows saver's frame at a chosen tick, for the comparison with the
// Linux hack: runs the saver's own drawing code in this process on a screen
// of the given size and writes the frame as a binary PPM.
//   frame_dump.exe OUT.ppm WIDTH HEIGHT TICKS [fluttons options...]
// The options are the hack's, so both sides get the same settings. TICKS
// FIRST:LAST writes the frame of each of those ticks, to OUT.ppm with the
// tick inserted before the extension (out.ppm: out.12.ppm, out.13.ppm, ...).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "anim/SaverAnimation_win.h"
#include "linux/Options.h"

namespace {

std::string Narrow(const wchar_t* text) {
    std::string result;
    for (; *text; ++text) result.push_back(char(*text));  // the options are ASCII
    return result;
}

bool WritePpm(const std::wstring& path, const flutt::Image32& image) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file) return false;
    std::fprintf(file, "P6\n%d %d\n255\n", image.width, image.height);
    std::vector<unsigned char> row;
    for (int y = 0; y < image.height; ++y) {
        row.clear();
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t p = image.Pixel(x, y);
            row.insert(row.end(), {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                   static_cast<unsigned char>(p)});
        }
        std::fwrite(row.data(), 1, row.size(), file);
    }
    return std::fclose(file) == 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    using namespace flutt;
    if (argc < 5) {
        std::fprintf(stderr, "usage: frame_dump OUT.ppm WIDTH HEIGHT TICKS [fluttons options...]\n");
        return 2;
    }
    const ScreenSize screen{_wtoi(argv[2]), _wtoi(argv[3])};
    const std::wstring tickText = argv[4];
    const std::size_t colon = tickText.find(L':');
    const int last = _wtoi(tickText.c_str() + (colon == std::wstring::npos ? 0 : colon + 1));
    const int first = colon == std::wstring::npos ? last : _wtoi(tickText.c_str());
    std::vector<std::string> texts;
    for (int i = 5; i < argc; ++i) texts.push_back(Narrow(argv[i]));
    const std::vector<std::string_view> args(texts.begin(), texts.end());
    const hack::ParsedOptions parsed = hack::ParseOptions(args, nullptr);
    if (!parsed.options) {
        std::fprintf(stderr, "frame_dump: %s\n", parsed.error.c_str());
        return 2;
    }
    SaverSettings settings = parsed.options->settings;
    SaverAnimation animation(::GetModuleHandleW(nullptr), settings, [screen] { return screen; });
    animation.LoadSheets();
    animation.CreateFrameBitmap();
    animation.CreateCharacters();
    win::GdiSurface target(8, 8);  // the presented copy goes nowhere
    const std::wstring out = argv[1];
    const auto write = [&](const std::wstring& path) {
        if (WritePpm(path, animation.Frame()->ReadPixels())) return true;
        std::fprintf(stderr, "frame_dump: cannot write %ls\n", path.c_str());
        return false;
    };
    for (int tick = 1; tick <= last; ++tick) {
        animation.DrawFrame(target.Dc());
        if (colon == std::wstring::npos || tick < first) continue;
        std::wstring path = out;
        path.insert(std::min(path.rfind(L'.'), path.size()), L"." + std::to_wstring(tick));
        if (!write(path)) return 1;
    }
    if (colon == std::wstring::npos && !write(out)) return 1;
    return 0;
}
