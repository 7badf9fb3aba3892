// How the saver draws on a high-DPI screen: the animation runs on a logical
// screen k times smaller than the physical one, and every pixel of it is
// shown as a k x k block, so the pixel art stays crisp at the display's scale.
#pragma once

#include "anim/Moving.h"

namespace flutt {

// The dots per inch of a display at 100 % scaling.
inline constexpr int kBaseDpi = 96;

// The whole-number scale k of a display's DPI: the scale rounded to the
// nearest whole number, a half rounded down, and never below 1. So 1 up to
// 150 % (144 DPI), 2 from 175 % up to 250 %, 3 from 275 % up to 350 %, ...
int ScaleForDpi(int dpi);

// The screen the animation runs on for a physical screen at scale k: each
// side divided by k, the remainder (fewer than k pixels at the right and
// bottom edges) left to the background.
ScreenSize LogicalScreen(ScreenSize physical, int k);

}  // namespace flutt
