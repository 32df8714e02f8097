#include "params/setting_keys.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "params/injector_catalogue.h"
#include "params/number_text.h"
#include "params/parameter_codec.h"

namespace sequaflow::params {
namespace {

using K = KeyKind;
using S = Setting;

constexpr SettingKey Param(std::string_view key, int number, KeyKind kind, Setting setting = S::InjectorType) {
    return {key, number, kind, setting};
}
constexpr SettingKey List(std::string_view key, int number, Setting setting) {
    return {key, number, K::List, setting};
}

constexpr std::array<SettingKey, 78> kKeys{{
    Param("programmed_marker", pn::Marker, K::Carried),
    Param("mixture_correction_pct", pn::MixtureCorrection, K::Editor),
    Param("min_gas_opening_ms", pn::MinGasOpening, K::Editor),
    Param("idle_correction_ms", pn::IdleCorrection, K::Editor),
    Param("common_cycles", pn::CommonCycles, K::Editor),
    Param("min_switch_temperature_c", pn::SwitchTemperature, K::Editor),
    Param("holding_current_pct", pn::HoldingCurrent, K::Editor),
    Param("full_opening_ms", pn::FullOpeningTime, K::Editor),
    Param("max_gas_time_ms", pn::MaxGasTime, K::Editor),
    Param("param_9", 9, K::Carried),
    Param("param_10", 10, K::Carried),
    Param("param_11", 11, K::Carried),
    List("turbo_boost", pn::TurboBoost, S::TurboBoost),
    Param("gas_injection_delay_ms", pn::GasInjectionDelay, K::Editor),
    Param("switch_speed_rpm", pn::SwitchSpeed, K::Editor),
    Param("param_15", 15, K::Carried),
    Param("gas_on_delay_s", pn::GasOnDelay, K::Editor),
    Param("param_17", 17, K::Carried),
    Param("return_pressure_bar", pn::ReturnPressure, K::Editor),
    Param("param_19", 19, K::Carried),
    Param("return_delay_s", pn::ReturnDelay, K::Editor),
    List("ignition_type", pn::IgnitionType, S::IgnitionType),
    Param("first_flags", pn::FirstFlags, K::Carried),
    List("control_algorithm", pn::ControlAlgorithm, S::ControlAlgorithm),
    Param("buzzer_pressure_bar", pn::BuzzerPressure, K::Editor),
    Param("param_25", 25, K::Carried),
    Param("param_26", 26, K::Carried),
    Param("param_27", 27, K::Carried),
    Param("param_28", 28, K::Carried),
    Param("param_29", 29, K::Carried),
    Param("tank_threshold_reserve_v", pn::FirstTankThreshold, K::Editor),
    Param("tank_threshold_quarter_v", pn::FirstTankThreshold + 1, K::Editor),
    Param("tank_threshold_half_v", pn::FirstTankThreshold + 2, K::Editor),
    Param("tank_threshold_three_quarters_v", pn::FirstTankThreshold + 3, K::Editor),
    Param("tank_refresh_s", pn::TankRefresh, K::Editor),
    Param("petrol_seconds_high", pn::PetrolSecondsHigh, K::Carried),
    Param("petrol_seconds_low", pn::PetrolSecondsLow, K::Carried),
    Param("gas_seconds_high", pn::GasSecondsHigh, K::Carried),
    Param("gas_seconds_low", pn::GasSecondsLow, K::Carried),
    Param("param_39", 39, K::Carried),
    Param("speed_signal_filter", pn::SpeedSignalFilter, K::Editor),
    Param("heating_temperature_c", pn::HeatingTemperature, K::Carried),
    Param("heating_duration", pn::HeatingDuration, K::Carried),
    Param("heating_pulse", pn::HeatingPulse, K::Carried),
    Param("speed_limit_rpm", pn::SpeedLimit, K::Editor),
    List("petrol_injection_type", pn::PetrolInjectionType, S::PetrolInjectionType),
    List("pressure_filter", pn::PressureFilter, S::PressureFilter),
    Param("second_flags", pn::SecondFlags, K::Carried),
    List("reducer_cutoff_temperature", pn::ReducerCutoffTemperature, S::ReducerCutoff),
    List("gas_cutoff_temperature", pn::GasCutoffTemperature, S::GasCutoff),
    Param("petrol_signal_filter", pn::PetrolSignalFilter, K::Editor),
    Param("extra_correction_injectors", pn::ExtraCorrectionInjectors, K::Selection),
    Param("extra_correction_ms", pn::ExtraCorrectionTime, K::Editor),
    List("speed_drop", pn::SpeedDrop, S::SpeedDrop),
    Param("third_flags", pn::ThirdFlags, K::Carried),
    List("lambda1_type", pn::Lambda1Type, S::Lambda1),
    List("lambda2_type", pn::Lambda2Type, S::Lambda2),
    List("heating_strength", pn::HeatingStrength, S::HeatingStrength),
    List("control_settings", pn::ControlSettings, S::ControlSettings),
    Param("filter_time_step_ms", pn::FilterTimeStep, K::Editor),
    Param("filter_speed_rpm", pn::FilterSpeed, K::Editor),
    Param("filter_injection_time_ms", pn::FilterInjectionTime, K::Editor),
    Param("param_62", 62, K::Carried),
    Param("param_63", 63, K::Carried),
    // Settings of bits, or of several parameters at once.
    List("injector_type", -1, S::InjectorType),
    List("tank_sensor_type", -1, S::TankSensorType),
    List("tank_direction", -1, S::TankDirection),
    List("turbo", -1, S::Turbo),
    List("fuel_type", -1, S::Fuel),
    List("reducer_sensor_type", -1, S::ReducerSensor),
    List("speed_signal_level", -1, S::SpeedSignalLevel),
    List("speed_limit_on", -1, S::SpeedLimitOn),
    List("reducer_vacuum", -1, S::ReducerVacuum),
    List("injector_heating", -1, S::InjectorHeating),
    List("smooth_switching", -1, S::SmoothSwitching),
    List("buzzer", -1, S::Buzzer),
    List("switch_mode", -1, S::SwitchMode),
    List("switching_sequence", -1, S::SwitchingSequence),
}};

using Items = std::span<const std::string_view>;

constexpr std::string_view kTankItems[] = {"20kR", "90R", "Rezerwa"};
constexpr std::string_view kTankDirectionItems[] = {"Szkielko Malejace", "Szkielko Rosnace"};
constexpr std::string_view kIgnitionItems[] = {"Cewka / Cyl.", "DIS", "4 Cyl.", "5 Cyl.", "6 Cyl.", "8 Cyl.", "3 Cyl."};
constexpr std::string_view kTurboItems[] = {"BRAK Turbiny", "SILNIK TURBO"};
constexpr std::string_view kFuelItems[] = {"LPG", "CNG"};
constexpr std::string_view kSensorItems[] = {"S", "K"};
constexpr std::string_view kSignalItems[] = {"NORMALNY (12 v)", "SŁABY (5 v)"};
constexpr std::string_view kOnOffItems[] = {"Wylaczone", "Wlaczone"};
constexpr std::string_view kVacuumItems[] = {"Odlaczone", "Podlaczone"};
constexpr std::string_view kStrengthItems[] = {"Male Rozgrzewanie", "Srednie Rozgrzewanie", "Duze Rozgrzewanie",
                                               "B.Duze Rozgrzewanie"};
// The two check boxes have no item texts of their own: not ticked, ticked.
constexpr std::string_view kCheckItems[] = {"off", "on"};
constexpr std::string_view kSwitchModeItems[] = {"Obroty rosnace", "Obroty malejace"};
constexpr std::string_view kSpeedDropItems[] = {"Brak obr. Malejacych", "100 obr./min", "200 obr./min",
                                                "300 obr./min",         "400 obr./min", "500 obr./min",
                                                "600 obr./min",         "700 obr./min", "800 obr./min",
                                                "900 obr./min"};
constexpr std::string_view kSequenceItems[] = {"0", "0.1", "0.2", "0.4", "0.6", "1   ", "2   ", "4"};
constexpr std::string_view kLambdaItems[] = {"Odlaczona", "0 - 1V", "0,8 - 1,6V", "1,5 - 4V",
                                             "0 - 5V",    "1 - 0V", "5 - 0V"};
constexpr std::string_view kPressureFilterItems[] = {"Szybkie", "Srednie", "Normalne", "Mocne"};
constexpr std::string_view kAlgorithmItems[] = {"Przewidywanie Sekwencji - Alternatywny",
                                                "Czas Rzeczywisty - Zalecany"};
constexpr std::string_view kControlSettingsItems[] = {"STANDARD", "WLASNE !!!"};

constexpr int kBoostPositions = 66;
constexpr int kCutoffItems = 22;
constexpr int kPetrolInjectionItems = 8;

// The fixed lists; the boost, the cut-offs and the petrol injection type are numbered and built below.
Items FixedItems(Setting setting) {
    switch (setting) {
        case S::InjectorType: return kInjectorItems;
        case S::TankSensorType: return kTankItems;
        case S::TankDirection: return kTankDirectionItems;
        case S::IgnitionType: return kIgnitionItems;
        case S::Turbo: return kTurboItems;
        case S::Fuel: return kFuelItems;
        case S::ReducerSensor: return kSensorItems;
        case S::SpeedSignalLevel: return kSignalItems;
        case S::SpeedLimitOn:
        case S::InjectorHeating: return kOnOffItems;
        case S::ReducerVacuum: return kVacuumItems;
        case S::HeatingStrength: return kStrengthItems;
        case S::SmoothSwitching:
        case S::Buzzer: return kCheckItems;
        case S::SwitchMode: return kSwitchModeItems;
        case S::SpeedDrop: return kSpeedDropItems;
        case S::SwitchingSequence: return kSequenceItems;
        case S::Lambda1:
        case S::Lambda2: return kLambdaItems;
        case S::PressureFilter: return kPressureFilterItems;
        case S::ControlAlgorithm: return kAlgorithmItems;
        case S::ControlSettings: return kControlSettingsItems;
        case S::TurboBoost:
        case S::GasCutoff:
        case S::ReducerCutoff:
        case S::PetrolInjectionType: break;
    }
    return {};
}

std::string Degrees(int celsius) { return (celsius > 0 ? "+" : "") + std::to_string(celsius) + " °C"; }

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

Error<SettingError> Refused(SettingError code, std::string detail) { return {code, std::move(detail)}; }

std::string KeyName(const SettingKey& key) { return std::string(key.key); }

Result<SettingInput, SettingError> ParseItem(const SettingKey& key, std::string_view text) {
    const int count = SettingItemCount(key.setting);
    SettingInput input;
    if (const auto whole = ParseWhole(text)) {
        if (*whole < 0 || *whole >= count)
            return Refused(SettingError::BadItem, KeyName(key) + ": item " + std::string(Trimmed(text)) +
                                                      " is not in the list (0.." + std::to_string(count - 1) + ")");
        input.item = static_cast<int>(*whole);
        return input;
    }
    const int named = SettingItemTextCount(key.setting);
    // An exact match first: two items may differ only in blanks ("1" and "1   " do not, but be sure).
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < std::min(named, count); ++i) {
            const auto item = SettingItemText(key.setting, i);
            const bool same = pass == 0 ? *item == text : SameIgnoringCase(Trimmed(*item), Trimmed(text));
            if (same) {
                input.item = i;
                return input;
            }
        }
    }
    return Refused(SettingError::BadItem,
                   KeyName(key) + ": '" + std::string(text) + "' is neither an item number nor an item of the list");
}

std::string SelectionText(std::uint8_t selection) {
    std::string s(8, '0');
    for (int i = 0; i < 8; ++i)
        if (selection & (1u << i)) s[static_cast<std::size_t>(i)] = '1';
    return s;
}

}  // namespace

std::span<const SettingKey> SettingKeys() { return kKeys; }

const SettingKey* FindSettingKey(std::string_view keyOrNumber) {
    for (const auto& k : kKeys)
        if (k.key == keyOrNumber) return &k;
    const bool digits = !keyOrNumber.empty() && keyOrNumber.size() <= 2 &&
                        std::all_of(keyOrNumber.begin(), keyOrNumber.end(),
                                    [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
    if (!digits) return nullptr;
    const int number = std::stoi(std::string(keyOrNumber));
    for (const auto& k : kKeys)
        if (k.number == number) return &k;
    return nullptr;
}

int SettingItemTextCount(Setting setting) {
    switch (setting) {
        case S::TurboBoost: return kBoostPositions;
        case S::GasCutoff:
        case S::ReducerCutoff: return kCutoffItems;
        case S::PetrolInjectionType: return kPetrolInjectionItems;
        default: return static_cast<int>(FixedItems(setting).size());
    }
}

std::optional<std::string> SettingItemText(Setting setting, int item) {
    if (item < 0 || item >= SettingItemTextCount(setting)) return std::nullopt;
    switch (setting) {
        case S::TurboBoost: return std::to_string(item);
        case S::PetrolInjectionType: return std::to_string(item) + " ms";
        case S::GasCutoff: return item == 0 ? std::string("Brak") : Degrees(1 - item);
        case S::ReducerCutoff: return item == 0 ? std::string("Brak") : Degrees(11 - item);
        default: return std::string(FixedItems(setting)[static_cast<std::size_t>(item)]);
    }
}

ShownSetting ShowSetting(const ProgramState& state, const SettingKey& key, const SpeedTexts& texts) {
    ShownSetting shown;
    shown.key = &key;
    const ParameterImage& image = state.image;
    if (key.number >= 0) shown.raw = image.slot(key.number);
    switch (key.kind) {
        case K::Editor: shown.text = DecodeParameter(image, key.number, state.decimalSeparator); break;
        case K::List: {
            const int item = ShownItemOf(state, key.setting, texts);
            if (item >= 0) shown.index = item;
            shown.text = SettingItemText(key.setting, item);
            break;
        }
        case K::Selection: shown.text = SelectionText(ExtraCorrectionSelection(image)); break;
        case K::Carried: break;
    }
    return shown;
}

Result<SettingInput, SettingError> ParseSettingText(const SettingKey& key, std::string_view text) {
    switch (key.kind) {
        case K::Editor: {
            if (!ParseDecimal(text))
                return Refused(SettingError::NotANumber, KeyName(key) + ": '" + std::string(text) + "' is not a number");
            SettingInput input;
            input.text = std::string(text);
            return input;
        }
        case K::List: return ParseItem(key, text);
        case K::Selection: {
            const std::string_view bits = Trimmed(text);
            if (bits.size() != 8 || bits.find_first_not_of("01") != std::string_view::npos)
                return Refused(SettingError::BadItem, KeyName(key) + ": '" + std::string(text) +
                                                          "' is not eight 0/1 characters (injector 1 first)");
            SettingInput input;
            for (std::size_t i = 0; i < 8; ++i)
                if (bits[i] == '1') input.selection = static_cast<std::uint8_t>(input.selection | (1u << i));
            return input;
        }
        case K::Carried: break;
    }
    return Refused(SettingError::NoEditor, KeyName(key) + ": no control of the tool changes this parameter");
}

bool SettingNeedsMaps(const SettingKey& key) { return key.kind == K::List && key.setting == S::IgnitionType; }

SettingResult SetSettingText(link::Link& link, ProgramState& state, const SettingKey& key, std::string_view text,
                             const SpeedTexts& texts) {
    auto input = ParseSettingText(key, text);
    if (!input) return input.error();
    ParameterImage& image = state.image;
    const char sep = state.decimalSeparator;
    switch (key.kind) {
        case K::Editor: return WriteEditor(link, image, key.number, input->text, sep, EditorEvent::Leave);
        case K::List: return ApplySetting(link, state, key.setting, input->item, texts, sep);
        case K::Selection:
            return ApplyExtraCorrection(link, image, ExtraCorrectionText(image, sep), input->selection, sep);
        case K::Carried: break;
    }
    return Refused(SettingError::NoEditor, KeyName(key) + ": no control of the tool changes this parameter");
}

}  // namespace sequaflow::params
