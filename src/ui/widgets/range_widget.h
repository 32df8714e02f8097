#pragma once

#include <QWidget>
#include <algorithm>

namespace sequaflow::ui {

// Base of the widgets that show one number on a scale: keeps minimum, maximum and a value held inside
// them, and repaints only when one of them really changes.
class RangeWidget : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(double maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(double value READ value WRITE setValue NOTIFY valueChanged)

public:
    double minimum() const { return minimum_; }
    double maximum() const { return maximum_; }
    double value() const { return value_; }
    // Position of the value on the scale, 0..1.
    double fraction() const;

    // A maximum below the minimum is raised to it; non-finite bounds are ignored. The value is
    // clamped into the new range.
    void setRange(double minimum, double maximum);
    void setMinimum(double minimum) { setRange(minimum, std::max(minimum, maximum_)); }
    void setMaximum(double maximum) { setRange(std::min(minimum_, maximum), maximum); }

public slots:
    // Clamped to the range; NaN is ignored so a failed conversion leaves the last reading shown.
    void setValue(double value);

signals:
    void valueChanged(double value);

protected:
    RangeWidget(double minimum, double maximum, QWidget* parent);

private:
    double minimum_;
    double maximum_;
    double value_;
};

}  // namespace sequaflow::ui
