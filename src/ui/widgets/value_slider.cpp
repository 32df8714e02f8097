#include "ui/widgets/value_slider.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <algorithm>
#include <cmath>

#include "ui/widgets/instrument_math.h"

namespace sequaflow::ui {

namespace {

constexpr double kMaxSteps = 100000.0;  // keeps the int positions of the slider small

}  // namespace

ValueSlider::ValueSlider(QWidget* parent)
    : QWidget(parent), slider_(new QSlider(Qt::Horizontal, this)), label_(new QLabel(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(slider_, 1);
    layout->addWidget(label_);
    applyLabelFont();
    label_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    slider_->setTickPosition(QSlider::TicksBelow);
    setFocusProxy(slider_);
    connect(slider_, &QSlider::valueChanged, this, &ValueSlider::onSliderMoved);
    rebuildSlider();
}

void ValueSlider::applyLabelFont() {
    // Derived from the widget's font on every change, so a larger font on the page enlarges it too.
    QFont f = font();
    f.setBold(true);
    if (f.pixelSize() > 0)
        f.setPixelSize(f.pixelSize() * 5 / 4);
    else
        f.setPointSizeF(f.pointSizeF() * 1.25);
    label_->setFont(f);
}

void ValueSlider::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        applyLabelFont();
        rebuildSlider();
    }
}

QString ValueSlider::valueText() const { return LocaleNumber(value_, decimals_) + suffix_; }

int ValueSlider::positionOf(double value) const {
    return static_cast<int>(std::lround((value - minimum_) / step_));
}

void ValueSlider::rebuildSlider() {
    syncing_ = true;
    const int steps = std::max(0, positionOf(maximum_));
    slider_->setRange(0, steps);
    slider_->setSingleStep(1);
    const int page = std::max(1, steps / 10);
    slider_->setPageStep(page);
    slider_->setTickInterval(page);
    slider_->setValue(positionOf(value_));
    syncing_ = false;

    // The label is as wide as the widest text it can show, so the slider does not jump as it moves.
    const QFontMetrics fm(label_->font());
    const int widest = std::max(fm.horizontalAdvance(LocaleNumber(minimum_, decimals_) + suffix_),
                                fm.horizontalAdvance(LocaleNumber(maximum_, decimals_) + suffix_));
    label_->setMinimumWidth(widest + fm.horizontalAdvance(QLatin1Char('0')));
    refreshText();
}

void ValueSlider::refreshText() { label_->setText(valueText()); }

void ValueSlider::setRange(double minimum, double maximum) {
    if (!std::isfinite(minimum) || !std::isfinite(maximum)) return;
    maximum = std::max(minimum, maximum);
    if (minimum == minimum_ && maximum == maximum_) return;
    minimum_ = minimum;
    maximum_ = maximum;
    // Keep the step count bounded for very wide ranges.
    step_ = std::max(step_, (maximum_ - minimum_) / kMaxSteps);
    const double clamped = ClampToRange(value_, minimum_, maximum_);
    const bool moved = clamped != value_;
    value_ = clamped;
    rebuildSlider();
    if (moved) emit valueChanged(value_);
}

void ValueSlider::setSingleStep(double step) {
    if (!std::isfinite(step) || step <= 0.0) return;
    step = std::max(step, (maximum_ - minimum_) / kMaxSteps);
    if (step == step_) return;
    step_ = step;
    rebuildSlider();
}

void ValueSlider::setDecimals(int decimals) {
    decimals = std::clamp(decimals, 0, 6);
    if (decimals == decimals_) return;
    decimals_ = decimals;
    rebuildSlider();
}

void ValueSlider::setSuffix(const QString& suffix) {
    if (suffix == suffix_) return;
    suffix_ = suffix;
    rebuildSlider();
}

void ValueSlider::setValue(double value) {
    if (std::isnan(value)) return;
    const double clamped = ClampToRange(value, minimum_, maximum_);
    if (clamped == value_) return;
    value_ = clamped;
    syncing_ = true;
    slider_->setValue(positionOf(value_));
    syncing_ = false;
    refreshText();
    emit valueChanged(value_);
}

void ValueSlider::onSliderMoved(int position) {
    if (syncing_) return;
    // Snap to 1e-9 so a step like 0.01 gives exactly 1.25 and not 1.2500000000000002: callers
    // truncate the value into controller units and must not lose a unit to rounding noise.
    const double v = std::min(maximum_, std::round((minimum_ + position * step_) * 1e9) / 1e9);
    if (v == value_) return;
    value_ = v;
    refreshText();
    emit valueChanged(value_);
    emit valueEdited(value_);
}

}  // namespace sequaflow::ui
