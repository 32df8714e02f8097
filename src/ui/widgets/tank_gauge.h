#pragma once

#include <QWidget>

#include "ui/widgets/left_click.h"

namespace sequaflow::ui {

// The gas tank picture: level 0 (not on gas or unknown) shows an empty grey tank, levels 1 (reserve)
// to 5 (full) a filling tank and a row of five step lamps like the controller's own indicator.
// A click toggles petrol and gas, so the picture reacts like a button.
class TankGauge final : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int level READ level WRITE setLevel)

public:
    static constexpr int kLevels = 6;

    explicit TankGauge(QWidget* parent = nullptr);

    int level() const { return level_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

public slots:
    // Clamped to 0..5.
    void setLevel(int level);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int level_ = 0;
    LeftClick click_;
};

}  // namespace sequaflow::ui
