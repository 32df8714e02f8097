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
// "pump on|off", "reducer C", "quit". Blank lines and comments are None.
struct DriverCommand {
    enum class Kind { None, Rpm, Pump, Reducer, Quit };
    Kind kind = Kind::None;
    double value = 0;  // rpm, or reducer temperature in degrees Celsius
    bool on = false;   // pump

    static DriverCommand Rpm(double rpm) { return {Kind::Rpm, rpm, false}; }
    static DriverCommand Pump(bool on) { return {Kind::Pump, 0, on}; }
    static DriverCommand Reducer(double celsius) { return {Kind::Reducer, celsius, false}; }
    static DriverCommand Quit() { return {Kind::Quit, 0, false}; }
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
