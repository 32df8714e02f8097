#pragma once

#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "link/result.h"

namespace sequaflow::sim {

// Probabilities (0..1) of each fault, per request frame.
struct FaultSpec {
    double drop = 0;      // the reply is not sent
    double truncate = 0;  // only a leading part of the reply is sent
    double corrupt = 0;   // one bit of one reply byte is flipped
    double late = 0;      // the reply comes after the client has stopped waiting
    double stray = 0;     // a few garbage bytes go out before the reply (or alone)
    double vanish = 0;    // the device goes away, possibly part way through a reply (per frame, answered or not)
    double edge = 0;      // the reply trickles in byte by byte, its last bytes around the end of the receive wait

    bool any() const {
        return drop > 0 || truncate > 0 || corrupt > 0 || late > 0 || stray > 0 || vanish > 0 || edge > 0;
    }
};

// "drop=0.02,truncate=0.01,corrupt=0.01,late=0.01,stray=0.005,vanish=0.001,edge=0.01"; an empty text is no
// faults.
[[nodiscard]] Result<FaultSpec, std::string> ParseFaultSpec(const std::string& text);

// Bytes to send and how long to hold them back.
struct Delivery {
    std::vector<std::uint8_t> bytes;
    std::chrono::microseconds delay{0};
    bool hangUp = false;  // the device goes away once everything before this has gone out
};

// Seeded: the same seed and the same sequence of replies give the same faults.
class FaultInjector {
public:
    static constexpr std::chrono::microseconds kLateDelay{80000};  // well past the 42 ms receive wait
    // The receive wait is 21 polls of 2 ms, a little longer in real time: an edge reply's last byte lands
    // between these, so some make it and some do not.
    static constexpr std::chrono::microseconds kEdgeEarliest{36000};
    static constexpr std::chrono::microseconds kEdgeLatest{52000};
    static constexpr std::chrono::microseconds kEdgeGap{1000};  // at most this between two bytes of an edge reply

    FaultInjector(const FaultSpec& spec, std::uint32_t seed) : spec_(spec), rng_(seed) {}

    // What goes on the line for one request's reply (which may be empty: a write command).
    std::vector<Delivery> apply(std::vector<std::uint8_t> reply);

    const FaultSpec& spec() const { return spec_; }
    struct Counts {
        std::uint64_t drop = 0, truncate = 0, corrupt = 0, late = 0, stray = 0, vanish = 0, edge = 0;
    };
    const Counts& counts() const { return counts_; }

private:
    double uniform();
    std::uint32_t below(std::uint32_t n);

    FaultSpec spec_;
    std::mt19937 rng_;
    Counts counts_;
};

}  // namespace sequaflow::sim
