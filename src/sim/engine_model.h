#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <random>

#include "sim/stores.h"

namespace sequaflow::sim {

enum class FuelCommand { Petrol, Auto, Gas };
enum class Supply { Petrol, Opening, Gas };  // Opening: valves open, waiting for the first gas injection

inline constexpr int kLiveWordCount = 32;

// What the car's gas system really needs against petrol: the gas time that matches a petrol time B is
// (B + kTrueGasOffsetMs) * (1 + kTrueGasCorrectionPercent / 100). A well-calibrated controller carries
// exactly this correction and offset.
inline constexpr double kTrueGasCorrectionPercent = 18.0;
inline constexpr double kTrueGasOffsetMs = 0.30;

// On gas the petrol computer's closed loop trims its commanded time T until the gas delivered,
// (T + offsetMs) * (1 + correctionPercent / 100), meets the need of its base time `baseMs`. Returns T in ms
// (never below 0).
double PetrolTimeOnGas(double baseMs, double correctionPercent, double offsetMs);
// The gas time the controller makes of a petrol time with its correction and offset.
double GasTimeOf(double petrolMs, double correctionPercent, double offsetMs);
using LiveWords = std::array<std::uint16_t, kLiveWordCount>;

// Error bits of the present and stored words (the fault number is in the comment).
namespace fault {
inline constexpr std::uint16_t LowPressure = 1u << 0;         // 1
inline constexpr std::uint16_t GasTempTooLow = 1u << 9;       // 9
inline constexpr std::uint16_t ReducerTempTooLow = 1u << 8;   // 10
inline constexpr std::uint16_t GasInjector = 1u << 10;        // 11
inline constexpr std::uint16_t PetrolInjector = 1u << 11;     // 12
}  // namespace fault

// A small engine and gas system, advanced in fixed steps of time so that the same seed and the same request
// times give the same frames. It reads the controller's running values at every step, so a parameter set
// while the engine runs takes effect at once.
class EngineModel {
public:
    static constexpr std::chrono::microseconds kStep{5000};

    EngineModel(std::uint32_t seed, int cylinders);

    void advanceTo(std::chrono::microseconds now, const RunningValues& values);
    LiveWords liveWords(const RunningValues& values) const;

    void command(FuelCommand c) { command_ = c; }
    void clearErrors();
    void setTestMask(std::uint16_t mask) { testMask_ = mask; }

    // Knobs for a scenario (a workshop demo or a test): the tank, the weather, a broken injector.
    void setTankLevel(double fraction);
    // The car has stood in this weather: the reducer and the gas start from it.
    void setAmbient(double celsius) { ambient_ = reducerTemp_ = gasTemp_ = celsius; }
    // The reducer is warmed (or cooled) to this; it goes on drifting towards its running temperature.
    void setReducerTemperature(double celsius) { reducerTemp_ = celsius; }
    void setInjectorFaults(std::uint8_t gasMask, std::uint8_t petrolMask);
    // Holds the engine at a fixed speed (0 releases it to the idle and rev-up cycle).
    void holdRpm(double rpm) { heldRpm_ = rpm; }
    // The driver stabs the pedal about once a second: the load swings between full and nearly closed, and
    // a free-running engine revs up a little with each stab.
    void setPumping(bool on);

    FuelCommand command() const { return command_; }
    Supply supply() const { return supply_; }
    double rpm() const { return rpm_; }
    double heldRpm() const { return heldRpm_; }
    bool pumping() const { return pumping_; }
    double load() const { return load_; }
    double reducerTemperature() const { return reducerTemp_; }
    double gasTemperature() const { return gasTemp_; }
    double pressureRaw() const { return pressure_; }
    double tankLevel() const { return tank_; }
    std::uint16_t presentErrors() const { return present_; }
    std::uint16_t storedErrors() const { return stored_; }
    double petrolSeconds() const { return petrolSeconds_; }
    double gasSeconds() const { return gasSeconds_; }
    std::chrono::microseconds time() const { return time_; }

private:
    void step(double dt, const RunningValues& v);
    void stepSpeed(double dt);
    void stepFuel(double dt, const RunningValues& v);
    void stepPumping(double dt, double idle);
    void stepLoop(double dt, const RunningValues& v);
    // The correction in percent of the active map (and the temperature correction) at the operating point
    // the controller measures: cylinder 1's petrol time as commanded now.
    double activeCorrection(const RunningValues& v) const;
    double petrolMs(std::size_t cylinder) const;  // commanded petrol time of a cylinder
    double uniform();

    std::mt19937 rng_;
    int cylinders_;
    std::chrono::microseconds time_{0};
    bool started_ = false;

    // Speed and load.
    double rpm_ = 1100;
    double load_ = 0.12;
    double heldRpm_ = 0;
    enum class Phase { Idle, RevUp, Hold, RevDown } phase_ = Phase::Idle;
    double phaseLeft_ = 8.0;
    double revTarget_ = 2500;
    double idleWobble_ = 0;
    std::array<double, 8> cylinderTrim_{};
    bool pumping_ = false;
    bool stabbing_ = false;
    double pumpLeft_ = 0;
    double pumpLoad_ = 0.85;
    double pumpRpm_ = 0;

    // Gas system.
    FuelCommand command_ = FuelCommand::Auto;
    Supply supply_ = Supply::Petrol;
    double openingFor_ = 0;
    double lowPressureFor_ = 0;
    double ambient_ = 18;
    double reducerTemp_ = 18;
    double gasTemp_ = 18;
    double pressure_ = 300;
    double tank_ = 0.72;
    double lambdaPhase_ = 0;
    double lambdaPhase2_ = 1.3;
    // The petrol computer's view of the gas system, which its closed loop learns with a short lag. Equal to
    // the true need while on petrol, so that the commanded time is then the base time.
    double loopCorrection_ = kTrueGasCorrectionPercent;
    double loopOffsetMs_ = kTrueGasOffsetMs;

    std::uint16_t present_ = 0;
    std::uint16_t stored_ = 0;
    std::uint16_t testMask_ = 0;
    std::uint8_t gasFaults_ = 0;
    std::uint8_t petrolFaults_ = 0;
    std::uint16_t injectorFaultWord_ = 0;

    double petrolSeconds_ = 0;
    double gasSeconds_ = 0;
};

}  // namespace sequaflow::sim
