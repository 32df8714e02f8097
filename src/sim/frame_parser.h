#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace sequaflow::sim {

struct RequestFrame {
    std::uint8_t code = 0;
    std::uint8_t a = 0;
    std::uint8_t b = 0;
    std::uint8_t c = 0;
};

// Cuts the incoming byte stream into six-byte request frames. A window that does not end in ':' with the right
// checksum loses its first byte and the search goes on, so the parser finds the next good frame after any
// garbage. A partial frame left alone for longer than the gap limit is dropped. Memory stays at six bytes.
class FrameParser {
public:
    using FrameHandler = std::function<void(const RequestFrame&)>;
    using DiscardHandler = std::function<void(std::span<const std::uint8_t>)>;

    static constexpr std::chrono::microseconds kGapLimit{50000};

    void feed(std::span<const std::uint8_t> bytes, std::chrono::microseconds now, const FrameHandler& onFrame,
              const DiscardHandler& onDiscard = {});

    std::size_t pending() const { return size_; }
    std::uint64_t discardedBytes() const { return discarded_; }

private:
    void discard(std::size_t n, const DiscardHandler& onDiscard);

    std::array<std::uint8_t, 6> window_{};
    std::size_t size_ = 0;
    std::chrono::microseconds lastByte_{0};
    std::uint64_t discarded_ = 0;
};

}  // namespace sequaflow::sim
