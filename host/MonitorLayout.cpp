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

}  // namespace flutt
