#pragma once

#include <functional>
#include <string_view>

namespace sequaflow::params {

// One step of a long sequence, for a progress bar: the phase name and the position within its range.
struct ProgressStep {
    std::string_view phase;
    int position = 0;
    int maximum = 0;
};

using ProgressFn = std::function<void(const ProgressStep&)>;

inline void Report(const ProgressFn& progress, std::string_view phase, int position, int maximum) {
    if (progress) progress(ProgressStep{phase, position, maximum});
}

}  // namespace sequaflow::params
