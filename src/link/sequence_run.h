#pragma once

#include <string_view>

#include "link/link.h"
#include "params/progress.h"

namespace sequaflow::link {

// Walks a long sequence step by step: reports progress and decides, before each step, whether to go on.
// A lost line or a cancel ends the sequence within the step under way, so an unplugged adapter never
// leaves the window waiting through hundreds of empty receive waits.
class SequenceRun {
public:
    SequenceRun(Link& link, const SequenceControl& control);
    // It keeps the control by reference: a temporary would be gone before the first step.
    SequenceRun(Link& link, SequenceControl&& control) = delete;

    // Call before each step; false means stop now (the result says why).
    [[nodiscard]] bool step(std::string_view phase, int position, int maximum);
    // Whether to go on, without counting a step (between the parts of a composite sequence).
    [[nodiscard]] bool goOn();
    // After the last item: a cancel now comes too late to stop anything, only a lost line can spoil it.
    void finish();
    // Folds in a nested sequence that ran on the same link.
    [[nodiscard]] bool absorb(const SequenceResult& inner);

    const SequenceControl& control() const { return control_; }
    SequenceResult result() const;

private:
    bool check();

    Link& link_;
    const SequenceControl& control_;
    std::optional<StopReason> stopped_;
    std::string phase_;
    int begun_ = 0;
    int absorbed_ = 0;
    std::uint32_t framesAtStart_ = 0;
};

}  // namespace sequaflow::link
