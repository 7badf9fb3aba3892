#include "anim/DisplayScale.h"

#include <algorithm>

namespace flutt {

int ScaleForDpi(int dpi) {
    // dpi / 96 rounded to nearest with halves down: (dpi + 47) / 96.
    return std::max(1, (dpi + kBaseDpi / 2 - 1) / kBaseDpi);
}

ScreenSize LogicalScreen(ScreenSize physical, int k) { return {physical.W / k, physical.H / k}; }

}  // namespace flutt
