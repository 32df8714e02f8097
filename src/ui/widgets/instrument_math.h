#pragma once

#include <QColor>
#include <QString>

namespace sequaflow::ui {

// Shared arithmetic of the instrument widgets: kept free of painting so the edge cases (empty ranges,
// NaN from a bad conversion) are handled once.

// v limited to lo..hi; a NaN gives lo so a bad reading never leaves the scale.
[[nodiscard]] double ClampToRange(double v, double lo, double hi);

// Position of v in lo..hi as 0..1; an empty range gives 0.
[[nodiscard]] double FractionInRange(double v, double lo, double hi);

// Decimals needed to print every multiple of step from start without losing digits (0..3).
[[nodiscard]] int ScaleDecimals(double start, double step);

// A number in the current locale (decimal comma where the locale has one) with fixed decimals.
[[nodiscard]] QString LocaleNumber(double v, int decimals);

// Linear mix of two colours, t = 0 gives a, t = 1 gives b.
[[nodiscard]] QColor MixColours(const QColor& a, const QColor& b, double t);

// Black or white, whichever reads better on the given face.
[[nodiscard]] QColor ContrastTextColour(const QColor& face);

}  // namespace sequaflow::ui
