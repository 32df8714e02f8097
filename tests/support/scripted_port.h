#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "link/link.h"
#include "link/pacer.h"
#include "link/serial_port.h"

namespace sequaflow::testing_support {

// A fake serial port in virtual time. Frames written to it go to a responder, which schedules reply bytes
// with deliver(); bytes become readable once the virtual pacer has reached their time.
class ScriptedPort final : public link::SerialPort {
public:
    using Responder = std::function<void(ScriptedPort&, const link::Frame&)>;

    explicit ScriptedPort(const link::Pacer& pacer) : pacer_(pacer) {}

    void setResponder(Responder r) { responder_ = std::move(r); }
    // Makes bytes readable `delay` after the current virtual time.
    void deliver(std::vector<std::uint8_t> bytes, std::chrono::microseconds delay = std::chrono::microseconds{0});
    // Makes the next open() fail with this error.
    void failNextOpen(link::PortError error) { openError_ = std::move(error); }
    // The device disappears: every further call fails as an unplugged adapter does.
    void loseDevice() { lost_ = true; }

    const std::vector<link::Frame>& written() const { return written_; }
    std::size_t pendingBytes() const;
    int openCount() const { return openCount_; }
    const std::vector<std::string>& openedPaths() const { return openedPaths_; }
    bool rtsRaised() const { return rts_; }

    Result<Ok, link::PortErrorCode> open(const std::string& path) override;
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool setRts(bool raised) override;
    bool write(std::span<const std::uint8_t> bytes) override;
    bool drain() override { return open_ && !lost_; }
    std::optional<std::size_t> queued() override;
    std::size_t read(std::span<std::uint8_t> dest) override;
    std::optional<link::PortError> failure() const override;

private:
    struct Chunk {
        std::chrono::microseconds at;
        std::vector<std::uint8_t> bytes;
    };
    const link::Pacer& pacer_;
    Responder responder_;
    std::deque<Chunk> pending_;
    std::deque<std::uint8_t> ready_;
    std::vector<link::Frame> written_;
    std::optional<link::PortError> openError_;
    std::vector<std::string> openedPaths_;
    int openCount_ = 0;
    bool open_ = false;
    bool lost_ = false;
    bool rts_ = false;

    void promote();
};

// A word reply ('d' or 'e'): letter, index echo, value high, low, one unexamined byte, ':'.
std::vector<std::uint8_t> WordReply(char letter, std::uint8_t index, std::uint16_t value);

}  // namespace sequaflow::testing_support
