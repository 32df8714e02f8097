#include "ui/widgets/round_meter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "ui/widgets/instrument_math.h"

namespace sequaflow::ui {

namespace {

constexpr double kDesign = 200.0;     // side of the design square
constexpr double kStartDeg = 225.0;   // angle of the minimum, counter-clockwise from 3 o'clock
constexpr double kSweepDeg = 270.0;
constexpr double kScaleRadius = 86.0;

double AngleOf(double fraction) { return kStartDeg - kSweepDeg * fraction; }

QPointF Polar(double radius, double degrees) {
    const double rad = degrees * std::numbers::pi / 180.0;
    return {radius * std::cos(rad), -radius * std::sin(rad)};
}

QFont DesignFont(const QFont& base, double pixels, bool bold) {
    QFont f = base;
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    f.setBold(bold);
    return f;
}

}  // namespace

RoundMeter::RoundMeter(QWidget* parent) : RangeWidget(0.0, 8.0, parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void RoundMeter::setSignalName(const QString& text) {
    if (text == signalName_) return;
    signalName_ = text;
    update();
}

void RoundMeter::setUnitText(const QString& text) {
    if (text == unitText_) return;
    unitText_ = text;
    update();
}

void RoundMeter::setMajorTicks(int intervals) {
    intervals = std::clamp(intervals, 1, 50);
    if (intervals == majorTicks_) return;
    majorTicks_ = intervals;
    update();
}

void RoundMeter::setMinorTicks(int steps) {
    steps = std::clamp(steps, 1, 20);
    if (steps == minorTicks_) return;
    minorTicks_ = steps;
    update();
}

void RoundMeter::setZones(const QList<MeterZone>& zones) {
    if (zones == zones_) return;
    zones_ = zones;
    update();
}

void RoundMeter::setValueTextVisible(bool visible) {
    if (visible == valueTextVisible_) return;
    valueTextVisible_ = visible;
    update();
}

void RoundMeter::setValueDecimals(int decimals) {
    decimals = std::clamp(decimals, 0, 6);
    if (decimals == valueDecimals_) return;
    valueDecimals_ = decimals;
    update();
}

QString RoundMeter::valueText() const { return LocaleNumber(value(), valueDecimals_); }

QSize RoundMeter::sizeHint() const { return {220, 220}; }
QSize RoundMeter::minimumSizeHint() const { return {100, 100}; }

void RoundMeter::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const double side = std::min(width(), height());
    p.translate(width() / 2.0, height() / 2.0);
    p.scale(side / kDesign, side / kDesign);
    paintFace(p);
    paintScale(p);
    paintTexts(p);
    paintNeedle(p);
}

void RoundMeter::paintFace(QPainter& p) const {
    QLinearGradient bezel(0, -100, 0, 100);
    bezel.setColorAt(0.0, QColor(0x7b, 0x86, 0x90));
    bezel.setColorAt(1.0, QColor(0x3a, 0x42, 0x4a));
    p.setPen(Qt::NoPen);
    p.setBrush(bezel);
    p.drawEllipse(QPointF(0, 0), 99, 99);

    QRadialGradient face(0, -20, 110);
    face.setColorAt(0.0, QColor(0xff, 0xff, 0xff));
    face.setColorAt(1.0, QColor(0xe6, 0xe9, 0xec));
    p.setBrush(face);
    p.drawEllipse(QPointF(0, 0), 93, 93);
}

void RoundMeter::paintScale(QPainter& p) const {
    const double lo = minimum();
    const double hi = maximum();
    const QRectF zoneRect(-80, -80, 160, 160);
    p.setBrush(Qt::NoBrush);
    for (const MeterZone& zone : zones_) {
        const double f1 = FractionInRange(std::min(zone.from, zone.to), lo, hi);
        const double f2 = FractionInRange(std::max(zone.from, zone.to), lo, hi);
        if (f2 <= f1) continue;
        p.setPen(QPen(zone.colour, 9.0, Qt::SolidLine, Qt::FlatCap));
        p.drawArc(zoneRect, static_cast<int>(std::lround(AngleOf(f1) * 16)),
                  static_cast<int>(std::lround(-kSweepDeg * (f2 - f1) * 16)));
    }

    const QColor ink(0x26, 0x32, 0x38);
    p.setPen(QPen(ink, 1.2, Qt::SolidLine, Qt::FlatCap));
    const QRectF scaleRect(-kScaleRadius, -kScaleRadius, 2 * kScaleRadius, 2 * kScaleRadius);
    p.drawArc(scaleRect, static_cast<int>(kStartDeg * 16), static_cast<int>(-kSweepDeg * 16));

    const int steps = majorTicks_ * minorTicks_;
    for (int i = 0; i <= steps; ++i) {
        const double a = AngleOf(static_cast<double>(i) / steps);
        const bool major = i % minorTicks_ == 0;
        p.setPen(QPen(ink, major ? 2.6 : 1.2, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(Polar(kScaleRadius, a), Polar(major ? 71.0 : 78.0, a));
    }

    const double step = (hi - lo) / majorTicks_;
    const int decimals = ScaleDecimals(lo, step);
    double numberPixels = majorTicks_ <= 10 ? 14.0 : (majorTicks_ <= 16 ? 11.0 : 8.0);
    if (decimals > 0) numberPixels -= 2.0;
    p.setFont(DesignFont(font(), numberPixels, true));
    p.setPen(ink);
    for (int i = 0; i <= majorTicks_; ++i) {
        const QPointF at = Polar(57.0, AngleOf(static_cast<double>(i) / majorTicks_));
        const QRectF box(at.x() - 20, at.y() - 9, 40, 18);
        p.drawText(box, Qt::AlignCenter, LocaleNumber(lo + step * i, decimals));
    }
}

void RoundMeter::paintTexts(QPainter& p) const {
    const QColor soft(0x4f, 0x5d, 0x68);
    if (!signalName_.isEmpty()) {
        const QFont f = DesignFont(font(), 12.0, true);
        p.setFont(f);
        p.setPen(soft);
        // Between the upper scale numbers and the hub.
        const QString text = QFontMetricsF(f).elidedText(signalName_, Qt::ElideRight, 74);
        p.drawText(QRectF(-38, -37, 76, 17), Qt::AlignCenter, text);
    }
    if (!unitText_.isEmpty()) {
        const QFont f = DesignFont(font(), 10.0, false);
        p.setFont(f);
        p.setPen(soft);
        const QString text = QFontMetricsF(f).elidedText(unitText_, Qt::ElideRight, 78);
        p.drawText(QRectF(-40, 13, 80, 16), Qt::AlignCenter, text);
    }
    if (valueTextVisible_) {
        p.setFont(DesignFont(font(), 24.0, true));
        p.setPen(QColor(0x1b, 0x25, 0x2d));
        p.drawText(QRectF(-45, 44, 90, 30), Qt::AlignCenter, valueText());
    }
}

void RoundMeter::paintNeedle(QPainter& p) const {
    const double a = AngleOf(fraction());
    QPainterPath needle;
    needle.moveTo(-14, -3.2);
    needle.lineTo(74, -1.2);
    needle.lineTo(80, 0);
    needle.lineTo(74, 1.2);
    needle.lineTo(-14, 3.2);
    needle.closeSubpath();

    p.save();
    p.rotate(-a);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 45));
    p.drawPath(needle.translated(1.5, 1.5));
    p.setBrush(QColor(0xc6, 0x28, 0x28));
    p.drawPath(needle);
    p.restore();

    QRadialGradient hub(-2, -2, 10);
    hub.setColorAt(0.0, QColor(0x78, 0x90, 0x9c));
    hub.setColorAt(1.0, QColor(0x26, 0x32, 0x38));
    p.setBrush(hub);
    p.drawEllipse(QPointF(0, 0), 9, 9);
}

}  // namespace sequaflow::ui
