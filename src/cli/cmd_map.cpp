#include <algorithm>
#include <iomanip>
#include <ostream>
#include <sstream>
#include <string>

#include "cli/cli_commands.h"
#include "cli/map_command.h"
#include "cli/setting_output.h"
#include "link/commands.h"
#include "link/sequence_run.h"
#include "maps/map_transfer.h"
#include "params/parameter_numbers.h"

namespace sequaflow::cli {
namespace {

constexpr std::size_t At(int i) { return static_cast<std::size_t>(i); }

constexpr const char* kUsageLine =
    "map show [--json] | map set advanced ROW COL VALUE | map set standard SEGS VALUE | "
    "map step advanced ROWS COLS DELTA | map step standard SEGS DELTA | map gradient ROWS COLS STEP | "
    "map mode none|standard|advanced";

constexpr int kReadParameters[] = {params::pn::IgnitionType, params::pn::FirstFlags, params::pn::SecondFlags};

std::optional<MapOptions> Usage(Context& context, const std::string& message) {
    (void)UsageError(context, "map: " + message);
    return std::nullopt;
}

// A value, delta or step as the grid and the dialog take it.
bool WholeNumber(std::string_view text, int& value) {
    const auto v = maps::ReadWholeNumber(text);
    if (!v) return false;
    value = *v;
    return true;
}

std::string ModeName(int mode) {
    switch (mode) {
        case 0: return "none";
        case 1: return "advanced";
        case 2: return "standard";
        default: return std::to_string(mode);
    }
}

bool NoLine(Context& context, const link::Link& link) {
    if (link.portOpen()) return false;
    context.err << "sequaflow-cli: " << LostPortText(link.portName(), link.lostReason()) << '\n';
    return true;
}

// The parameter words a command cannot do without; exit 4 naming the first one missing.
bool HaveParameters(Context& context, const MapRead& read, std::initializer_list<int> which) {
    for (const int n : which) {
        if (read.answered.parameters[At(n)]) continue;
        context.err << "sequaflow-cli: no valid answer for parameter " << n << "; nothing was sent\n";
        return false;
    }
    return true;
}

bool HaveAdvanced(Context& context, const MapRead& read) {
    for (int i = 0; i < maps::kCells; ++i) {
        if (read.answered.advanced[At(i)]) continue;
        // A store word carries two cells: without the controller's partner cell an edit would overwrite it.
        context.err << "sequaflow-cli: no valid answer for advanced map cell row " << i / maps::kColumns + 1
                    << ", column " << i % maps::kColumns + 1 << "; nothing was sent\n";
        return false;
    }
    return true;
}

bool HaveStandard(Context& context, const MapRead& read) {
    for (int k = 0; k < maps::kStdCells; ++k) {
        if (read.answered.standard[At(k)]) continue;
        context.err << "sequaflow-cli: no valid answer for standard map segment " << k + 1 << "; nothing was sent\n";
        return false;
    }
    return true;
}

std::string PointLabel(const MapRead& read, int i) {
    return read.answered.points[At(i)] ? maps::PointText(read.model, i, read.image, kCliDecimalSeparator) : "?";
}

void PrintCellJson(std::ostream& out, const std::optional<int>& v) {
    if (v) out << *v;
    else out << "null";
}

void PrintShowJson(std::ostream& out, const MapRead& read) {
    out << "{\"mode\":\"" << ModeName(static_cast<int>(read.image.field(params::field::MapMode))) << "\",\"points\":";
    PrintPointsJson(out, read);
    out << ",\"advanced\":[";
    for (int r = 0; r < maps::kRows; ++r) {
        out << (r ? ",[" : "[");
        for (int c = 0; c < maps::kColumns; ++c) {
            if (c) out << ',';
            PrintCellJson(out, read.answered.advanced[At(maps::kColumns * r + c)]);
        }
        out << ']';
    }
    out << "],\"standard\":[";
    for (int k = 0; k < maps::kStdCells; ++k) {
        if (k) out << ',';
        PrintCellJson(out, read.answered.standard[At(k)]);
    }
    out << "]}\n";
}

// The points and cells that stayed unread, by their screen names.
std::vector<std::string> MissingMapElements(const MapRead& read) {
    std::vector<std::string> names;
    for (int k = 0; k < maps::kPoints; ++k)
        if (!read.answered.points[At(k)])
            names.push_back(k < maps::kSpeedPoints ? "engine-speed point R" + std::to_string(k + 1)
                                                   : "injection-time point T" + std::to_string(k - maps::kSpeedPoints + 1));
    for (int i = 0; i < maps::kCells; ++i)
        if (!read.answered.advanced[At(i)])
            names.push_back("advanced map cell row " + std::to_string(i / maps::kColumns + 1) + ", column " +
                            std::to_string(i % maps::kColumns + 1));
    for (int k = 0; k < maps::kStdCells; ++k)
        if (!read.answered.standard[At(k)]) names.push_back("standard map segment " + std::to_string(k + 1));
    return names;
}

std::string Cell(const std::optional<int>& v) { return v ? maps::GridCellText(*v) : "-"; }

void PrintShowText(std::ostream& out, const MapRead& read) {
    const int mode = static_cast<int>(read.image.field(params::field::MapMode));
    out << "Map mode: " << (mode == 3 ? "3 (unknown)" : ModeName(mode)) << '\n';
    PrintPointsText(out, read);
    constexpr int kWidth = 7;
    const auto col = [&](const std::string& s) { out << std::setw(kWidth) << s; };
    out << "\nAdvanced map (%): rows by injection time up to ms, columns by engine speed up to rpm\n";
    col("ms\\rpm");
    for (int c = 0; c < maps::kSpeedPoints; ++c) col(PointLabel(read, c));
    col("+" + PointLabel(read, maps::kSpeedPoints - 1));
    out << '\n';
    for (int r = 0; r < maps::kRows; ++r) {
        col(r < maps::kTimePoints ? PointLabel(read, maps::kSpeedPoints + r) : "+" + PointLabel(read, maps::kPoints - 1));
        for (int c = 0; c < maps::kColumns; ++c) col(Cell(read.answered.advanced[At(maps::kColumns * r + c)]));
        out << '\n';
    }
    out << "\nStandard map (%): by injection time up to ms\n";
    col("ms");
    for (int k = 0; k < maps::kTimePoints; ++k) col(PointLabel(read, maps::kSpeedPoints + k));
    col("+" + PointLabel(read, maps::kPoints - 1));
    out << '\n';
    col("%");
    for (int k = 0; k < maps::kStdCells; ++k) col(Cell(read.answered.standard[At(k)]));
    out << '\n';
}

std::string CellName(const maps::CellChange& c) {
    if (c.map == maps::MapKind::Standard) return "standard segment " + std::to_string(c.column + 1);
    return "advanced row " + std::to_string(c.row + 1) + ", column " + std::to_string(c.column + 1);
}

// The cells an operation plans to send, for "n of m" when it stops early.
int PlannedCells(const MapOptions& o, int maximum) {
    switch (o.action) {
        case MapOptions::Action::SetAdvanced:
        case MapOptions::Action::StepAdvanced: return static_cast<int>(maps::StepOrder(o.block).size());
        case MapOptions::Action::Gradient: {
            int step = 1;
            if (!o.typed.empty()) step = maps::LimitCell(maps::ReadWholeNumber(o.typed).value_or(1), maximum);
            const auto plan = maps::PlanGradient(o.block, step);
            return static_cast<int>(std::count_if(plan.begin(), plan.end(), [](const auto& v) { return v.inside; }));
        }
        case MapOptions::Action::StepStandard: return maps::kStdCells;
        default: return o.run.last - o.run.first + 1;
    }
}

int RunEdit(Context& context, link::Link& link, MapRead& read, const MapOptions& o) {
    ProgressBar bar(context);
    SequenceTrail trail;
    const SequenceControl control = context.control(trail.watch(bar.callback()));
    auto& model = read.model;
    maps::MapEditResult r;
    switch (o.action) {
        case MapOptions::Action::SetAdvanced: r = maps::SetAdvanced(link, model, o.block, o.typed, control); break;
        case MapOptions::Action::StepAdvanced: r = maps::StepAdvanced(link, model, o.block, o.delta, control); break;
        case MapOptions::Action::Gradient: r = maps::GradientAdvanced(link, model, o.block, o.typed, control); break;
        case MapOptions::Action::StepStandard: r = maps::StepStandard(link, model, o.run, o.delta, control); break;
        case MapOptions::Action::SetStandard:
            r = o.run.first == o.run.last ? maps::SetStandardCell(link, model, o.run.first, o.typed, control)
                                          : maps::SetStandard(link, model, o.run, o.typed, control);
            break;
        default: return kUsage;
    }
    bar.finish();

    if (!r.sent.empty()) {
        context.out << "Sent " << r.sent.size() << " cell(s), in this order:\n";
        for (const auto& c : r.sent)
            context.out << "  " << CellName(c) << ": " << maps::GridCellText(maps::CellValue(c.before)) << " -> "
                        << maps::GridCellText(maps::CellValue(c.after)) << '\n';
    }
    if (r.error) {
        context.err << "sequaflow-cli: " << r.message << '\n';
        if (r.sent.empty()) context.err << "sequaflow-cli: nothing was sent\n";
        return kUsage;
    }
    if (r.sequence.completed()) return kOk;

    const auto& stop = *r.sequence.stopped;
    const std::string count = std::to_string(r.sent.size()) + " of " + std::to_string(PlannedCells(o, model.cellMaximum()));
    if (stop == StopReason::NotConnected) {
        context.err << "sequaflow-cli: the map edit did not start: the port is not open; nothing was sent\n";
        return kPortError;
    }
    if (stop == StopReason::LineLost) {
        NoLine(context, link);
        context.err << "sequaflow-cli: the map edit stopped with " << count
                    << " cell(s) sent (listed above); the cell under way when the line went may be half-written "
                       "and the rest were not sent\n";
        return kPortError;
    }
    context.err << "sequaflow-cli: the map edit was cancelled" << CancelledBy(context.stopSignal()) << " with " << count
                << " cell(s) sent (listed above); the rest were not sent\n";
    return kCancelled;
}

std::optional<maps::GridBlock> BlockOf(Context& context, const std::string& rows, const std::string& cols) {
    const auto r = ParseSpan(rows, maps::kRows);
    const auto c = ParseSpan(cols, maps::kColumns);
    if (!r) {
        (void)Usage(context, "'" + rows + "' is not a row or rows within 1..12");
        return std::nullopt;
    }
    if (!c) {
        (void)Usage(context, "'" + cols + "' is not a column or columns within 1..7");
        return std::nullopt;
    }
    return maps::GridBlock{c->first, r->first, c->second, r->second};
}

std::optional<maps::StripRun> RunOf(Context& context, const std::string& segs) {
    const auto s = ParseSpan(segs, maps::kStdCells);
    if (!s) {
        (void)Usage(context, "'" + segs + "' is not a segment or segments within 1..12");
        return std::nullopt;
    }
    return maps::StripRun{s->first - 1, s->second - 1};
}

}  // namespace

std::optional<std::pair<int, int>> ParseSpan(std::string_view text, int last) {
    const auto dash = text.find('-', 1);
    const auto a = ParseInteger(text.substr(0, dash), 1, last);
    if (!a || text.substr(0, dash).find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    if (dash == std::string_view::npos) return std::pair{static_cast<int>(*a), static_cast<int>(*a)};
    const auto tail = text.substr(dash + 1);
    const auto b = ParseInteger(tail, 1, last);
    if (!b || tail.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    return std::pair{static_cast<int>(std::min(*a, *b)), static_cast<int>(std::max(*a, *b))};
}

int ReportStopOn(Context& context, const link::Link& link, const SequenceResult& result, const SequenceTrail& trail,
                 std::string_view what, bool writes) {
    const auto report = DescribeStop(result, trail, what, writes, context.stopSignal(), link.lostReason(), link.portName());
    for (const auto& line : report.lines) context.err << "sequaflow-cli: " << line << '\n';
    return report.exitCode;
}

std::optional<MapRead> ReadForMaps(Context& context, link::Link& link, int& exitCode) {
    MapRead read;
    read.answered.fromController = true;
    link.discardStaleInput();
    for (const int n : kReadParameters) {
        // A busy controller now and then misses a reply: one more question before it counts as unanswered.
        auto word = link::ReadParamWord(link, static_cast<std::uint8_t>(n));
        if (!word && link.portOpen() && !context.stopRequested()) word = link::ReadParamWord(link, static_cast<std::uint8_t>(n));
        if (!word) continue;
        read.image.storeWord(n, *word);
        read.answered.parameters[At(n)] = read.image.slot(n);
    }
    if (std::none_of(std::begin(kReadParameters), std::end(kReadParameters),
                     [&](int n) { return read.answered.parameters[At(n)].has_value(); })) {
        // Nobody there: no point in asking 113 map elements twice each.
        if (NoLine(context, link)) {
            exitCode = kPortError;
        } else {
            context.err << "sequaflow-cli: no valid answer from a controller on " << link.portName()
                        << "; nothing was sent\n";
            exitCode = context.stopRequested() ? kCancelled : kNoAnswer;
        }
        return std::nullopt;
    }
    read.image.refreshShadow(params::FlagsWord::First);
    read.image.refreshShadow(params::FlagsWord::Second);
    read.model.applyTurboFlag(read.image);

    ProgressBar bar(context);
    SequenceTrail trail;
    const SequenceControl control = context.control(trail.watch(bar.callback()));
    link::SequenceRun run(link, control);
    if (run.goOn()) {
        const auto report = maps::ReadMaps(link, read.model, control);
        for (int k = 0; k < maps::kPoints; ++k)
            if (report.points[At(k)]) read.answered.points[At(k)] = read.model.point(k);
        for (int i = 0; i < maps::kCells; ++i)
            if (report.cells[At(i)]) read.answered.advanced[At(i)] = maps::CellValue(read.model.advanced()[At(i)]);
        for (int k = 0; k < maps::kStdCells; ++k)
            if (report.standard[At(k)]) read.answered.standard[At(k)] = read.model.stdCell(k);
        if (run.absorb(report.sequence)) {
            // The second question covers only the maps: the parameters were asked twice above, and the
            // others are not this command's business.
            auto second = read.answered;
            for (auto& p : second.parameters) p = p.value_or(0);
            (void)run.absorb(RereadUnanswered(link, second, read.model, control));
            second.parameters = read.answered.parameters;
            read.answered = second;
        }
    }
    bar.finish();
    exitCode = ReportStopOn(context, link, run.result(), trail, "the read", false);
    if (exitCode != kOk) return std::nullopt;
    if (NoLine(context, link)) {
        exitCode = kPortError;
        return std::nullopt;
    }
    return read;
}

std::optional<MapOptions> ParseMapArgs(Context& context, Args args) {
    MapOptions o;
    if (args.empty()) return Usage(context, std::string("which action? ") + kUsageLine);
    const std::string& verb = args[0];
    const auto n = args.size();
    if (verb == "show") {
        for (std::size_t i = 1; i < n; ++i) {
            if (args[i] == "--json") o.json = true;
            else return Usage(context, "unknown argument '" + args[i] + "'");
        }
        return o;
    }
    if (verb == "mode") {
        if (n != 2) return Usage(context, "map mode takes one of none, standard, advanced");
        if (args[1] == "none") o.mode = 0;
        else if (args[1] == "advanced") o.mode = 1;
        else if (args[1] == "standard") o.mode = 2;
        else return Usage(context, "'" + args[1] + "' is not a map mode: none, standard or advanced");
        o.action = MapOptions::Action::Mode;
        return o;
    }
    if (verb == "set" || verb == "step") {
        if (n < 2 || (args[1] != "advanced" && args[1] != "standard"))
            return Usage(context, "map " + verb + " needs 'advanced' or 'standard'");
        const bool advanced = args[1] == "advanced";
        if (n != (advanced ? 5u : 4u)) return Usage(context, "wrong number of arguments for map " + verb + " " + args[1]);
        const std::string& value = args[n - 1];
        if (advanced) {
            const auto block = BlockOf(context, args[2], args[3]);
            if (!block) return std::nullopt;
            o.block = *block;
        } else {
            const auto run = RunOf(context, args[2]);
            if (!run) return std::nullopt;
            o.run = *run;
        }
        if (verb == "set") {
            int v = 0;
            if (!WholeNumber(value, v)) return Usage(context, "'" + value + "' is not a whole number");
            o.typed = value;
            o.action = advanced ? MapOptions::Action::SetAdvanced : MapOptions::Action::SetStandard;
        } else {
            if (!WholeNumber(value, o.delta)) return Usage(context, "'" + value + "' is not a whole number");
            o.action = advanced ? MapOptions::Action::StepAdvanced : MapOptions::Action::StepStandard;
        }
        return o;
    }
    if (verb == "gradient") {
        if (n != 4) return Usage(context, "map gradient takes ROWS COLS STEP");
        const auto block = BlockOf(context, args[1], args[2]);
        if (!block) return std::nullopt;
        o.block = *block;
        int v = 0;
        if (!WholeNumber(args[3], v)) return Usage(context, "'" + args[3] + "' is not a whole number");
        o.typed = args[3];
        o.action = MapOptions::Action::Gradient;
        return o;
    }
    return Usage(context, "unknown action '" + verb + "'");
}

int RunMapOn(Context& context, link::Link& link, const MapOptions& o) {
    int rc = kOk;
    auto read = ReadForMaps(context, link, rc);
    if (!read) return rc;
    using A = MapOptions::Action;

    if (o.action == A::Show) {
        if (!HaveParameters(context, *read, {params::pn::IgnitionType, params::pn::FirstFlags, params::pn::SecondFlags}))
            return kNoAnswer;
        const auto missing = MissingMapElements(*read);
        for (const auto& name : missing) context.err << "sequaflow-cli: no valid answer for " << name << '\n';
        if (o.json) PrintShowJson(context.out, *read);
        else PrintShowText(context.out, *read);
        // A map with holes is shown, but a script must not take it for the controller's whole map.
        return missing.empty() ? kOk : kNoAnswer;
    }

    if (!HaveParameters(context, *read, {params::pn::SecondFlags})) return kNoAnswer;
    if (o.action == A::Mode) {
        const int before = static_cast<int>(read->image.field(params::field::MapMode));
        maps::SetMapMode(link, read->image, o.mode);
        if (NoLine(context, link)) return kPortError;
        context.out << "Map mode: " << ModeName(o.mode) << " (was " << ModeName(before) << ")\n";
        return kOk;
    }
    const bool standard = o.action == A::SetStandard || o.action == A::StepStandard;
    if (standard ? !HaveStandard(context, *read) : !HaveAdvanced(context, *read)) return kNoAnswer;
    return RunEdit(context, link, *read, o);
}

int RunMap(Context& context, Args args) {
    return RunOnSession(context, args, ParseMapArgs, [&](Session& session, const auto& options) {
        return RunMapOn(context, session.link(), options);
    });
}

}  // namespace sequaflow::cli
