#pragma once

#include <gtest/gtest.h>

#include <csignal>
#include <sstream>

#include "cli/cli.h"
#include "link/link.h"
#include "link/pacer.h"
#include "sim/controller.h"
#include "sim/sim_port.h"

namespace sequaflow::testing_support {

// A command of sequaflow-cli against the in-process simulator in virtual time: the link is open on the
// simulated port, the command's output and errors are kept, and `interrupted` plays Ctrl+C.
struct CliSimRig {
    link::VirtualPacer pacer;
    sim::Controller controller;
    sim::SimPort port{controller, pacer};
    link::Link link{port, pacer};
    std::ostringstream out, err;
    volatile std::sig_atomic_t interrupted = 0;
    cli::Context context{out, err, {}, false, &interrupted};

    explicit CliSimRig(const sim::ControllerOptions& options = {}) : controller(options) { open(); }
    // A controller that powers up with these lasting stores (a map or points of the test's choosing).
    CliSimRig(const sim::ControllerOptions& options, const sim::PersistentStores& stores)
        : controller(options, stores) {
        open();
    }

    void open() {
        link.setPortName("/dev/simulated");
        EXPECT_TRUE(link.openPort().ok());
    }

    void clearOutput() {
        out.str({});
        err.str({});
    }
};

}  // namespace sequaflow::testing_support
