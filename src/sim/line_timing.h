#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>

#include "sim/frame_parser.h"

namespace sequaflow::sim {

// One byte at 57600 baud, 8N1: ten bits, 173.6 us.
inline constexpr std::chrono::nanoseconds kByteTime{173611};

// When the controller's replies go on the line: at once, or at the pace of the real line with the time the
// controller needs per command (a lasting store keeps it busy for an erase-and-write cycle).
class LineTiming {
public:
    static constexpr std::chrono::microseconds kCommandTime{300};
    static constexpr std::chrono::microseconds kStoreTime{3500};

    explicit LineTiming(bool lineRate = false) : lineRate_(lineRate) {}
    bool lineRate() const { return lineRate_; }

    // The time the first byte of the reply to `frame` starts, for a frame whose last byte came in at `arrival`.
    std::chrono::microseconds replyStart(const RequestFrame& frame, std::chrono::microseconds arrival) {
        if (!lineRate_) return arrival;
        const auto start = std::max(arrival, busyUntil_);
        const bool store = frame.code == 'E' || frame.code == '_' || frame.code == '7' || frame.code == 'U';
        busyUntil_ = start + (store ? kStoreTime : kCommandTime);
        return busyUntil_;
    }

    // The time byte `index` of a reply that starts at `start` has completely arrived.
    std::chrono::microseconds byteDone(std::chrono::microseconds start, std::size_t index) const {
        if (!lineRate_) return start;
        return start + std::chrono::duration_cast<std::chrono::microseconds>(kByteTime * (index + 1));
    }

private:
    bool lineRate_;
    std::chrono::microseconds busyUntil_{0};
};

}  // namespace sequaflow::sim
