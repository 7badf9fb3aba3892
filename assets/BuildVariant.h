// Which of the two builds this program is: the reduced one carries all but the
// three largest backgrounds (the Windows trees define FLUTT_REDUCED for it).
#pragma once

namespace flutt {

#ifdef FLUTT_REDUCED
inline constexpr bool kReducedBuild = true;
#else
inline constexpr bool kReducedBuild = false;
#endif

}  // namespace flutt
