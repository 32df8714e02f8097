#pragma once

#include <optional>

#include "cli/cli.h"
#include "link/link.h"

// `emission show|reset`: the lambda-correction settings, their switches and the gas-temperature map. Split
// from the port so that the tests drive it against the in-process simulator in virtual time.
namespace sequaflow::cli {

struct EmissionOptions {
    enum class Action { Show, Reset } action = Action::Show;
    bool json = false;
};
std::optional<EmissionOptions> ParseEmissionArgs(Context& context, Args args);
int RunEmissionOn(Context& context, link::Link& link, const EmissionOptions& options);

}  // namespace sequaflow::cli
