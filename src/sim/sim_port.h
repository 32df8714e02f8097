#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "link/pacer.h"
#include "link/serial_port.h"
#include "sim/controller.h"
#include "sim/fault_injector.h"
#include "sim/line_timing.h"

namespace sequaflow::sim {

// An in-process serial port with a simulated controller behind it. Time comes from the pacer, so whole
// sequences run in virtual time against a believable controller; a reply is readable as soon as the pacer's
// clock has reached it (at once, unless line-rate pacing or a late fault holds it back).
class SimPort final : public link::SerialPort {
public:
    SimPort(Controller& controller, const link::Pacer& pacer) : controller_(controller), pacer_(pacer) {}

    void setFaults(std::optional<FaultInjector> faults) { faults_ = std::move(faults); }
    void setLineRate(bool on) { timing_ = LineTiming(on); }
    // Makes open() fail with this code (a missing or busy device); nullopt lets it succeed again.
    void setOpenError(std::optional<link::PortErrorCode> code) { openError_ = code; }
    // The device goes away while open: the next queued() or read() reports it lost. A vanish fault does the
    // same on its own; open() plugs it in again.
    void unplug() { unplugged_ = true; }

    Result<Ok, link::PortErrorCode> open(const std::string& path) override;
    void close() override;
    bool isOpen() const override { return open_; }
    bool setRts(bool) override { return open_; }
    bool write(std::span<const std::uint8_t> bytes) override;
    bool drain() override { return open_; }
    std::optional<std::size_t> queued() override;
    std::size_t read(std::span<std::uint8_t> dest) override;
    std::optional<link::PortError> failure() const override { return failure_; }

    const std::string& path() const { return path_; }
    std::size_t framesWritten() const { return writes_; }

private:
    struct Pending {
        std::chrono::microseconds ready;
        std::uint8_t byte;
    };
    bool lost();

    Controller& controller_;
    const link::Pacer& pacer_;
    std::optional<FaultInjector> faults_;
    LineTiming timing_;
    std::deque<Pending> input_;  // bytes on their way to the program, in order of arrival
    std::optional<link::PortErrorCode> openError_;
    std::optional<link::PortError> failure_;
    std::string path_;
    bool open_ = false;
    bool unplugged_ = false;
    std::optional<std::chrono::microseconds> vanishAt_;  // a vanish fault unplugs the device at this time
    std::size_t writes_ = 0;
};

}  // namespace sequaflow::sim
