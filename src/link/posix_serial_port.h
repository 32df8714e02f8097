#pragma once

#include <optional>
#include <string>

#include "link/serial_port.h"

namespace sequaflow::link {

// termios implementation: exclusive (TIOCEXCL and flock), raw 57600 8N1, DTR dropped, RTS by hand.
// Pseudo-terminals have no modem lines and no low-latency setting; both are skipped there silently.
class PosixSerialPort final : public SerialPort {
public:
    PosixSerialPort() = default;
    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    Result<Ok, PortErrorCode> open(const std::string& path) override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }
    bool setRts(bool raised) override;
    bool write(std::span<const std::uint8_t> bytes) override;
    bool drain() override;
    std::optional<std::size_t> queued() override;
    std::size_t read(std::span<std::uint8_t> dest) override;
    std::optional<PortError> failure() const override { return failure_; }

    bool hasModemLines() const { return modemLines_; }

private:
    void fail(int err, const char* what);

    int fd_ = -1;
    bool modemLines_ = false;
    std::optional<PortError> failure_;
};

}  // namespace sequaflow::link
