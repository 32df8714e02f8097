#pragma once

#include <QWidget>

class QLineEdit;

namespace sequaflow::ui {

class RoundMeter;
class Session;

// TabSheet5 ("Adaptacja"): the engine-speed meter of the auto-adaptation; the procedure itself comes later.
class AdaptationPage final : public QWidget {
    Q_OBJECT
public:
    explicit AdaptationPage(Session& session, QWidget* parent = nullptr);

public slots:
    void showReadings();

private:
    Session& session_;
    RoundMeter* meter_;
    QLineEdit* text_;
};

}  // namespace sequaflow::ui
