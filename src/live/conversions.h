#pragma once

#include <cstdint>
#include <string>

// Raw controller units to engineering units and back. Display values are computed in extended precision
// and stored as 32-bit floats; conversions into controller units truncate toward zero.
namespace sequaflow::live {

inline constexpr double kSlowClockHz = 230400.0;
inline constexpr double kFastClockHz = 1843200.0;
inline constexpr int kIgnitionTypeCount = 7;

// Injection times: ticks of 230400 Hz, or 1843200 Hz with the clock flag (bit 12 of the first flags word).
float TicksToMs(std::uint32_t ticks, bool fastClock);
float SignedTicksToMs(std::int32_t ticks, bool fastClock);
std::int32_t MsToTicks(float ms, bool fastClock);

float RawToBar(std::uint32_t raw);
std::int32_t BarToRaw(float bar);

// Engine speed from the ignition period (230400 Hz counts) for ignition type 0..6, a multiple of 50.
std::uint32_t PeriodToRpm(std::uint32_t period, int ignitionType);
// The inverse; below 50 rpm (and for an unknown type) 0 rather than a division by zero.
std::int32_t RpmToPeriod(std::uint32_t rpm, int ignitionType);

float LambdaVolts(std::uint32_t raw);
float TankVolts(std::uint32_t raw);
std::int32_t RawToCelsius(std::uint32_t word);

// "+10.0%" / "-5.0%" of gas against petrol time, "00.0%" when the petrol time is 0.
std::string GasCorrectionText(std::uint32_t gasTicks, std::uint32_t petrolTicks, char decimalSeparator);

// Rounds to `precision` significant digits and writes exactly `decimals` decimals with the given separator;
// scientific notation when the integer part has more digits than `precision`.
std::string FormatFixed(double value, int precision, int decimals, char decimalSeparator);

// The tank voltage text: always two decimals with a point, then " V".
std::string TankVoltsText(std::uint32_t raw);

}  // namespace sequaflow::live
