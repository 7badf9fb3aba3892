#include "anim/Background.h"

#include <algorithm>

#include "anim/Random.h"

namespace flutt {
namespace {

constexpr BackgroundEntry kFullTable[] = {
    {0, BackgroundFill::DesktopCopy}, {1, BackgroundFill::Stretch}, {2, BackgroundFill::Stretch},
    {3, BackgroundFill::Tile},        {4, BackgroundFill::Tile},    {5, BackgroundFill::Tile},
    {6, BackgroundFill::Stretch},     {7, BackgroundFill::Tile},    {8, BackgroundFill::Tile},
};
constexpr std::size_t kReducedEntries = 6;  // without the three largest pictures

}  // namespace

std::span<const BackgroundEntry> BackgroundTable(bool reduced) {
    return std::span(kFullTable).first(reduced ? kReducedEntries : std::size(kFullTable));
}

int ResolveBackgroundIndex(int back2, bool reduced) {
    const int randomEntry = int(BackgroundTable(reduced).size());
    if (back2 == randomEntry) {
        RandomSeed(CurrentTime());
        return RandomNext() % randomEntry;
    }
    if (back2 > randomEntry || back2 < 0) return 0;
    return back2;
}

bool MayShowDesktop(int back2, bool reduced) {
    const auto table = BackgroundTable(reduced);
    if (back2 == int(table.size())) return true;  // the random entry, drawn at the first frame
    return table[std::size_t(ResolveBackgroundIndex(back2, reduced))].fill == BackgroundFill::DesktopCopy;
}

void TileSurface(Surface& target, const Surface& picture) {
    const int W = target.Width(), H = target.Height(), pw = picture.Width(), ph = picture.Height();
    if (pw <= 0 || ph <= 0 || W <= 0 || H <= 0) return;
    const int bandH = std::min(ph, H);
    target.Transfer(0, 0, std::min(pw, W), bandH, picture, 0, 0, RasterOp::SrcCopy);
    // Each copy starts at a multiple of the tile's size, so the copied part
    // lands where the same tiles go.
    for (int done = pw; done < W; done *= 2) {
        target.Transfer(done, 0, std::min(done, W - done), bandH, target, 0, 0, RasterOp::SrcCopy);
    }
    for (int done = ph; done < H; done *= 2) {
        target.Transfer(0, done, W, std::min(done, H - done), target, 0, 0, RasterOp::SrcCopy);
    }
}

}  // namespace flutt
