#pragma once

#include <string>
#include <string_view>

#include "link/result.h"
#include "sim/engine_model.h"

namespace sequaflow::sim {

inline constexpr double kMaxDriverRpm = 8000;
inline constexpr double kMinReducerCelsius = -40;
inline constexpr double kMaxReducerCelsius = 130;

// One line of what the driver does to the simulated engine: "rpm N" (0 lets the engine run free),
// "pump on|off", "reducer C", "fuel petrol|auto|gas" (the car's own fuel switch), "quit". Blank lines
// and comments are None.
struct DriverCommand {
    enum class Kind { None, Rpm, Pump, Reducer, Fuel, Quit };
    Kind kind = Kind::None;
    double value = 0;  // rpm, or reducer temperature in degrees Celsius
    bool on = false;   // pump
    FuelCommand fuel = FuelCommand::Auto;

    static DriverCommand Rpm(double rpm) { return {Kind::Rpm, rpm}; }
    static DriverCommand Pump(bool on) { return {Kind::Pump, 0, on}; }
    static DriverCommand Reducer(double celsius) { return {Kind::Reducer, celsius}; }
    static DriverCommand Fuel(FuelCommand f) { return {Kind::Fuel, 0, false, f}; }
    static DriverCommand Quit() { return {Kind::Quit}; }
    bool operator==(const DriverCommand&) const = default;
};

// Errors are one line for the user, e.g. `rpm: 9000 is outside 0..8000`.
[[nodiscard]] Result<DriverCommand, std::string> ParseDriverCommand(std::string_view line);
// The values alone, as the command line options take them.
[[nodiscard]] Result<double, std::string> ParseDriverRpm(std::string_view text);
[[nodiscard]] Result<double, std::string> ParseReducerCelsius(std::string_view text);

// None and Quit change nothing.
void ApplyDriverCommand(EngineModel& engine, const DriverCommand& command);

}  // namespace sequaflow::sim
