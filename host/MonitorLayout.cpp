#include "host/MonitorLayout.h"

#include <algorithm>

namespace flutt {
namespace {

bool Contains(const ScreenRect& outer, const ScreenRect& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

}  // namespace

std::vector<ScreenRect> CoverRects(const std::vector<ScreenRect>& monitors, const ScreenRect& saverWindow) {
    std::vector<ScreenRect> covers;
    for (const ScreenRect& monitor : monitors) {
        if (monitor.Empty() || Contains(saverWindow, monitor)) continue;
        if (std::find(covers.begin(), covers.end(), monitor) == covers.end()) covers.push_back(monitor);
    }
    return covers;
}

std::vector<Monitor> AnimatedMonitors(const std::vector<Monitor>& monitors) {
    std::vector<Monitor> ordered = monitors;
    const auto primary = std::find_if(ordered.begin(), ordered.end(), [](const Monitor& m) { return m.primary; });
    if (primary != ordered.end()) std::rotate(ordered.begin(), primary, primary + 1);
    std::vector<Monitor> animated;
    for (const Monitor& monitor : ordered) {
        if (monitor.rect.Empty()) continue;
        const bool shown = std::any_of(animated.begin(), animated.end(),
                                       [&](const Monitor& m) { return Contains(m.rect, monitor.rect); });
        if (!shown) animated.push_back(monitor);
    }
    return animated;
}

std::vector<int> KeptAnimations(const std::vector<Monitor>& before, const std::vector<Monitor>& after) {
    std::vector<int> kept(after.size(), -1);
    std::vector<bool> taken(before.size(), false);
    auto match = [&](auto&& same) {
        for (std::size_t i = 0; i < after.size(); ++i) {
            for (std::size_t j = 0; j < before.size() && kept[i] < 0; ++j) {
                if (taken[j] || !same(before[j], after[i])) continue;
                kept[i] = int(j);
                taken[j] = true;
            }
        }
    };
    match([](const Monitor& a, const Monitor& b) { return a.rect == b.rect && a.dpi == b.dpi; });
    match([](const Monitor& a, const Monitor& b) {
        return a.Width() == b.Width() && a.Height() == b.Height() && a.dpi == b.dpi;
    });
    match([](const Monitor& a, const Monitor& b) { return a.rect.left == b.rect.left && a.rect.top == b.rect.top; });
    return kept;
}

}  // namespace flutt
