#include "adapt/adaptation.h"

#include <algorithm>
#include <cmath>

#include "link/commands.h"
#include "link/sequence_run.h"
#include "live/conversions.h"
#include "live/readings.h"
#include "maps/map_edit.h"
#include "maps/map_transfer.h"
#include "params/number_text.h"
#include "params/parameter_numbers.h"
#include "params/parameter_settings.h"
#include "params/setting_keys.h"

namespace sequaflow::adapt {

namespace pn = params::pn;
namespace word = live::word;

namespace {

constexpr unsigned kLoadTicks = 500;
constexpr unsigned kSamples = 300;
constexpr int kSettleTicks = 50;
// Overall progress in 75ths of a percent: a load tick adds 0.04 %, a sample 1/15 %, an advanced cell 100/375 %.
constexpr int kProgressUnit = 75;
constexpr int kLoadProgress = 3, kSampleProgress = 5, kCellProgress = 20;
constexpr std::uint32_t kRaiseSpeedRpm = 1500;
constexpr std::uint32_t kSwitchBackLow = 2000, kSwitchBackHigh = 2700;
constexpr std::uint32_t kSettleRpm = 2300;
constexpr int kWarmReducerC = 50;

// The tick interval of each step's timer, by step (0 for Idle).
constexpr std::array<int, kStepCount + 1> kIntervals = {0, 100, 100, 50, 100, 50, 100, 100, 50, 100, 100, 50};

// Language-file messages, by Instruction.
constexpr std::array<int, 8> kInstructionIds = {10501, 10525, 10523, 10505, 10506, 10502, 10524, 10503};
// The verdict lines.
constexpr int kFinished = 10504, kNozzlesSmall = 10526, kNozzlesLarge = 10527, kHintSpeed = 10528,
              kHintPedal = 10529, kHintForce = 10530, kSuccess = 10531;

// The text an editor shows after an operation wrote it, or the text it was given.
std::string ShownTextOf(const params::SettingResult& result, int param, std::string_view given) {
    if (result)
        for (const auto& t : result->texts)
            if (t.param == param) return t.text;
    return std::string(given);
}

Written ParameterWritten(const params::ProgramState& state, int param, std::string text) {
    Written w;
    w.what = Written::What::Parameter;
    w.param = param;
    w.text = std::move(text);
    w.raw = state.image.slot(param);
    return w;
}

// Writes one editor's text as the editor itself would on Enter: the value alone, no coupled partner.
Written WriteField(link::Link& link, params::ProgramState& state, int param, const std::string& text, char sep) {
    const auto result = params::WriteEditor(link, state.image, param, text, sep, params::EditorEvent::EnterReleased);
    return ParameterWritten(state, param, ShownTextOf(result, param, text));
}

}  // namespace

int StepNumber(Step step) { return static_cast<int>(step); }
int IntervalMs(Step step) { return kIntervals[static_cast<std::size_t>(step)]; }
int MessageId(Instruction instruction) { return kInstructionIds[static_cast<std::size_t>(instruction)]; }

std::vector<int> VerdictMessages(Verdict verdict) {
    switch (verdict) {
        case Verdict::Success: return {kSuccess};
        case Verdict::NozzlesSmall: return {kFinished, kNozzlesSmall, kHintSpeed, kHintPedal, kHintForce};
        case Verdict::NozzlesLarge: return {kFinished, kNozzlesLarge, kHintSpeed, kHintPedal, kHintForce};
    }
    return {};
}

const char* VerdictKey(Verdict verdict) {
    switch (verdict) {
        case Verdict::Success: return "success";
        case Verdict::NozzlesSmall: return "nozzles-small";
        case Verdict::NozzlesLarge: return "nozzles-large";
    }
    return "";
}

int ComputeCorrection(std::uint32_t gasLoadMax, std::uint32_t petrolLoadMax, std::uint8_t standardCell2,
                      double* loadRatio) {
    if (petrolLoadMax == 0) {
        if (loadRatio) *loadRatio = 1.0;
        return 150;
    }
    const double q = static_cast<double>(gasLoadMax) / static_cast<double>(petrolLoadMax);
    if (loadRatio) *loadRatio = q;
    const double a = std::trunc(static_cast<double>(standardCell2) * q);
    return static_cast<int>(std::clamp(a, 85.0, 150.0));
}

std::string CorrectionText(int storedCorrection) {
    return storedCorrection < 100 ? "-" + std::to_string(100 - storedCorrection)
                                  : "+" + std::to_string(storedCorrection - 100);
}

std::string TimeText(float ms, char decimalSeparator) { return live::FormatFixed(ms, 4, 2, decimalSeparator) + " ms"; }

std::string PressureText(float bar, char decimalSeparator, const char* unit) {
    return live::FormatFixed(bar, 3, 2, decimalSeparator) + unit;
}

int StandardProfileValue(int k, int correction, int maximum) {
    const int u = kStandardProfile[static_cast<std::size_t>(std::clamp(k, 0, 11))] + correction;
    return std::clamp(u, -25, std::max(-25, maximum));
}

Verdict VerdictOf(float offset, int segment12) {
    if (offset < -1.0f) return Verdict::NozzlesSmall;
    if (offset > 3.0f) return Verdict::NozzlesLarge;
    if (segment12 > 45) return Verdict::NozzlesLarge;
    if (segment12 < -20) return Verdict::NozzlesSmall;
    return Verdict::Success;
}

StoreReport StoreResults(link::Link& link, params::ProgramState& state, const Measurements& m,
                         std::string_view correctionText, char sep, const SequenceControl& control) {
    StoreReport report;
    link::SequenceRun run(link, control);
    const auto done = [&] {
        report.sequence = run.result();
        return report;
    };

    // The offset, from the two-decimal text its field shows.
    if (!run.step("offset", 0, 1)) return done();
    report.offsetText = live::FormatFixed(m.offset, 4, 2, sep);
    report.written.push_back(WriteField(link, state, pn::IdleCorrection, report.offsetText, sep));
    report.offsetText = report.written.back().text;

    // The pressures: beep at the lowest pressure seen on gas, switch-off 0.05 bar below, vacuum connected.
    if (!run.step("pressures", 0, 1)) return done();
    report.beepText = live::FormatFixed(m.lowestPressure, 3, 2, sep);
    report.switchOffText = live::FormatFixed(m.lowestPressure - 0.05f, 3, 2, sep);
    (void)params::ApplySetting(link, state, params::Setting::ReducerVacuum, 1, params::SpeedTextsOf(state), sep);
    report.written.push_back(ParameterWritten(
        state, pn::FirstFlags, params::SettingItemText(params::Setting::ReducerVacuum, 1).value_or(std::string())));
    report.written.push_back(WriteField(link, state, pn::ReturnPressure, report.switchOffText, sep));
    report.switchOffText = report.written.back().text;
    report.written.push_back(WriteField(link, state, pn::BuzzerPressure, report.beepText, sep));
    report.beepText = report.written.back().text;

    // Every advanced cell takes the correction as the mixture field shows it, limited to the cell range as a
    // typed value is: below -25 a cell byte would wrap round to a large enrichment.
    auto& maps = state.maps;
    const auto shown = params::ParseDecimal(correctionText);
    const double typed = shown ? std::trunc(static_cast<double>(*shown)) : m.correction - 100;
    const int c = maps::LimitCell(static_cast<int>(std::clamp(typed, -1000.0, 1000.0)), maps.cellMaximum());
    report.mapCorrection = c;
    // A stop part way still reports the cells that went out.
    Written advanced;
    advanced.what = Written::What::AdvancedMap;
    advanced.value = c;
    const auto noteAdvanced = [&] {
        if (advanced.cells > 0) report.written.push_back(advanced);
    };
    for (int column = maps::kColumns - 1; column >= 0; --column) {
        for (int row = maps::kRows - 1; row >= 0; --row) {
            if (!run.step("advanced map", advanced.cells, maps::kCells)) {
                noteAdvanced();
                return done();
            }
            maps.setCell(row, column, c);
            maps::WriteAdvancedCell(link, maps, row, column);
            ++advanced.cells;
        }
    }
    noteAdvanced();

    Written standard;
    standard.what = Written::What::StandardMap;
    for (int k = 0; k < maps::kStdCells; ++k) {
        if (!run.step("standard map", k, maps::kStdCells)) break;
        const int u = StandardProfileValue(k, c, maps.cellMaximum());
        report.standard[static_cast<std::size_t>(k)] = u;
        maps.setStdCell(k, u);
        maps::WriteStandardCell(link, maps, k);
        standard.values.push_back(u);
    }
    if (!standard.values.empty()) report.written.push_back(standard);
    if (run.result().completed()) run.finish();
    report.verdict = VerdictOf(m.offset, report.standard[11]);
    return done();
}

bool LinkLiveSource::refresh(live::LiveWords& words) {
    live::ReadingsCycle cycle;
    const bool accepted = cycle.Refresh(link_, words);
    if (accepted && shown_) shown_(words);
    return accepted;
}

void Adaptation::start() {
    m_ = Measurements{};
    texts_ = ResultTexts{};
    written_.clear();
    report_.reset();
    correctionText_.clear();
    missed_ = 0;
    shownRpm_ = 0;
    stepPosition_ = 0;
    stepMaximum_ = 100;
    step_ = Step::Temperature;
    ++stepSerial_;
    instruction_ = Instruction::WaitTemperature;
    ++instructionSerial_;  // a new run shows its first instruction even when the last run ended with it
}

void Adaptation::abort() {
    if (!running()) return;
    step_ = Step::Idle;
    ++stepSerial_;
    m_.progress75 = 0;
    stepPosition_ = 0;
    say(Instruction::Prepare);
}

int Adaptation::overallProgress() const { return std::clamp(m_.progress75 / kProgressUnit, 0, 100); }

void Adaptation::say(Instruction instruction) {
    // Most ticks repeat the instruction; a viewer redraws only when it changes.
    if (instruction == instruction_) return;
    instruction_ = instruction;
    ++instructionSerial_;
}

void Adaptation::enter(Step step, link::Link& link, params::ProgramState& state) {
    step_ = step;
    ++stepSerial_;
    const char sep = state.decimalSeparator;
    switch (step) {
        case Step::LoadPetrol:
            m_.petrolLoadCount = 0;
            m_.progress75 = 0;
            m_.petrolLoadMax = 0;
            texts_.petrolLoad = TimeText(0, sep);
            break;
        case Step::LoadGas:
            m_.gasLoadCount = 0;
            m_.gasLoadMax = 0;
            texts_.gasLoad = TimeText(0, sep);
            break;
        case Step::SettlePetrol:
        case Step::SettleGas: m_.countdown = kSettleTicks; break;
        case Step::SteadyPetrol:
            // The steady-speed times are measured without any offset.
            written_.push_back(WriteField(link, state, pn::IdleCorrection, live::FormatFixed(0, 4, 2, sep), sep));
            m_.petrolCount = 0;
            m_.petrolSum = 0;
            m_.petrolAverage = 0;
            texts_.petrolAverage = TimeText(0, sep);
            break;
        default: break;
    }
}

void Adaptation::loadTick(const params::ProgramState& state, bool gas) {
    const auto& w = state.words;
    const char sep = state.decimalSeparator;
    unsigned& count = gas ? m_.gasLoadCount : m_.petrolLoadCount;
    ++count;
    say(Instruction::PumpPedal);
    stepMaximum_ = static_cast<int>(kLoadTicks);
    stepPosition_ = static_cast<int>(count);
    m_.progress75 += kLoadProgress;
    if (gas) {
        const float p = live::RawToBar(w[word::Pressure]);
        if (p > m_.highestPressure) {
            m_.highestPressure = p;
            texts_.highestPressure = PressureText(p, sep, " bar");
        }
    }
    std::uint32_t& maximum = gas ? m_.gasLoadMax : m_.petrolLoadMax;
    if (w[word::ReferenceTime] > maximum) {
        maximum = w[word::ReferenceTime];
        (gas ? texts_.gasLoad : texts_.petrolLoad) = TimeText(live::TicksToMs(maximum, state.image.fastClock()), sep);
    }
}

bool Adaptation::averageTick(const params::ProgramState& state, bool gas) {
    const auto& w = state.words;
    const char sep = state.decimalSeparator;
    unsigned& count = gas ? m_.gasCount : m_.petrolCount;
    float& sum = gas ? m_.gasSum : m_.petrolSum;
    float& average = gas ? m_.gasAverage : m_.petrolAverage;
    const bool last = count >= kSamples;
    ++count;
    sum += live::TicksToMs(w[word::ReferenceTime], state.image.fastClock());
    average = sum / static_cast<float>(count);
    if (gas) texts_.gasAverage = live::FormatFixed(average, 4, 2, sep) + "ms";
    else texts_.petrolAverage = TimeText(average, sep);
    if (last) return true;
    stepMaximum_ = static_cast<int>(kSamples);
    stepPosition_ = static_cast<int>(count);
    m_.progress75 += kSampleProgress;
    if (gas) {
        const float p = live::RawToBar(w[word::Pressure]);
        if (p < m_.lowestPressure) {
            m_.lowestPressure = p;
            texts_.lowestPressure = PressureText(p, sep, " Bar");
        }
    }
    return false;
}

void Adaptation::storeCorrection(link::Link& link, params::ProgramState& state) {
    m_.correction = ComputeCorrection(m_.gasLoadMax, m_.petrolLoadMax, state.maps.stdByte(2), &m_.loadRatio);
    texts_.correction = CorrectionText(m_.correction);
    written_.push_back(WriteField(link, state, pn::MixtureCorrection, texts_.correction, state.decimalSeparator));
    correctionText_ = written_.back().text;
}

TickOutcome Adaptation::finish(link::Link& link, params::ProgramState& state, const SequenceControl& control) {
    const char sep = state.decimalSeparator;
    m_.offset = m_.gasAverage - m_.petrolAverage;
    texts_.offset = TimeText(m_.offset, sep);

    // The writes carry the overall progress on, a little for every advanced cell.
    SequenceControl store(
        [this, &control](const params::ProgressStep& s) {
            stepMaximum_ = s.maximum;
            stepPosition_ = s.position + 1;
            if (s.phase == "advanced map") m_.progress75 += kCellProgress;
            params::Report(control.progress, s.phase, s.position, s.maximum);
        },
        control.cancelled);
    report_ = StoreResults(link, state, m_, correctionText_, sep, store);
    written_.insert(written_.end(), report_->written.begin(), report_->written.end());

    step_ = Step::Idle;
    ++stepSerial_;
    m_.progress75 = 0;
    stepPosition_ = 0;
    const auto& stopped = report_->sequence.stopped;
    if (!stopped) return TickOutcome::Completed;
    say(Instruction::Prepare);
    return *stopped == StopReason::Cancelled ? TickOutcome::Cancelled : TickOutcome::LineLost;
}

TickOutcome Adaptation::tick(link::Link& link, params::ProgramState& state, LiveSource& source,
                             const SequenceControl& control) {
    if (!running()) return TickOutcome::Idle;
    if (!link.portOpen()) {
        abort();
        return TickOutcome::LineLost;
    }
    const auto& w = state.words;
    const bool onGas = w[word::FuelState] == 1;
    const std::uint32_t rpm = live::PeriodToRpm(w[word::Period], state.image.ignitionType());

    switch (step_) {
        case Step::Idle: return TickOutcome::Idle;
        case Step::Temperature:
            if (live::RawToCelsius(w[word::ReducerTemp]) < kWarmReducerC) {
                say(Instruction::WaitTemperature);
            } else {
                say(Instruction::TemperatureReached);
                enter(Step::ToPetrol, link, state);
            }
            break;
        case Step::ToPetrol:
            if (onGas) {
                // Waiting for the controller: say so, rather than leave the last instruction standing.
                say(Instruction::ToPetrol);
                link::SwitchToPetrol(link);
            } else {
                enter(Step::LoadPetrol, link, state);
            }
            break;
        case Step::LoadPetrol:
            if (m_.petrolLoadCount >= kLoadTicks) {
                stepPosition_ = static_cast<int>(kLoadTicks);
                enter(Step::ToGas, link, state);
            } else if (onGas) {
                say(Instruction::ToPetrol);
            } else {
                loadTick(state, false);
            }
            break;
        case Step::ToGas:
            if (onGas) {
                enter(Step::LoadGas, link, state);
                break;
            }
            shownRpm_ = rpm;
            if (rpm <= kRaiseSpeedRpm) {
                say(Instruction::RaiseSpeed);
            } else {
                // The pedal work is over; what is waited for now is gas.
                say(Instruction::ToGas);
                link::SwitchToGas(link);
            }
            break;
        case Step::LoadGas:
            if (m_.gasLoadCount >= kLoadTicks) {
                stepPosition_ = static_cast<int>(kLoadTicks);
                enter(Step::BackToPetrol, link, state);
            } else if (onGas) {
                loadTick(state, true);
            } else {
                say(Instruction::ToGas);
            }
            break;
        case Step::BackToPetrol:
            if (onGas) {
                say(Instruction::HoldSpeed);
                const std::uint32_t previous = shownRpm_;
                shownRpm_ = rpm;
                if (previous > kSwitchBackLow && previous < kSwitchBackHigh) link::SwitchToPetrol(link);
            } else {
                storeCorrection(link, state);
                enter(Step::SettlePetrol, link, state);
            }
            break;
        case Step::SettlePetrol:
        case Step::SettleGas:
            say(Instruction::HoldSpeed);
            if (rpm >= kSettleRpm) {
                if (m_.countdown == 0) enter(step_ == Step::SettlePetrol ? Step::SteadyPetrol : Step::SteadyGas, link, state);
                else --m_.countdown;
            }
            break;
        case Step::SteadyPetrol:
            if (onGas) {
                say(Instruction::ToPetrol);
            } else {
                say(Instruction::HoldSpeed);
                if (averageTick(state, false)) enter(Step::ToGasAtSpeed, link, state);
            }
            break;
        case Step::ToGasAtSpeed:
            if (onGas) {
                enter(Step::SettleGas, link, state);
            } else {
                say(Instruction::HoldSpeed);
                link::SwitchToGas(link);
            }
            break;
        case Step::SteadyGas:
            if (!onGas) {
                say(Instruction::ToGas);
                break;
            }
            say(Instruction::HoldSpeed);
            if (averageTick(state, true)) return finish(link, state, control);
            break;
    }

    if (source.refresh(state.words)) missed_ = 0;
    else ++missed_;
    if (!link.portOpen()) {
        abort();
        return TickOutcome::LineLost;
    }
    if (missed_ > live::kMaxMissed) {
        abort();
        return TickOutcome::NoAnswer;
    }
    return TickOutcome::Running;
}

TickOutcome RunProcedure(Adaptation& adaptation, link::Pacer& pacer, const std::function<TickOutcome()>& tick,
                         const std::function<bool()>& cancelled) {
    using std::chrono::microseconds;
    using std::chrono::milliseconds;
    TickOutcome outcome = adaptation.running() ? TickOutcome::Running : TickOutcome::Idle;
    unsigned serial = adaptation.stepSerial();
    microseconds started = pacer.now();
    long fired = 0;
    while (adaptation.running()) {
        const microseconds period = milliseconds(adaptation.intervalMs());
        microseconds due = started + period * (fired + 1);
        const microseconds now = pacer.now();
        if (due < now) {
            // Late: the next tick comes at once, the missed ones are dropped.
            fired = (now - started) / period;
            due = now;
        }
        const auto wait = std::chrono::ceil<milliseconds>(due - now).count();
        if (wait > 0) pacer.pause(static_cast<int>(wait));
        if (cancelled && cancelled()) return TickOutcome::Cancelled;
        outcome = tick();
        ++fired;
        if (adaptation.stepSerial() != serial) {
            serial = adaptation.stepSerial();
            started = pacer.now();
            fired = 0;
        }
    }
    return outcome;
}

}  // namespace sequaflow::adapt
