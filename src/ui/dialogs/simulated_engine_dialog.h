#pragma once

#include <QDialog>
#include <functional>

#include "sim/engine_driver.h"

class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

namespace sequaflow::ui {

// The driver's seat of the demo car: engine speed, the accelerator pedal and the reducer temperature of
// the built-in simulated controller. Every change becomes one driver command handed to `drive`.
class SimulatedEngineDialog final : public QDialog {
    Q_OBJECT
public:
    using Drive = std::function<void(const sim::DriverCommand&)>;
    static constexpr int kMaxRpm = 6000;

    explicit SimulatedEngineDialog(Drive drive, QWidget* parent = nullptr);

    QSlider* speedSlider() const { return speed_; }
    QLabel* speedLabel() const { return speedText_; }
    QPushButton* pumpButton() const { return pump_; }
    QSpinBox* reducerBox() const { return reducer_; }
    QPushButton* reducerButton() const { return setReducer_; }

private:
    void showSpeed(int rpm);

    Drive drive_;
    QSlider* speed_;
    QLabel* speedText_;
    QPushButton* pump_;
    QSpinBox* reducer_;
    QPushButton* setReducer_;
};

}  // namespace sequaflow::ui
