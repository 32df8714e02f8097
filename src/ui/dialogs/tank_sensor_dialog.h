#pragma once

#include <QDialog>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;

namespace sequaflow::ui {

class FactoryPage;
class LedLamp;
class LiveFeed;
class ParameterControls;

// Dialog TForm12: the tank level lamps of the moment it opens, the live sensor voltage, the four
// thresholds and the direction (worked on as copies of the factory page's fields, which a save writes
// back), and the update period of the tank indicator.
class TankSensorDialog final : public QDialog {
    Q_OBJECT
public:
    TankSensorDialog(ParameterControls& controls, LiveFeed& feed, FactoryPage& factory, QWidget* parent = nullptr);

    // The lamps from the last live frame, the thresholds and direction from the factory page.
    void prepare();

public slots:
    // Prepares and shows the dialog modally; the result is Accepted after a save.
    int edit();

private:
    void save();
    void showVoltage(const QString& text);

    ParameterControls& controls_;
    LiveFeed& feed_;
    FactoryPage& factory_;
    std::array<LedLamp*, 5> lamps_{};
    std::array<QLineEdit*, 4> thresholds_{};  // parameters 30..33
    QComboBox* direction_ = nullptr;
    QLabel* voltage_ = nullptr;
};

}  // namespace sequaflow::ui
