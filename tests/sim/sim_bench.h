#pragma once

#include "link/commands.h"
#include "link/link.h"
#include "link/pacer.h"
#include "link/serial_port.h"
#include "sim/controller.h"
#include "sim/sim_port.h"

namespace sequaflow::sim::testing {

// A link to a simulated controller, all in virtual time.
struct SimBench {
    explicit SimBench(ControllerOptions options = {}, std::optional<PersistentStores> stores = {})
        : controller(options, stores), port(controller, pacer), link(port, pacer) {
        link.setPortName("sim");
        if (link.openPort()) link.setConnected(true);
    }

    link::VirtualPacer pacer;
    Controller controller;
    SimPort port;
    link::Link link;
};

// One request frame as the program sends it.
inline std::vector<std::uint8_t> Req(char code, std::uint8_t a = 0, std::uint8_t b = 0, std::uint8_t c = 0) {
    const auto f = link::BuildFrame(static_cast<std::uint8_t>(code), a, b, c);
    return {f.begin(), f.end()};
}

}  // namespace sequaflow::sim::testing
