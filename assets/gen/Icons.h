// The small pictures of the two windows: the window icon (also the program file's icon),
// the true-colour About icon, the five tab images and the hidden button's glyph.
#pragma once

#include "BmpWriter.h"
#include "PixelArt.h"

#include <array>
#include <vector>

namespace assetgen {

// The sixteen colours of the classic 4-bit display palette, in their usual order.
extern const std::array<Rgb, 16> kClassicPalette;

// Tab images in image-list order: 0 message tab, 1 About tab, 2 spare (no tab shows it),
// 3 character tab, 4 general tab.
inline constexpr std::array<const char*, 5> kTabImageSources{
    "tab0_message.txt", "tab1_about.txt", "tab2_spare.txt", "tab3_characters.txt", "tab4_general.txt"};
inline constexpr int kTabImageSize = 16;

// The tab strip's see-through colour: the image list takes it as the mask colour.
inline constexpr Rgb kTabKeyColour{255, 0, 255};

// ICO, one 32x32 image, 4 bpp with the classic palette; '.' cells are see-through.
// Every other colour of the art must be one of the sixteen.
Bytes encodeWindowIcon(const PixelArt& art);

// ICO, one 32x32 image, 24 bpp; '.' cells are see-through.
Bytes encodeAboutIcon(const PixelArt& art);

// BMP 32x32, 4 bpp with the classic palette; '.' cells take the button face grey (silver).
Bytes encodeButtonGlyph(const PixelArt& art);

// BMP 80x16, 24 bpp: the five 16x16 images side by side, '.' cells in kTabKeyColour.
Bytes encodeTabStrip(const std::vector<PixelArt>& tabs);

} // namespace assetgen
