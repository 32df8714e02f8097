#pragma once

#include <QWidget>

class QLabel;
class QSlider;

namespace sequaflow::ui {

class ParameterControls;

// The idle injection-time correction as a slider of -1.0 .. 3.0 ms. Moving it writes parameter 3 through the
// parameter controls; it shows whatever parameter 3 holds, so every slider on every page follows the one moved
// (and the hidden editor of the parameters page follows too).
class IdleSlider final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMinimumHundredths = -100;
    static constexpr int kMaximumHundredths = 300;

    IdleSlider(ParameterControls& controls, const QString& name, QWidget* parent = nullptr);

    QSlider* slider() const { return slider_; }
    double valueMs() const;
    // What parameter 3 holds now, without writing anything.
    void showParameter();

private:
    void write(int hundredths);

    ParameterControls& controls_;
    QSlider* slider_;
    QLabel* value_;
};

}  // namespace sequaflow::ui
