#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include "ui/widgets/left_click.h"

class QTimer;

namespace sequaflow::ui {

// A signal lamp with an optional caption beside it. While on and flashing, the light goes out and
// comes back at the flash rate; the timer runs only while there is something to flash on screen.
class LedLamp final : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool on READ isOn WRITE setOn)
    Q_PROPERTY(bool flashing READ isFlashing WRITE setFlashing)
    Q_PROPERTY(QColor colour READ colour WRITE setColour)
    Q_PROPERTY(QString caption READ caption WRITE setCaption)

public:
    explicit LedLamp(QWidget* parent = nullptr);

    bool isOn() const { return on_; }
    bool isFlashing() const { return flashing_; }
    // Whether the light is drawn lit right now (on, and not in the dark half of a flash).
    bool isLit() const { return on_ && (!flashing_ || flashPhaseLit_); }
    QColor colour() const { return colour_; }
    QString caption() const { return caption_; }
    // Flashes per second (one lit and one dark half each); 0.5..20.
    double flashRate() const { return flashRate_; }
    void setFlashRate(double hertz);

    void setColour(const QColor& colour);
    void setCaption(const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    void setOn(bool on);
    void setFlashing(bool flashing);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void updateTimer();
    void toggleFlash();
    QRectF lampRect() const;

    bool on_ = false;
    bool flashing_ = false;
    bool flashPhaseLit_ = true;
    LeftClick click_;
    double flashRate_ = 4.0;
    QColor colour_{255, 0, 0};
    QString caption_;
    QTimer* timer_;
};

}  // namespace sequaflow::ui
