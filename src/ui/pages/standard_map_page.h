#pragma once

#include <QWidget>

#include <array>

#include "ui/page.h"

class QLineEdit;

namespace sequaflow::ui {

class ConfigurationModel;
class LiveFeed;
class VerticalBar;

// Page TabSheet7 ("Mapa"): the standard map's twelve segments with the live petrol time marking the one the
// engine is in. Editing, the strip and the graph arrive with the work on the map pages.
class StandardMapPage final : public QWidget, public Page {
    Q_OBJECT
public:
    StandardMapPage(const ConfigurationModel& model, const LiveFeed& feed, QWidget* parent = nullptr);

    int markedSegment() const { return marked_; }

public slots:
    void showReadings();
    void showMaps();

private:
    const ConfigurationModel& model_;
    const LiveFeed& feed_;
    VerticalBar* bar_;
    std::array<QLineEdit*, 12> headers_{};
    std::array<QLineEdit*, 12> cells_{};
    int marked_ = -1;
};

}  // namespace sequaflow::ui
