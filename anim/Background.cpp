#include "anim/Background.h"

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

std::vector<TilePosition> TilePlan(int W, int H, int pw, int ph) {
    std::vector<TilePosition> plan;
    if (pw <= 0 || ph <= 0) return plan;
    const int columns = W / pw + 1, rows = H / ph + 1;
    plan.reserve(std::size_t(columns) * std::size_t(rows));
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r) plan.push_back({c * pw, r * ph});
    return plan;
}

}  // namespace flutt
