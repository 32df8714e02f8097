#include "live/live_csv.h"

#include <cstdio>

#include "live/conversions.h"

namespace sequaflow::live {

LiveReading MakeReading(const LiveWords& w, double timeS, int ignitionType, bool fastClock) {
    LiveReading r{};
    r.timeS = timeS;
    r.rpm = PeriodToRpm(w[word::Period], ignitionType);
    r.pressureBar = RawToBar(w[word::Pressure]);
    r.reducerC = RawToCelsius(w[word::ReducerTemp]);
    r.gasC = RawToCelsius(w[word::GasTemp]);
    r.lambda1 = LambdaVolts(w[word::Lambda1]);
    r.lambda2 = LambdaVolts(w[word::Lambda2]);
    r.tankV = TankVolts(w[word::Tank]);
    r.onGas = w[word::FuelState] == 1;
    r.errorsCurrent = w[word::ErrorsCurrent];
    r.errorsStored = w[word::ErrorsStored];
    r.injectorFaults = w[word::InjectorFaults];
    r.testMask = w[word::TestMask];
    for (int c = 0; c < 8; ++c) {
        r.petrolMs[c] = TicksToMs(w[static_cast<std::size_t>(PetrolTimeWord(c))], fastClock);
        r.gasMs[c] = TicksToMs(w[static_cast<std::size_t>(GasTimeWord(c))], fastClock);
    }
    return r;
}

std::string FixedText(double value, int decimals) {
    char b[48];
    std::snprintf(b, sizeof b, "%.*f", decimals, value);
    // A locale with a decimal comma would turn every value into two CSV columns.
    for (char* p = b; *p != '\0'; ++p)
        if (*p == ',') *p = '.';
    return b;
}

std::string CsvHeader() {
    std::string h =
        "time_s,rpm,pressure_bar,reducer_c,gas_c,lambda1_v,lambda2_v,tank_v,on_gas,errors_current,"
        "errors_stored,injector_faults,test_mask";
    for (int c = 1; c <= 8; ++c) h += ",petrol_ms" + std::to_string(c);
    for (int c = 1; c <= 8; ++c) h += ",gas_ms" + std::to_string(c);
    h += '\n';
    return h;
}

std::string CsvRow(const LiveReading& r) {
    const auto f = [](float v) { return FixedText(static_cast<double>(v), 3); };
    std::string s;
    s.reserve(256);
    s += FixedText(r.timeS, 3);
    s += ',' + std::to_string(r.rpm);
    s += ',' + f(r.pressureBar);
    s += ',' + std::to_string(r.reducerC);
    s += ',' + std::to_string(r.gasC);
    s += ',' + f(r.lambda1);
    s += ',' + f(r.lambda2);
    s += ',' + FixedText(static_cast<double>(r.tankV), 2);
    s += r.onGas ? ",1" : ",0";
    s += ',' + std::to_string(r.errorsCurrent);
    s += ',' + std::to_string(r.errorsStored);
    s += ',' + std::to_string(r.injectorFaults);
    s += ',' + std::to_string(r.testMask);
    for (float v : r.petrolMs) s += ',' + f(v);
    for (float v : r.gasMs) s += ',' + f(v);
    s += '\n';
    return s;
}

}  // namespace sequaflow::live
