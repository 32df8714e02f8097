#pragma once

#include <QObject>

#include "live/readings.h"

namespace sequaflow::ui {

// What the readings tick learned, for every view that shows live values: each accepted frame, and whether
// the line is there at all (while it is lost the views grey out their last values instead of showing them
// as if they were current).
class LiveFeed final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    const live::ReadingsView& view() const { return view_; }
    bool stale() const { return stale_; }

    void accept(const live::ReadingsView& view);
    void setStale(bool stale);

signals:
    void frameAccepted(const live::ReadingsView& view);
    void staleChanged(bool stale);

private:
    live::ReadingsView view_;
    bool stale_ = false;
};

}  // namespace sequaflow::ui
