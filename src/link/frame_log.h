#pragma once

#include <ostream>

#include "link/link.h"

namespace sequaflow::link {

// Renders what the link does as text lines: "send 56 00 00 00 56 3A  ReadLiveFrame", "recv 67/67 ok 56 ...",
// "pause 30", "port open /dev/ttyUSB0". A sent frame carries its command decoded, so a reader needs no code
// table. With timestamps it is the --trace frame log; without, the tests compare it with golden transcripts.
class FrameLog final : public LinkObserver {
public:
    FrameLog(std::ostream& out, bool timestamps) : out_(out), timestamps_(timestamps) {}

    void onSend(std::chrono::microseconds at, const Frame& frame) override;
    void onReceive(std::chrono::microseconds at, std::uint32_t expected, std::uint32_t received, bool complete,
                   std::span<const std::uint8_t> bytes) override;
    void onPause(std::chrono::microseconds at, int ms) override;
    void onPortEvent(std::chrono::microseconds at, const std::string& what) override;

private:
    void stamp(std::chrono::microseconds at);

    std::ostream& out_;
    bool timestamps_;
    std::chrono::microseconds start_{-1};
};

}  // namespace sequaflow::link
