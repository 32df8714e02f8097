#include "sim/engine_driver.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <vector>

namespace sequaflow::sim {

namespace {

constexpr const char* kCommands = "rpm N, pump on|off, reducer C, fuel petrol|auto|gas, quit";

Error<std::string> Fail(std::string text) { return {"", std::move(text)}; }

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (i < line.size()) {
        while (i < line.size() && space(line[i])) ++i;
        const std::size_t start = i;
        while (i < line.size() && !space(line[i])) ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

// A plain decimal number: digits with an optional sign and point; no exponent, no "inf" or "nan".
Result<double, std::string> Number(std::string_view name, std::string_view text, double min, double max,
                                   const char* unit) {
    const std::string quoted = "\"" + std::string(text) + "\"";
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    const bool plain = !digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-';
    });
    double v = 0;
    if (plain) {
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
        if (ec != std::errc{} || end != digits.data() + digits.size() || !std::isfinite(v)) v = NAN;
    }
    if (!plain || std::isnan(v)) return Fail(std::string(name) + ": " + quoted + " is not a number");
    if (v < min || v > max) {
        auto whole = [](double x) { return std::to_string(static_cast<long>(x)); };
        return Fail(std::string(name) + ": " + std::string(text) + " is outside " + whole(min) + ".." + whole(max) +
                    " " + unit);
    }
    return v;
}

}  // namespace

Result<double, std::string> ParseDriverRpm(std::string_view text) {
    return Number("rpm", text, 0, kMaxDriverRpm, "rpm");
}

Result<double, std::string> ParseReducerCelsius(std::string_view text) {
    return Number("reducer", text, kMinReducerCelsius, kMaxReducerCelsius, "C");
}

Result<DriverCommand, std::string> ParseDriverCommand(std::string_view line) {
    if (const auto hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
    const auto words = Words(line);
    if (words.empty()) return DriverCommand{};
    const std::string verb = Lower(words[0]);
    auto oneValue = [&](const char* what) -> Result<std::string_view, std::string> {
        if (words.size() < 2) return Fail(verb + " needs " + what);
        if (words.size() > 2) return Fail(verb + " takes one value, got \"" + std::string(words[2]) + "\" too");
        return words[1];
    };
    if (verb == "rpm") {
        auto text = oneValue("an engine speed 0..8000 (0 lets the engine run free)");
        if (!text) return text.error();
        auto rpm = ParseDriverRpm(*text);
        if (!rpm) return rpm.error();
        return DriverCommand::Rpm(*rpm);
    }
    if (verb == "reducer") {
        auto text = oneValue("a temperature -40..130 C");
        if (!text) return text.error();
        auto celsius = ParseReducerCelsius(*text);
        if (!celsius) return celsius.error();
        return DriverCommand::Reducer(*celsius);
    }
    if (verb == "pump") {
        auto text = oneValue("on or off");
        if (!text) return text.error();
        const std::string v = Lower(*text);
        if (v == "on") return DriverCommand::Pump(true);
        if (v == "off") return DriverCommand::Pump(false);
        return Fail("pump: \"" + std::string(*text) + "\" is not on or off");
    }
    if (verb == "fuel") {
        auto text = oneValue("petrol, auto or gas");
        if (!text) return text.error();
        const std::string v = Lower(*text);
        if (v == "petrol") return DriverCommand::Fuel(FuelCommand::Petrol);
        if (v == "auto") return DriverCommand::Fuel(FuelCommand::Auto);
        if (v == "gas") return DriverCommand::Fuel(FuelCommand::Gas);
        return Fail("fuel: \"" + std::string(*text) + "\" is not petrol, auto or gas");
    }
    if (verb == "quit") {
        if (words.size() > 1) return Fail("quit takes no value");
        return DriverCommand::Quit();
    }
    return Fail("unknown command \"" + std::string(words[0]) + "\" (" + kCommands + ")");
}

void ApplyDriverCommand(EngineModel& engine, const DriverCommand& command) {
    switch (command.kind) {
        case DriverCommand::Kind::Rpm: engine.holdRpm(command.value); break;
        case DriverCommand::Kind::Pump: engine.setPumping(command.on); break;
        case DriverCommand::Kind::Reducer: engine.setReducerTemperature(command.value); break;
        case DriverCommand::Kind::Fuel: engine.command(command.fuel); break;
        case DriverCommand::Kind::None:
        case DriverCommand::Kind::Quit: break;
    }
}

}  // namespace sequaflow::sim
