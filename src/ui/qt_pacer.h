#pragma once

#include <QElapsedTimer>

#include "link/pacer.h"

namespace sequaflow::ui {

// Pauses of the protocol on the UI thread: a local event loop that keeps painting (progress bars move, no
// "not responding") but holds user input until the sequence has ended.
class QtPacer final : public link::Pacer {
public:
    QtPacer();
    void pause(int ms) override;
    std::chrono::microseconds now() const override;

private:
    QElapsedTimer clock_;
    qint64 lastEvents_ = 0;  // when the window last had its events, in clock_ nanoseconds
};

}  // namespace sequaflow::ui
