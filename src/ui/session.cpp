#include "ui/session.h"

namespace sequaflow::ui {

Session::Session(std::unique_ptr<link::SerialPort> port, link::PortTable ports, QObject* parent)
    : QObject(parent),
      port_(std::move(port)),
      link_(*port_, pacer_),
      ports_(std::move(ports)),
      connection_(link_, ports_) {}

Session::~Session() { link_.closePort(); }

QString Session::message(int id) const { return QString::fromStdString(std::string(messages_.text(id))); }

void Session::publishReadings() {
    view_ = live::ComputeReadings(state_.words, params::ReadingsInputsOf(state_));
    emit readingsUpdated();
}

}  // namespace sequaflow::ui
