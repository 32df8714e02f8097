#include "ui/widgets/led_lamp.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "ui/widgets/instrument_math.h"

namespace sequaflow::ui {

namespace {

constexpr int kGap = 6;

int HalfPeriodMs(double hertz) { return std::max(1, static_cast<int>(std::lround(500.0 / hertz))); }

}  // namespace

LedLamp::LedLamp(QWidget* parent) : QWidget(parent), timer_(new QTimer(this)) {
    QFont f = font();
    f.setBold(true);
    setFont(f);
    setCursor(Qt::PointingHandCursor);
    timer_->setInterval(HalfPeriodMs(flashRate_));
    connect(timer_, &QTimer::timeout, this, &LedLamp::toggleFlash);
}

void LedLamp::setOn(bool on) {
    if (on == on_) return;
    on_ = on;
    updateTimer();
    update();
}

void LedLamp::setFlashing(bool flashing) {
    if (flashing == flashing_) return;
    flashing_ = flashing;
    updateTimer();
    if (on_) update();
}

void LedLamp::setFlashRate(double hertz) {
    if (!std::isfinite(hertz)) return;
    hertz = std::clamp(hertz, 0.5, 20.0);
    if (hertz == flashRate_) return;
    flashRate_ = hertz;
    timer_->setInterval(HalfPeriodMs(hertz));
}

void LedLamp::setColour(const QColor& colour) {
    if (colour == colour_) return;
    colour_ = colour;
    update();
}

void LedLamp::setCaption(const QString& text) {
    if (text == caption_) return;
    caption_ = text;
    updateGeometry();
    update();
}

void LedLamp::updateTimer() {
    const bool needed = on_ && flashing_ && isVisible();
    if (needed == timer_->isActive()) return;
    if (needed) {
        timer_->start();
    } else {
        timer_->stop();
        // A stopped flash always rests lit, never dark.
        if (!flashPhaseLit_) {
            flashPhaseLit_ = true;
            update();
        }
    }
}

void LedLamp::toggleFlash() {
    flashPhaseLit_ = !flashPhaseLit_;
    update();
}

void LedLamp::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    updateTimer();
}

void LedLamp::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    updateTimer();
}

void LedLamp::mousePressEvent(QMouseEvent* event) {
    if (!click_.press(event)) QWidget::mousePressEvent(event);
}

void LedLamp::mouseReleaseEvent(QMouseEvent* event) {
    bool clicked = false;
    if (!click_.release(event, rect(), clicked)) return QWidget::mouseReleaseEvent(event);
    if (clicked) emit this->clicked();
}

QSize LedLamp::sizeHint() const {
    const QFontMetrics fm(font());
    const int lamp = std::max(24, fm.height() + 6);
    if (caption_.isEmpty()) return {lamp, lamp};
    return {lamp + kGap + fm.horizontalAdvance(caption_) + 2, lamp};
}

QSize LedLamp::minimumSizeHint() const {
    const QFontMetrics fm(font());
    if (caption_.isEmpty()) return {10, 10};
    return {14 + kGap + fm.horizontalAdvance(caption_), std::max(14, fm.height())};
}

QRectF LedLamp::lampRect() const {
    double d = std::min(width(), height());
    if (!caption_.isEmpty()) d = std::min<double>(height(), std::max(10.0, width() * 0.4));
    d = std::max(0.0, d - 2.0);
    const double x = caption_.isEmpty() ? (width() - d) / 2.0 : 1.0;
    return {x, (height() - d) / 2.0, d, d};
}

void LedLamp::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF lamp = lampRect();
    if (lamp.width() >= 4) {
        const double ring = std::max(1.0, lamp.width() * 0.08);
        QLinearGradient bezel(lamp.topLeft(), lamp.bottomRight());
        bezel.setColorAt(0.0, QColor(0xb0, 0xb9, 0xc1));
        bezel.setColorAt(1.0, QColor(0x4a, 0x54, 0x5e));
        p.setPen(Qt::NoPen);
        p.setBrush(bezel);
        p.drawEllipse(lamp);

        const QRectF glass = lamp.adjusted(ring, ring, -ring, -ring);
        const QPointF c = glass.center();
        const double r = glass.width() / 2.0;
        QRadialGradient light(c.x() - r * 0.3, c.y() - r * 0.3, r * 1.3);
        if (isLit()) {
            light.setColorAt(0.0, MixColours(colour_, Qt::white, 0.65));
            light.setColorAt(0.45, colour_);
            light.setColorAt(1.0, colour_.darker(150));
        } else {
            // Dark but still tinted, so an off lamp reads as a lamp and not as a hole.
            const QColor dim = MixColours(colour_, QColor(0x55, 0x5c, 0x63), 0.75);
            light.setColorAt(0.0, dim.lighter(140));
            light.setColorAt(1.0, dim.darker(160));
        }
        p.setBrush(light);
        p.drawEllipse(glass);
    }

    if (!caption_.isEmpty()) {
        p.setPen(palette().color(QPalette::WindowText));
        const QRectF text(lamp.right() + kGap, 0, width() - lamp.right() - kGap, height());
        const QString shown = QFontMetrics(font()).elidedText(caption_, Qt::ElideRight,
                                                              static_cast<int>(text.width()));
        p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, shown);
    }
}

}  // namespace sequaflow::ui
