#include "ui/widgets/instrument_math.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace sequaflow::ui {

double ClampToRange(double v, double lo, double hi) {
    if (std::isnan(v)) return lo;
    if (hi < lo) return lo;
    return std::clamp(v, lo, hi);
}

double FractionInRange(double v, double lo, double hi) {
    const double span = hi - lo;
    if (!(span > 0.0) || !std::isfinite(span)) return 0.0;
    return (ClampToRange(v, lo, hi) - lo) / span;
}

int ScaleDecimals(double start, double step) {
    for (int d = 0; d < 3; ++d) {
        const double scale = std::pow(10.0, d);
        const auto whole = [scale](double x) {
            const double s = std::abs(x) * scale;
            return std::abs(s - std::round(s)) < 1e-6 * std::max(1.0, s);
        };
        if (whole(start) && whole(step)) return d;
    }
    return 3;
}

QString LocaleNumber(double v, int decimals) {
    // Avoid "-0" for values that round to zero.
    const double limit = 0.5 * std::pow(10.0, -decimals);
    if (std::abs(v) < limit) v = 0.0;
    return QLocale().toString(v, 'f', decimals);
}

QColor MixColours(const QColor& a, const QColor& b, double t) {
    t = ClampToRange(t, 0.0, 1.0);
    const QColor ra = a.toRgb();
    const QColor rb = b.toRgb();
    return QColor::fromRgbF(static_cast<float>(ra.redF() + (rb.redF() - ra.redF()) * t),
                            static_cast<float>(ra.greenF() + (rb.greenF() - ra.greenF()) * t),
                            static_cast<float>(ra.blueF() + (rb.blueF() - ra.blueF()) * t),
                            static_cast<float>(ra.alphaF() + (rb.alphaF() - ra.alphaF()) * t));
}

QColor ContrastTextColour(const QColor& face) {
    const QColor c = face.toRgb();
    // Perceived brightness (ITU-R BT.601 weights).
    const double luma = 0.299 * c.redF() + 0.587 * c.greenF() + 0.114 * c.blueF();
    return luma > 0.55 ? QColor(20, 24, 28) : QColor(255, 255, 255);
}

}  // namespace sequaflow::ui
