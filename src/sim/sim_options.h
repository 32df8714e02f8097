#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/result.h"
#include "sim/controller.h"
#include "sim/pty_server.h"

namespace sequaflow::sim {

struct SimOptions {
    ControllerOptions controller;
    PtyServerOptions server;
    bool help = false;
};

// The command line of sequaflow-sim (without the program name). Errors are one line for the user.
[[nodiscard]] Result<SimOptions, std::string> ParseSimOptions(const std::vector<std::string>& args);
const char* SimUsage();

}  // namespace sequaflow::sim
