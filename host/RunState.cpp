#include "host/RunState.h"

#include <optional>
#include <stdexcept>

namespace flutt {
namespace {

std::optional<RunModeDecision>& State() {
    static std::optional<RunModeDecision> state;
    return state;
}

const RunModeDecision& Fixed() {
    if (!State()) throw std::logic_error("run mode read before it was decided");
    return *State();
}

}  // namespace

void FixRunMode(const RunModeDecision& decision) {
    if (State()) throw std::logic_error("run mode decided twice");
    State() = decision;
}

RunMode CurrentRunMode() { return Fixed().mode; }
std::uint32_t CurrentHostWindow() { return Fixed().hostWindow; }

}  // namespace flutt
