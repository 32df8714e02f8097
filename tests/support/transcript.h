#pragma once

#include <sstream>
#include <string>

#include "link/frame_log.h"
#include "link/link.h"

namespace sequaflow::testing_support {

// Records a link's frames, receive waits and pauses as text without timestamps.
class Transcript {
public:
    explicit Transcript(link::Link& link) : link_(link), log_(text_, false) { link_.setObserver(&log_); }
    ~Transcript() { link_.setObserver(nullptr); }
    Transcript(const Transcript&) = delete;
    Transcript& operator=(const Transcript&) = delete;

    std::string str() const { return text_.str(); }
    void clear() { text_.str({}); }

private:
    link::Link& link_;
    std::ostringstream text_;
    link::FrameLog log_;
};

// Compares `actual` with tests/golden/<name>.txt. With SEQUAFLOW_UPDATE_GOLDEN=1 in the environment it
// rewrites the file instead (regenerate on purpose only, and review the diff).
void ExpectMatchesGolden(const std::string& name, const std::string& actual);

}  // namespace sequaflow::testing_support
