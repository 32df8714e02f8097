#include "sim/engine_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "params/parameter_numbers.h"

namespace sequaflow::sim {

namespace pn = params::pn;

namespace {

constexpr double kPeriodClock = 230400.0;
// Ignition pulses per crankshaft revolution by ignition type; an unknown type counts as "4 Cyl.".
constexpr std::array<double, 7> kPulsesPerRev = {0.5, 1.0, 2.0, 2.5, 3.0, 4.0, 1.5};

// Lambda probe output range by probe type (volts at rich and lean); type 0 is a disconnected probe.
struct ProbeRange {
    double rich;
    double lean;
};
constexpr std::array<ProbeRange, 7> kProbeRanges = {{
    {0.0, 0.0}, {0.9, 0.1}, {1.55, 0.85}, {3.8, 1.6}, {4.6, 0.4}, {0.1, 0.9}, {0.4, 4.6},
}};

constexpr double kIdleLoad = 0.12;
constexpr double kWarmReducer = 78.0;
constexpr double kWarmGas = 32.0;
constexpr double kPressureOnGas = 1450.0;   // about 1.47 bar on the controller's sensor scale
constexpr double kPressureEmpty = 250.0;    // what the reducer gives with the tank empty
constexpr double kPressureResting = 300.0;  // valves closed, the reducer bleeds down to this

std::int16_t AsSigned(std::uint16_t v) { return static_cast<std::int16_t>(v); }
bool Bit(std::uint16_t word, int bit) { return (word >> bit) & 1u; }

double PulsesPerRev(std::uint16_t type) { return type < kPulsesPerRev.size() ? kPulsesPerRev[type] : 2.0; }

double TickRate(const RunningValues& v) { return Bit(v.params[pn::FirstFlags], 12) ? 1843200.0 : 230400.0; }

std::uint16_t PeriodOf(double rpm, std::uint16_t type) {
    if (rpm < 1) return 0xFFFF;
    const double period = kPeriodClock / (rpm / 60.0 * PulsesPerRev(type));
    return static_cast<std::uint16_t>(std::clamp(period, 1.0, 65535.0));
}

double RpmOf(std::uint16_t period, std::uint16_t type) {
    if (period == 0 || period >= 65500) return 0;
    return 60.0 * kPeriodClock / (period * PulsesPerRev(type));
}

std::uint16_t Clamp16(double v) { return static_cast<std::uint16_t>(std::clamp(std::lround(v), 0L, 65535L)); }

// Injection-time segment (row 0..11) of a petrol time against breakpoints T1..T11.
std::size_t TimeSegment(const RunningValues& v, std::uint16_t ticks) {
    for (std::size_t k = 0; k < 11; ++k)
        if (ticks <= v.points[6 + k]) return k;
    return 11;
}

// Engine-speed segment (column 0..6); a longer period is a lower speed.
std::size_t SpeedSegment(const RunningValues& v, std::uint16_t period) {
    for (std::size_t j = 0; j < 6; ++j)
        if (period >= v.points[j]) return j;
    return 6;
}

// The tank sensor output that the controller's own level thresholds would classify as `level`: the
// thresholds 30..33 sit between the five steps, so the sensor moves through them whatever their direction.
double TankSensor(const RunningValues& v, double level) {
    const std::array<double, 4> at = {0.15, 0.375, 0.625, 0.875};
    std::array<double, 4> raw{};
    for (std::size_t k = 0; k < raw.size(); ++k) raw[k] = v.params[pn::FirstTankThreshold + k];
    double out;
    if (level <= at[0]) {
        out = raw[0] + (raw[0] - raw[1]) * (at[0] - level) / (at[1] - at[0]);
    } else if (level >= at[3]) {
        out = raw[3] + (raw[3] - raw[2]) * (level - at[3]) / (at[3] - at[2]);
    } else {
        std::size_t k = 0;
        while (level > at[k + 1]) ++k;
        out = raw[k] + (raw[k + 1] - raw[k]) * (level - at[k]) / (at[k + 1] - at[k]);
    }
    return std::clamp(out, 0.0, 4095.0);
}

double Approach(double value, double target, double dt, double tau) {
    return target + (value - target) * std::exp(-dt / tau);
}

// How fast the petrol computer's closed loop follows a change of the gas fuelling.
constexpr double kLoopLag = 0.3;

// A correction of -100 % or below would deliver no gas at all; the loop then runs into its limit.
double Factor(double correctionPercent) { return std::max(0.05, 1.0 + correctionPercent / 100.0); }

}  // namespace

double PetrolTimeOnGas(double baseMs, double correctionPercent, double offsetMs) {
    const double need = (baseMs + kTrueGasOffsetMs) * Factor(kTrueGasCorrectionPercent);
    return std::max(0.0, need / Factor(correctionPercent) - offsetMs);
}

double GasTimeOf(double petrolMs, double correctionPercent, double offsetMs) {
    return std::max(0.0, (petrolMs + offsetMs) * Factor(correctionPercent));
}

EngineModel::EngineModel(std::uint32_t seed, int cylinders) : rng_(seed), cylinders_(std::clamp(cylinders, 1, 8)) {
    for (auto& trim : cylinderTrim_) trim = 0.97 + 0.06 * uniform();
}

double EngineModel::uniform() { return static_cast<double>(rng_() >> 8) * (1.0 / 16777216.0); }

void EngineModel::setTankLevel(double fraction) { tank_ = std::clamp(fraction, 0.0, 1.0); }

void EngineModel::setInjectorFaults(std::uint8_t gasMask, std::uint8_t petrolMask) {
    gasFaults_ = gasMask;
    petrolFaults_ = petrolMask;
}

void EngineModel::setPumping(bool on) {
    if (on == pumping_) return;
    pumping_ = on;
    stabbing_ = false;
    pumpLeft_ = 0;  // the first stab comes at once
    if (!on) {
        phase_ = Phase::Idle;
        phaseLeft_ = 6.0;
    }
}

void EngineModel::clearErrors() {
    stored_ = 0;
    injectorFaultWord_ = 0;
}

void EngineModel::advanceTo(std::chrono::microseconds now, const RunningValues& values) {
    if (!started_) {
        started_ = true;
        time_ = now;
        return;
    }
    // A long silence (a client that went away) is caught up in coarser steps.
    constexpr std::chrono::microseconds kCoarse{100000};
    while (now - time_ >= kStep) {
        const auto step = (now - time_ > std::chrono::seconds(60)) ? kCoarse : kStep;
        time_ += step;
        this->step(std::chrono::duration<double>(step).count(), values);
    }
}

void EngineModel::stepSpeed(double dt) {
    idleWobble_ += dt * 2 * std::numbers::pi * 0.7;
    if (idleWobble_ > 2 * std::numbers::pi) idleWobble_ -= 2 * std::numbers::pi;
    const double coldness = std::clamp((40.0 - reducerTemp_) / 25.0, 0.0, 1.0);
    const double idle = 790 + 250 * coldness + 14 * std::sin(idleWobble_) + 6 * (uniform() - 0.5);

    if (pumping_) {
        stepPumping(dt, idle);
        return;
    }
    if (heldRpm_ > 0) {
        rpm_ = Approach(rpm_, heldRpm_, dt, 0.2);
        load_ = Approach(load_, kIdleLoad + heldRpm_ / 12000.0, dt, 0.2);
        return;
    }
    phaseLeft_ -= dt;
    switch (phase_) {
        case Phase::Idle:
            rpm_ = Approach(rpm_, idle, dt, 0.3);
            load_ = Approach(load_, kIdleLoad, dt, 0.3);
            if (phaseLeft_ <= 0) {
                phase_ = Phase::RevUp;
                phaseLeft_ = 0.8;
                revTarget_ = 2000 + 1800 * uniform();
            }
            break;
        case Phase::RevUp:
            rpm_ = Approach(rpm_, revTarget_, dt, 0.25);
            load_ = Approach(load_, 0.55 + 0.25 * uniform(), dt, 0.1);
            if (phaseLeft_ <= 0) {
                phase_ = Phase::Hold;
                phaseLeft_ = 0.5 + 1.5 * uniform();
            }
            break;
        case Phase::Hold:
            rpm_ = Approach(rpm_, revTarget_, dt, 0.2);
            load_ = Approach(load_, 0.3, dt, 0.3);
            if (phaseLeft_ <= 0) {
                phase_ = Phase::RevDown;
                phaseLeft_ = 1.5;
            }
            break;
        case Phase::RevDown:
            // Closed throttle: the petrol computer cuts injection down to a trickle.
            rpm_ = Approach(rpm_, idle, dt, 0.5);
            load_ = Approach(load_, 0.02, dt, 0.1);
            if (phaseLeft_ <= 0) {
                phase_ = Phase::Idle;
                phaseLeft_ = 6 + 8 * uniform();
            }
            break;
    }
}

void EngineModel::stepPumping(double dt, double idle) {
    pumpLeft_ -= dt;
    if (pumpLeft_ <= 0) {
        stabbing_ = !stabbing_;
        if (stabbing_) {
            pumpLeft_ = 0.35 + 0.1 * uniform();
            pumpLoad_ = 0.80 + 0.10 * uniform();
            pumpRpm_ = idle + 600 + 400 * uniform();
        } else {
            pumpLeft_ = 0.5 + 0.15 * uniform();
            pumpLoad_ = 0.05 + 0.05 * uniform();
        }
    }
    load_ = Approach(load_, pumpLoad_, dt, stabbing_ ? 0.05 : 0.08);
    if (heldRpm_ > 0) rpm_ = Approach(rpm_, heldRpm_, dt, 0.2);
    else rpm_ = Approach(rpm_, stabbing_ ? pumpRpm_ : idle, dt, stabbing_ ? 0.35 : 0.6);
}

double EngineModel::petrolMs(std::size_t cylinder) const { return (1.6 + 9.0 * load_) * cylinderTrim_[cylinder]; }

double EngineModel::activeCorrection(const RunningValues& v) const {
    const auto& p = v.params;
    const std::uint16_t period = PeriodOf(rpm_, p[pn::IgnitionType]);
    const double commanded =
        supply_ == Supply::Gas ? PetrolTimeOnGas(petrolMs(0), loopCorrection_, loopOffsetMs_) : petrolMs(0);
    const auto reference = Clamp16(commanded * TickRate(v) / 1000.0);
    const std::size_t row = TimeSegment(v, reference);
    double correction = 0;
    switch ((p[pn::SecondFlags] >> 2) & 3) {
        case 0: correction = static_cast<double>(p[pn::MixtureCorrection]) - 100; break;
        case 1: correction = static_cast<double>(v.grid[7 * row + SpeedSegment(v, period)]) - 100; break;
        case 2: correction = static_cast<double>(v.stdMap[row]) - 100; break;
        default: break;
    }
    if (Bit(p[pn::SecondFlags], 6)) {
        std::size_t k = 0;
        while (k < v.tempPoints.size() && gasTemp_ > v.tempPoints[k]) ++k;
        correction += static_cast<double>(v.tempCorr[k]) - 100;
    }
    return correction;
}

void EngineModel::stepLoop(double dt, const RunningValues& v) {
    if (supply_ != Supply::Gas) {
        loopCorrection_ = kTrueGasCorrectionPercent;
        loopOffsetMs_ = kTrueGasOffsetMs;
        return;
    }
    const double offsetMs = AsSigned(v.params[pn::IdleCorrection]) * 1000.0 / TickRate(v);
    loopCorrection_ = Approach(loopCorrection_, activeCorrection(v), dt, kLoopLag);
    loopOffsetMs_ = Approach(loopOffsetMs_, offsetMs, dt, kLoopLag);
}

void EngineModel::stepFuel(double dt, const RunningValues& v) {
    const auto& p = v.params;
    const bool reducerCutOff = Bit(p[pn::SecondFlags], 0) && reducerTemp_ < AsSigned(p[pn::ReducerCutoffTemperature]);
    const bool gasCutOff = Bit(p[pn::SecondFlags], 1) && gasTemp_ < AsSigned(p[pn::GasCutoffTemperature]);
    const bool blocked = (stored_ & fault::LowPressure) != 0;

    const double switchRpm = RpmOf(p[pn::SwitchSpeed], p[pn::IgnitionType]);
    const bool autoReady =
        reducerTemp_ >= AsSigned(p[pn::SwitchTemperature]) && rpm_ >= switchRpm && !reducerCutOff && !gasCutOff;

    switch (supply_) {
        case Supply::Petrol:
            // The temperature cut-offs protect the reducer even against a forced switch.
            if (!blocked && ((command_ == FuelCommand::Gas && !reducerCutOff && !gasCutOff) ||
                             (command_ == FuelCommand::Auto && autoReady))) {
                supply_ = Supply::Opening;
                openingFor_ = 0;
            }
            break;
        case Supply::Opening:
            openingFor_ += dt;
            if (command_ == FuelCommand::Petrol || blocked || reducerCutOff || gasCutOff) supply_ = Supply::Petrol;
            else if (openingFor_ * 1000.0 >= p[pn::GasOnDelay]) supply_ = Supply::Gas, lowPressureFor_ = 0;
            break;
        case Supply::Gas:
            if (command_ == FuelCommand::Petrol) supply_ = Supply::Petrol;
            break;
    }

    // Pressure follows the valves and the tank.
    const bool valvesOpen = supply_ != Supply::Petrol;
    if (valvesOpen) {
        const double target = tank_ > 0 ? kPressureOnGas - 150 * load_ : kPressureEmpty;
        pressure_ = Approach(pressure_, target, dt, 0.25) + 4 * (uniform() - 0.5);
    } else {
        pressure_ = Approach(pressure_, kPressureResting, dt, 15.0);
    }

    std::uint16_t present = 0;
    if (supply_ == Supply::Gas) {
        if (pressure_ < p[pn::ReturnPressure]) {
            lowPressureFor_ += dt;
            if (lowPressureFor_ * 100.0 >= p[pn::ReturnDelay]) {
                supply_ = Supply::Petrol;
                stored_ |= fault::LowPressure;
            }
        } else {
            lowPressureFor_ = 0;
        }
        if (reducerCutOff || gasCutOff) supply_ = Supply::Petrol;
    }
    if (command_ != FuelCommand::Petrol) {
        if (reducerCutOff) present |= fault::ReducerTempTooLow;
        if (gasCutOff) present |= fault::GasTempTooLow;
    }
    // While the valves are only opening the pressure is still building up; that is not a fault.
    if ((supply_ == Supply::Gas && pressure_ < p[pn::ReturnPressure]) || tank_ <= 0) present |= fault::LowPressure;
    if (gasFaults_) present |= fault::GasInjector;
    if (petrolFaults_) present |= fault::PetrolInjector;
    present_ = present;
    stored_ |= present;
    injectorFaultWord_ |= static_cast<std::uint16_t>(petrolFaults_ << 8 | gasFaults_);
}

void EngineModel::step(double dt, const RunningValues& v) {
    stepSpeed(dt);

    const bool onGas = supply_ == Supply::Gas;
    // The reducer is heated by the coolant; expanding gas cools it a little.
    reducerTemp_ = Approach(reducerTemp_, kWarmReducer - (onGas ? 6 : 0), dt, 90.0);
    gasTemp_ = Approach(gasTemp_, std::max(ambient_, kWarmGas - (onGas ? 4 : 0)), dt, 150.0);

    stepFuel(dt, v);
    stepLoop(dt, v);

    if (supply_ == Supply::Gas)
        tank_ = std::max(0.0, tank_ - dt * 1.2e-5 * (rpm_ / 800.0) * (0.3 + load_ * 4));
    lambdaPhase_ += dt * 2 * std::numbers::pi * (0.6 + rpm_ / 4000.0);
    lambdaPhase2_ += dt * 2 * std::numbers::pi * (0.55 + rpm_ / 4200.0);
    if (lambdaPhase_ > 2 * std::numbers::pi) lambdaPhase_ -= 2 * std::numbers::pi;
    if (lambdaPhase2_ > 2 * std::numbers::pi) lambdaPhase2_ -= 2 * std::numbers::pi;

    (onGas ? gasSeconds_ : petrolSeconds_) += dt;
}

LiveWords EngineModel::liveWords(const RunningValues& v) const {
    LiveWords w{};
    const auto& p = v.params;
    const double rate = TickRate(v);
    const std::uint16_t period = PeriodOf(rpm_, p[pn::IgnitionType]);
    const double correction = activeCorrection(v);
    const double offsetMs = AsSigned(p[pn::IdleCorrection]) * 1000.0 / rate;
    const bool onGas = supply_ == Supply::Gas;

    constexpr std::array<int, 8> kPetrolWord = {0, 1, 2, 3, 4, 5, 23, 24};
    constexpr std::array<int, 8> kGasWord = {6, 7, 8, 9, 10, 11, 25, 26};
    for (std::size_t cyl = 0; cyl < 8; ++cyl) {
        if (static_cast<int>(cyl) >= cylinders_) continue;
        const double base = petrolMs(cyl);
        const double commanded = onGas ? PetrolTimeOnGas(base, loopCorrection_, loopOffsetMs_) : base;
        const int bit = static_cast<int>(cyl);
        if (!Bit(petrolFaults_, bit)) w[static_cast<std::size_t>(kPetrolWord[cyl])] = Clamp16(commanded * rate / 1000.0);
        if (!onGas || Bit(testMask_, bit) || Bit(petrolFaults_, bit)) continue;
        double gas = GasTimeOf(commanded, correction, offsetMs) * rate / 1000.0;
        if (p[pn::MaxGasTime] > 0) gas = std::min(gas, static_cast<double>(p[pn::MaxGasTime]));
        w[static_cast<std::size_t>(kGasWord[cyl])] = Clamp16(gas);
    }
    w[12] = w[0];
    w[13] = period;
    w[14] = static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(reducerTemp_)));
    w[15] = static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(gasTemp_)));
    w[16] = onGas ? 1 : 0;
    w[17] = Clamp16(TankSensor(v, tank_));
    w[18] = Clamp16(pressure_);

    const double mixture = load_ < 0.05 ? -1.0 : std::sin(lambdaPhase_);  // a fuel cut reads lean
    const double mixture2 = load_ < 0.05 ? -1.0 : std::sin(lambdaPhase2_);
    auto probe = [](std::uint16_t type, double m) -> std::uint16_t {
        if (type >= kProbeRanges.size()) return 0;
        const auto r = kProbeRanges[type];
        const double volts = r.lean + (r.rich - r.lean) * (0.5 + 0.5 * m);
        return Clamp16(volts * 4095.0 / 5.0);
    };
    w[20] = probe(p[pn::Lambda1Type], mixture);
    w[19] = probe(p[pn::Lambda2Type], mixture2);
    w[22] = present_;
    w[27] = stored_;
    w[28] = testMask_;
    w[31] = injectorFaultWord_;
    return w;
}

}  // namespace sequaflow::sim
