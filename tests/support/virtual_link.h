#pragma once

#include "link/link.h"
#include "link/pacer.h"
#include "support/scripted_port.h"

namespace sequaflow::testing_support {

// A link on a scripted port in virtual time, opened.
struct VirtualLink {
    link::VirtualPacer pacer;
    ScriptedPort port{pacer};
    link::Link link{port, pacer};
    VirtualLink() {
        link.setPortName("/dev/fake");
        (void)link.openPort();
    }
};

}  // namespace sequaflow::testing_support
