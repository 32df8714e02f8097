#include "link/sequence_run.h"

namespace sequaflow::link {

SequenceRun::SequenceRun(Link& link, const SequenceControl& control)
    : link_(link), control_(control), framesAtStart_(link.framesSent()) {
    if (!link_.portOpen()) stopped_ = link_.lostReason() ? StopReason::LineLost : StopReason::NotConnected;
}

bool SequenceRun::check() {
    if (stopped_) return false;
    if (!link_.portOpen()) stopped_ = StopReason::LineLost;
    else if (control_.cancelled && control_.cancelled()) stopped_ = StopReason::Cancelled;
    return !stopped_;
}

bool SequenceRun::step(std::string_view phase, int position, int maximum) {
    if (!check()) return false;
    if (phase_ != phase) phase_ = std::string(phase);
    ++begun_;
    params::Report(control_.progress, phase, position, maximum);
    return true;
}

bool SequenceRun::goOn() { return check(); }

void SequenceRun::finish() {
    if (!stopped_ && !link_.portOpen()) stopped_ = StopReason::LineLost;
}

bool SequenceRun::absorb(const SequenceResult& inner) {
    // The inner sequence's steps are whole; what this run had begun before it had ended.
    absorbed_ += begun_ + inner.steps;
    begun_ = 0;
    if (!inner.phase.empty()) phase_ = inner.phase;
    if (inner.stopped && !stopped_) stopped_ = inner.stopped;
    return !stopped_;
}

SequenceResult SequenceRun::result() const {
    SequenceResult r;
    r.stopped = stopped_;
    r.phase = phase_;
    // The step under way when the line went did not finish; one that a cancel follows did.
    const bool lastUnfinished = stopped_ == StopReason::LineLost && begun_ > 0;
    r.steps = absorbed_ + begun_ - (lastUnfinished ? 1 : 0);
    // Inner sequences ran on the same link: its frame count covers what they sent.
    r.sentSomething = link_.framesSent() != framesAtStart_;
    return r;
}

}  // namespace sequaflow::link
