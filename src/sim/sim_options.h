#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/result.h"
#include "sim/controller.h"
#include "sim/pty_server.h"

namespace sequaflow::sim {

struct SimOptions {
    ControllerOptions controller;
    PtyServerOptions server;
    std::optional<double> rpm;      // engine speed held from the start
    std::optional<double> reducer;  // reducer temperature at the start, degrees Celsius
    std::string truthPath;          // what the controller holds and the fault counts, on SIGUSR1 and at exit
    bool help = false;
    bool version = false;
};

// The command line of sequaflow-sim (without the program name). Errors are one line for the user.
[[nodiscard]] Result<SimOptions, std::string> ParseSimOptions(const std::vector<std::string>& args);
const char* SimUsage();

}  // namespace sequaflow::sim
