#pragma once

#include <cstddef>
#include <optional>
#include <sstream>
#include <string>

#include "link/frame_log.h"
#include "link/link.h"
#include "params/progress.h"

namespace sequaflow::testing_support {

// Records a link's frames, receive waits and pauses as text without timestamps.
class Transcript {
public:
    explicit Transcript(link::Link& link) : link_(link), log_(text_, false) { link_.setObserver(&log_); }
    ~Transcript() { link_.setObserver(nullptr); }
    Transcript(const Transcript&) = delete;
    Transcript& operator=(const Transcript&) = delete;

    std::string str() const { return text_.str(); }
    void clear() {
        text_.str({});
        phase_.reset();
    }

    // A progress callback to hand to the sequence under test: each change of phase becomes a line
    // "== phase NAME" between the frames, so a reviewer sees where the parameters end and the maps begin.
    params::ProgressFn progress() {
        return [this](const params::ProgressStep& step) {
            if (phase_ && *phase_ == step.phase) return;
            phase_ = std::string(step.phase);
            text_ << "== phase " << step.phase << '\n';
        };
    }

private:
    link::Link& link_;
    std::ostringstream text_;
    link::FrameLog log_;
    std::optional<std::string> phase_;
};

// Compares `actual` with tests/golden/<name>.txt; a mismatch fails with a diff of the first differing lines.
// With SEQUAFLOW_UPDATE_GOLDEN=1 in the environment it rewrites the file instead, names it on stderr and
// fails all the same, so a run in update mode is never taken for a passing one.
void ExpectMatchesGolden(const std::string& name, const std::string& actual);

// A unified-style diff of two texts by lines ("@@ -l,n +l,n @@", " ", "-", "+"), with a little context, cut
// short after about `maxLines` lines. Empty when the texts are equal.
std::string GoldenDiff(const std::string& expected, const std::string& actual, std::size_t maxLines = 40);

}  // namespace sequaflow::testing_support
