#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/link.h"
#include "link/result.h"
#include "params/parameter_codec.h"
#include "params/program_state.h"

// Every change an installer makes to the parameter set from the screens, one function each: the page calls
// it with the texts and items its controls hold, `sequaflow-cli param set` calls the same function. Each
// changes the image (and the maps where it must) and sends exactly what the screen sends; what the screens
// must show afterwards comes back in the outcome. Without a controller the link sends nothing and the image
// still changes, so the screens show the edit.
namespace sequaflow::params {

// The list and flag settings, each shown by one control.
enum class Setting : std::uint8_t {
    InjectorType,         // ComboBoxRodzajWtrysku: bits 4..7 of 22 (types 0..15; the list has 0..5)
    TankSensorType,       // ComboBoxSzkielkoRezerwy: bits 8..9 of 22 (3 = own thresholds, no item)
    TankDirection,        // ComboBoxSzkloRosMal of the factory page: bit 10 of 22 (shown only; saved with the thresholds)
    IgnitionType,         // ComboBoxCewka: parameter 21
    Turbo,                // ComboBoxTURBO: bit 14 of 47
    TurboBoost,           // ScrollBarTurbo of TForm15: parameter 12 = position + 100
    Fuel,                 // ComboBoxCNGLPG: bit 15 of 47
    ReducerSensor,        // ComboBoxRodzajCzTemp: bit 13 of 47
    SpeedSignalLevel,     // ComboBoxSygnalObrotow: bit 11 of 22
    SpeedLimitOn,         // ComboBoxMaxRpm: bit 14 of 22
    ReducerVacuum,        // ComboBoxPodcisnienieReduktora: bit 15 of 22
    InjectorHeating,      // ComboBoxRozgrzewanieWtryskiwacza: bit 13 of 22
    HeatingStrength,      // ComboBoxSilaRozgrzewaniaWtrysku: 57, then 43 and 42
    SmoothSwitching,      // CheckBoxInjHeat: item 1 = ticked; 41, 42, 43, then 22
    Buzzer,               // CheckBuzzer / ComboBoxBuzzer: item 1 = buzzer on = bit 4 of 47 clear
    SwitchMode,           // ComboBoxDeltaObrotow: 0 rising, 1 falling; parameter 53 through the drop
    SpeedDrop,            // ComboBoxDeltaRpm: item i = i x 100 rpm; parameter 53
    SwitchingSequence,    // ComboBoxSekPrzelPrzek: bits 4..6 of 54
    Lambda1,              // ComboBoxSondaLambda1: parameter 55
    Lambda2,              // ComboBoxSondaLambda2: parameter 56
    GasCutoff,            // ComboBoxMrozGaz: parameter 49 and bit 1 of 47
    ReducerCutoff,        // ComboBoxMrozRed: parameter 48 and bit 0 of 47
    PressureFilter,       // ComboBoxFiltrowanieCisnienia: parameter 46
    ControlAlgorithm,     // ComboBoxAlgorytm: parameter 23
    ControlSettings,      // ComboBoxMocnoZaawansowane: parameter 58
    PetrolInjectionType,  // EditCzasWtryskuPrzyObciazeniu (a list): parameter 45
};
inline constexpr int kSettingCount = static_cast<int>(Setting::PetrolInjectionType) + 1;

// Number of items of the setting's list (the scroll bar's positions for the boost).
int SettingItemCount(Setting setting);

// The texts of other controls a setting reads: the switch-over speed and the speed limit (re-encoded with a
// new ignition type; the speed drop is taken from the switch-over speed) and the six engine-speed
// breakpoints of the point editor (re-sent with a new ignition type).
struct SpeedTexts {
    std::string switchSpeed;                // EditRPMprzelNaLPG
    std::string speedLimit;                 // EditMaxRpm
    std::array<std::string, 6> breakpoints; // Edit13..Edit18 of TForm8
};
// The texts the screens show for the image and the maps (what a read leaves in those controls).
SpeedTexts SpeedTextsOf(const ProgramState& state);

// An editor whose text an operation changed, by parameter number; the page puts the text into it.
struct ShownText {
    int param;
    std::string text;
};
// A list whose item an operation changed (-1: no selection).
struct ShownItem {
    Setting setting;
    int item;
};
struct SettingOutcome {
    std::vector<ShownText> texts;
    std::vector<ShownItem> items;
};

enum class SettingError {
    NotANumber,  // a text the operation needed is not a number: nothing after it is sent
    BadItem,     // an item outside the list
    NoEditor,    // the parameter has no text editor
};
using SettingResult = Result<SettingOutcome, SettingError>;

// ---- Text editors ----

enum class EditorEvent {
    Leave,          // the editor lost the focus: minimum rule and pressure coupling apply
    EnterReleased,  // Enter was released in it: the value alone
};

// Editor text -> encoder -> WriteParameter, with the editor's extra rules: parameter 5 also writes 41; the
// return delay (20) is raised to "0,1" below 0.1 on leaving; leaving either pressure editor (18, 24) also
// sets and writes the other one 0.05 bar away. An out-of-range number is limited by the encoder and the
// outcome gives the editor the text of what was sent. Parameter 52 goes through ApplyExtraCorrection, the
// tank thresholds through SaveTankThresholds.
[[nodiscard]] SettingResult WriteEditor(link::Link& link, ParameterImage& image, int param, std::string_view text,
                                        char decimalSeparator, EditorEvent event = EditorEvent::Leave);

// ---- Lists ----

// The item a list shows for the state (what a read or a file view puts in it); -1 when nothing matches.
// The switch mode shows "falling" after every read (after a file view only when the file has a drop); the
// speed drop is worked out from the switch-over speed text and parameters 14 and 53.
int ShownItemOf(const ProgramState& state, Setting setting, const SpeedTexts& texts);

// A user's choice in a list: stores and sends what that list sends (the injector type with its catalogue
// settings and, for the own-injector type, parameter 58; the tank type with its thresholds; the ignition
// type with the points and the speeds re-encoded; the turbo with the boost; ...). Item -1 is the list with
// no selection where the list allows it (heating strength, cut-offs, speed drop, injector type).
[[nodiscard]] SettingResult ApplySetting(link::Link& link, ProgramState& state, Setting setting, int item,
                                         const SpeedTexts& texts, char decimalSeparator);

// Smooth switching on: 41 = parameter 5 - 1, 42 = 400, 43 = 5 ms, bit 13 of 22 set, written 41, 42, 43, 22;
// off: bit 13 cleared and 22 written. Every read of a programmed controller turns it on when it is off.
void SetSmoothSwitching(link::Link& link, ParameterImage& image, bool on);

// ---- Dialogs and groups ----

// The five injector editors of TForm10 and of the extra-correction dialog, by parameter.
struct InjectorTexts {
    std::string maxTime;      // 8  EditParametryMaxInj
    std::string minOpening;   // 2  EditMinimalnyCzasWtrysku
    std::string fullOpening;  // 7  EditPelneOtwarcie
    std::string holding;      // 6  EditProcentowePodtrzymanie
    std::string delay;        // 13 EditOpoznienieWtryskiwaczy
};
InjectorTexts InjectorTextsOf(const ParameterImage& image, char decimalSeparator);
// Encodes and writes 8, 2, 7, 6, 13 in that order; a text that is not a number stops there (what was
// sent before stays sent).
[[nodiscard]] SettingResult WriteInjectorSettings(link::Link& link, ParameterImage& image, const InjectorTexts& texts,
                                                  char decimalSeparator);

// The extra idle correction: the text of parameter 52 ("+0,25", "-0,50") and the selection of shadow 67.
std::string ExtraCorrectionText(const ParameterImage& image, char decimalSeparator);
std::uint8_t ExtraCorrectionSelection(const ParameterImage& image);
// "Wprowadź": 52 from the text (limited to -4..4 ms), the selection byte into 51; nothing sent when the
// text is not a number.
[[nodiscard]] SettingResult ApplyExtraCorrection(link::Link& link, ParameterImage& image, std::string_view text,
                                                 std::uint8_t selection, char decimalSeparator);

// The tank thresholds in volts as the fields show them, 30..33.
std::array<std::string, 4> TankThresholdTexts(const ParameterImage& image, char decimalSeparator);
// "Zapisz Zmiany !": thresholds 30..33 from volts (no limits), the direction into bit 10, then 22 and
// 30..33 are written. A text that is not a number stops it before anything is sent.
[[nodiscard]] SettingResult SaveTankThresholds(link::Link& link, ParameterImage& image,
                                               const std::array<std::string, 4>& volts, bool rising);
// The text a threshold field of the tank dialog keeps on leaving: above 5 "5,00"; below the field's lower
// limit (0.01 for the full/3/4 field, index 3; 0 for the others) "0,01" or "0,00"; else unchanged.
std::string LimitTankDialogText(int index, std::string_view text, char decimalSeparator);

// The serial-number field: a whole decimal number with an optional sign; the low 16 bits are written to
// record word 61 and read back into the state's serial. nullopt when it is not a whole number.
[[nodiscard]] std::optional<std::uint16_t> WriteSerialNumberText(link::Link& link, ProgramState& state,
                                                                 std::string_view text);

// Tank dialog boost: OK with the scroll position writes parameter 12 = position + 100.
[[nodiscard]] SettingResult WriteTurboBoost(link::Link& link, ParameterImage& image, int position);

// The first-run settings after a new installation: tank type 2, injector type 1, switch-over 600 rpm,
// speed limit 6000 rpm, 4 common cycles, gas after 3 s; each sent as its control would.
[[nodiscard]] SettingResult ApplyFirstRunDefaults(link::Link& link, ProgramState& state, char decimalSeparator);

// ---- What the screens show beside the values ----

// The own-injector button ("USTAW") is shown for type 8 only.
[[nodiscard]] bool OwnInjectorButtonVisible(const ParameterImage& image);
// The turbo button is shown when the turbo flag is set.
[[nodiscard]] bool TurboButtonVisible(const ParameterImage& image);
// The heating strength list is enabled when heating is on.
[[nodiscard]] bool HeatingStrengthEnabled(const ParameterImage& image);
// The cylinder switching sequence needs hardware above 3 (low four bits).
[[nodiscard]] bool SwitchingSequenceEnabled(std::uint8_t hardware);
// The reducer sensor type list needs hardware 2 or above (low four bits) and software 21 or above.
[[nodiscard]] bool ReducerSensorVisible(std::uint8_t hardware, std::uint8_t software);

// How a lambda probe's bars are drawn for its type.
struct LambdaDisplay {
    bool shown;          // false: the probe's controls are hidden and its value fields say "Brak"
    double lowVolts;
    double highVolts;
    bool greenAtLow;     // green at the lower end and red at the upper, or the reverse
};
LambdaDisplay LambdaDisplayOf(int item);

}  // namespace sequaflow::params
