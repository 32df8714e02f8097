#pragma once

#include <optional>

#include "cli/cli.h"
#include "link/link.h"
#include "link/pacer.h"

// `adapt`: the auto-adaptation in a terminal. Split from the port so that a whole run can be driven in virtual
// time against the in-process simulator.
namespace sequaflow::cli {

struct AdaptOptions {
    bool json = false;
};

// The command's own arguments; nullopt after a usage error was printed.
std::optional<AdaptOptions> ParseAdaptArgs(Context& context, Args args);

// The whole command on an open link: the read of what the procedure needs (nothing is written before it
// starts), the procedure ticked on `pacer`, and the report. Ctrl+C (`context.interrupted`) aborts it. The
// exit code.
int RunAdaptOn(Context& context, link::Link& link, link::Pacer& pacer, const AdaptOptions& options);

}  // namespace sequaflow::cli
