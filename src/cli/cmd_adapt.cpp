#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "adapt/adaptation.h"
#include "cli/adapt_command.h"
#include "cli/cli_commands.h"
#include "cli/setting_output.h"
#include "link/commands.h"
#include "link/sequence_run.h"
#include "live/conversions.h"
#include "live/live_frame.h"
#include "maps/map_transfer.h"
#include "params/parameter_numbers.h"
#include "params/parameter_reader.h"
#include "params/setting_keys.h"

namespace sequaflow::cli {
namespace {

namespace pn = params::pn;
namespace word = live::word;
using adapt::Instruction;
using adapt::Step;
using adapt::TickOutcome;
using adapt::Written;

// What the procedure decides on (ignition type, clock flag, turbo flag, the vacuum bit's word) and what its
// writes re-encode: without a valid answer for each, it would build on values the controller does not hold.
constexpr int kNeededParameters[] = {pn::MixtureCorrection, pn::IdleCorrection, pn::ReturnPressure, pn::IgnitionType,
                                     pn::FirstFlags,        pn::BuzzerPressure, pn::SecondFlags};
constexpr int kLiveTries = 3;
constexpr unsigned kAverageLineEvery = 50;

const char* InstructionText(Instruction instruction) {
    switch (instruction) {
        case Instruction::Prepare:
            return "Switch on loads in the car, such as the blower and the lights, to load the engine a little";
        case Instruction::WaitTemperature: return "Wait until the reducer reaches 50 °C";
        case Instruction::TemperatureReached: return "The reducer has reached its temperature";
        case Instruction::ToPetrol: return "Switch to petrol";
        case Instruction::ToGas: return "Switch to gas";
        case Instruction::PumpPedal:
            return "Pump the accelerator pedal hard and release it, again and again, until the next instruction";
        case Instruction::RaiseSpeed: return "Raise the engine speed above 1500 rpm";
        case Instruction::HoldSpeed:
            return "Hold the engine between 2500 and 2700 rpm and do not change the load until the end";
    }
    return "";
}

const char* StepName(Step step) {
    switch (step) {
        case Step::Idle: return "idle";
        case Step::Temperature: return "reducer temperature";
        case Step::ToPetrol: return "to petrol";
        case Step::LoadPetrol: return "load on petrol";
        case Step::ToGas: return "to gas";
        case Step::LoadGas: return "load on gas";
        case Step::BackToPetrol: return "back to petrol at speed";
        case Step::SettlePetrol: return "settling on petrol";
        case Step::SteadyPetrol: return "steady speed on petrol";
        case Step::ToGasAtSpeed: return "to gas at speed";
        case Step::SettleGas: return "settling on gas";
        case Step::SteadyGas: return "steady speed on gas";
    }
    return "";
}

// The verdict lines by their message ids, in English like the rest of the tool's messages.
std::string VerdictLine(int id) {
    switch (id) {
        case 10504: return "The auto-adaptation has finished.";
        case 10526: return "The gas nozzles are probably too small, or the adaptation was not done properly.";
        case 10527: return "The gas nozzles are probably too large, or the adaptation was not done properly.";
        case 10528: return "Remember not to go above 4000 rpm,";
        case 10529: return "to pump the accelerator pedal";
        case 10530: return "with the same force on gas and on petrol.";
        case 10531: return "The auto-adaptation has finished successfully.";
        default: return "message " + std::to_string(id);
    }
}

std::string StepText(int number) { return "step " + std::to_string(number) + "/" + std::to_string(adapt::kStepCount); }

std::string Ms(float ms) { return adapt::TimeText(ms, kCliDecimalSeparator); }
std::string Bar(float bar) { return adapt::PressureText(bar, kCliDecimalSeparator, " bar"); }

// Two decimals, as the fields show them; null for a value not measured.
std::string JsonNumber(const std::optional<double>& v) {
    if (!v || !std::isfinite(*v)) return "null";
    char b[48];
    std::snprintf(b, sizeof b, "%.2f", *v);
    return b;
}

std::string KeyOf(int param) {
    const auto* key = params::FindSettingKey(std::to_string(param));
    return key ? std::string(key->key) : std::string();
}

// One element of what was sent, in words.
std::string WrittenText(const Written& w) {
    switch (w.what) {
        case Written::What::Parameter: {
            std::string s = "parameter " + std::to_string(w.param);
            if (const auto key = KeyOf(w.param); !key.empty()) s += " (" + key + ")";
            if (w.param == pn::FirstFlags) s += ": reducer vacuum connected";
            else s += ": " + w.text;
            return s;
        }
        case Written::What::AdvancedMap:
            return "advanced map: " + std::to_string(w.cells) + (w.cells < maps::kCells ? " of 84" : "") +
                   " cells = " + maps::GridCellText(w.value);
        case Written::What::StandardMap: {
            std::string s = "standard map:";
            for (int v : w.values) s += " " + maps::GridCellText(v);
            if (static_cast<int>(w.values.size()) < maps::kStdCells)
                s += " (segments 1.." + std::to_string(w.values.size()) + " only)";
            return s;
        }
    }
    return "";
}

void PrintWrittenJson(std::ostream& out, const Written& w) {
    switch (w.what) {
        case Written::What::Parameter:
            out << "{\"param\":" << w.param << ",\"key\":";
            if (const auto key = KeyOf(w.param); !key.empty()) PrintJsonString(out, key);
            else out << "null";
            if (w.param == pn::FirstFlags) out << ",\"setting\":\"reducer_vacuum\"";
            out << ",\"text\":";
            PrintJsonString(out, w.text);
            out << ",\"raw\":" << w.raw << '}';
            return;
        case Written::What::AdvancedMap:
            out << "{\"map\":\"advanced\",\"cells\":" << w.cells << ",\"value\":" << w.value << '}';
            return;
        case Written::What::StandardMap:
            out << "{\"map\":\"standard\",\"values\":[";
            for (std::size_t i = 0; i < w.values.size(); ++i) out << (i ? "," : "") << w.values[i];
            out << "]}";
            return;
    }
}

// The one progress line on a terminal's standard error, redrawn in place.
class StatusLine {
public:
    explicit StatusLine(Context& context) : context_(context) {}
    ~StatusLine() { clear(); }
    StatusLine(const StatusLine&) = delete;
    StatusLine& operator=(const StatusLine&) = delete;

    void draw(const std::string& text) {
        if (!context_.errIsTerminal || text == shown_) return;
        context_.err << '\r' << text << "\033[K" << std::flush;
        shown_ = text;
    }
    // Before any other line, so the two never share a row.
    void clear() {
        if (shown_.empty()) return;
        context_.err << "\r\033[K" << std::flush;
        shown_.clear();
    }

private:
    Context& context_;
    std::string shown_;
};

// What the run has measured and written, gathered from the procedure after every tick.
class Narrator {
public:
    Narrator(std::ostream& lines, StatusLine& status, const params::ProgramState& state)
        : lines_(lines), status_(status), state_(state) {}

    std::ostream& line() {
        status_.clear();
        return lines_;
    }

    void afterTick(const adapt::Adaptation& a) {
        const auto& m = a.measurements();
        const auto& r = a.results();
        const bool fast = state_.image.fastClock();
        if (a.running()) lastStep_ = a.step();
        if (a.running() && (!said_ || a.instruction() != instruction_)) {
            said_ = true;
            instruction_ = a.instruction();
            line() << StepText(adapt::StepNumber(a.step())) << ": " << InstructionText(instruction_) << '\n';
        }
        // A new maximum is told when its two-decimal text changes.
        if (m.petrolLoadMax > 0) told("petrol load maximum", Ms(live::TicksToMs(m.petrolLoadMax, fast)), petrolLoad_);
        if (m.gasLoadMax > 0) told("gas load maximum", Ms(live::TicksToMs(m.gasLoadMax, fast)), gasLoad_);
        if (!r.highestPressure.empty()) told("highest gas pressure", Bar(m.highestPressure), highestPressure_);
        if (!r.lowestPressure.empty()) told("lowest gas pressure", Bar(m.lowestPressure), lowestPressure_);
        average(a, "petrol", m.petrolCount, m.petrolAverage, Step::SteadyPetrol, petrolCount_);
        average(a, "gas", m.gasCount, m.gasAverage, Step::SteadyGas, gasCount_);
        if (!correctionShown_ && !a.correctionText().empty()) {
            correctionShown_ = true;
            char ratio[32];
            std::snprintf(ratio, sizeof ratio, "%.3f", m.loadRatio);
            line() << "correction: " << a.correctionText() << " (gas load / petrol load = " << ratio << ")\n";
        }
        // The writes during the measuring steps are told as they happen; the final ones in the summary.
        const auto& written = a.written();
        if (a.running())
            for (std::size_t i = writtenTold_; i < written.size(); ++i) line() << "wrote " << WrittenText(written[i]) << '\n';
        writtenTold_ = written.size();
        if (a.running()) drawStatus(a);
        lines_.flush();
    }

    // The final writes' progress.
    void writing(const params::ProgressStep& step) {
        status_.draw("writing the results: " + std::string(step.phase) + " " + std::to_string(step.position + 1) + "/" +
                     std::to_string(step.maximum));
    }

    Step lastStep() const { return lastStep_; }

private:
    void told(const char* name, const std::string& text, std::string& last) {
        if (text == last) return;
        last = text;
        line() << name << ": " << text << '\n';
    }

    void average(const adapt::Adaptation& a, const char* fuel, unsigned count, float value, Step step, unsigned& told) {
        if (count == told) return;
        told = count;
        if (a.step() != step) line() << fuel << " average: " << Ms(value) << " over " << count << " samples\n";
        else if (count % kAverageLineEvery == 0)
            line() << fuel << " average so far: " << Ms(value) << " (" << count << " samples)\n";
    }

    void drawStatus(const adapt::Adaptation& a) {
        const auto& w = state_.words;
        const std::uint32_t rpm = live::PeriodToRpm(w[word::Period], state_.image.ignitionType());
        // Within 80 columns, or a terminal wraps it and the redraw no longer lands on it.
        std::string s = StepText(adapt::StepNumber(a.step()));
        if (a.stepMaximum() > 0 && a.stepPosition() > 0)
            s += "  " + std::to_string(a.stepPosition()) + "/" + std::to_string(a.stepMaximum());
        s += "  overall " + std::to_string(a.overallProgress()) + "%  " + std::to_string(rpm) + " rpm  " +
             (w[word::FuelState] == 1 ? "gas" : "petrol") + "  reducer " +
             std::to_string(live::RawToCelsius(w[word::ReducerTemp])) + " °C  " +
             Ms(live::TicksToMs(w[word::ReferenceTime], state_.image.fastClock()));
        status_.draw(s);
    }

    std::ostream& lines_;
    StatusLine& status_;
    const params::ProgramState& state_;
    bool said_ = false;
    Instruction instruction_ = Instruction::Prepare;
    Step lastStep_ = Step::Idle;
    std::string petrolLoad_, gasLoad_, highestPressure_, lowestPressure_;
    unsigned petrolCount_ = 0, gasCount_ = 0;
    bool correctionShown_ = false;
    std::size_t writtenTold_ = 0;
};

// How the run ended, for the summary.
struct Ending {
    TickOutcome outcome = TickOutcome::Completed;
    Step step = Step::Idle;  // the step it stopped in
    std::vector<Written> written;
    std::string reason;  // empty when completed
};

std::optional<double> MsIf(bool measured, float ms) {
    return measured ? std::optional<double>(static_cast<double>(ms)) : std::nullopt;
}

void PrintJsonResult(std::ostream& out, const adapt::Adaptation& a, const params::ProgramState& state,
                     const Ending& ending, const std::string& errorKey, const std::string& errorValue) {
    const auto& m = a.measurements();
    const auto& r = a.results();
    const bool fast = state.image.fastClock();
    const bool completed = ending.outcome == TickOutcome::Completed && a.report();
    out << "{\"verdict\":";
    if (completed) PrintJsonString(out, adapt::VerdictKey(a.report()->verdict));
    else out << "null";
    out << ",\"messages\":[";
    std::vector<int> ids;
    if (completed) ids = adapt::VerdictMessages(a.report()->verdict);
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (i) out << ',';
        PrintJsonString(out, VerdictLine(ids[i]));
    }
    out << "],\"message_ids\":[";
    for (std::size_t i = 0; i < ids.size(); ++i) out << (i ? "," : "") << ids[i];
    out << "],\"correction\":";
    if (!a.correctionText().empty()) out << m.correction << ",\"correction_text\":";
    else out << "null,\"correction_text\":";
    if (!a.correctionText().empty()) PrintJsonString(out, a.correctionText());
    else out << "null";
    out << ",\"offset_ms\":" << JsonNumber(MsIf(!r.offset.empty(), m.offset))
        << ",\"petrol_load_ms\":" << JsonNumber(MsIf(!r.petrolLoad.empty(), live::TicksToMs(m.petrolLoadMax, fast)))
        << ",\"gas_load_ms\":" << JsonNumber(MsIf(!r.gasLoad.empty(), live::TicksToMs(m.gasLoadMax, fast)))
        << ",\"petrol_average_ms\":" << JsonNumber(MsIf(m.petrolCount > 0, m.petrolAverage))
        << ",\"gas_average_ms\":" << JsonNumber(MsIf(m.gasCount > 0, m.gasAverage))
        << ",\"highest_pressure_bar\":" << JsonNumber(MsIf(!r.highestPressure.empty(), m.highestPressure))
        << ",\"lowest_pressure_bar\":" << JsonNumber(MsIf(!r.lowestPressure.empty(), m.lowestPressure))
        << ",\"written\":[";
    for (std::size_t i = 0; i < ending.written.size(); ++i) {
        if (i) out << ',';
        PrintWrittenJson(out, ending.written[i]);
    }
    out << ']';
    if (!completed) {
        out << ",\"" << errorKey << "\":";
        PrintJsonString(out, errorValue);
        out << ",\"step\":";
        if (ending.step != Step::Idle) out << adapt::StepNumber(ending.step);
        else out << "null";
        out << ",\"message\":";
        PrintJsonString(out, ending.reason);
    }
    out << "}\n";
}

void PrintTextResult(std::ostream& out, const adapt::Adaptation& a, const params::ProgramState& state,
                     const Ending& ending) {
    const auto& m = a.measurements();
    const bool fast = state.image.fastClock();
    const auto row = [&](const char* name, const std::string& value) {
        std::string head = std::string("  ") + name;
        head.resize(24, ' ');
        out << head << value << '\n';
    };
    out << "results:\n";
    row("correction", a.correctionText() + " (stored " + std::to_string(m.correction) + ")");
    row("offset", Ms(m.offset));
    row("petrol load maximum", Ms(live::TicksToMs(m.petrolLoadMax, fast)));
    row("gas load maximum", Ms(live::TicksToMs(m.gasLoadMax, fast)));
    row("petrol average", Ms(m.petrolAverage));
    row("gas average", Ms(m.gasAverage));
    row("highest gas pressure", Bar(m.highestPressure));
    row("lowest gas pressure", Bar(m.lowestPressure));
    out << "written:\n";
    for (const auto& w : ending.written) out << "  " << WrittenText(w) << '\n';
    const auto& report = *a.report();
    out << "verdict: " << adapt::VerdictKey(report.verdict) << '\n';
    for (int id : adapt::VerdictMessages(report.verdict)) out << "  " << VerdictLine(id) << '\n';
}

// Reports a preparatory read that did not finish; the exit code.
int ReadStopped(Context& context, link::Link& link, const SequenceResult& result, const SequenceTrail& trail) {
    const auto report =
        DescribeStop(result, trail, "the read", false, context.stopSignal(), link.lostReason(), link.portName());
    for (const auto& l : report.lines) context.err << "sequaflow-cli: " << l << '\n';
    context.err << "sequaflow-cli: the auto-adaptation did not start; nothing was written\n";
    return report.exitCode;
}

int NotStarted(Context& context, link::Link& link, const std::string& why) {
    if (link.lostReason()) {
        context.err << "sequaflow-cli: " << LostPortText(link.portName(), link.lostReason()) << '\n';
        context.err << "sequaflow-cli: the auto-adaptation did not start; nothing was written\n";
        return kPortError;
    }
    context.err << "sequaflow-cli: " << why << "\nsequaflow-cli: the auto-adaptation did not start; nothing was written\n";
    return kNoAnswer;
}

// The parameters and maps the procedure works with, and one live frame; reads only.
int ReadWhatItNeeds(Context& context, link::Link& link, params::ProgramState& state, StatusLine& status) {
    SequenceTrail trail;
    const auto progress = trail.watch([&](const params::ProgressStep& s) {
        std::string what(s.phase);
        for (const auto& [phase, words] : {std::pair{"Param.", "the parameters"}, std::pair{"Mapa 1", "the points"},
                                           std::pair{"Mapa 1p", "the advanced map"}, std::pair{"Mapa 2", "the standard map"}})
            if (s.phase == phase) what = words;
        status.draw("reading " + what + " " + std::to_string(s.position) + "/" + std::to_string(s.maximum));
    });
    const SequenceControl control(progress, [&context] { return context.stopRequested(); });

    auto report = params::ReadParameterSet(link, state.image, control);
    if (!report.sequence.completed()) return ReadStopped(context, link, report.sequence, trail);
    RetryUnansweredParameters(context, link, state.image, report, kNeededParameters);
    std::vector<int> missing;
    for (int n : kNeededParameters)
        if (!report.valid[static_cast<std::size_t>(n)]) missing.push_back(n);
    status.clear();
    if (context.stopRequested()) {
        context.err << "sequaflow-cli: the read was cancelled" << CancelledBy(context.stopSignal())
                    << "; the auto-adaptation did not start; nothing was written\n";
        return kCancelled;
    }
    if (std::all_of(report.valid.begin(), report.valid.end(), [](bool v) { return !v; }))
        return NotStarted(context, link, "no valid answer from a controller on " + link.portName());
    if (!missing.empty()) {
        std::string names;
        for (int n : missing) names += (names.empty() ? "" : ", ") + std::to_string(n);
        return NotStarted(context, link, "no valid answer for parameter(s) " + names);
    }
    params::AdoptReadFlagsWords(state.image, report);
    params::RefreshShadowsAfterRead(state.image, state.maps);
    state.readStatus = params::ReadStatus::Complete;

    const auto mapReport = maps::ReadMaps(link, state.maps, control);
    status.clear();
    if (!mapReport.sequence.completed()) return ReadStopped(context, link, mapReport.sequence, trail);
    // Every cell is rewritten, and a cell's store word carries its partner: an unread cell could be stored as
    // a value the controller never held.
    const auto all = [](const auto& a) { return std::all_of(a.begin(), a.end(), [](bool v) { return v; }); };
    if (!all(mapReport.cells) || !all(mapReport.standard))
        return NotStarted(context, link, "no valid answer for every cell of the maps");
    state.maps.applyTurboFlag(state.image);

    adapt::LinkLiveSource source(link);
    for (int i = 0; i < kLiveTries; ++i)
        if (source.refresh(state.words)) return kOk;
    return NotStarted(context, link, "no valid live readings from the controller on " + link.portName());
}

}  // namespace

std::optional<AdaptOptions> ParseAdaptArgs(Context& context, Args args) {
    AdaptOptions options;
    for (const auto& a : args) {
        if (a == "--json") {
            options.json = true;
        } else {
            (void)UsageError(context, "adapt: unknown option '" + a + "'");
            return std::nullopt;
        }
    }
    return options;
}

int RunAdaptOn(Context& context, link::Link& link, link::Pacer& pacer, const AdaptOptions& options) {
    std::ostream& lines = options.json ? context.err : context.out;
    StatusLine status(context);
    params::ProgramState state;
    state.decimalSeparator = kCliDecimalSeparator;
    link.setConnected(true);
    link.discardStaleInput();
    if (const int rc = ReadWhatItNeeds(context, link, state, status); rc != kOk) {
        if (options.json) {
            adapt::Adaptation idle;
            Ending ending{TickOutcome::NoAnswer, Step::Idle, {}, "the auto-adaptation did not start"};
            const char* why = rc == kCancelled ? "cancelled" : rc == kPortError ? "port-lost" : "no-answer";
            PrintJsonResult(context.out, idle, state, ending, rc == kCancelled ? "stopped" : "error", why);
        }
        return rc;
    }

    const auto& w = state.words;
    lines << "auto-adaptation on " << link.portName() << ": "
          << live::PeriodToRpm(w[word::Period], state.image.ignitionType()) << " rpm, on "
          << (w[word::FuelState] == 1 ? "gas" : "petrol") << ", reducer " << live::RawToCelsius(w[word::ReducerTemp])
          << " °C\n"
          << InstructionText(Instruction::Prepare) << ".\n"
          << "Ctrl+C aborts; what was already written stays written.\n";
    lines.flush();

    adapt::Adaptation adaptation;
    adapt::LinkLiveSource source(link);
    Narrator narrator(lines, status, state);
    const SequenceControl control([&narrator](const params::ProgressStep& s) { narrator.writing(s); },
                                  [&context] { return context.stopRequested(); });
    adaptation.start();
    narrator.afterTick(adaptation);
    TickOutcome outcome = adapt::RunProcedure(
        adaptation, pacer,
        [&] {
            const auto o = adaptation.tick(link, state, source, control);
            narrator.afterTick(adaptation);
            return o;
        },
        [&context] { return context.stopRequested(); });
    adaptation.abort();  // a cancel between ticks leaves it running; nothing sent is undone
    status.clear();

    Ending ending;
    ending.outcome = outcome;
    ending.step = narrator.lastStep();
    ending.written = adaptation.written();
    const std::string where = " in " + StepText(adapt::StepNumber(ending.step)) + " (" + StepName(ending.step) + ")";
    int rc = kOk;
    std::string key, value;
    switch (outcome) {
        case TickOutcome::Completed: break;
        case TickOutcome::NoAnswer:
            rc = kNoAnswer;
            key = "error";
            value = "no-answer";
            ending.reason = "the controller stopped answering" + where;
            break;
        case TickOutcome::LineLost:
            rc = kPortError;
            key = "error";
            value = "port-lost";
            ending.reason = LostPortText(link.portName(), link.lostReason()) + where;
            break;
        default:
            rc = kCancelled;
            key = "stopped";
            value = "cancelled";
            ending.reason = "the auto-adaptation was aborted" + CancelledBy(context.stopSignal()) + where;
            if (adaptation.report()) ending.reason += ", while writing the results";
            break;
    }

    if (rc == kOk && !adaptation.report()) {
        // Not reached with the procedure as it is; never report an unfinished run as a success.
        rc = kNoAnswer;
        key = "error";
        value = "no-answer";
        ending.outcome = TickOutcome::NoAnswer;
        ending.reason = "the procedure ended without its results" + where;
    }
    if (rc != kOk) {
        context.err << "sequaflow-cli: " << ending.reason << '\n';
        if (ending.written.empty()) {
            context.err << "sequaflow-cli: nothing was written to the controller\n";
        } else {
            context.err << "sequaflow-cli: written before it stopped (it stays written):\n";
            for (const auto& item : ending.written) context.err << "  " << WrittenText(item) << '\n';
        }
        if (adaptation.report())
            context.err << "sequaflow-cli: the results are only partly written; run adapt again to write them all\n";
        context.err << "sequaflow-cli: the controller stays in the fuel mode it is in\n";
    }
    if (options.json) PrintJsonResult(context.out, adaptation, state, ending, key, value);
    else if (rc == kOk) PrintTextResult(context.out, adaptation, state, ending);
    context.out.flush();
    return rc;
}

int RunAdapt(Context& context, Args args) {
    return RunOnSession(context, args, ParseAdaptArgs, [&](Session& session, const auto& options) {
        return RunAdaptOn(context, session.link(), session.pacer(), options);
    });
}

}  // namespace sequaflow::cli
