#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace sequaflow::link {

// Time for the protocol: every fixed pause of a sequence and every poll of the receive wait goes through
// here, so tests can run sequences in virtual time and assert the pauses exactly.
class Pacer {
public:
    virtual ~Pacer() = default;
    virtual void pause(int ms) = 0;
    // Monotonic time since an arbitrary start.
    virtual std::chrono::microseconds now() const = 0;
};

// Sleeps for real; for the command-line tool and the simulator front end.
class RealPacer final : public Pacer {
public:
    void pause(int ms) override;
    std::chrono::microseconds now() const override;
};

// Advances a virtual clock instead of sleeping and remembers every pause. A hook runs after each pause so
// a scripted peer can deliver bytes at exact virtual times.
class VirtualPacer final : public Pacer {
public:
    using Hook = std::function<void(std::chrono::microseconds now, int ms)>;

    void pause(int ms) override;
    std::chrono::microseconds now() const override { return now_; }

    void advance(std::chrono::microseconds by) { now_ += by; }
    void setHook(Hook hook) { hook_ = std::move(hook); }
    const std::vector<int>& pauses() const { return pauses_; }
    void clearPauses() { pauses_.clear(); }

private:
    std::chrono::microseconds now_{0};
    std::vector<int> pauses_;
    Hook hook_;
};

}  // namespace sequaflow::link
