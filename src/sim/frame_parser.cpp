#include "sim/frame_parser.h"

#include <algorithm>

namespace sequaflow::sim {

void FrameParser::discard(std::size_t n, const DiscardHandler& onDiscard) {
    n = std::min(n, size_);
    if (n == 0) return;
    if (onDiscard) onDiscard(std::span<const std::uint8_t>(window_.data(), n));
    std::copy(window_.begin() + static_cast<std::ptrdiff_t>(n), window_.begin() + static_cast<std::ptrdiff_t>(size_),
              window_.begin());
    size_ -= n;
    discarded_ += n;
}

void FrameParser::feed(std::span<const std::uint8_t> bytes, std::chrono::microseconds now,
                       const FrameHandler& onFrame, const DiscardHandler& onDiscard) {
    if (bytes.empty()) return;
    if (size_ > 0 && now - lastByte_ > kGapLimit) discard(size_, onDiscard);
    lastByte_ = now;
    for (std::uint8_t byte : bytes) {
        window_[size_++] = byte;
        if (size_ < window_.size()) continue;
        const auto sum = static_cast<std::uint8_t>(window_[0] + window_[1] + window_[2] + window_[3]);
        if (window_[5] == ':' && window_[4] == sum) {
            const RequestFrame frame{window_[0], window_[1], window_[2], window_[3]};
            size_ = 0;
            onFrame(frame);
        } else {
            discard(1, onDiscard);
        }
    }
}

}  // namespace sequaflow::sim
