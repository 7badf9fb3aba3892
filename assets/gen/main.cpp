// assetgen: writes every picture the program embeds, as BMP and ICO files.
//
//   assetgen <assets folder> <output folder>
//
// The output is the same, byte for byte, on every run.
#include "Backgrounds.h"
#include "Banner.h"
#include "BmpWriter.h"
#include "Icons.h"
#include "PixelArt.h"
#include "Sheets.h"

#include <filesystem>
#include <iostream>
#include <string>

namespace fs = std::filesystem;
using namespace assetgen;

namespace {

void writeSheets(const fs::path& sources, const fs::path& out) {
    std::array<RgbImage, kSheetCount> sheets;
    for (const SheetEntry& e : kSheets)
        sheets[e.index] = composeSheet(loadPixelArt(sources / "characters" / e.source), e);
    checkSheetPairs(sheets);
    for (const SheetEntry& e : kSheets)
        writeFile(out / ("imgChar" + std::to_string(e.index) + ".bmp"), encodeSheet(sheets[e.index], e));
}

void writeBackgrounds(const fs::path& out) {
    writeFile(out / "imgBack1.bmp", encodeIndexedBmp(drawCheckerRoom(), 8));
    writeFile(out / "imgBack2.bmp", encodeIndexedBmp(drawNightSky(), 8));
    writeFile(out / "imgBack3.bmp", encodeIndexedBmp(drawWaveTile16(), 4));
    writeFile(out / "imgBack4.bmp", encodeIndexedBmp(drawWaveTile2(), 1));
    writeFile(out / "imgBack5.bmp", encodeRgb24Bmp(drawBrickTile()));
    writeFile(out / "imgBack6.bmp", encodeRgb24Bmp(drawFlowWallpaper(kWide)));
    writeFile(out / "imgBack7.bmp", encodeRgb24Bmp(drawFlowWallpaper(kTallTile)));
    writeFile(out / "imgBack8.bmp", encodeRgb24Bmp(drawFlowWallpaper(kSquareTile)));
}

void writeSmallPictures(const fs::path& sources, const fs::path& out) {
    writeFile(out / "imgBanner.bmp", encodeIndexedBmp(drawBanner(loadPixelArt(sources / "characters" / kSheets[0].source)), 4));
    writeFile(out / "MainIcon.ico", encodeWindowIcon(loadPixelArt(sources / "icons" / "window_icon.txt")));
    writeFile(out / "AboutIcon.ico", encodeAboutIcon(loadPixelArt(sources / "icons" / "about_icon.txt")));
    writeFile(out / "BitBtn1Glyph.bmp", encodeButtonGlyph(loadPixelArt(sources / "icons" / "button_glyph.txt")));
    std::vector<PixelArt> tabs;
    for (const char* name : kTabImageSources) tabs.push_back(loadPixelArt(sources / "icons" / name));
    writeFile(out / "TabImages.bmp", encodeTabStrip(tabs));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: assetgen <assets folder> <output folder>\n";
        return 2;
    }
    try {
        const fs::path sources = argv[1];
        const fs::path out = argv[2];
        fs::create_directories(out);
        writeSheets(sources, out);
        writeSmallPictures(sources, out);
        writeBackgrounds(out);
    } catch (const std::exception& e) {
        std::cerr << "assetgen: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
