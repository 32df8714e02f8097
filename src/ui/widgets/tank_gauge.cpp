#include "ui/widgets/tank_gauge.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>

#include "ui/widgets/instrument_math.h"

namespace sequaflow::ui {

namespace {

// Design box 140 x 120: tank body, valve on top, step lamps below.
constexpr double kBoxW = 140.0;
constexpr double kBoxH = 120.0;
constexpr QRectF kBody{8.0, 16.0, 124.0, 64.0};
constexpr double kLampsTop = 92.0;
constexpr double kLampsHeight = 18.0;

// Share of the tank drawn filled at each level (index = level).
constexpr std::array<double, TankGauge::kLevels> kFill = {0.0, 0.12, 0.25, 0.5, 0.75, 1.0};

QColor ReserveColour() { return {0xe5, 0x39, 0x35}; }
QColor GasColour() { return {0x2e, 0x9d, 0x4f}; }
QColor OffColour() { return {0xd5, 0xda, 0xde}; }

}  // namespace

TankGauge::TankGauge(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void TankGauge::setLevel(int level) {
    level = std::clamp(level, 0, kLevels - 1);
    if (level == level_) return;
    level_ = level;
    update();
}

QSize TankGauge::sizeHint() const { return {140, 120}; }
QSize TankGauge::minimumSizeHint() const { return {56, 48}; }
int TankGauge::heightForWidth(int width) const {
    return static_cast<int>(width * kBoxH / kBoxW);
}

void TankGauge::mousePressEvent(QMouseEvent* event) {
    if (!click_.press(event)) QWidget::mousePressEvent(event);
}

void TankGauge::mouseReleaseEvent(QMouseEvent* event) {
    bool clicked = false;
    if (!click_.release(event, rect(), clicked)) return QWidget::mouseReleaseEvent(event);
    if (clicked) emit this->clicked();
}

void TankGauge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = std::min(width() / kBoxW, height() / kBoxH);
    p.translate((width() - kBoxW * s) / 2.0, (height() - kBoxH * s) / 2.0);
    p.scale(s, s);

    const bool known = level_ > 0;
    const QColor outline = known ? QColor(0x37, 0x47, 0x4f) : QColor(0x9e, 0xa7, 0xad);

    // Valve block on top of the tank.
    p.setPen(QPen(outline, 2.0));
    p.setBrush(known ? QColor(0xb0, 0xbe, 0xc5) : QColor(0xe3, 0xe7, 0xea));
    p.drawRoundedRect(QRectF(58, 4, 24, 14), 3, 3);

    // Body: a horizontal cylinder with rounded ends.
    const double endRadius = kBody.height() / 2.0;
    QPainterPath body;
    body.addRoundedRect(kBody, endRadius, endRadius);
    p.setBrush(known ? QColor(0xf3, 0xf5, 0xf7) : QColor(0xec, 0xef, 0xf1));
    p.drawPath(body);

    if (known) {
        const double share = kFill[static_cast<std::size_t>(level_)];
        const QColor liquid = level_ == 1 ? ReserveColour() : GasColour();
        const QRectF inner = kBody.adjusted(3, 3, -3, -3);
        QPainterPath innerPath;
        innerPath.addRoundedRect(inner, inner.height() / 2.0, inner.height() / 2.0);
        const double top = inner.bottom() - inner.height() * share;
        QPainterPath level;
        level.addRect(QRectF(inner.left(), top, inner.width(), inner.bottom() - top));
        QLinearGradient shade(0, inner.top(), 0, inner.bottom());
        shade.setColorAt(0.0, MixColours(liquid, Qt::white, 0.25));
        shade.setColorAt(1.0, liquid.darker(120));
        p.setPen(Qt::NoPen);
        p.setBrush(shade);
        p.drawPath(innerPath.intersected(level));
    } else {
        // Not on gas: a dash across the empty tank, so it cannot be mistaken for "empty".
        p.setPen(QPen(outline, 4.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(52, 48), QPointF(88, 48));
    }

    // Outline again, over the liquid.
    p.setPen(QPen(outline, 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(body);

    // Five step lamps: reserve, 1/4, 1/2, 3/4, full.
    constexpr double gap = 6.0;
    const double lampW = (kBody.width() - 4 * gap) / 5.0;
    for (int i = 0; i < 5; ++i) {
        const QRectF lamp(kBody.left() + i * (lampW + gap), kLampsTop, lampW, kLampsHeight);
        const bool lit = known && i < level_;
        const QColor fill = !lit ? OffColour() : (level_ == 1 ? ReserveColour() : GasColour());
        p.setPen(QPen(outline, 1.2));
        p.setBrush(fill);
        p.drawRoundedRect(lamp, 3, 3);
    }
}

}  // namespace sequaflow::ui
