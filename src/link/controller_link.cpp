#include "link/controller_link.h"

namespace sequaflow::link {

ControllerLink::ControllerLink(std::unique_ptr<SerialPort> port, Pacer& pacer, PortTable ports)
    : port_(std::move(port)), pacer_(pacer), link_(*port_, pacer_), ports_(std::move(ports)), connection_(link_, ports_) {}

ControllerLink::~ControllerLink() { link_.closePort(); }

}  // namespace sequaflow::link
