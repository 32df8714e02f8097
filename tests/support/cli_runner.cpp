#include "support/cli_runner.h"

#include <sstream>

#include "cli/cli.h"

namespace sequaflow::testing_support {

CliRun RunTool(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    cli::Context context{out, err, {}, false, nullptr};
    CliRun r;
    r.rc = cli::RunCli(args, context);
    r.out = out.str();
    r.err = err.str();
    return r;
}

}  // namespace sequaflow::testing_support
