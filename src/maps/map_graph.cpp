#include "maps/map_graph.h"

#include <algorithm>
#include <cmath>

#include "params/number_text.h"

namespace sequaflow::maps {

namespace {
int Pixel(double v) { return static_cast<int>(std::trunc(v)); }
constexpr std::size_t At(int i) { return static_cast<std::size_t>(i); }
}  // namespace

GraphGeometry MapGraphGeometry(int width, int height, int maximum, std::span<const double, kTimePoints> timesMs,
                               std::span<const int, kStdCells> values) {
    GraphGeometry g;
    g.width = width;
    g.height = height;
    const double y0 = height * 2.0 / 3.0;
    g.zeroY = Pixel(y0);
    g.pixelsPerPercent = maximum > 0 ? height / (maximum * 1.6) : 0.0;
    const double span = timesMs[kTimePoints - 1] + 2.0;
    g.pixelsPerMs = span > 0 ? width / span : 0.0;

    std::array<double, kTimePoints> x{};
    for (int k = 0; k < kTimePoints; ++k) {
        x[At(k)] = timesMs[At(k)] * g.pixelsPerMs;
        g.breakpointX[At(k)] = Pixel(x[At(k)]);
        // The first label sits further left: it is the one nearest the border.
        g.label[At(k)] = {Pixel(x[At(k)]) - (k == 0 ? 10 : 5), g.zeroY + 5};
    }
    for (int k = 0; k < kStdCells; ++k) {
        const double left = k == 0 ? 0.0 : x[At(k - 1)];
        const double right = k == kStdCells - 1 ? width - 2.0 : x[At(k)];
        const double top = y0 - values[At(k)] * g.pixelsPerPercent;
        g.barLeft[At(k)] = Pixel(left);
        g.barRight[At(k)] = Pixel(right);
        g.barTop[At(k)] = Pixel(top);
        const double centre = k == kStdCells - 1 ? (width + x[At(kTimePoints - 1)]) / 2.0 : (left + x[At(k)]) / 2.0;
        g.marker[At(k)] = {Pixel(centre), Pixel(top)};
    }
    return g;
}

int SegmentUnderPointer(const GraphGeometry& g, int x, int previous) {
    const auto& b = g.breakpointX;
    if (x < b[0]) return 0;
    const int last = b[At(kTimePoints - 1)];
    if (x > last) return kTimePoints;
    for (int k = 1; k < kTimePoints; ++k)
        if (x >= b[At(k - 1)] && x < b[At(k)]) return k;
    // Exactly on the last breakpoint (or among breakpoints that do not rise): stay where the pointer was.
    return previous;
}

int ValueAtPointer(const GraphGeometry& g, int y, int maximum) {
    if (g.pixelsPerPercent <= 0) return 0;
    const double y0 = g.height * 2.0 / 3.0;
    const double v = std::trunc((y0 - y) / g.pixelsPerPercent);
    return static_cast<int>(std::clamp(v, static_cast<double>(kCellMinimum), static_cast<double>(maximum)));
}

std::optional<int> FirstNonRisingPoint(const Breakpoints& b) {
    if (!(b.speeds[0] > 0)) return 0;
    if (!(b.times[0] > 0)) return kSpeedPoints;
    for (int i = 1; i < kSpeedPoints; ++i)
        if (!(b.speeds[At(i)] > b.speeds[At(i - 1)])) return i;
    for (int i = 1; i < kTimePoints; ++i)
        if (!(b.times[At(i)] > b.times[At(i - 1)])) return kSpeedPoints + i;
    return std::nullopt;
}

std::optional<PointTextProblem> CheckPointTexts(std::span<const std::string, kPoints> texts) {
    for (int i = 0; i < kPoints; ++i)
        if (!params::ParseDecimal(texts[At(i)])) return PointTextProblem{PointTextProblem::Kind::NotANumber, i};
    const auto numbers = BreakpointsFromTexts(texts);
    if (!numbers) return PointTextProblem{PointTextProblem::Kind::NotANumber, 0};
    if (const auto i = FirstNonRisingPoint(*numbers)) return PointTextProblem{PointTextProblem::Kind::NotRising, *i};
    return std::nullopt;
}

}  // namespace sequaflow::maps
