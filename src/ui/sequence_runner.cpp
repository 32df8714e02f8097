#include "ui/sequence_runner.h"

#include <QProgressBar>
#include <QStatusBar>
#include <algorithm>

namespace sequaflow::ui {

SequenceRunner::Guard::Guard(SequenceRunner& r) : r_(r), hadPort_(r.line_.link().portOpen()) { ++r_.depth_; }

SequenceRunner::Guard::~Guard() {
    const bool lost = hadPort_ && !r_.line_.link().portOpen() && r_.line_.link().lostReason().has_value();
    if (--r_.depth_ == 0) {
        if (lost) emit r_.lineLost();
        emit r_.idle();
    }
}

SequenceRunner::SequenceRunner(link::ControllerLink& line, const i18n::MessageStore& messages, QObject* parent)
    : QObject(parent), line_(line), messages_(messages) {}

void SequenceRunner::attach(QProgressBar* progress, QStatusBar* status) {
    progress_ = progress;
    status_ = status;
}

void SequenceRunner::showProgress(const params::ProgressStep& step) {
    if (progress_ == nullptr) return;
    // Each phase reports its own range; the bar shows the phase's progress.
    const int max = std::max(1, step.maximum);
    progress_->setRange(0, 100);
    progress_->setValue(100 * std::clamp(step.position, 0, max) / max);
}

void SequenceRunner::say(const QString& line) {
    if (status_ != nullptr) status_->showMessage(line);
}

void SequenceRunner::showStatus(const QString& line) {
    lastStatus_ = line;
    if (status_ != nullptr) status_->showMessage(line);
}

std::optional<SequenceResult> SequenceRunner::run(i18n::SequenceKind kind, const Sequence& sequence) {
    if (busy()) return std::nullopt;
    SequenceResult result;
    if (!connected()) {
        // A write into nothing would leave the screens showing values no controller holds.
        result.stopped = StopReason::NotConnected;
    } else {
        Guard guard(*this);
        cancelRequested_ = false;
        const SequenceControl control([this](const params::ProgressStep& s) { showProgress(s); },
                                      [this] { return cancelRequested_; });
        result = sequence(line_.link(), control);
        if (progress_ != nullptr) progress_->setValue(0);  // done: an empty bar, not one that looks stuck
    }
    showStatus(QString::fromStdString(i18n::SequenceStatusLine(messages_, kind, result)));
    return result;
}

}  // namespace sequaflow::ui
