// The area that a set of rectangles covers, as rectangles that do not
// overlap: what a frame restores and presents when characters move.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/soft/Pixels.h"

namespace flutt {

class RectUnion {
public:
    // Writes into `out` the union of `rects` (empty ones add nothing) as
    // disjoint rectangles, ordered by top, then by left. Each row of the
    // union is cut into spans, where rectangles that overlap or touch in the
    // row make one span; each result is a span followed down the rows while
    // it keeps both its ends. Once the buffers have grown to a set's size,
    // further sets of that size allocate nothing.
    void Of(const std::vector<PixelRect>& rects, std::vector<PixelRect>& out);

private:
    std::vector<int> edges_;            // rows where a rectangle starts or ends
    std::vector<int> byTop_;            // the rectangles by their top
    std::vector<int> active_;           // those that cross the current rows, by left
    std::vector<std::size_t> open_;     // results that reach down to the current rows, by left
    std::vector<std::size_t> reaching_;
};

}  // namespace flutt
