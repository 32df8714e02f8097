#pragma once

#include <QWidget>
#include <array>

class QLineEdit;

namespace sequaflow::ui {

class Session;
class VerticalBar;

// Page TabSheet7 ("Mapa"): the standard map's twelve segments with the live petrol time marking the one the
// engine is in. Editing, the strip and the graph arrive with the work on the map pages.
class StandardMapPage final : public QWidget {
    Q_OBJECT
public:
    explicit StandardMapPage(Session& session, QWidget* parent = nullptr);

    int markedSegment() const { return marked_; }

public slots:
    void showReadings();
    void showMaps();

private:
    Session& session_;
    VerticalBar* bar_;
    std::array<QLineEdit*, 12> headers_{};
    std::array<QLineEdit*, 12> cells_{};
    int marked_ = -1;
};

}  // namespace sequaflow::ui
