#pragma once

#include <optional>
#include <string>

#include "cli/cli.h"
#include "link/link.h"

// `report`: the configuration report of the connected controller as the screens would show it after a read,
// printed as text or written as a PDF. Split from the port so that the tests drive it against the in-process
// simulator in virtual time.
namespace sequaflow::cli {

struct ReportOptions {
    std::optional<std::string> pdf;  // --pdf FILE
};
std::optional<ReportOptions> ParseReportArgs(Context& context, Args args);
int RunReportOn(Context& context, link::Link& link, const ReportOptions& options);

}  // namespace sequaflow::cli
