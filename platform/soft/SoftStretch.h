// Stretching a picture onto a software surface exactly as the display's
// default stretch mode (BLACKONWHITE) does it.
#pragma once

#include <vector>

#include "platform/soft/SoftSurface.h"

namespace flutt {

// The source pixels [first, last] of one row (or column) that land on one
// target pixel; empty when last < first.
struct SourceSpan {
    int first;
    int last;
};

// For each of `target` pixels, the source pixels of `source` that land on it.
// Enlarging repeats each source pixel; reducing hands every source pixel to
// exactly one target pixel. Source pixel s has its centre at
// (s + 1/2) * target / source on the target, rounded half down to a pixel
// (enlarging maps each target pixel's centre back the same way).
std::vector<SourceSpan> StretchSpans(int source, int target);

// Stretches the whole of `source` onto the w x h rectangle at (0, 0) of
// `target`, aspect ratio not kept: repeated pixels when enlarging, and the
// pixels that meet on one target pixel when reducing combined by AND (dark
// wins). Whatever falls outside `target` is clipped.
void StretchBlackOnWhite(SoftSurface& target, int w, int h, const SoftSurface& source);

}  // namespace flutt
