#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <utility>

#include "i18n/message_store.h"
#include "i18n/sequence_status.h"
#include "link/controller_link.h"
#include "params/progress.h"

class QProgressBar;
class QStatusBar;

namespace sequaflow::ui {

// The only way UI code talks to the controller. It marks a running sequence busy (the timer ticks return at
// once, so no frame of theirs lands between the frames of a sequence, and closing waits for its end), gives
// long sequences the progress bar and the stop check, and ends each of them with one status line.
class SequenceRunner final : public QObject {
    Q_OBJECT
public:
    SequenceRunner(link::ControllerLink& line, const i18n::MessageStore& messages, QObject* parent = nullptr);

    // Where progress and the closing line go (the window's bar and status bar).
    void attach(QProgressBar* progress, QStatusBar* status);

    bool busy() const { return depth_ > 0; }
    // Whether a controller answered on the open port.
    bool connected() const { return line_.link().connected(); }
    const link::ControllerLink& line() const { return line_; }
    const i18n::MessageStore& messages() const { return messages_; }

    // A short exchange (a tick, a fuel command, a parameter write, a connection attempt) under the busy guard.
    // Returns false, having sent nothing, while another sequence holds the line.
    template <typename F>
    bool exchange(F&& f) {
        if (busy()) return false;
        Guard guard(*this);
        std::forward<F>(f)(line_);
        return true;
    }

    using Sequence = std::function<SequenceResult(link::Link&, const SequenceControl&)>;
    // A long sequence: refused without a connection (nothing sent), stopped by a lost line or cancel(), with
    // the progress bar moving and one status line at its end. nullopt while another sequence runs.
    std::optional<SequenceResult> run(i18n::SequenceKind kind, const Sequence& sequence);

    // Asks the running sequence to stop before its next item.
    void cancel() { cancelRequested_ = true; }
    // The last status line a sequence ended with.
    const QString& lastStatus() const { return lastStatus_; }
    // A write followed by its read shows both ends: `first` (the write's line), then the read's.
    void combineStatus(const QString& first) { showStatus(first + QStringLiteral(" | ") + lastStatus_); }
    // A line about the line itself (lost, back) in the same status bar; not a sequence's ending.
    void say(const QString& line);

signals:
    // The line is free again (a deferred close waits for this).
    void idle();
    // A sequence or exchange found the controller's port gone.
    void lineLost();

private:
    class Guard {
    public:
        explicit Guard(SequenceRunner& r);
        ~Guard();
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        SequenceRunner& r_;
        bool hadPort_;
    };

    void showProgress(const params::ProgressStep& step);
    void showStatus(const QString& line);

    link::ControllerLink& line_;
    const i18n::MessageStore& messages_;
    QProgressBar* progress_ = nullptr;
    QStatusBar* status_ = nullptr;
    QString lastStatus_;
    int depth_ = 0;
    bool cancelRequested_ = false;
};

}  // namespace sequaflow::ui
