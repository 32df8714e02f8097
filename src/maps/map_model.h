#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "link/result.h"
#include "params/factory_defaults.h"
#include "params/parameter_image.h"

// The correction maps as the controller keeps them: 17 characteristic points, the advanced map
// (12 injection-time rows x 7 engine-speed columns) and the standard map (12 cells).
namespace sequaflow::maps {

inline constexpr int kRows = static_cast<int>(params::kGridRows);
inline constexpr int kColumns = static_cast<int>(params::kGridColumns);
inline constexpr int kCells = kRows * kColumns;
inline constexpr int kStdCells = static_cast<int>(params::kStdMapSize);
inline constexpr int kPoints = static_cast<int>(params::kPointCount);
inline constexpr int kSpeedPoints = 6;  // points 0..5: ignition periods; 6..16: injection times in ticks
inline constexpr int kTimePoints = 11;

inline constexpr int kCellMinimum = -25;
inline constexpr int kCellMaximum = 50;
inline constexpr int kTurboCellMaximum = 90;
inline constexpr int kFirstGridStoreWord = 18;

// A map byte holds the correction in percent + 100.
constexpr int CellValue(std::uint8_t byte) { return static_cast<int>(byte) - 100; }
constexpr std::uint8_t CellByte(int value) { return static_cast<std::uint8_t>((value + 100) & 0xFF); }

class MapModel {
public:
    std::uint32_t point(int i) const { return InRange(i, kPoints) ? points_[Index(i)] : 0; }
    void setPoint(int i, std::uint32_t value) {
        if (InRange(i, kPoints)) points_[Index(i)] = value;
    }

    std::uint8_t cellByte(int row, int column) const {
        return CellInRange(row, column) ? advanced_[Index(7 * row + column)] : 0;
    }
    void setCellByte(int row, int column, std::uint8_t byte) {
        if (CellInRange(row, column)) advanced_[Index(7 * row + column)] = byte;
    }
    int cell(int row, int column) const { return CellValue(cellByte(row, column)); }
    void setCell(int row, int column, int value) { setCellByte(row, column, CellByte(value)); }

    std::uint8_t stdByte(int k) const { return InRange(k, kStdCells) ? standard_[Index(k)] : 0; }
    void setStdByte(int k, std::uint8_t byte) {
        if (InRange(k, kStdCells)) standard_[Index(k)] = byte;
    }
    int stdCell(int k) const { return CellValue(stdByte(k)); }
    void setStdCell(int k, int value) { setStdByte(k, CellByte(value)); }

    // The upper cell limit: 50, or 90 with the turbo flag. Lowering it leaves the cells as they are.
    int cellMaximum() const { return cellMaximum_; }
    void setCellMaximum(int maximum) { cellMaximum_ = maximum; }
    // Sets the limit from the turbo flag of the image.
    void applyTurboFlag(const params::ParameterImage& image) {
        cellMaximum_ = image.field(params::field::Turbo) ? kTurboCellMaximum : kCellMaximum;
    }

    std::span<const std::uint32_t, kPoints> points() const { return points_; }
    std::span<const std::uint8_t, kCells> advanced() const { return advanced_; }
    std::span<const std::uint8_t, kStdCells> standard() const { return standard_; }

private:
    static constexpr bool InRange(int i, int n) { return i >= 0 && i < n; }
    static constexpr bool CellInRange(int r, int c) { return InRange(r, kRows) && InRange(c, kColumns); }
    static constexpr std::size_t Index(int i) { return static_cast<std::size_t>(i); }

    std::array<std::uint32_t, kPoints> points_{};
    std::array<std::uint8_t, kCells> advanced_{};
    std::array<std::uint8_t, kStdCells> standard_{};
    int cellMaximum_ = kCellMaximum;
};

// Grid text: "+15", "0", "-5". Standard-map fields and the strip: "15", "0", "-5".
std::string GridCellText(int value);
std::string PlainCellText(int value);

struct Rgb {
    std::uint8_t red, green, blue;
    bool operator==(const Rgb&) const = default;
};
// White at 0, towards red above (values over 50 as 50), towards blue below.
Rgb ValueColour(int value);

// The point/grid store word of a cell and the value it holds: the cells of rows 2k and 2k+1 of a column.
std::uint8_t GridStoreWord(int row, int column);
std::uint16_t GridStoreValue(const MapModel& model, int row, int column);

// Text of point i: whole rpm for 0..5, milliseconds with one decimal for 6..16.
std::string PointText(const MapModel& model, int i, const params::ParameterImage& image, char decimalSeparator);
// Value of point i from its text (rpm taken down to a multiple of 50); nullopt when it is not a number.
std::optional<std::uint32_t> PointFromText(int i, std::string_view text, const params::ParameterImage& image);

// Segment 1..n+1 of a value among n rising breakpoints; a value equal to a breakpoint is in the lower one.
int Segment(double value, std::span<const double> breakpoints);

struct Breakpoints {
    std::array<double, kSpeedPoints> speeds{};  // R1..R6 in rpm
    std::array<double, kTimePoints> times{};    // T1..T11 in ms
};
// The breakpoints as numbers from their texts (header cells); nullopt names no value when one is not a number.
std::optional<Breakpoints> BreakpointsFromTexts(std::span<const std::string, kPoints> texts);
// The breakpoints of the model's points.
Breakpoints BreakpointsOf(const MapModel& model, const params::ParameterImage& image);

struct GridPosition {
    int column = 0;  // 1..7, engine-speed segment
    int row = 0;     // 1..12, injection-time segment
    bool operator==(const GridPosition&) const = default;
};

// The grid cell of the current operating point: engine speed from the ignition period (live word 13),
// injection time from the petrol time of cylinder 1 (live word 0).
GridPosition LocateOperatingPoint(std::uint32_t periodWord, std::uint32_t petrolTicksWord, int ignitionType,
                                  bool fastClock, const Breakpoints& breakpoints);

}  // namespace sequaflow::maps
