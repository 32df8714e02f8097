#pragma once

#include <string>
#include <vector>

namespace sequaflow::testing_support {

// The command-line tool run in-process, with what it printed.
struct CliRun {
    int rc = -1;
    std::string out, err;
};

CliRun RunTool(const std::vector<std::string>& args);

}  // namespace sequaflow::testing_support
