#include "params/parameter_settings.h"

#include <cmath>
#include <cstdio>

#include "link/commands.h"
#include "live/conversions.h"
#include "maps/map_model.h"
#include "params/injector_catalogue.h"
#include "params/number_text.h"
#include "params/parameter_writer.h"
#include "params/tank_sensor.h"

namespace sequaflow::params {
namespace {

constexpr BitField kSelectionByte{FlagsWord::InjectorSelection, 0, 8};
constexpr int kPressureStepHundredths = 5;  // the two pressure editors stay 0.05 bar apart

Error<SettingError> Fail(SettingError code, std::string detail) { return {code, std::move(detail)}; }

Error<SettingError> NotANumber(std::string_view text) {
    return Fail(SettingError::NotANumber, "'" + std::string(text) + "' is not a valid number; nothing was sent");
}

std::string Decoded(const ParameterImage& image, int param, char sep) {
    return DecodeParameter(image, param, sep).value_or(std::string());
}

// Encodes one editor's text and writes it. A number the editor limits comes back as the text of what was
// sent, so the screen never shows a value the controller does not hold.
bool EncodeAndWrite(link::Link& link, ParameterImage& image, int param, std::string_view text, char sep,
                    SettingOutcome& out) {
    const NumericEditor* editor = FindNumericEditor(param);
    const auto number = ParseDecimal(text);
    if (editor == nullptr || !number || !EncodeParameter(image, param, text)) return false;
    if (param == pn::SwitchTemperature) WriteParameters(link, image, Writer::MinTempSwitch);
    else WriteParameter(link, image, param);
    if (ApplyEditorLimits(*editor, *number) != *number) out.texts.push_back({param, Decoded(image, param, sep)});
    return true;
}

// A single-precision sum printed with two decimals and the locale's separator, as the coupled field shows it.
std::string PressureText(float bar, char sep) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", static_cast<double>(bar));
    return WithSeparator(buffer, sep);
}

std::int64_t Speed(long long rpm, int ignitionType) {
    return live::RpmToPeriod(rpm < 0 ? 0u : static_cast<std::uint32_t>(rpm), ignitionType);
}

// Parameter 53: the period of (switch-over speed - drop) minus the period of the switch-over speed.
Result<std::int32_t, SettingError> SpeedDropValue(const ParameterImage& image, long long switchRpm, int dropItem) {
    const long long lower = switchRpm - 100LL * dropItem;
    // Below the lowest speed a period means anything the value would be a wrapped, meaningless period.
    if (lower < 50) {
        return Fail(SettingError::BadItem, "a drop of " + std::to_string(100 * dropItem) +
                                               " rpm does not fit below the switch-over speed of " +
                                               std::to_string(switchRpm) + " rpm; nothing was sent");
    }
    return static_cast<std::int32_t>(Speed(lower, image.ignitionType()) - Speed(switchRpm, image.ignitionType()));
}

void WriteSpeedDrop(link::Link& link, ParameterImage& image, std::int32_t value) {
    image.setSlot(pn::SpeedDrop, value);
    WriteParameters(link, image, Writer::SpeedDrop);
}

void SetFlag(link::Link& link, ParameterImage& image, BitField f, int value) {
    image.setField(f, static_cast<std::uint32_t>(value));
    WriteParameter(link, image, ParameterOfShadow(f.word));
}

SettingResult ApplyInjector(link::Link& link, ProgramState& state, int item, char sep) {
    ParameterImage& image = state.image;
    SettingOutcome out;
    const int type = item & 0xF;  // no selection (-1) gives type 15
    ApplyInjectorType(link, image, type);
    if (const auto entry = InjectorEntryOf(type)) {
        out.texts.push_back({pn::MinGasOpening, InjectorText(entry->minimumOpeningMs, sep)});
        out.texts.push_back({pn::FullOpeningTime, InjectorText(entry->fullOpeningMs, sep)});
        out.texts.push_back({pn::HoldingCurrent, InjectorText(entry->holdingPercent, sep)});
        out.texts.push_back({pn::GasInjectionDelay, InjectorText(entry->delayMs, sep)});
    }
    if (static_cast<int>(image.field(field::InjectorType)) == kOwnInjectorType) {
        image.setSlot(pn::ControlSettings, 0);
        WriteParameters(link, image, Writer::ControlSettings);
        out.items.push_back({Setting::ControlSettings, 0});
    }
    return out;
}

SettingResult ApplyIgnition(link::Link& link, ProgramState& state, int item, const SpeedTexts& texts, char sep) {
    ParameterImage& image = state.image;
    SettingOutcome out;
    image.setSlot(pn::IgnitionType, item);
    WriteParameter(link, image, pn::IgnitionType);
    // The speeds keep their texts; what they mean as periods changes with the ignition type.
    for (int k = 0; k < maps::kSpeedPoints; ++k) {
        const auto point = maps::PointFromText(k, texts.breakpoints[static_cast<std::size_t>(k)], image);
        if (!point) return NotANumber(texts.breakpoints[static_cast<std::size_t>(k)]);
        state.maps.setPoint(k, *point);
        const auto p = static_cast<std::uint8_t>(k);
        const auto value = static_cast<std::uint16_t>(*point & 0xFFFF);
        link.pause(10);
        link::PointSet(link, p, value);
        link.pause(10);
        link::MapWordSelect(link, p);
        link.pause(20);
        link::MapWordStore(link, p, value);
        link.pause(20);
    }
    if (!EncodeAndWrite(link, image, pn::SwitchSpeed, texts.switchSpeed, sep, out)) return NotANumber(texts.switchSpeed);
    if (!EncodeAndWrite(link, image, pn::SpeedLimit, texts.speedLimit, sep, out)) return NotANumber(texts.speedLimit);
    return out;
}

SettingResult ApplyHeatingStrength(link::Link& link, ParameterImage& image, int item) {
    struct Heating {
        std::int32_t duration;  // 42
        std::int32_t pulse;     // 43
    };
    constexpr Heating kTable[4] = {{20, 200}, {30, 300}, {35, 400}, {40, 500}};
    const bool none = item < 0;
    image.setSlot(pn::HeatingStrength, item);
    const Heating h = none ? Heating{20, 300} : kTable[item];
    image.setSlot(pn::HeatingDuration, h.duration);
    image.setSlot(pn::HeatingPulse, h.pulse);
    WriteParameters(link, image, Writer::HeatingStrength);
    if (none) {
        image.setSlot(pn::HeatingStrength, 0);
        WriteParameter(link, image, pn::HeatingStrength);
        link.pause(20);
    }
    return SettingOutcome{};
}

SettingResult ApplySwitchMode(link::Link& link, ParameterImage& image, int item, const SpeedTexts& texts) {
    SettingOutcome out;
    const int drop = item != 0 ? 2 : -1;  // falling mode starts at "200 obr./min"
    out.items.push_back({Setting::SpeedDrop, drop});
    const auto rpm = ParseWhole(texts.switchSpeed);
    if (!rpm) return NotANumber(texts.switchSpeed);
    std::int32_t value = 0;
    if (item != 0 && *rpm > 500) {
        auto v = SpeedDropValue(image, *rpm, drop);
        if (!v) return v.error();
        value = *v;
    }
    WriteSpeedDrop(link, image, value);
    return out;
}

SettingResult ApplySpeedDrop(link::Link& link, ParameterImage& image, int item, const SpeedTexts& texts) {
    const auto rpm = ParseWhole(texts.switchSpeed);
    if (!rpm) return NotANumber(texts.switchSpeed);
    std::int32_t value = 0;
    if (item > 0) {
        auto v = SpeedDropValue(image, *rpm, item);
        if (!v) return v.error();
        value = *v;
    }
    WriteSpeedDrop(link, image, value);
    return SettingOutcome{};
}

SettingResult WriteListParameter(link::Link& link, ParameterImage& image, int param, int item) {
    auto stored = EncodeItem(image, param, item);
    if (!stored) return Fail(SettingError::BadItem, stored.error().detail);
    WriteParameter(link, image, param);
    return SettingOutcome{};
}

// Which items a setting takes: its list, and -1 where the list may stand with nothing selected.
bool ItemAccepted(Setting setting, int item) {
    switch (setting) {
        case Setting::InjectorType: return item >= -1 && item <= 15;  // the controller may report types not listed
        case Setting::TankSensorType: return item >= -1 && item <= kOwnThresholdsType;
        case Setting::HeatingStrength:
        case Setting::GasCutoff:
        case Setting::ReducerCutoff:
        case Setting::SpeedDrop: return item >= -1 && item < SettingItemCount(setting);
        default: return item >= 0 && item < SettingItemCount(setting);
    }
}

}  // namespace

int SettingItemCount(Setting setting) {
    switch (setting) {
        case Setting::InjectorType: return static_cast<int>(kInjectorItems.size());
        case Setting::TankSensorType: return 3;
        case Setting::IgnitionType: return ItemCount(pn::IgnitionType);
        case Setting::TurboBoost: return ItemCount(pn::TurboBoost);
        case Setting::HeatingStrength: return ItemCount(pn::HeatingStrength);
        case Setting::SpeedDrop: return 10;
        case Setting::SwitchingSequence: return 8;
        case Setting::Lambda1: return ItemCount(pn::Lambda1Type);
        case Setting::Lambda2: return ItemCount(pn::Lambda2Type);
        case Setting::GasCutoff: return ItemCount(pn::GasCutoffTemperature);
        case Setting::ReducerCutoff: return ItemCount(pn::ReducerCutoffTemperature);
        case Setting::PressureFilter: return ItemCount(pn::PressureFilter);
        case Setting::ControlAlgorithm: return ItemCount(pn::ControlAlgorithm);
        case Setting::ControlSettings: return ItemCount(pn::ControlSettings);
        case Setting::PetrolInjectionType: return ItemCount(pn::PetrolInjectionType);
        default: return 2;
    }
}

SpeedTexts SpeedTextsOf(const ProgramState& state) {
    SpeedTexts texts;
    texts.switchSpeed = Decoded(state.image, pn::SwitchSpeed, state.decimalSeparator);
    texts.speedLimit = Decoded(state.image, pn::SpeedLimit, state.decimalSeparator);
    for (int k = 0; k < maps::kSpeedPoints; ++k)
        texts.breakpoints[static_cast<std::size_t>(k)] = maps::PointText(state.maps, k, state.image, state.decimalSeparator);
    return texts;
}

SettingResult WriteEditor(link::Link& link, ParameterImage& image, int param, std::string_view text, char sep,
                          EditorEvent event) {
    if (param == pn::ExtraCorrectionTime)
        return ApplyExtraCorrection(link, image, text, ExtraCorrectionSelection(image), sep);
    if (param >= pn::FirstTankThreshold && param < pn::FirstTankThreshold + pn::TankThresholdCount) {
        // One threshold alone: the other three keep their stored levels, not levels re-read from rounded volts.
        if (!EncodeParameter(image, param, text)) return NotANumber(text);
        WriteParameters(link, image, Writer::TankSettings);
        return SettingOutcome{};
    }
    if (FindNumericEditor(param) == nullptr)
        return Fail(SettingError::NoEditor, "parameter " + std::to_string(param) + " has no text editor");

    SettingOutcome out;
    std::string value(text);
    const bool leaving = event == EditorEvent::Leave;
    if (param == pn::ReturnDelay && leaving) {
        if (const auto number = ParseDecimal(value); number && *number < 0.1f) {
            value = WithSeparator("0.1", sep);
            out.texts.push_back({param, value});
        }
    }
    if (!EncodeAndWrite(link, image, param, value, sep, out)) return NotANumber(value);

    if (leaving && (param == pn::ReturnPressure || param == pn::BuzzerPressure)) {
        const float typed = *ParseDecimal(value);
        const bool fromReturn = param == pn::ReturnPressure;
        const float step = static_cast<float>(kPressureStepHundredths) / 100.0f;
        const int other = fromReturn ? pn::BuzzerPressure : pn::ReturnPressure;
        const std::string otherText = PressureText(fromReturn ? typed + step : typed - step, sep);
        out.texts.push_back({other, otherText});
        (void)EncodeAndWrite(link, image, other, otherText, sep, out);
    }
    return out;
}

int ShownItemOf(const ProgramState& state, Setting setting, const SpeedTexts& texts) {
    const ParameterImage& image = state.image;
    const auto bit = [&](BitField f) { return static_cast<int>(image.field(f)); };
    switch (setting) {
        case Setting::InjectorType: return bit(field::InjectorType);
        case Setting::TankSensorType: return bit(field::TankSensorType);
        case Setting::TankDirection: return bit(field::TankRising);
        case Setting::IgnitionType: return DecodeItem(image, pn::IgnitionType);
        case Setting::Turbo: return bit(field::Turbo);
        case Setting::TurboBoost: return DecodeItem(image, pn::TurboBoost);
        case Setting::Fuel: return bit(field::FuelCng);
        case Setting::ReducerSensor: return bit(field::ReducerSensorK);
        case Setting::SpeedSignalLevel: return bit(field::SpeedSignalWeak);
        case Setting::SpeedLimitOn: return bit(field::SpeedLimitOn);
        case Setting::ReducerVacuum: return bit(field::ReducerVacuum);
        case Setting::InjectorHeating:
        case Setting::SmoothSwitching: return bit(field::InjectorHeating);
        case Setting::HeatingStrength: return DecodeItem(image, pn::HeatingStrength);
        case Setting::Buzzer: return bit(field::BuzzerOff) ? 0 : 1;
        // A read always shows the falling mode; a viewed file shows the rising one when it has no drop.
        case Setting::SwitchMode: return state.readStatus == ReadStatus::File && image.slot(pn::SpeedDrop) == 0 ? 0 : 1;
        case Setting::SpeedDrop: {
            if (state.readStatus == ReadStatus::File && image.slot(pn::SpeedDrop) == 0) return -1;
            const auto switchRpm = ParseWhole(texts.switchSpeed);
            if (!switchRpm) return -1;
            const std::int64_t period = static_cast<std::int64_t>(image.slot(pn::SwitchSpeed)) + image.slot(pn::SpeedDrop);
            const auto lower = live::PeriodToRpm(period < 0 ? 0u : static_cast<std::uint32_t>(period), image.ignitionType());
            const auto item = static_cast<long long>(std::floor(static_cast<double>(*switchRpm - lower) * 0.01));
            return item >= 0 && item < SettingItemCount(setting) ? static_cast<int>(item) : -1;
        }
        case Setting::SwitchingSequence: return bit(field::SwitchingSequence);
        case Setting::Lambda1: return DecodeItem(image, pn::Lambda1Type);
        case Setting::Lambda2: return DecodeItem(image, pn::Lambda2Type);
        case Setting::GasCutoff: return DecodeItem(image, pn::GasCutoffTemperature);
        case Setting::ReducerCutoff: return DecodeItem(image, pn::ReducerCutoffTemperature);
        case Setting::PressureFilter: return DecodeItem(image, pn::PressureFilter);
        case Setting::ControlAlgorithm: return DecodeItem(image, pn::ControlAlgorithm);
        case Setting::ControlSettings: return DecodeItem(image, pn::ControlSettings);
        case Setting::PetrolInjectionType: return DecodeItem(image, pn::PetrolInjectionType);
    }
    return -1;
}

SettingResult ApplySetting(link::Link& link, ProgramState& state, Setting setting, int item, const SpeedTexts& texts,
                           char sep) {
    if (!ItemAccepted(setting, item))
        return Fail(SettingError::BadItem, "item " + std::to_string(item) + " is not in the list; nothing was sent");
    ParameterImage& image = state.image;
    switch (setting) {
        case Setting::InjectorType: return ApplyInjector(link, state, item, sep);
        case Setting::TankSensorType: {
            ApplyTankSensorType(link, image, item & 3);  // no selection gives type 3, the own thresholds
            SettingOutcome out;
            const auto volts = TankThresholdTexts(image, sep);
            for (int i = 0; i < pn::TankThresholdCount; ++i)
                out.texts.push_back({pn::FirstTankThreshold + i, volts[static_cast<std::size_t>(i)]});
            out.items.push_back({Setting::TankDirection, static_cast<int>(image.field(field::TankRising))});
            return out;
        }
        case Setting::TankDirection:
            // Saved with the thresholds the image holds, not with their rounded volt texts.
            image.setField(field::TankRising, static_cast<std::uint32_t>(item));
            WriteParameters(link, image, Writer::TankSettings);
            return SettingOutcome{};
        case Setting::IgnitionType: return ApplyIgnition(link, state, item, texts, sep);
        case Setting::Turbo: {
            SettingOutcome out;
            SetFlag(link, image, field::Turbo, item);
            state.maps.applyTurboFlag(image);
            if (item == 0) {
                image.setSlot(pn::TurboBoost, 100);
                WriteParameter(link, image, pn::TurboBoost);
                out.items.push_back({Setting::TurboBoost, 0});
            }
            return out;
        }
        case Setting::TurboBoost: return WriteTurboBoost(link, image, item);
        case Setting::Fuel: SetFlag(link, image, field::FuelCng, item); return SettingOutcome{};
        case Setting::ReducerSensor: SetFlag(link, image, field::ReducerSensorK, item); return SettingOutcome{};
        case Setting::Buzzer: SetFlag(link, image, field::BuzzerOff, item == 1 ? 0 : 1); return SettingOutcome{};
        case Setting::SpeedSignalLevel: SetFlag(link, image, field::SpeedSignalWeak, item); return SettingOutcome{};
        case Setting::SpeedLimitOn: SetFlag(link, image, field::SpeedLimitOn, item); return SettingOutcome{};
        case Setting::ReducerVacuum: SetFlag(link, image, field::ReducerVacuum, item); return SettingOutcome{};
        case Setting::InjectorHeating: SetFlag(link, image, field::InjectorHeating, item); return SettingOutcome{};
        case Setting::HeatingStrength: return ApplyHeatingStrength(link, image, item);
        case Setting::SmoothSwitching: {
            SetSmoothSwitching(link, image, item == 1);
            SettingOutcome out;
            out.items.push_back({Setting::InjectorHeating, item});
            return out;
        }
        case Setting::SwitchMode: return ApplySwitchMode(link, image, item, texts);
        case Setting::SpeedDrop: return ApplySpeedDrop(link, image, item, texts);
        case Setting::SwitchingSequence:
            SetFlag(link, image, field::SwitchingSequence, item);
            return SettingOutcome{};
        case Setting::Lambda1: return WriteListParameter(link, image, pn::Lambda1Type, item);
        case Setting::Lambda2: return WriteListParameter(link, image, pn::Lambda2Type, item);
        case Setting::GasCutoff:
        case Setting::ReducerCutoff: {
            const bool gas = setting == Setting::GasCutoff;
            auto stored = EncodeItem(image, gas ? pn::GasCutoffTemperature : pn::ReducerCutoffTemperature,
                                     item < 0 ? 0 : item);
            if (!stored) return Fail(SettingError::BadItem, stored.error().detail);
            WriteParameters(link, image, gas ? Writer::GasCutoff : Writer::ReducerCutoff);
            return SettingOutcome{};
        }
        case Setting::PressureFilter: return WriteListParameter(link, image, pn::PressureFilter, item);
        case Setting::ControlAlgorithm: return WriteListParameter(link, image, pn::ControlAlgorithm, item);
        case Setting::ControlSettings: return WriteListParameter(link, image, pn::ControlSettings, item);
        case Setting::PetrolInjectionType: return WriteListParameter(link, image, pn::PetrolInjectionType, item);
    }
    return Fail(SettingError::BadItem, "unknown setting");
}

void SetSmoothSwitching(link::Link& link, ParameterImage& image, bool on) {
    if (!on) {
        image.setField(field::InjectorHeating, 0);
        WriteParameter(link, image, pn::FirstFlags);
        return;
    }
    image.setSlot(pn::HeatingTemperature, image.slot(pn::SwitchTemperature) - 1);
    image.setSlot(pn::HeatingDuration, 400);
    image.setSlot(pn::HeatingPulse, live::MsToTicks(5.0f, image.fastClock()));
    image.setField(field::InjectorHeating, 1);
    WriteParameters(link, image, Writer::SmoothSwitching);
}

InjectorTexts InjectorTextsOf(const ParameterImage& image, char sep) {
    return {Decoded(image, pn::MaxGasTime, sep), Decoded(image, pn::MinGasOpening, sep),
            Decoded(image, pn::FullOpeningTime, sep), Decoded(image, pn::HoldingCurrent, sep),
            Decoded(image, pn::GasInjectionDelay, sep)};
}

SettingResult WriteInjectorSettings(link::Link& link, ParameterImage& image, const InjectorTexts& texts, char sep) {
    SettingOutcome out;
    const std::pair<int, const std::string*> order[] = {{pn::MaxGasTime, &texts.maxTime},
                                                        {pn::MinGasOpening, &texts.minOpening},
                                                        {pn::FullOpeningTime, &texts.fullOpening},
                                                        {pn::HoldingCurrent, &texts.holding},
                                                        {pn::GasInjectionDelay, &texts.delay}};
    for (const auto& [param, text] : order)
        if (!EncodeAndWrite(link, image, param, *text, sep, out)) return NotANumber(*text);
    return out;
}

std::string ExtraCorrectionText(const ParameterImage& image, char sep) {
    return Decoded(image, pn::ExtraCorrectionTime, sep);
}

std::uint8_t ExtraCorrectionSelection(const ParameterImage& image) {
    return static_cast<std::uint8_t>(image.field(kSelectionByte));
}

SettingResult ApplyExtraCorrection(link::Link& link, ParameterImage& image, std::string_view text,
                                   std::uint8_t selection, char sep) {
    const auto number = ParseDecimal(text);
    if (!number || !EncodeParameter(image, pn::ExtraCorrectionTime, text)) return NotANumber(text);
    image.setField(kSelectionByte, selection);
    WriteParameters(link, image, Writer::ExtraCorrection);
    SettingOutcome out;
    const NumericEditor* editor = FindNumericEditor(pn::ExtraCorrectionTime);
    if (ApplyEditorLimits(*editor, *number) != *number)
        out.texts.push_back({pn::ExtraCorrectionTime, ExtraCorrectionText(image, sep)});
    return out;
}

std::array<std::string, 4> TankThresholdTexts(const ParameterImage& image, char sep) {
    std::array<std::string, 4> texts;
    for (int i = 0; i < pn::TankThresholdCount; ++i)
        texts[static_cast<std::size_t>(i)] = Decoded(image, pn::FirstTankThreshold + i, sep);
    return texts;
}

SettingResult SaveTankThresholds(link::Link& link, ParameterImage& image, const std::array<std::string, 4>& volts,
                                 bool rising) {
    std::array<std::int32_t, 4> raw{};
    // All four are read before any is stored, so a bad field leaves the image as it was.
    for (int i = 0; i < pn::TankThresholdCount; ++i) {
        const auto& text = volts[static_cast<std::size_t>(i)];
        auto value = EncodeText(image, pn::FirstTankThreshold + i, text);
        if (!value) return NotANumber(text);
        raw[static_cast<std::size_t>(i)] = *value;
    }
    for (int i = 0; i < pn::TankThresholdCount; ++i)
        image.setSlot(pn::FirstTankThreshold + i, raw[static_cast<std::size_t>(i)]);
    image.setField(field::TankRising, rising ? 1u : 0u);
    WriteParameters(link, image, Writer::TankSettings);
    return SettingOutcome{};
}

std::string LimitTankDialogText(int index, std::string_view text, char sep) {
    const auto number = ParseDecimal(text);
    if (!number) return std::string(text);
    if (*number > 5.0f) return WithSeparator("5.00", sep);
    const bool fullField = index == 3;
    if (*number < (fullField ? 0.01f : 0.0f)) return WithSeparator(fullField ? "0.01" : "0.00", sep);
    return std::string(text);
}

std::optional<std::uint16_t> WriteSerialNumberText(link::Link& link, ProgramState& state, std::string_view text) {
    const auto number = ParseWhole(text);
    if (!number) return std::nullopt;
    const auto value = static_cast<std::uint16_t>(static_cast<unsigned long long>(*number) & 0xFFFF);
    state.serial = value;
    link::WriteSerialNumber(link, value);
    // What the controller now holds is what the fields must show.
    (void)link::ReadSerialNumber(link, state.serial);
    return state.serial;
}

SettingResult WriteTurboBoost(link::Link& link, ParameterImage& image, int position) {
    auto stored = EncodeItem(image, pn::TurboBoost, position);
    if (!stored) return Fail(SettingError::BadItem, "boost position " + std::to_string(position) + " is not 0..65");
    WriteParameter(link, image, pn::TurboBoost);
    return SettingOutcome{};
}

SettingResult ApplyFirstRunDefaults(link::Link& link, ProgramState& state, char sep) {
    SettingOutcome all;
    const auto merge = [&all](const SettingOutcome& part) {
        all.texts.insert(all.texts.end(), part.texts.begin(), part.texts.end());
        all.items.insert(all.items.end(), part.items.begin(), part.items.end());
    };
    const SpeedTexts texts = SpeedTextsOf(state);
    for (const auto& [setting, item] : {std::pair{Setting::TankSensorType, 2}, std::pair{Setting::InjectorType, 1}}) {
        auto part = ApplySetting(link, state, setting, item, texts, sep);
        if (!part) return part;
        merge(*part);
        all.items.push_back({setting, item});
    }
    const std::pair<int, std::string_view> editors[] = {
        {pn::SwitchSpeed, "600"}, {pn::SpeedLimit, "6000"}, {pn::CommonCycles, "4"}, {pn::GasOnDelay, "3"}};
    for (const auto& [param, text] : editors) {
        all.texts.push_back({param, std::string(text)});
        auto part = WriteEditor(link, state.image, param, text, sep, EditorEvent::EnterReleased);
        if (!part) return part;
        merge(*part);
    }
    return all;
}

bool OwnInjectorButtonVisible(const ParameterImage& image) {
    return static_cast<int>(image.field(field::InjectorType)) == kOwnInjectorType;
}
bool TurboButtonVisible(const ParameterImage& image) { return image.field(field::Turbo) != 0; }
bool HeatingStrengthEnabled(const ParameterImage& image) { return image.field(field::InjectorHeating) != 0; }
bool SwitchingSequenceEnabled(std::uint8_t hardware) { return (hardware & 0x0F) > 3; }
bool ReducerSensorVisible(std::uint8_t hardware, std::uint8_t software) {
    return (hardware & 0x0F) >= 2 && software >= 21;
}

LambdaDisplay LambdaDisplayOf(int item) {
    switch (item) {
        case 1: return {true, 0.0, 1.1, true};
        case 2: return {true, 0.5, 2.0, true};
        case 3: return {true, 1.5, 4.0, true};
        case 4: return {true, 0.0, 5.0, true};
        case 5: return {true, 0.0, 1.1, false};
        case 6: return {true, 0.0, 5.0, false};
        default: return {false, 0.0, 0.0, true};
    }
}

}  // namespace sequaflow::params
