// The run mode chosen from the command line, and the preview host's handle.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace flutt {

enum class RunMode : int { Preview = 0, Configure = 1, Saver = 2, Password = 3 };

struct RunModeDecision {
    RunMode mode = RunMode::Configure;
    std::uint32_t hostWindow = 0;  // meaningful in Preview only
};

// Decides the run mode from the whole argument vector, element 0 (the
// program path) included. An empty result means the command line is
// rejected: the program must return -1 without creating anything.
std::optional<RunModeDecision> DecideRunMode(const std::vector<std::wstring_view>& args);

// The preview host's window handle as the host writes it: decimal, optional
// sign, 32-bit wrap-around, anything after the digits ignored.
std::uint32_t ParseHostWindow(std::wstring_view text);

}  // namespace flutt
