#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "link/link.h"
#include "link/sequence_run.h"
#include "params/factory_defaults.h"
#include "params/program_state.h"
#include "params/progress.h"

// The two small corrections beside the injection maps: the twelve lambda-correction settings with their five
// switches (bits 7..11 of the second flags word) and the gas-temperature enrichment map with its activation
// bit (bit 6). The controller acknowledges none of it, so the fixed pauses are the whole pacing.
namespace sequaflow::maps {

inline constexpr int kLambdaSettings = static_cast<int>(params::kLambdaCount);
inline constexpr int kLambdaSwitches = 5;
inline constexpr int kTempPoints = static_cast<int>(params::kTempPointCount);
inline constexpr int kTempEnrichments = static_cast<int>(params::kTempCorrCount);

// The settings in the order the controller numbers them (and the page lists them).
enum class LambdaSetting : int {
    UpperThreshold,  // volts
    LowerThreshold,  // volts
    CorrectionMax,   // whole numbers from here ...
    CorrectionMin,
    RiseUp,
    RiseDown,
    DurationDown,
    DurationUp,      // ... to here
    LoadMin,         // ms
    LoadMax,         // ms
    SpeedMin,        // rpm
    SpeedMax,        // rpm
};

enum class LambdaUnit { Volts, Whole, Milliseconds, Rpm };
LambdaUnit UnitOf(int setting);

// How each setting is shown: its field, group caption, label, the text the page starts with and its unit.
struct LambdaFieldInfo {
    const char* field;
    const char* group;
    const char* label;
    const char* startText;
    const char* unit;  // empty: a bare number
};
inline constexpr std::array<LambdaFieldInfo, 12> kLambdaFields = {{
    {"EditLambdaGora", "Reakcja na Lambde", "Prog Gorny:", "0,75", "V"},
    {"EditLambdaDol", "Reakcja na Lambde", "Prog Dolny:", "0,4", "V"},
    {"EditMaxKor", "Maximum i minimum korekty:", "Max:", "10600", ""},
    {"EditMinKor", "Maximum i minimum korekty:", "Min:", "10000", ""},
    {"EditNarastUp", "Szybkosci narastania [Promile/sek]", "W górę:", "100", "promile/s"},
    {"EditNarastDown", "Szybkosci narastania [Promile/sek]", "W dół:", "100", "promile/s"},
    {"EditKorTimeDown", "Czas Trwania Korekty:", "Dołu:", "100", ""},
    {"EditKorTimeUp", "Czas Trwania Korekty:", "Góry:", "100", ""},
    {"EditInjMin", "Obciążenie:", "Min:", "2", "ms"},
    {"EditInjMax", "Obciążenie:", "Max:", "12", "ms"},
    {"EditRpmMin", "Obroty/min:", "Min:", "100", "rpm"},
    {"EditRpmMax", "Obroty/min:", "Max:", "7000", "rpm"},
}};

// The five switch lists, bit 7 of the second flags word first, with their two item texts.
struct LambdaSwitchInfo {
    const char* field;
    int bit;
    const char* off;
    const char* on;
    int startItem;
};
inline constexpr std::array<LambdaSwitchInfo, 5> kLambdaSwitchFields = {{
    {"ComboBoxFiltrIner", 7, "Filtr Inercyjny Brak", "Filtr Inercyjny Aktywny", 1},
    {"ComboBoxInercLambda", 8, "Lambda Brak", "Lambda OK", 1},
    {"ComboBoxInercRPM", 9, "Ogr. RPM OFF", "Ogr. RPM ON", 1},
    {"ComboBoxObcKorekt", 10, "Ogr. od Wtrysku OFF", "Ogr. od Wtrysku ON", 1},
    {"ComboBoxWolnozmienna", 11, "Wolnozmienna OFF", "Wolnozmienna ON", 0},
}};

// The temperature map's page texts.
inline constexpr const char* kTemperatureMapGroup = "Wzbogacanie od Temperatury Gazu";
inline constexpr const char* kBreakpointsLabel = "Zakres Temperatur:";
inline constexpr const char* kEnrichmentsLabel = "Wzbogacanie:";
inline constexpr std::array<const char*, 2> kTemperatureMapItems = {"Brak", "Aktywne"};
inline constexpr std::array<const char*, 5> kBreakpointStartTexts = {"0", "15", "30", "40", "50"};

// Why a typed text could not be sent.
enum class FieldError {
    NotANumber,  // not a number of the field's kind
    OutOfRange,  // a number whose controller value does not fit the 16-bit word
};
struct FieldFailure {
    int field = 0;  // the setting index, or the map field (see TemperatureMapTexts)
    FieldError error = FieldError::NotANumber;
    std::string text;
    // The conversion message in the toolkit's words: "'x' is not a valid integer value" ...
    std::string message;
};

// Field text -> word of setting `index`: volts x 819.2 truncated, whole numbers as typed, ms by the clock
// of the image, rpm truncated then turned into the ignition period of the image's ignition type. Words are
// checked to fit 16 bits as the page will show them back (whole numbers signed, the rest unsigned): a
// wrapped word would make the controller run with a setting nobody typed.
[[nodiscard]] std::optional<std::uint16_t> LambdaWordFromText(int index, std::string_view text,
                                                              const params::ParameterImage& image,
                                                              FieldFailure* failure = nullptr);
// Word -> field text: volts two decimals, whole numbers signed, ms one decimal, rpm by the ignition type.
std::string LambdaTextFromWord(int index, std::uint16_t word, const params::ParameterImage& image, char separator);

// The five switch items (0 or 1) as the shadow of the second flags word holds them, bit 7 first.
std::array<int, kLambdaSwitches> LambdaSwitchItems(const params::ParameterImage& image);
// Item 0 or 1 of the temperature-map activation.
int TemperatureMapItem(const params::ParameterImage& image);

// ---- Save, read and reset ----

struct LambdaSaveInput {
    std::array<std::string, kLambdaSettings> texts;
    // Items of the five switch lists, bit 7 first. 0 clears the bit, 1 sets it; anything else (no choice,
    // the empty third item of one list) leaves the bit as the controller was last known to hold it.
    std::array<int, kLambdaSwitches> switches{};
};

struct LambdaSaveReport {
    SequenceResult sequence;
    int sent = 0;  // settings sent, from index 0
    bool flagsWritten = false;
    // The second flags word was never read: writing it would replace the map mode and every other bit the
    // controller holds with start-up zeros, so it is not sent.
    bool flagsUnknown = false;
    std::optional<FieldFailure> failure;
};

// Converts and sends the twelve settings (each with its store word), then the switches in parameter 47.
// A text that cannot be sent stops it there: the settings before it stay sent (and remembered in the state).
LambdaSaveReport SaveLambdaSettings(link::Link& link, params::ProgramState& state, const LambdaSaveInput& input,
                                    const SequenceControl& control = {});

struct CorrectionReadReport {
    SequenceResult sequence;
    std::array<bool, kLambdaSettings> lambda{};
    std::array<bool, kTempPoints> points{};
    std::array<bool, kTempEnrichments> enrichments{};
    int failures() const;
};

// Reads the twelve settings once each (no retry); an unanswered one keeps its value. The switches are not
// asked for: they are shown from the last parameter read.
CorrectionReadReport ReadLambdaSettings(link::Link& link, params::ProgramState& state,
                                        const SequenceControl& control = {});

struct ResetReport {
    SequenceResult sequence;
    bool flagsWritten = false;
    bool flagsUnknown = false;
};

// The reset values of the settings, the switches cleared (then the temperature map's activation as the
// `mapItem` says, in a second write of parameter 47), the enrichments at 0 % and the breakpoints 1, 6, 11,
// 16, 21. The settings and the map in the state take the values sent.
ResetReport ResetLambdaAndTemperature(link::Link& link, params::ProgramState& state, int mapItem,
                                      const SequenceControl& control = {});

// The temperature map as the page holds it. Field numbers in a failure: 0..5 the enrichments K1..K6,
// 6..10 the breakpoints T1..T5.
struct TemperatureMapTexts {
    int activation = 0;  // item of the activation list: 0 off, 1 on, anything else leaves the bit
    std::array<std::string, kTempEnrichments> enrichments;
    std::array<std::string, kTempPoints> breakpoints;
};
inline constexpr int kFirstBreakpointField = kTempEnrichments;

struct TemperatureSaveReport {
    SequenceResult sequence;
    bool flagsWritten = false;
    bool flagsUnknown = false;
    int enrichmentsSent = 0;
    int breakpointsSent = 0;
    // The fields as they must show afterwards (a limited value shows its limit); a field not reached keeps
    // its text.
    TemperatureMapTexts shown;
    std::optional<FieldFailure> failure;
};

// Activation bit and parameter 47, then K1..K6 (limited to -50..100, sent + 100), then T1..T5 (limited to
// 0..100), each with its store word.
TemperatureSaveReport SaveTemperatureMap(link::Link& link, params::ProgramState& state,
                                         const TemperatureMapTexts& texts, const SequenceControl& control = {});

// Reads the breakpoints and the enrichments once each; an unanswered one keeps its value.
CorrectionReadReport ReadTemperatureMap(link::Link& link, params::ProgramState& state,
                                        const SequenceControl& control = {});

// The map fields for the state: breakpoints as numbers, enrichments as the byte - 100.
TemperatureMapTexts TemperatureMapTextsOf(const params::ProgramState& state);
std::array<std::string, kLambdaSettings> LambdaTextsOf(const params::ProgramState& state);

// ---- Pieces shared with the factory reset ----

// Sends the twelve words, one step each of phase "Lambda". False when the run stopped.
[[nodiscard]] bool SendLambdaWords(link::SequenceRun& run, link::Link& link,
                                   std::span<const std::uint16_t, params::kLambdaCount> words);
// Sends the enrichments at 0 % and then the default breakpoints, one step each of phase "Temp.".
[[nodiscard]] bool SendDefaultTemperatureMap(link::SequenceRun& run, link::Link& link);

}  // namespace sequaflow::maps
