#include "ui/dialogs/simulated_engine_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace sequaflow::ui {

SimulatedEngineDialog::SimulatedEngineDialog(Drive drive, QWidget* parent)
    : QDialog(parent), drive_(std::move(drive)) {
    setObjectName(QStringLiteral("SimulatedEngineDialog"));
    setWindowTitle(QStringLiteral("Simulated engine"));
    setModal(false);

    speed_ = new QSlider(Qt::Horizontal, this);
    speed_->setObjectName(QStringLiteral("SliderEngineSpeed"));
    speed_->setRange(0, kMaxRpm);
    speed_->setSingleStep(50);
    speed_->setPageStep(500);
    speed_->setTickInterval(500);
    speed_->setTickPosition(QSlider::TicksBelow);
    speed_->setMinimumWidth(320);
    speedText_ = new QLabel(this);
    speedText_->setObjectName(QStringLiteral("LabelEngineSpeed"));
    speedText_->setMinimumWidth(110);

    pump_ = new QPushButton(QStringLiteral("Pump the pedal"), this);
    pump_->setObjectName(QStringLiteral("ButtonPumpPedal"));
    pump_->setCheckable(true);
    pump_->setAutoDefault(false);  // Enter in the temperature box must not touch the pedal

    reducer_ = new QSpinBox(this);
    reducer_->setObjectName(QStringLiteral("SpinReducerTemperature"));
    reducer_->setRange(static_cast<int>(sim::kMinReducerCelsius), static_cast<int>(sim::kMaxReducerCelsius));
    reducer_->setSuffix(QStringLiteral(" °C"));
    reducer_->setValue(60);
    setReducer_ = new QPushButton(QStringLiteral("Set"), this);
    setReducer_->setObjectName(QStringLiteral("ButtonSetReducer"));
    setReducer_->setDefault(true);  // Enter in the temperature box sets it

    auto* speedRow = new QHBoxLayout;
    speedRow->addWidget(speed_, 1);
    speedRow->addWidget(speedText_);
    auto* reducerRow = new QHBoxLayout;
    reducerRow->addWidget(reducer_);
    reducerRow->addWidget(setReducer_);
    reducerRow->addStretch(1);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Engine speed"), speedRow);
    form->addRow(QStringLiteral("Accelerator"), pump_);
    form->addRow(QStringLiteral("Reducer"), reducerRow);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);

    showSpeed(0);
    // The slider snaps to 50 rpm, as a hand on the throttle could hold it.
    connect(speed_, &QSlider::valueChanged, this, [this](int value) {
        const int rpm = (value + 25) / 50 * 50;
        if (rpm != value) {
            speed_->setValue(rpm);  // comes back here with the snapped value
            return;
        }
        showSpeed(rpm);
        drive_(sim::DriverCommand::Rpm(rpm));
    });
    connect(pump_, &QPushButton::toggled, this, [this](bool on) { drive_(sim::DriverCommand::Pump(on)); });
    connect(setReducer_, &QPushButton::clicked, this,
            [this] { drive_(sim::DriverCommand::Reducer(reducer_->value())); });
}

void SimulatedEngineDialog::showSpeed(int rpm) {
    speedText_->setText(rpm == 0 ? QStringLiteral("free running") : QStringLiteral("%1 rpm").arg(rpm));
}

}  // namespace sequaflow::ui
