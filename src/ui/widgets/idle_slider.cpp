#include "ui/widgets/idle_slider.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>
#include <cmath>

#include "live/conversions.h"
#include "params/parameter_numbers.h"
#include "params/parameter_settings.h"
#include "ui/parameter_controls.h"

namespace sequaflow::ui {

namespace {
QString MsText(int hundredths, char separator) {
    QString t = QString::number(hundredths / 100.0, 'f', 2);
    t.replace(QLatin1Char('.'), QLatin1Char(separator));
    return hundredths >= 0 ? QLatin1Char('+') + t : t;
}
}  // namespace

IdleSlider::IdleSlider(ParameterControls& controls, const QString& name, QWidget* parent)
    : QWidget(parent), controls_(controls) {
    setObjectName(name + QStringLiteral("Box"));
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setObjectName(name);
    slider_->setRange(kMinimumHundredths, kMaximumHundredths);
    slider_->setSingleStep(1);
    slider_->setPageStep(10);
    slider_->setTickPosition(QSlider::TicksBelow);
    slider_->setTickInterval(50);
    // Every write holds the line for a parameter's frames: one write when the slider is let go, not one per
    // pixel of a drag.
    slider_->setTracking(false);
    value_ = new QLabel(this);
    value_->setMinimumWidth(value_->fontMetrics().horizontalAdvance(QStringLiteral("+0,00 ms")) + 4);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(slider_, 1);
    row->addWidget(value_);
    connect(slider_, &QSlider::sliderMoved, this,
            [this](int v) { value_->setText(MsText(v, controls_.separator()) + QStringLiteral(" ms")); });
    connect(slider_, &QSlider::valueChanged, this, &IdleSlider::write);
    ConfigurationModel& model = controls_.model();
    connect(&model, &ConfigurationModel::parameterChanged, this, [this](int slot) {
        if (slot == params::pn::IdleCorrection || slot == params::pn::FirstFlags) showParameter();
    });
    connect(&model, &ConfigurationModel::readFinished, this, &IdleSlider::showParameter);
    showParameter();
}

double IdleSlider::valueMs() const { return slider_->value() / 100.0; }

void IdleSlider::showParameter() {
    const auto& image = controls_.model().image();
    const float ms = live::SignedTicksToMs(image.slot(params::pn::IdleCorrection), image.fastClock());
    const int hundredths = std::clamp(static_cast<int>(std::lround(ms * 100.0)), kMinimumHundredths, kMaximumHundredths);
    const QSignalBlocker quiet(slider_);
    slider_->setValue(hundredths);
    value_->setText(MsText(hundredths, controls_.separator()) + QStringLiteral(" ms"));
}

void IdleSlider::write(int hundredths) {
    const std::string text = MsText(hundredths, controls_.separator()).toStdString();
    const bool written = controls_.run([&text, sep = controls_.separator()](link::Link& link, params::ProgramState& state) {
        return params::WriteEditor(link, state.image, params::pn::IdleCorrection, text, sep,
                                   params::EditorEvent::EnterReleased);
    });
    // A refused write (the line busy) leaves the controller as it was: so does the slider.
    if (!written) showParameter();
}

}  // namespace sequaflow::ui
