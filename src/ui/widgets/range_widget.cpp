#include "ui/widgets/range_widget.h"

#include <cmath>

#include "ui/widgets/instrument_math.h"

namespace sequaflow::ui {

RangeWidget::RangeWidget(double minimum, double maximum, QWidget* parent)
    : QWidget(parent), minimum_(minimum), maximum_(std::max(minimum, maximum)), value_(minimum) {}

double RangeWidget::fraction() const { return FractionInRange(value_, minimum_, maximum_); }

void RangeWidget::setRange(double minimum, double maximum) {
    if (!std::isfinite(minimum) || !std::isfinite(maximum)) return;
    if (maximum < minimum) maximum = minimum;
    const double clamped = ClampToRange(value_, minimum, maximum);
    if (minimum == minimum_ && maximum == maximum_ && clamped == value_) return;
    minimum_ = minimum;
    maximum_ = maximum;
    const bool moved = clamped != value_;
    value_ = clamped;
    update();
    if (moved) emit valueChanged(value_);
}

void RangeWidget::setValue(double value) {
    if (std::isnan(value)) return;
    const double clamped = ClampToRange(value, minimum_, maximum_);
    if (clamped == value_) return;
    value_ = clamped;
    update();
    emit valueChanged(value_);
}

}  // namespace sequaflow::ui
