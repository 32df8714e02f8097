#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QSlider;

namespace sequaflow::ui {

// A horizontal slider over a range of real numbers with its value as text beside it. The slider moves
// in steps of singleStep; a value set from code is kept exactly (the knob goes to the nearest step).
class ValueSlider final : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue NOTIFY valueChanged)

public:
    explicit ValueSlider(QWidget* parent = nullptr);

    double minimum() const { return minimum_; }
    double maximum() const { return maximum_; }
    double singleStep() const { return step_; }
    double value() const { return value_; }
    int decimals() const { return decimals_; }
    QString suffix() const { return suffix_; }
    QString valueText() const;

    // A maximum below the minimum is raised to it; the value is clamped into the new range.
    void setRange(double minimum, double maximum);
    // Smallest move of the knob (> 0); the range is cut into at most 100000 steps.
    void setSingleStep(double step);
    void setDecimals(int decimals);
    void setSuffix(const QString& suffix);

    QSlider* slider() const { return slider_; }

public slots:
    void setValue(double value);

signals:
    // Every change of the value, from code or from the user.
    void valueChanged(double value);
    // Only changes made by the user with mouse or keys.
    void valueEdited(double value);

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyLabelFont();
    void rebuildSlider();
    void onSliderMoved(int position);
    void refreshText();
    int positionOf(double value) const;

    double minimum_ = 0.0;
    double maximum_ = 100.0;
    double step_ = 1.0;
    double value_ = 0.0;
    int decimals_ = 0;
    QString suffix_;
    bool syncing_ = false;
    QSlider* slider_;
    QLabel* label_;
};

}  // namespace sequaflow::ui
