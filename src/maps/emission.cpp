#include "maps/emission.h"

#include <algorithm>
#include <cmath>

#include "link/commands.h"
#include "live/conversions.h"
#include "params/number_text.h"
#include "params/parameter_writer.h"

namespace sequaflow::maps {
namespace {

constexpr double kCountsPerVoltWritten = 819.2;
constexpr double kVoltsPerCountShown = 5.0 / 4095.0;
constexpr int kEnrichmentMin = -50;
constexpr int kEnrichmentMax = 100;
constexpr int kBreakpointMin = 0;
constexpr int kBreakpointMax = 100;
constexpr int kByteZero = 100;  // an enrichment byte is the percentage + 100

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

FieldFailure NotANumber(int field, std::string_view text, bool whole) {
    return {field, FieldError::NotANumber, std::string(text),
            Quoted(text) + (whole ? " is not a valid integer value" : " is not a valid floating point value")};
}

FieldFailure OutOfRange(int field, std::string_view text, long long value, long long lo, long long hi) {
    return {field, FieldError::OutOfRange, std::string(text),
            Quoted(text) + " gives " + std::to_string(value) + ", which does not fit the controller's word (" +
                std::to_string(lo) + ".." + std::to_string(hi) + ")"};
}

// A typed number may lie far beyond any word (up to the float maximum): held as a whole number for the
// message without the overflow a plain cast would be.
long long WholeForMessage(double v) {
    constexpr double kLimit = 9.0e18;
    return static_cast<long long>(std::clamp(std::trunc(v), -kLimit, kLimit));
}

void Fail(FieldFailure* out, FieldFailure f) {
    if (out != nullptr) *out = std::move(f);
}

// Puts a list item into one bit: 0 clears, 1 sets, anything else keeps it.
std::uint32_t WithItem(std::uint32_t bits, int bit, int item) {
    if (item == 0) return bits & ~(1u << bit);
    if (item == 1) return bits | (1u << bit);
    return bits;
}

bool FlagsHeld(const params::ParameterImage& image) { return image.held(params::kFlags2Shadow); }

}  // namespace

LambdaUnit UnitOf(int setting) {
    if (setting <= static_cast<int>(LambdaSetting::LowerThreshold)) return LambdaUnit::Volts;
    if (setting <= static_cast<int>(LambdaSetting::DurationUp)) return LambdaUnit::Whole;
    if (setting <= static_cast<int>(LambdaSetting::LoadMax)) return LambdaUnit::Milliseconds;
    return LambdaUnit::Rpm;
}

std::optional<std::uint16_t> LambdaWordFromText(int index, std::string_view text, const params::ParameterImage& image,
                                                FieldFailure* failure) {
    const LambdaUnit unit = UnitOf(index);
    long long value = 0;
    if (unit == LambdaUnit::Whole) {
        const auto whole = params::ParseWhole(text);
        if (!whole) return Fail(failure, NotANumber(index, text, true)), std::nullopt;
        if (*whole < -32768 || *whole > 32767) return Fail(failure, OutOfRange(index, text, *whole, -32768, 32767)), std::nullopt;
        return static_cast<std::uint16_t>(*whole & 0xFFFF);
    }
    const auto number = params::ParseDecimal(text);
    if (!number) return Fail(failure, NotANumber(index, text, false)), std::nullopt;
    const double v = static_cast<double>(*number);
    switch (unit) {
        case LambdaUnit::Volts: value = WholeForMessage(v * kCountsPerVoltWritten); break;
        case LambdaUnit::Milliseconds: value = live::MsToTicks(*number, image.fastClock()); break;
        case LambdaUnit::Rpm: {
            const double rpm = std::trunc(v);
            if (rpm < 0 || rpm > 4294967295.0) {
                return Fail(failure, OutOfRange(index, text, WholeForMessage(rpm), 0, 65535)), std::nullopt;
            }
            value = live::RpmToPeriod(static_cast<std::uint32_t>(rpm), image.ignitionType());
            break;
        }
        case LambdaUnit::Whole: break;
    }
    if (value < 0 || value > 65535) return Fail(failure, OutOfRange(index, text, value, 0, 65535)), std::nullopt;
    return static_cast<std::uint16_t>(value);
}

std::string LambdaTextFromWord(int index, std::uint16_t word, const params::ParameterImage& image, char separator) {
    switch (UnitOf(index)) {
        case LambdaUnit::Volts: return live::FormatFixed(word * kVoltsPerCountShown, 3, 2, separator);
        case LambdaUnit::Whole: return std::to_string(static_cast<std::int16_t>(word));
        case LambdaUnit::Milliseconds:
            return live::FormatFixed(static_cast<double>(live::TicksToMs(word, image.fastClock())), 4, 1, separator);
        case LambdaUnit::Rpm:
            // A zero period (nothing read yet) would come out as hundreds of millions of rpm.
            return word == 0 ? std::string("0") : std::to_string(live::PeriodToRpm(word, image.ignitionType()));
    }
    return {};
}

std::array<int, kLambdaSwitches> LambdaSwitchItems(const params::ParameterImage& image) {
    const std::uint32_t bits = image.field(params::field::LambdaSwitches);
    std::array<int, kLambdaSwitches> items{};
    for (int k = 0; k < kLambdaSwitches; ++k) items[static_cast<std::size_t>(k)] = static_cast<int>((bits >> k) & 1u);
    return items;
}

int TemperatureMapItem(const params::ParameterImage& image) {
    return static_cast<int>(image.field(params::field::TemperatureMapOn));
}

int CorrectionReadReport::failures() const {
    return static_cast<int>(std::count(lambda.begin(), lambda.end(), false) +
                            std::count(points.begin(), points.end(), false) +
                            std::count(enrichments.begin(), enrichments.end(), false));
}

bool SendLambdaWords(link::SequenceRun& run, link::Link& link,
                     std::span<const std::uint16_t, params::kLambdaCount> words) {
    for (int i = 0; i < kLambdaSettings; ++i) {
        if (!run.step("Lambda", i + 1, kLambdaSettings)) return false;
        link::LambdaSet(link, static_cast<std::uint8_t>(i), words[static_cast<std::size_t>(i)]);
    }
    return true;
}

bool SendDefaultTemperatureMap(link::SequenceRun& run, link::Link& link) {
    constexpr int kWords = kTempEnrichments + kTempPoints;
    for (int m = 0; m < kTempEnrichments; ++m) {
        if (!run.step("Temp.", m + 1, kWords)) return false;
        link::WriteTempCorrSequence(link, static_cast<std::uint8_t>(m), params::kDefaultTempCorr[static_cast<std::size_t>(m)]);
    }
    for (int n = 0; n < kTempPoints; ++n) {
        if (!run.step("Temp.", kTempEnrichments + n + 1, kWords)) return false;
        link::WriteTempPointSequence(link, static_cast<std::uint8_t>(n), params::kDefaultTempPoints[static_cast<std::size_t>(n)]);
    }
    return true;
}

LambdaSaveReport SaveLambdaSettings(link::Link& link, params::ProgramState& state, const LambdaSaveInput& input,
                                    const SequenceControl& control) {
    LambdaSaveReport report;
    link::SequenceRun run(link, control);
    const auto finish = [&] {
        report.sequence = run.result();
        return report;
    };
    if (!run.goOn()) return finish();
    for (int i = 0; i < kLambdaSettings; ++i) {
        FieldFailure failure;
        const auto word = LambdaWordFromText(i, input.texts[static_cast<std::size_t>(i)], state.image, &failure);
        if (!word) {
            report.failure = std::move(failure);
            return finish();
        }
        if (!run.step("Lambda", i + 1, kLambdaSettings)) return finish();
        link::LambdaSet(link, static_cast<std::uint8_t>(i), *word);
        state.corrections.lambda[static_cast<std::size_t>(i)] = *word;
        report.sent = i + 1;
    }
    if (!run.goOn()) return finish();
    if (!FlagsHeld(state.image)) {
        report.flagsUnknown = true;
        return finish();
    }
    std::uint32_t bits = state.image.field(params::field::LambdaSwitches);
    for (int k = 0; k < kLambdaSwitches; ++k) bits = WithItem(bits, k, input.switches[static_cast<std::size_t>(k)]);
    state.image.setField(params::field::LambdaSwitches, bits);
    params::WriteParameter(link, state.image, params::pn::SecondFlags);
    report.flagsWritten = true;
    run.finish();
    return finish();
}

CorrectionReadReport ReadLambdaSettings(link::Link& link, params::ProgramState& state,
                                        const SequenceControl& control) {
    CorrectionReadReport report;
    link::SequenceRun run(link, control);
    // The temperature map is not part of this read: its entries count as answered.
    report.points.fill(true);
    report.enrichments.fill(true);
    for (int i = 0; i < kLambdaSettings && run.step("Lambda", i + 1, kLambdaSettings); ++i) {
        const auto word = link::ReadShort(link, link::ShortRead::LambdaRead, static_cast<std::uint8_t>(i), 0, false);
        if (!word) continue;
        state.corrections.lambda[static_cast<std::size_t>(i)] = *word;
        report.lambda[static_cast<std::size_t>(i)] = true;
    }
    report.sequence = run.result();
    return report;
}

ResetReport ResetLambdaAndTemperature(link::Link& link, params::ProgramState& state, int mapItem,
                                      const SequenceControl& control) {
    ResetReport report;
    link::SequenceRun run(link, control);
    const auto finish = [&] {
        report.sequence = run.result();
        return report;
    };
    if (!run.goOn()) return finish();
    state.corrections.lambda = params::kDefaultLambda;
    if (!SendLambdaWords(run, link, params::kDefaultLambda)) return finish();

    if (!run.goOn()) return finish();
    if (FlagsHeld(state.image)) {
        state.image.setField(params::field::LambdaSwitches, 0);
        params::WriteParameter(link, state.image, params::pn::SecondFlags);
        state.image.setField(params::field::TemperatureMapOn,
                             WithItem(state.image.field(params::field::TemperatureMapOn), 0, mapItem));
        params::WriteParameter(link, state.image, params::pn::SecondFlags);
        report.flagsWritten = true;
    } else {
        report.flagsUnknown = true;
    }

    state.corrections.tempCorr = params::kDefaultTempCorr;
    state.corrections.tempPoints = params::kDefaultTempPoints;
    if (!SendDefaultTemperatureMap(run, link)) return finish();
    run.finish();
    return finish();
}

TemperatureSaveReport SaveTemperatureMap(link::Link& link, params::ProgramState& state,
                                         const TemperatureMapTexts& texts, const SequenceControl& control) {
    TemperatureSaveReport report;
    report.shown = texts;
    link::SequenceRun run(link, control);
    const auto finish = [&] {
        report.sequence = run.result();
        return report;
    };
    if (!run.goOn()) return finish();
    if (FlagsHeld(state.image)) {
        state.image.setField(params::field::TemperatureMapOn,
                             WithItem(state.image.field(params::field::TemperatureMapOn), 0, texts.activation));
        params::WriteParameter(link, state.image, params::pn::SecondFlags);
        report.flagsWritten = true;
    } else {
        report.flagsUnknown = true;
    }

    constexpr int kWords = kTempEnrichments + kTempPoints;
    // A typed value outside the range is limited and the field shows the limit.
    const auto limited = [&](int field, const std::string& text, int lo, int hi, std::string& shown) -> std::optional<int> {
        const auto v = params::ParseWhole(text);
        if (!v) {
            report.failure = NotANumber(field, text, true);
            return std::nullopt;
        }
        const long long clamped = std::clamp<long long>(*v, lo, hi);
        if (clamped != *v) shown = std::to_string(clamped);
        return static_cast<int>(clamped);
    };
    for (int k = 0; k < kTempEnrichments; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const auto v = limited(k, texts.enrichments[i], kEnrichmentMin, kEnrichmentMax, report.shown.enrichments[i]);
        if (!v) return finish();
        if (!run.step("Temp.", k + 1, kWords)) return finish();
        const auto byte = static_cast<std::uint8_t>(*v + kByteZero);
        link::WriteTempCorrSequence(link, static_cast<std::uint8_t>(k), byte);
        state.corrections.tempCorr[i] = byte;
        report.enrichmentsSent = k + 1;
    }
    for (int k = 0; k < kTempPoints; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const auto v = limited(kFirstBreakpointField + k, texts.breakpoints[i], kBreakpointMin, kBreakpointMax,
                               report.shown.breakpoints[i]);
        if (!v) return finish();
        if (!run.step("Temp.", kTempEnrichments + k + 1, kWords)) return finish();
        const auto byte = static_cast<std::uint8_t>(*v);
        link::WriteTempPointSequence(link, static_cast<std::uint8_t>(k), byte);
        state.corrections.tempPoints[i] = byte;
        report.breakpointsSent = k + 1;
    }
    run.finish();
    return finish();
}

CorrectionReadReport ReadTemperatureMap(link::Link& link, params::ProgramState& state,
                                        const SequenceControl& control) {
    CorrectionReadReport report;
    report.lambda.fill(true);
    link::SequenceRun run(link, control);
    constexpr int kWords = kTempEnrichments + kTempPoints;
    for (int k = 0; k < kTempPoints; ++k) {
        if (!run.step("Temp.", k + 1, kWords)) break;
        const auto v = link::ReadShort(link, link::ShortRead::TempPointRead, static_cast<std::uint8_t>(k), 0, false);
        if (!v) continue;
        state.corrections.tempPoints[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(*v);
        report.points[static_cast<std::size_t>(k)] = true;
    }
    for (int k = 0; k < kTempEnrichments && !run.result().stopped; ++k) {
        if (!run.step("Temp.", kTempPoints + k + 1, kWords)) break;
        const auto v = link::ReadShort(link, link::ShortRead::TempCorrRead, static_cast<std::uint8_t>(k), 0, false);
        if (!v) continue;
        state.corrections.tempCorr[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(*v);
        report.enrichments[static_cast<std::size_t>(k)] = true;
    }
    report.sequence = run.result();
    return report;
}

TemperatureMapTexts TemperatureMapTextsOf(const params::ProgramState& state) {
    TemperatureMapTexts t;
    t.activation = TemperatureMapItem(state.image);
    for (std::size_t k = 0; k < t.breakpoints.size(); ++k) t.breakpoints[k] = std::to_string(state.corrections.tempPoints[k]);
    for (std::size_t k = 0; k < t.enrichments.size(); ++k)
        t.enrichments[k] = std::to_string(static_cast<int>(state.corrections.tempCorr[k]) - kByteZero);
    return t;
}

std::array<std::string, kLambdaSettings> LambdaTextsOf(const params::ProgramState& state) {
    std::array<std::string, kLambdaSettings> texts;
    for (int i = 0; i < kLambdaSettings; ++i)
        texts[static_cast<std::size_t>(i)] =
            LambdaTextFromWord(i, state.corrections.lambda[static_cast<std::size_t>(i)], state.image, state.decimalSeparator);
    return texts;
}

}  // namespace sequaflow::maps
