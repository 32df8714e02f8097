#include "ui/widgets/thermometer.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

#include "ui/widgets/instrument_math.h"

namespace sequaflow::ui {

namespace {

// Design box: 100 wide, 260 high.
constexpr double kBoxW = 100.0;
constexpr double kBoxH = 260.0;
constexpr double kTubeX = 22.0;       // left edge of the tube
constexpr double kTubeW = 16.0;
constexpr double kTubeTop = 44.0;
constexpr double kScaleTop = 54.0;    // value = maximum
constexpr double kScaleBottom = 206.0;  // value = minimum
constexpr double kBulbY = 230.0;
constexpr double kBulbR = 19.0;

// Font for the design box at scale s: `pixels` in design units, but never under `floorPx` on screen.
QFont PixelFont(const QFont& base, double pixels, double s, double floorPx, bool bold) {
    QFont f = base;
    const double design = std::max(pixels, floorPx / std::max(s, 0.01));
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(design))));
    f.setBold(bold);
    return f;
}

}  // namespace

Thermometer::Thermometer(QWidget* parent) : RangeWidget(-20.0, 120.0, parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
}

void Thermometer::setColour(const QColor& colour) {
    if (colour == colour_) return;
    colour_ = colour;
    update();
}

void Thermometer::setUnitText(const QString& text) {
    if (text == unitText_) return;
    unitText_ = text;
    update();
}

void Thermometer::setMajorTicks(int intervals) {
    intervals = std::clamp(intervals, 1, 20);
    if (intervals == majorTicks_) return;
    majorTicks_ = intervals;
    update();
}

void Thermometer::setValueTextVisible(bool visible) {
    if (visible == valueTextVisible_) return;
    valueTextVisible_ = visible;
    update();
}

QString Thermometer::valueText() const { return LocaleNumber(value(), 0) + unitText_; }

QSize Thermometer::sizeHint() const { return {80, 208}; }
QSize Thermometer::minimumSizeHint() const { return {50, 130}; }

void Thermometer::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const double s = std::min(width() / kBoxW, height() / kBoxH);
    p.translate((width() - kBoxW * s) / 2.0, (height() - kBoxH * s) / 2.0);
    p.scale(s, s);

    const QColor ink(0x26, 0x32, 0x38);
    if (valueTextVisible_) {
        p.setFont(PixelFont(font(), 24, s, 14, true));
        p.setPen(ink);
        p.drawText(QRectF(0, 0, kBoxW, 34), Qt::AlignCenter, valueText());
    }

    // Glass: tube and bulb as one outline.
    const double tubeCx = kTubeX + kTubeW / 2;
    QPainterPath glass;
    glass.addRoundedRect(QRectF(kTubeX, kTubeTop, kTubeW, kBulbY - kTubeTop), kTubeW / 2, kTubeW / 2);
    glass.addEllipse(QPointF(tubeCx, kBulbY), kBulbR, kBulbR);
    glass = glass.simplified();
    p.setPen(QPen(QColor(0x8a, 0x96, 0xa0), 1.5));
    p.setBrush(QColor(0xf4, 0xf6, 0xf8));
    p.drawPath(glass);

    // Column: from the bulb up to the value.
    const double level = kScaleBottom - (kScaleBottom - kScaleTop) * fraction();
    const double inset = 4.0;
    QPainterPath column;
    column.addRoundedRect(QRectF(kTubeX + inset, level, kTubeW - 2 * inset, kBulbY - level), 3, 3);
    column.addEllipse(QPointF(tubeCx, kBulbY), kBulbR - inset, kBulbR - inset);
    QLinearGradient shade(kTubeX, 0, kTubeX + kTubeW, 0);
    shade.setColorAt(0.0, colour_.darker(115));
    shade.setColorAt(0.4, MixColours(colour_, Qt::white, 0.3));
    shade.setColorAt(1.0, colour_.darker(125));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawPath(column.simplified());

    // Scale on the right of the tube.
    const double lo = minimum();
    const double hi = maximum();
    const double step = (hi - lo) / majorTicks_;
    const int decimals = ScaleDecimals(lo, step);
    const double tickX = kTubeX + kTubeW + 3;
    p.setFont(PixelFont(font(), majorTicks_ <= 10 ? 16 : 11, s, 10, false));
    for (int i = 0; i <= majorTicks_; ++i) {
        const double y = kScaleBottom - (kScaleBottom - kScaleTop) * i / majorTicks_;
        p.setPen(QPen(ink, 1.6));
        p.drawLine(QPointF(tickX, y), QPointF(tickX + 9, y));
        if (i < majorTicks_) {
            const double ym = y - (kScaleBottom - kScaleTop) / (2.0 * majorTicks_);
            p.setPen(QPen(ink, 1.0));
            p.drawLine(QPointF(tickX, ym), QPointF(tickX + 5, ym));
        }
        p.setPen(ink);
        p.drawText(QRectF(tickX + 12, y - 10, kBoxW - tickX - 12, 20), Qt::AlignLeft | Qt::AlignVCenter,
                   LocaleNumber(lo + step * i, decimals));
    }
}

}  // namespace sequaflow::ui
