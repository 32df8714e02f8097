#include "ui/qt_pacer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <thread>

namespace sequaflow::ui {

QtPacer::QtPacer() { clock_.start(); }

void QtPacer::pause(int ms) {
    if (ms <= 0) return;
    const qint64 deadline = clock_.nsecsElapsed() + qint64{ms} * 1'000'000;
    // The 2 ms polls of the receive wait are too short for a timer round trip; a read of everything is
    // mostly such polls, so now and then let the window paint (input still waits) before sleeping.
    if (ms <= 2) {
        constexpr qint64 kFrameNs = 16'000'000;
        if (clock_.nsecsElapsed() - lastEvents_ >= kFrameNs) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            lastEvents_ = clock_.nsecsElapsed();
        }
        const qint64 left = deadline - clock_.nsecsElapsed();
        if (left > 0) std::this_thread::sleep_for(std::chrono::nanoseconds(left));
        return;
    }
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(ms);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    lastEvents_ = clock_.nsecsElapsed();
    // A timer may fire a little early; the protocol pause is a minimum.
    const qint64 left = deadline - clock_.nsecsElapsed();
    if (left > 0) std::this_thread::sleep_for(std::chrono::nanoseconds(left));
}

std::chrono::microseconds QtPacer::now() const { return std::chrono::microseconds(clock_.nsecsElapsed() / 1000); }

}  // namespace sequaflow::ui
