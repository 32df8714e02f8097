#include "params/parameter_codec.h"

#include <array>
#include <cmath>
#include <limits>

#include "live/conversions.h"
#include "params/number_text.h"

namespace sequaflow::params {
namespace {

using Side = Limit::Side;
constexpr Limit kNone{Side::Below, 0, 0};
constexpr Limit Below(float t, float r) { return {Side::Below, t, r}; }
constexpr Limit Above(float t, float r) { return {Side::Above, t, r}; }
constexpr TextForm kWhole{0, 0};

constexpr std::array<NumericEditor, 26> kNumericEditors{{
    {pn::MixtureCorrection, "EditWzbogacanieMieszanki", Rule::Offset100, {Below(-99, -99), Above(99, 99)}, 2, kWhole},
    {pn::MinGasOpening, "EditMinimalnyCzasWtrysku", Rule::Time, {Below(0, 0.1f), Above(10, 10)}, 2, {4, 1}},
    {pn::IdleCorrection, "EditPrzesuniecie", Rule::SignedTime, {Below(-4, -4), Above(4, 4)}, 2, {3, 2}},
    {pn::CommonCycles, "EditWspolneCykle", Rule::Whole, {kNone, kNone}, 0, kWhole},
    {pn::SwitchTemperature, "EditMinTempPrzel", Rule::Whole, {kNone, kNone}, 0, kWhole},
    {pn::HoldingCurrent, "EditProcentowePodtrzymanie", Rule::HoldingPercent, {Below(20, 20), Above(90, 90)}, 2, {4, 1}},
    {pn::FullOpeningTime, "EditPelneOtwarcie", Rule::Time, {Below(0, 1), Above(10, 10)}, 2, {4, 2}},
    {pn::MaxGasTime, "EditParametryMaxInj", Rule::Time, {Below(0, 1), Above(200, 200)}, 2, {4, 1}},
    {pn::GasInjectionDelay, "EditOpoznienieWtryskiwaczy", Rule::Time, {Below(0, 0.01f), Above(8, 8)}, 2, {4, 2}},
    {pn::SwitchSpeed, "EditRPMprzelNaLPG", Rule::Speed, {kNone, kNone}, 0, kWhole},
    {pn::GasOnDelay, "EditOnTimeToInjTime", Rule::Thousandths, {Below(0.01f, 0.01f), Above(500, 500)}, 2, {4, 2}},
    {pn::ReturnPressure, "EditCisnienieWylaczenia", Rule::Pressure, {Below(0.4f, 0.4f), Above(3, 3)}, 2, {3, 2}},
    {pn::ReturnDelay, "EditCzasPowrotuNaBenz", Rule::Hundredths, {Below(0.01f, 0.01f), Above(500, 500)}, 2, {4, 2}},
    {pn::BuzzerPressure, "EditCisnienieBeep", Rule::Pressure, {Below(0.4f, 0.4f), Above(3, 3)}, 2, {3, 2}},
    {pn::FirstTankThreshold, "EditSzkloR", Rule::TankVolts, {kNone, kNone}, 0, {3, 2}},
    {pn::FirstTankThreshold + 1, "EditRez14", Rule::TankVolts, {kNone, kNone}, 0, {3, 2}},
    {pn::FirstTankThreshold + 2, "EditRez12", Rule::TankVolts, {kNone, kNone}, 0, {3, 2}},
    {pn::FirstTankThreshold + 3, "EditRez34", Rule::TankVolts, {kNone, kNone}, 0, {3, 2}},
    {pn::TankRefresh, "EditOdswiezanieOczka", Rule::Hundredths, {Above(500, 500), kNone}, 1, {3, 1}},
    {pn::SpeedSignalFilter, "EditMultiRpmPower", Rule::Whole, {Below(0, 1), Above(1000, 1000)}, 2, kWhole},
    {pn::SpeedLimit, "EditMaxRpm", Rule::Speed, {kNone, kNone}, 0, kWhole},
    {pn::PetrolSignalFilter, "EditSignalInj", Rule::Whole, {Below(0, 1), Above(1000, 1000)}, 2, kWhole},
    {pn::ExtraCorrectionTime, "EditPrzesuniecie2", Rule::SignedTime, {Below(-4, -4), Above(4, 4)}, 2, {3, 2}},
    {pn::FilterTimeStep, "EditFiltrDt", Rule::Time, {Below(0.005f, 0.005f), Above(10, 10)}, 2, {4, 2}},
    {pn::FilterSpeed, "EditFiltrRPM", Rule::Speed, {Below(400, 400), Above(5000, 5000)}, 2, kWhole},
    {pn::FilterInjectionTime, "EditFiltrInjTime", Rule::Time, {Below(1, 1), Above(15, 15)}, 2, {4, 1}},
}};

std::int32_t Truncate(long double v) {
    if (std::isnan(v)) return 0;
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    if (v >= static_cast<long double>(kMax)) return kMax;
    if (v <= static_cast<long double>(kMin)) return kMin;
    return static_cast<std::int32_t>(v);
}

}  // namespace

float ApplyEditorLimits(const NumericEditor& e, float x) {
    for (int i = 0; i < e.limitCount; ++i) {
        const Limit& l = e.limits[i];
        if (l.side == Side::Below ? x < l.threshold : x > l.threshold) x = l.replacement;
    }
    return x;
}

namespace {

std::int32_t Scale(const NumericEditor& e, const ParameterImage& image, float x) {
    const auto ext = static_cast<long double>(x);
    switch (e.rule) {
        case Rule::Offset100: return Truncate(ext) + 100;
        case Rule::Time:
        case Rule::SignedTime: return live::MsToTicks(x, image.fastClock());
        case Rule::Whole: return Truncate(ext);
        case Rule::HoldingPercent: {
            const auto fraction = static_cast<float>(ext * 0.01L);  // single precision on purpose: 38 % -> 569
            return Truncate(static_cast<long double>(fraction) * 1500.0L);
        }
        case Rule::Speed: {
            const std::int32_t rpm = Truncate(ext);
            return live::RpmToPeriod(rpm < 0 ? 0u : static_cast<std::uint32_t>(rpm), image.ignitionType());
        }
        case Rule::Thousandths: return Truncate(ext * 1000.0L);
        case Rule::Hundredths: return Truncate(ext * 100.0L);
        case Rule::Pressure: return live::BarToRaw(x);
        case Rule::TankVolts: return Truncate(ext * (1000.0L / 1.2L));
    }
    return 0;
}

std::string Fixed(long double v, TextForm form, char sep) {
    return live::FormatFixed(static_cast<double>(static_cast<float>(v)), form.precision, form.decimals, sep);
}

struct ItemEditor {
    int param;
    int count;
};
constexpr std::array<ItemEditor, 11> kItemEditors{{
    {pn::TurboBoost, 66},
    {pn::IgnitionType, 7},
    {pn::ControlAlgorithm, 2},
    {pn::PetrolInjectionType, 8},
    {pn::PressureFilter, 4},
    {pn::ReducerCutoffTemperature, 22},
    {pn::GasCutoffTemperature, 22},
    {pn::Lambda1Type, 7},
    {pn::Lambda2Type, 7},
    {pn::HeatingStrength, 4},
    {pn::ControlSettings, 2},
}};

}  // namespace

const NumericEditor* FindNumericEditor(int param) {
    for (const auto& e : kNumericEditors)
        if (e.param == param) return &e;
    return nullptr;
}

Result<std::int32_t, EncodeError> EncodeText(const ParameterImage& image, int param, std::string_view text) {
    const NumericEditor* e = FindNumericEditor(param);
    if (!e) return Error<EncodeError>{EncodeError::NoEditor, "parameter " + std::to_string(param) + " has no editor"};
    const auto number = ParseDecimal(text);
    if (!number) {
        return Error<EncodeError>{EncodeError::NotANumber, "'" + std::string(text) + "' is not a valid number"};
    }
    return Scale(*e, image, ApplyEditorLimits(*e, *number));
}

Result<std::int32_t, EncodeError> EncodeParameter(ParameterImage& image, int param, std::string_view text) {
    auto value = EncodeText(image, param, text);
    if (!value) return value;
    image.setSlot(param, *value);
    if (param == pn::SwitchTemperature) image.setSlot(pn::HeatingTemperature, *value - 1);
    return value;
}

std::optional<std::string> DecodeParameter(const ParameterImage& image, int param, char sep) {
    const NumericEditor* e = FindNumericEditor(param);
    if (!e) return std::nullopt;
    const std::int32_t v = image.slot(param);
    const auto ext = static_cast<long double>(v);
    switch (e->rule) {
        case Rule::Offset100:
            return v < 100 ? "-" + std::to_string(100 - v) : "+" + std::to_string(v - 100);
        case Rule::Time: return Fixed(live::SignedTicksToMs(v, image.fastClock()), e->form, sep);
        case Rule::SignedTime: {
            const float ms = live::SignedTicksToMs(v, image.fastClock());
            return (ms >= 0 ? "+" : "") + Fixed(ms, e->form, sep);
        }
        case Rule::Whole: return std::to_string(v);
        case Rule::HoldingPercent: return Fixed(ext / 1500.0L * 100.0L, e->form, sep);
        case Rule::Speed:
            return std::to_string(live::PeriodToRpm(v < 0 ? 0u : static_cast<std::uint32_t>(v), image.ignitionType()));
        case Rule::Thousandths: return Fixed(ext * 0.001L, e->form, sep);
        case Rule::Hundredths: return Fixed(ext * 0.01L, e->form, sep);
        case Rule::Pressure: return Fixed(live::RawToBar(v < 0 ? 0u : static_cast<std::uint32_t>(v)), e->form, sep);
        case Rule::TankVolts: return Fixed(ext * 0.0012L, e->form, sep);
    }
    return std::nullopt;
}

int ItemCount(int param) {
    for (const auto& e : kItemEditors)
        if (e.param == param) return e.count;
    return 0;
}

Result<std::int32_t, EncodeError> EncodeItem(ParameterImage& image, int param, int item) {
    const int count = ItemCount(param);
    if (count == 0) return Error<EncodeError>{EncodeError::NoEditor, "parameter " + std::to_string(param) + " has no list"};
    if (item < 0 || item >= count) {
        return Error<EncodeError>{EncodeError::BadItem, "item " + std::to_string(item) + " is not in the list"};
    }
    std::int32_t value = item;
    switch (param) {
        case pn::TurboBoost: value = item + 100; break;
        case pn::PetrolInjectionType: value = live::MsToTicks(static_cast<float>(item), image.fastClock()); break;
        case pn::ReducerCutoffTemperature:
            value = item == 0 ? -20 : 11 - item;
            image.setField(field::ReducerCutoff, item == 0 ? 0u : 1u);
            break;
        case pn::GasCutoffTemperature:
            value = item == 0 ? -20 : 1 - item;
            image.setField(field::GasCutoff, item == 0 ? 0u : 1u);
            break;
        default: break;
    }
    image.setSlot(param, value);
    return value;
}

int DecodeItem(const ParameterImage& image, int param) {
    const int count = ItemCount(param);
    if (count == 0) return -1;
    const std::int32_t v = image.slot(param);
    int item = v;
    switch (param) {
        case pn::TurboBoost: item = v - 100; break;
        case pn::PetrolInjectionType: {
            const float ms = live::SignedTicksToMs(v + 10, image.fastClock());
            item = Truncate(static_cast<long double>(ms));
            break;
        }
        case pn::ReducerCutoffTemperature: item = image.field(field::ReducerCutoff) ? 11 - v : 0; break;
        case pn::GasCutoffTemperature: item = image.field(field::GasCutoff) ? 1 - v : 0; break;
        default: break;
    }
    return item >= 0 && item < count ? item : -1;
}

}  // namespace sequaflow::params
