#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/link.h"
#include "link/pacer.h"
#include "live/live_frame.h"
#include "params/program_state.h"
#include "params/progress.h"

// The auto-adaptation: a guided calibration that compares the petrol injection time the engine's own
// computer commands on petrol and on gas, once under load and once at a steady speed, and turns the
// difference into the mixture correction, the time offset, the pressure thresholds and both maps. One state
// machine, ticked by its step timers and fed by live frames, so the same procedure runs in the window, in the
// command-line tool and in virtual time in tests.
namespace sequaflow::adapt {

// The eleven steps, in order; Idle when the procedure does not run.
enum class Step : std::uint8_t {
    Idle,
    Temperature,   // 1: wait for the reducer at 50 °C
    ToPetrol,      // 2
    LoadPetrol,    // 3: 500 load ticks on petrol
    ToGas,         // 4: above 1500 rpm
    LoadGas,       // 5: 500 load ticks on gas, highest pressure
    BackToPetrol,  // 6: at 2000..2700 rpm; the correction is written when it ends
    SettlePetrol,  // 7: 50 ticks at 2300 rpm or more
    SteadyPetrol,  // 8: 301 samples; parameter 3 is zeroed on entry
    ToGasAtSpeed,  // 9
    SettleGas,     // 10
    SteadyGas,     // 11: 301 samples, lowest pressure; then the results are written
};
inline constexpr int kStepCount = 11;

// 1..11, 0 for Idle.
int StepNumber(Step step);
// The tick interval of the step's timer: 50 ms for the measuring steps, 100 ms for the others.
int IntervalMs(Step step);

// What the installer is told, each one a language-file message.
enum class Instruction : std::uint8_t {
    Prepare,             // 10501: switch on loads, then START
    WaitTemperature,     // 10525
    TemperatureReached,  // 10523
    ToPetrol,            // 10505
    ToGas,               // 10506
    PumpPedal,           // 10502
    RaiseSpeed,          // 10524
    HoldSpeed,           // 10503
};
int MessageId(Instruction instruction);

enum class Verdict : std::uint8_t {
    Success,       // 10531
    NozzlesSmall,  // 10504, 10526 and the three hints
    NozzlesLarge,  // 10504, 10527 and the three hints
};
// The message ids of the lines the instruction memo holds after the verdict, in order.
std::vector<int> VerdictMessages(Verdict verdict);
// "success", "nozzles-small", "nozzles-large".
const char* VerdictKey(Verdict verdict);

// The measurement record, reset at every start.
struct Measurements {
    int countdown = 0;
    float petrolSum = 0, petrolAverage = 0;
    unsigned petrolCount = 0;
    float gasSum = 0, gasAverage = 0;
    unsigned gasCount = 0;
    unsigned petrolLoadCount = 0, gasLoadCount = 0;
    std::uint32_t petrolLoadMax = 0, gasLoadMax = 0;  // timer ticks
    float highestPressure = 0;                        // bar
    float lowestPressure = 4.0f;                      // bar
    double loadRatio = 1.0;
    int correction = 100;  // stored form, 100 = 0 %
    float offset = 0;      // ms
    int progress75 = 0;    // ProgressAd in 75ths: the load, sample and cell steps (3, 5, 20) add up exactly
};

// The eight result fields of GroupBoxAd; an empty text is an emptied field.
struct ResultTexts {
    std::string petrolLoad;       // EditObciazBenz     "8,35 ms"
    std::string gasLoad;          // EditObciazLPG
    std::string highestPressure;  // EditPsysMax        "1,47 bar"
    std::string correction;       // EditAutoadapKorekta "+21"
    std::string petrolAverage;    // EditSredniBenzyna  "2,85 ms"
    std::string lowestPressure;   // EditPsysMin        "1,10 Bar"
    std::string gasAverage;       // EditSredniLPG      "3,10ms"
    std::string offset;           // EditRoznicaWolne   "0,25 ms"
};

// ---- The computations, pure ----

// Correction from the load maxima and the stored byte of standard-map cell 2 (segment 3): the byte scaled by
// gas / petrol, truncated, kept within 85..150; no petrol load gives 150.
int ComputeCorrection(std::uint32_t gasLoadMax, std::uint32_t petrolLoadMax, std::uint8_t standardCell2,
                      double* loadRatio = nullptr);
// "+21", "-15", "+0".
std::string CorrectionText(int storedCorrection);
// Times: two decimals, at most four significant digits, then " ms".
std::string TimeText(float ms, char decimalSeparator);
// Pressures: two decimals, at most three significant digits, then the unit.
std::string PressureText(float bar, char decimalSeparator, const char* unit);
// The value the standard map gets for segment k (0..11): the profile entry plus the correction, within
// -25..maximum.
int StandardProfileValue(int k, int correction, int maximum);
inline constexpr std::array<int, 12> kStandardProfile = {-4, -2, 0, 0, 0, 2, 3, 5, 6, 6, 5, 4};
// The verdict from the offset (ms) and the value stored for segment 12.
Verdict VerdictOf(float offset, int segment12);

// ---- What was sent ----

// One value that went to the controller, for the summary at the end or after an abort.
struct Written {
    enum class What : std::uint8_t { Parameter, AdvancedMap, StandardMap } what = What::Parameter;
    int param = 0;            // Parameter
    std::string text;         // Parameter: the editor's text of what was sent ("+21", "0,25", ...)
    std::uint16_t raw = 0;    // Parameter: the word sent
    int cells = 0;            // AdvancedMap: how many cells got `value`
    int value = 0;            // AdvancedMap: the percentage every cell got
    std::vector<int> values;  // StandardMap: the twelve percentages, segment 1 first
};

// ---- The final writes ----

struct StoreReport {
    SequenceResult sequence;
    std::string offsetText;                     // EditPrzesuniecie, after the write (limited)
    std::string beepText, switchOffText;        // EditCisnienieBeep, EditCisnienieWylaczenia, after the writes
    int mapCorrection = 0;                      // c: what every advanced cell got
    std::array<int, 12> standard{};             // u: the twelve standard values
    Verdict verdict = Verdict::Success;
    std::vector<Written> written;
};

// Offset, pressures with the reducer vacuum connected, the advanced map (columns 7..1, rows 12..1) and the
// standard map through the profile, in that order, each value encoded from the text its field shows.
// `correctionText` is what EditWzbogacanieMieszanki shows. Progress: "advanced" 84 cells, then
// "standard" 12 cells.
StoreReport StoreResults(link::Link& link, params::ProgramState& state, const Measurements& m,
                         std::string_view correctionText, char decimalSeparator,
                         const SequenceControl& control = {});

// ---- The procedure ----

// Where the procedure reads its live frames: one `ReadLiveFrame`, checked and decoded into the words (a frame
// that fails its checks leaves them as they were), then shown wherever the caller shows live values.
class LiveSource {
public:
    virtual ~LiveSource() = default;
    // True when a frame was accepted.
    virtual bool refresh(live::LiveWords& words) = 0;
};

// The source of the window and the command line: one refresh over the link, then `shown` (the display of
// live values) when a frame was accepted.
class LinkLiveSource final : public LiveSource {
public:
    explicit LinkLiveSource(link::Link& link, std::function<void(const live::LiveWords&)> shown = {})
        : link_(link), shown_(std::move(shown)) {}
    bool refresh(live::LiveWords& words) override;

private:
    link::Link& link_;
    std::function<void(const live::LiveWords&)> shown_;
};

// How a tick left the procedure.
enum class TickOutcome : std::uint8_t {
    Running,    // the step goes on or the next one began
    Completed,  // the results are written; idle again
    NoAnswer,   // eleven ticks in a row without a valid frame: stopped, idle
    LineLost,   // the port went away: stopped, idle
    Cancelled,  // `control` cancelled the final writes part way: stopped, idle
    Idle,       // ticked while not running: nothing done
};

class Adaptation {
public:
    // Starts at step 1 with a fresh record. The caller checks the connection first ("Brak połączenia").
    void start();
    // Stops where it is; nothing already written is undone.
    void abort();

    // One timer tick of the current step: its condition, its commands and writes, then one live frame
    // through `source`. The words are `state.words`; the ignition type and clock flag come from the image.
    // `control` reaches the final writes (their progress and stop check).
    TickOutcome tick(link::Link& link, params::ProgramState& state, LiveSource& source,
                     const SequenceControl& control = {});

    bool running() const { return step_ != Step::Idle; }
    Step step() const { return step_; }
    int intervalMs() const { return IntervalMs(step_); }
    // Bumped each time a step is entered, so a driver knows to restart its timer.
    unsigned stepSerial() const { return stepSerial_; }

    Instruction instruction() const { return instruction_; }
    // Bumped each time the instruction changes (and at every start), so a viewer redraws only then.
    unsigned instructionSerial() const { return instructionSerial_; }
    const Measurements& measurements() const { return m_; }
    const ResultTexts& results() const { return texts_; }
    // EditObrotomierzAd as the procedure last set it (steps 4 and 6), rpm.
    std::uint32_t shownRpm() const { return shownRpm_; }
    // ProgressAd (truncated, 0..100) and ProgressBar1 (position and maximum).
    int overallProgress() const;
    int stepPosition() const { return stepPosition_; }
    int stepMaximum() const { return stepMaximum_; }

    // Set once the results are written: the verdict, the writes and the values shown.
    const std::optional<StoreReport>& report() const { return report_; }
    // EditWzbogacanieMieszanki after the correction was written (empty before).
    const std::string& correctionText() const { return correctionText_; }
    // Everything sent so far in this run, in order (the correction after step 6, the zeroed offset on entering
    // step 8, then the final writes).
    const std::vector<Written>& written() const { return written_; }

private:
    void enter(Step step, link::Link& link, params::ProgramState& state);
    void say(Instruction instruction);
    void loadTick(const params::ProgramState& state, bool gas);
    bool averageTick(const params::ProgramState& state, bool gas);
    void storeCorrection(link::Link& link, params::ProgramState& state);
    TickOutcome finish(link::Link& link, params::ProgramState& state, const SequenceControl& control);

    Step step_ = Step::Idle;
    unsigned stepSerial_ = 0;
    Instruction instruction_ = Instruction::Prepare;
    unsigned instructionSerial_ = 0;
    Measurements m_;
    ResultTexts texts_;
    std::uint32_t shownRpm_ = 0;
    int stepPosition_ = 0, stepMaximum_ = 100;
    int missed_ = 0;
    std::string correctionText_;
    std::vector<Written> written_;
    std::optional<StoreReport> report_;
};

// Ticks the procedure as its step timers would fire: each step's timer starts when the step is entered and
// fires every interval after that; a tick that ran late is not made up for. Returns when the procedure is no
// longer running or `cancelled` says so (checked before each tick; the caller then aborts).
TickOutcome RunProcedure(Adaptation& adaptation, link::Pacer& pacer, const std::function<TickOutcome()>& tick,
                         const std::function<bool()>& cancelled = {});

}  // namespace sequaflow::adapt
