#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "sim/controller.h"
#include "sim/pty_server.h"
#include "support/cli_runner.h"

namespace sequaflow::testing_support {

// The command-line tool against a fresh simulated controller behind a pseudo-terminal.
struct PtySimulatorTest : ::testing::Test {
    std::unique_ptr<sim::PtyServer> server;
    std::string device;
    void SetUp() override {
        auto started = sim::PtyServer::Start(sim::Controller(sim::ControllerOptions{}), sim::PtyServerOptions{});
        ASSERT_TRUE(started.ok()) << started.error().detail;
        server = std::move(*started);
        device = server->slavePath();
    }
    CliRun Tool(std::vector<std::string> args) {
        args.insert(args.begin(), {"--device", device});
        return RunTool(args);
    }
};

}  // namespace sequaflow::testing_support
