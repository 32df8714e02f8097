#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>

#include "maps/map_model.h"

// The bar graph of the standard map: where everything is drawn for a picture of a given size, and what a
// pointer position on it means. Pixel positions are truncated towards zero, as they are drawn.
namespace sequaflow::maps {

struct GraphPoint {
    int x = 0;
    int y = 0;
    bool operator==(const GraphPoint&) const = default;
};

struct GraphGeometry {
    int width = 0;
    int height = 0;
    int zeroY = 0;             // the zero line, two thirds down
    double pixelsPerPercent = 0;
    double pixelsPerMs = 0;
    // Left edge of bar k (0..11) and its right edge; the last bar ends 2 pixels before the right border.
    std::array<int, kStdCells> barLeft{};
    std::array<int, kStdCells> barRight{};
    // Breakpoints T1..T11 on the horizontal axis (the ticks and the labels sit on them).
    std::array<int, kTimePoints> breakpointX{};
    std::array<int, kStdCells> barTop{};
    std::array<GraphPoint, kStdCells> marker{};  // centres of the value markers, joined by the curve
    std::array<GraphPoint, kTimePoints> label{};  // top-left of the breakpoint labels
};

// The geometry for a picture of width x height, the cell maximum (50 or 90), the breakpoints T1..T11 in
// milliseconds and the twelve corrections. Nothing is divided by zero: a picture without height or a
// breakpoint T11 of -2 ms gives a zero scale.
GraphGeometry MapGraphGeometry(int width, int height, int maximum, std::span<const double, kTimePoints> timesMs,
                               std::span<const int, kStdCells> values);

// The segment (0..11) under a pointer at x: 0 left of T1, k from T_k up to T_(k+1), 11 right of T11; a pointer
// exactly on T11 keeps `previous` (the segment it came from).
int SegmentUnderPointer(const GraphGeometry& g, int x, int previous);

// The correction at a pointer height: the distance above the zero line in percent, truncated towards zero
// and limited to -25..maximum.
int ValueAtPointer(const GraphGeometry& g, int y, int maximum);

// The breakpoints as the point editor holds them: engine speeds and injection times must each start above
// zero and rise, or the segments of the maps are no longer ordered. The first index (0..16, speeds first)
// that is not above the one before it (or not above zero), or nullopt.
std::optional<int> FirstNonRisingPoint(const Breakpoints& breakpoints);

// Why the point editor's texts cannot be sent, and which one (0..5 engine speeds, 6..16 injection times).
struct PointTextProblem {
    enum class Kind { NotANumber, NotRising };
    Kind kind = Kind::NotANumber;
    int point = 0;
    bool operator==(const PointTextProblem&) const = default;
};
// The first problem of the 17 texts (a text that is not a number before any order), or nullopt.
std::optional<PointTextProblem> CheckPointTexts(std::span<const std::string, kPoints> texts);

}  // namespace sequaflow::maps
