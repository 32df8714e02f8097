#pragma once

#include <memory>

#include "link/connection.h"
#include "link/link.h"
#include "link/pacer.h"
#include "link/port_table.h"
#include "link/serial_port.h"

namespace sequaflow::link {

// The one line to the controller: the serial port, the link over it and the connection manager that finds
// and identifies the controller there. The pacer comes from outside: the window's, which keeps painting,
// or a test's virtual one. The controller's identification lives in the connection manager only.
class ControllerLink {
public:
    ControllerLink(std::unique_ptr<SerialPort> port, Pacer& pacer, PortTable ports);
    ~ControllerLink();
    ControllerLink(const ControllerLink&) = delete;
    ControllerLink& operator=(const ControllerLink&) = delete;

    Link& link() { return link_; }
    const Link& link() const { return link_; }
    ConnectionManager& connection() { return connection_; }
    const ConnectionManager& connection() const { return connection_; }
    const PortTable& ports() const { return ports_; }
    // An entry mapped from the window (an adapter given a free entry) changes the table for this line.
    PortTable& ports() { return ports_; }
    Pacer& pacer() { return pacer_; }

private:
    std::unique_ptr<SerialPort> port_;
    Pacer& pacer_;
    Link link_;
    PortTable ports_;
    ConnectionManager connection_;
};

}  // namespace sequaflow::link
