#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "link/pacer.h"
#include "link/serial_port.h"

namespace sequaflow::link {

inline constexpr std::size_t kFrameSize = 6;
inline constexpr std::size_t kReplyBufferSize = 128;
inline constexpr std::size_t kScratchSize = 768;
inline constexpr int kReceivePolls = 21;
inline constexpr int kPollMs = 2;
inline constexpr std::uint8_t kTerminator = ':';

using Frame = std::array<std::uint8_t, kFrameSize>;

// Builds the six-byte request: code, A, B, C, checksum (low byte of their sum), ':'.
Frame BuildFrame(std::uint8_t code, std::uint8_t a, std::uint8_t b, std::uint8_t c);

// What the link did, for the frame log and the golden transcripts of the tests.
class LinkObserver {
public:
    virtual ~LinkObserver() = default;
    virtual void onSend(std::chrono::microseconds at, const Frame& frame) = 0;
    // One finished receive wait: the bytes now at the front of the reply buffer (every byte appended).
    virtual void onReceive(std::chrono::microseconds at, std::uint32_t expected, std::uint32_t received,
                           bool complete, std::span<const std::uint8_t> bytes) = 0;
    // A fixed protocol pause (not the polls of the receive wait).
    virtual void onPause(std::chrono::microseconds at, int ms) = 0;
    virtual void onPortEvent(std::chrono::microseconds at, const std::string& what) = 0;
};

// The one link to the controller: the port, the frame, the reply buffer, the receive wait and the flags.
class Link {
public:
    Link(SerialPort& port, Pacer& pacer) : port_(port), pacer_(pacer) {}
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    void setPortName(std::string name) { portName_ = std::move(name); }
    const std::string& portName() const { return portName_; }

    // Opens the current port name. Sets or clears port-open; always clears connected.
    Result<Ok, PortErrorCode> openPort();
    // True if a held port was closed. Clears both flags.
    bool closePort();

    void sendFrame(std::uint8_t code, std::uint8_t a = 0, std::uint8_t b = 0, std::uint8_t c = 0);
    std::uint32_t receiveWait(std::uint32_t expected);
    // Reads what the driver already holds, at most dest.size() bytes.
    std::size_t readQueued(std::span<std::uint8_t> dest);
    // The one-off discard of stale input before a full read.
    void discardStaleInput();
    // A fixed pause of the protocol.
    void pause(int ms);

    bool portOpen() const { return portOpen_; }
    bool connected() const { return connected_; }
    void setConnected(bool c) { connected_ = c; }

    const Frame& frame() const { return frame_; }
    bool replyComplete() const { return replyComplete_; }
    void setReplyComplete(bool c) { replyComplete_ = c; }
    std::uint32_t receivedCount() const { return receivedCount_; }
    std::uint8_t reply(std::size_t offset) const { return offset < reply_.size() ? reply_[offset] : 0; }
    std::span<const std::uint8_t, kReplyBufferSize> replyBuffer() const { return reply_; }

    // Valid short reply: complete, the letter at 0, ':' at last, and the index echo at 1 when given.
    bool replyValid(char letter, std::size_t lastOffset, std::optional<std::uint8_t> indexEcho = {}) const;
    // The byte before the ':' of a short reply is the low byte of the sum of the bytes before it. Whether the
    // letter is summed is not settled (a request's sum counts its code, the live frame's does not), so either
    // is taken; a single flipped bit fails both.
    bool replySumValid(std::size_t lastOffset) const;
    std::uint16_t replyWord(std::size_t highOffset) const {
        return static_cast<std::uint16_t>(reply(highOffset) << 8 | reply(highOffset + 1));
    }

    // Set when the device failed while open (unplugged, hang-up); the port has then been closed.
    const std::optional<PortError>& lostReason() const { return lost_; }

    // Frames that went out on an open port since the link was made; tells a sequence whether it wrote.
    std::uint32_t framesSent() const { return framesSent_; }

    Pacer& pacer() { return pacer_; }
    void setObserver(LinkObserver* observer) { observer_ = observer; }

private:
    void handleDeviceFailure();

    SerialPort& port_;
    Pacer& pacer_;
    LinkObserver* observer_ = nullptr;
    std::string portName_;
    bool portOpen_ = false;
    bool connected_ = false;
    Frame frame_{};
    std::array<std::uint8_t, kReplyBufferSize> reply_{};
    std::array<std::uint8_t, kScratchSize> scratch_{};
    std::uint32_t receivedCount_ = 0;
    bool replyComplete_ = false;
    std::uint32_t pollCounter_ = 0;
    std::uint32_t lastReadCount_ = 0;
    std::optional<PortError> lost_;
    std::uint32_t framesSent_ = 0;
};

}  // namespace sequaflow::link
