#include "link/pacer.h"

#include <ctime>

namespace sequaflow::link {

void RealPacer::pause(int ms) {
    if (ms <= 0) return;
    // Absolute deadline, so a signal that interrupts the sleep does not shorten a protocol pause.
    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += ms / 1000;
    deadline.tv_nsec += static_cast<long>(ms % 1000) * 1'000'000L;
    if (deadline.tv_nsec >= 1'000'000'000L) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1'000'000'000L;
    }
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) != 0) {
    }
}

std::chrono::microseconds RealPacer::now() const {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch());
}

void VirtualPacer::pause(int ms) {
    pauses_.push_back(ms);
    now_ += std::chrono::milliseconds(ms);
    if (hook_) hook_(now_, ms);
}

}  // namespace sequaflow::link
