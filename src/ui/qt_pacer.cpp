#include "ui/qt_pacer.h"

#include <QEventLoop>
#include <QTimer>
#include <thread>

namespace sequaflow::ui {

QtPacer::QtPacer() { clock_.start(); }

void QtPacer::pause(int ms) {
    if (ms <= 0) return;
    const qint64 deadline = clock_.nsecsElapsed() + qint64{ms} * 1'000'000;
    // The 2 ms polls of the receive wait are too short for a timer round trip to be worth it.
    if (ms <= 2) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
    }
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(ms);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    // A timer may fire a little early; the protocol pause is a minimum.
    const qint64 left = deadline - clock_.nsecsElapsed();
    if (left > 0) std::this_thread::sleep_for(std::chrono::nanoseconds(left));
}

std::chrono::microseconds QtPacer::now() const { return std::chrono::microseconds(clock_.nsecsElapsed() / 1000); }

}  // namespace sequaflow::ui
