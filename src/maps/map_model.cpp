#include "maps/map_model.h"

#include <algorithm>

#include "live/conversions.h"
#include "params/number_text.h"

namespace sequaflow::maps {

std::string GridCellText(int value) { return value > 0 ? "+" + std::to_string(value) : std::to_string(value); }

std::string PlainCellText(int value) { return std::to_string(value); }

Rgb ValueColour(int value) {
    const int v = std::min(value, 50);
    if (v > 0) {
        const auto fade = static_cast<std::uint8_t>(255 - 3 * v);
        return {255, fade, fade};
    }
    if (v < 0) {
        const auto fade = static_cast<std::uint8_t>(std::max(0, 255 + 4 * v));
        return {fade, fade, 255};
    }
    return {255, 255, 255};
}

std::uint8_t GridStoreWord(int row, int column) {
    return static_cast<std::uint8_t>(kFirstGridStoreWord + 6 * column + row / 2);
}

std::uint16_t GridStoreValue(const MapModel& model, int row, int column) {
    const int top = row / 2 * 2;
    return static_cast<std::uint16_t>(model.cellByte(top, column) << 8 | model.cellByte(top + 1, column));
}

std::string PointText(const MapModel& model, int i, const params::ParameterImage& image, char decimalSeparator) {
    if (i < kSpeedPoints) return std::to_string(live::PeriodToRpm(model.point(i), image.ignitionType()));
    return live::FormatFixed(live::TicksToMs(model.point(i), image.fastClock()), 4, 1, decimalSeparator);
}

std::optional<std::uint32_t> PointFromText(int i, std::string_view text, const params::ParameterImage& image) {
    const auto number = params::ParseDecimal(text);
    if (!number || i < 0 || i >= kPoints) return std::nullopt;
    if (i < kSpeedPoints) {
        const float rpm = *number;
        const auto whole = rpm <= 0 ? 0u : rpm >= 4.0e9f ? 4000000000u : static_cast<std::uint32_t>(rpm);
        return static_cast<std::uint32_t>(live::RpmToPeriod(whole, image.ignitionType()));
    }
    const std::int32_t ticks = live::MsToTicks(*number, image.fastClock());
    return ticks < 0 ? 0u : static_cast<std::uint32_t>(ticks);
}

int Segment(double value, std::span<const double> breakpoints) {
    int segment = 1;
    for (const double b : breakpoints) {
        if (value > b) ++segment;
        else break;
    }
    return segment;
}

std::optional<Breakpoints> BreakpointsFromTexts(std::span<const std::string, kPoints> texts) {
    Breakpoints b;
    for (int i = 0; i < kPoints; ++i) {
        const auto v = params::ParseDecimal(texts[static_cast<std::size_t>(i)]);
        if (!v) return std::nullopt;
        if (i < kSpeedPoints) b.speeds[static_cast<std::size_t>(i)] = *v;
        else b.times[static_cast<std::size_t>(i - kSpeedPoints)] = *v;
    }
    return b;
}

Breakpoints BreakpointsOf(const MapModel& model, const params::ParameterImage& image) {
    Breakpoints b;
    for (int i = 0; i < kSpeedPoints; ++i)
        b.speeds[static_cast<std::size_t>(i)] = live::PeriodToRpm(model.point(i), image.ignitionType());
    for (int i = 0; i < kTimePoints; ++i) {
        // As the header text shows it, so the comparison is the one the user sees.
        const float ms = live::TicksToMs(model.point(kSpeedPoints + i), image.fastClock());
        b.times[static_cast<std::size_t>(i)] = params::ParseDecimal(live::FormatFixed(ms, 4, 1, '.')).value_or(0.0f);
    }
    return b;
}

GridPosition LocateOperatingPoint(std::uint32_t periodWord, std::uint32_t petrolTicksWord, int ignitionType,
                                  bool fastClock, const Breakpoints& breakpoints) {
    const auto rpm = static_cast<double>(live::PeriodToRpm(periodWord, ignitionType));
    const auto ms = static_cast<double>(live::TicksToMs(petrolTicksWord, fastClock));
    return {Segment(rpm, breakpoints.speeds), Segment(ms, breakpoints.times)};
}

}  // namespace sequaflow::maps
