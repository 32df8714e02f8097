#pragma once

#include <concepts>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

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

namespace sequaflow {

// Why a long sequence ended before its last frame.
enum class StopReason {
    NotConnected,  // there was no line when it was asked to start: nothing was sent
    LineLost,      // the port went away (unplugged, hang-up) part way through
    Cancelled,     // the user (or a signal) asked it to stop
};

// What a long sequence takes besides the link: where to report progress and whom to ask whether to go on.
// The line itself is always checked; `cancelled` adds the user's wish.
struct SequenceControl {
    params::ProgressFn progress;
    std::function<bool()> cancelled;

    SequenceControl() = default;
    // A bare progress callback, as most callers have.
    template <typename F>
        requires std::invocable<F&, const params::ProgressStep&>
    SequenceControl(F&& f) : progress(std::forward<F>(f)) {}
    SequenceControl(params::ProgressFn p, std::function<bool()> c) : progress(std::move(p)), cancelled(std::move(c)) {}
};

// How far a long sequence got. `steps` counts the items it finished (a parameter, a cell, a point ...)
// over all its phases; `phase` is where it was when it stopped.
struct [[nodiscard]] SequenceResult {
    std::optional<StopReason> stopped;
    std::string phase;
    int steps = 0;
    // Something went out before it stopped: the controller may hold a half-written configuration.
    bool sentSomething = false;

    bool completed() const { return !stopped.has_value(); }
};

}  // namespace sequaflow
