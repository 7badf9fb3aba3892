#include "platform/soft/SoftStretch.h"

#include <algorithm>
#include <cstdint>

namespace flutt {
namespace {

// ceil(n / d) for d > 0.
std::int64_t CeilDiv(std::int64_t n, std::int64_t d) { return n >= 0 ? (n + d - 1) / d : -((-n) / d); }

}  // namespace

std::vector<SourceSpan> StretchSpans(int source, int target) {
    std::vector<SourceSpan> spans(std::size_t(std::max(target, 0)), SourceSpan{0, -1});
    if (source <= 0 || target <= 0) return spans;
    const std::int64_t s = source, t = target;
    if (target >= source) {
        // The source pixel under each target pixel's centre: ((2d+1) s / 2t) - 1/2, rounded half down.
        for (std::int64_t d = 0; d < t; ++d) {
            const int from = int(std::clamp<std::int64_t>(CeilDiv((2 * d + 1) * s - 2 * t, 2 * t), 0, s - 1));
            spans[std::size_t(d)] = {from, from};
        }
        return spans;
    }
    // Reducing to a single pixel leaves the last source pixel out, as the
    // display does.
    const std::int64_t used = target == 1 && source > 1 ? s - 1 : s;
    for (std::int64_t k = 0; k < used; ++k) {
        const auto d = std::size_t(std::clamp<std::int64_t>(CeilDiv((2 * k + 1) * t - 2 * s, 2 * s), 0, t - 1));
        SourceSpan& span = spans[d];
        if (span.last < span.first) span.first = int(k);
        span.last = int(k);
    }
    return spans;
}

void StretchBlackOnWhite(SoftSurface& target, int w, int h, const SoftSurface& source) {
    const std::vector<SourceSpan> columns = StretchSpans(source.Width(), w);
    const std::vector<SourceSpan> rows = StretchSpans(source.Height(), h);
    const int width = std::min(w, target.Width()), height = std::min(h, target.Height());
    for (int y = 0; y < height; ++y) {
        const SourceSpan& row = rows[std::size_t(y)];
        if (row.last < row.first) continue;
        for (int x = 0; x < width; ++x) {
            const SourceSpan& column = columns[std::size_t(x)];
            if (column.last < column.first) continue;
            std::uint32_t pixel = 0x00FFFFFF;
            for (int sy = row.first; sy <= row.last; ++sy)
                for (int sx = column.first; sx <= column.last; ++sx) pixel &= source.Pixel(sx, sy);
            target.SetPixel(x, y, pixel);
        }
    }
}

}  // namespace flutt
