#pragma once

#include <optional>

#include "cli/cli.h"
#include "link/link.h"

// `errors` and `worktime`: the fault list and the work-time counters. Split from the port so that the tests
// drive them against the in-process simulator in virtual time.
namespace sequaflow::cli {

struct ErrorsOptions {
    bool json = false;
    bool clear = false;
};
std::optional<ErrorsOptions> ParseErrorsArgs(Context& context, Args args);
int RunErrorsOn(Context& context, link::Link& link, const ErrorsOptions& options);

struct WorkTimeOptions {
    bool json = false;
    enum class Reset { None, Petrol, Gas } reset = Reset::None;
};
std::optional<WorkTimeOptions> ParseWorkTimeArgs(Context& context, Args args);
int RunWorkTimeOn(Context& context, link::Link& link, const WorkTimeOptions& options);

}  // namespace sequaflow::cli
