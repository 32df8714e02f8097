#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "link/result.h"

namespace sequaflow::link {

enum class PortErrorCode {
    NotFound,          // no such device
    PermissionDenied,  // not in the dialout group, or a udev rule missing
    Busy,              // another program holds the port
    NotSerial,         // the path exists but is not a terminal device
    Io,                // any other system failure while opening or configuring
    Lost,              // the device went away while open (unplugged adapter, hang-up)
};

using PortError = Error<PortErrorCode>;

// Short English description of a port error code, for messages and logs.
const char* PortErrorName(PortErrorCode code);

// The half-duplex serial line to the controller. Implementations never block in queued() or read().
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Exclusive open, 57600 8N1, DTR inactive.
    virtual Result<Ok, PortErrorCode> open(const std::string& path) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Modem line for transmission; a port without modem lines accepts this as a no-op.
    virtual bool setRts(bool raised) = 0;
    virtual bool write(std::span<const std::uint8_t> bytes) = 0;
    // Blocks until every written byte has left the port.
    virtual bool drain() = 0;
    // Bytes received and waiting; nullopt when the device has failed (it is then no longer usable).
    virtual std::optional<std::size_t> queued() = 0;
    // Reads at most dest.size() bytes that are already queued; never waits.
    virtual std::size_t read(std::span<std::uint8_t> dest) = 0;

    // Why the port last failed, if it did (after a failed write, queued() or read()).
    virtual std::optional<PortError> failure() const = 0;
};

}  // namespace sequaflow::link
