// The process-wide run mode and preview host handle, fixed once by the entry
// before any window exists.
#pragma once

#include "host/RunMode.h"

namespace flutt {

// Fixes the run mode for the rest of the process; a second call throws
// std::logic_error.
void FixRunMode(const RunModeDecision& decision);

RunMode CurrentRunMode();
std::uint32_t CurrentHostWindow();

}  // namespace flutt
