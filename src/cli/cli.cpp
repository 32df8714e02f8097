#include "cli/cli.h"

#include <algorithm>
#include <charconv>
#include <csignal>
#include <fstream>
#include <iostream>

#include "cli/adapt_command.h"
#include "cli/cli_commands.h"
#include "cli/diag_command.h"
#include "cli/emission_command.h"
#include "cli/map_command.h"
#include "cli/report_command.h"
#include "cli/vehicle_command.h"
#include "link/commands.h"
#include "link/port_inventory.h"
#include "params/build_info.h"
#include "params/parameter_reader.h"

namespace sequaflow::cli {

std::span<const CommandInfo> Commands() {
    static constexpr CommandInfo kCommands[] = {
        {"identify", "[--json]", "identify the controller: hardware, software, device, cylinders", RunIdentify},
        {"detect", "[--timeout SECONDS]", "find the controller on the 25 port entries", RunDetect},
        {"ports", "[--json]", "the 25 port entries: device, present, adapter name, may this user open it", RunPorts},
        {"live", "[--count N] [--json|--csv]", "print the live readings, one line per frame", RunLive},
        {"param", "show|set|get ...", "show or change the parameters by key, or one raw word (below)", RunParam},
        {"read", "[--json] [--no-backup]", "read the whole configuration without writing anything", RunRead},
        {"save", "FILE [--no-backup]", "read the configuration and write it as a parameter file", RunSave},
        {"decode", "FILE [--json] [--force]", "show a parameter file without a controller", RunDecode},
        {"diff", "A B [--json]", "the differences of two parameter files or 'controller'", RunDiff},
        {"load", "FILE [--no-backup] [--force]", "send a parameter file to the controller, then read it back", RunLoad},
        {"factory-reset", "--yes [--no-backup]", "restore the factory settings, then read them back", RunFactoryReset},
        {"adapt", "[--json]", "run the auto-adaptation: follow its instructions at the engine", RunAdapt},
        {"errors", "[--json] | clear", "list the faults of one live frame, or clear the stored ones", RunErrors},
        {"worktime", "[--json] | reset petrol|gas", "read the work-time counters, or set one to zero", RunWorkTime},
        {"report", "[--pdf FILE]", "the configuration report as printed, or as a PDF", RunReport},
        {"vehicle", "show [--json] | set [--registration T] ...", "show or save the vehicle record", RunVehicle},
        {"emission", "show [--json] | reset", "lambda-correction settings, switches, gas-temperature map", RunEmission},
        {"map", "show [--json] | set | step | gradient | mode ...", "show or edit the correction maps (below)", RunMap},
        {"points", "show [--json] | set ... | preset 1..4", "show or change the characteristic points (below)", RunPoints},
    };
    return kCommands;
}

namespace {

void PrintHelp(std::ostream& out) {
    out << "Usage: sequaflow-cli [global options] COMMAND [command options]\n\n"
           "Global options:\n"
           "  --device PATH      serial device of the controller (e.g. /dev/ttyUSB0)\n"
           "  --com N            port entry 1..25 (COM1..COM8 = ttyUSB0..7, COM9..16 = ttyACM0..7,\n"
           "                     COM17..25 = ttyS0..8, unless mapped otherwise)\n"
           "  --map COMn=PATH    use PATH for port entry n in this run (repeatable)\n"
           "  --trace FILE       write every frame sent and received, with times, to FILE\n"
           "  --help             this text\n"
           "  --version          the version and the build, then exit\n\n"
           "Commands:\n";
    for (const auto& c : Commands()) {
        std::string head = "  " + std::string(c.name) + " " + std::string(c.usage);
        if (head.size() < 40) head.resize(40, ' ');
        out << head << " " << c.summary << '\n';
    }
    out << "\nParameters (every key: 'param show'; KEY is a key or a parameter number 0..63):\n"
           "  param show [KEY] [--json]    each parameter and setting, or one: number, key, raw word, the\n"
           "                               text its control shows, and the item index of a list\n"
           "  param set KEY --text TEXT    TEXT as the control takes it: a number for an editor, the item's\n"
           "                               index or text for a list, eight 0/1 (injector 1 first) for\n"
           "                               extra_correction_injectors; reads the set first, then sends\n"
           "                               exactly what the screen sends (coupled parameters included)\n"
           "  param get N                  one raw word; signed parameters (3, 5, 48, 49, 52) print signed\n"
           "  param set N VALUE            write one raw word (-32768..65535), nothing else\n";
    out << "\nVehicle record (reads the record first; fields not given keep what the controller holds):\n"
           "  vehicle set [--registration T] [--make T] [--model T] [--installer T] [--date YYYY-MM-DD]\n"
           "              [--layout R|V|B|W] [--cylinders 1..8] [--capacity LITRES] [--nozzle MM]\n"
           "                               texts at most 12/15/15/30 characters; capacity 0.35..7.00 and\n"
           "                               nozzle 1.00..5.00 in steps of 0.05, as the dialog's lists\n";
    out << "\nLambda correction and gas-temperature map (the emission page):\n"
           "  emission show [--json]       reads parameters 21, 22 and 47, the twelve settings and the map;\n"
           "                               prints each field's text as the page shows it, with its unit\n"
           "  emission reset               the page's reset: default settings, switches off, enrichments 0 %,\n"
           "                               breakpoints 1/6/11/16/21 C; the map's activation bit and the other\n"
           "                               bits of parameter 47 stay as the controller holds them\n";
    out << "\nMaps (rows 1..12 by injection time, columns 1..7 by engine speed, segments 1..12 as on screen;\n"
           "ROWS, COLS and SEGS as A or A-B; each edit reads the map, then sends what the page sends):\n"
           "  map set advanced ROWS COLS VALUE   the typed value, limited to -25..50 (90 with turbo)\n"
           "  map step advanced ROWS COLS DELTA  step each cell, limited at the end it moves towards\n"
           "  map gradient ROWS COLS STEP        the block by STEP, each ring around it by half the last\n"
           "  map set standard SEGS VALUE        the typed value for the segments\n"
           "  map step standard SEGS DELTA       step the segments, then send all twelve\n"
           "  map mode none|standard|advanced    only the map-mode bits of the second flags word\n"
           "  points set [--ms T1,..,T11] [--rpm R1,..,R6]   rising breakpoints; a group not given keeps\n"
           "                                     the controller's words; all 17 points are sent\n"
           "  points preset N                    the point editor's presets: 1 Standard (18 ms, 6000 rpm),\n"
           "                                     2 long injections (30 ms), 3 high-revving (20 ms, 9000 rpm),\n"
           "                                     4 low-revving (25 ms, 5000 rpm)\n";
    out << "\nBackups: read, save, load and factory-reset keep each complete read of the controller in\n"
           "parametry/backup/ of the working directory as SERIAL_YYYY-MM-DD_HH-MM-SS.kst (not when the newest\n"
           "backup of that serial already holds it; 200 kept per serial, the oldest removed). load and\n"
           "factory-reset first read everything and send nothing unless that backup is on disk; --no-backup\n"
           "skips it on purpose. read and save go on without a backup they could not write.\n";
    out << "\nParameter files: load and decode refuse a file whose values the program could not have\n"
           "written (a parameter outside its editor's range, a map cell outside -25..+90 %, points out of\n"
           "order, a programmed marker other than 43690 or 0), naming the first ones; --force sends or shows\n"
           "it anyway. load reads everything back and compares it with the file: each value the controller\n"
           "holds otherwise is named as diff would (a cell above the controller's map maximum, ...).\n"
           "diff A B: every differing parameter (number, key, both texts), point and map cell, 'A -> B'.\n";
    out << "\nExit codes: 0 success, 1 diff found differences, 2 usage error, 3 port cannot be opened or\n"
           "was lost, 4 no valid answer from the controller, 5 file error (also a refused implausible file),\n"
           "6 cancelled by Ctrl+C or SIGTERM, 7 load or factory-reset: the controller holds values other\n"
           "than those given (named on standard error).\n";
}

}  // namespace

std::optional<long> ParseInteger(std::string_view text, long min, long max) {
    long v = 0;
    int base = 10;
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v, base);
    if (text.empty() || ec != std::errc{} || ptr != end) return std::nullopt;
    if (negative) v = -v;
    if (v < min || v > max) return std::nullopt;
    return v;
}

void FixedRate::wait() {
    next_ += period_;
    const auto now = pacer_.now();
    if (next_ > now)
        pacer_.pause(static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(next_ - now).count()));
    else
        next_ = now;
}

int UsageError(Context& context, std::string_view message) {
    context.err << "sequaflow-cli: " << message << "\nTry 'sequaflow-cli --help'.\n";
    return kUsage;
}

std::optional<int> ParseGlobalOptions(const std::vector<std::string>& args, Context& context,
                                      std::vector<std::string>& rest) {
    auto& opt = context.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            PrintHelp(context.out);
            return kOk;
        } else if (a == "--version") {
            context.out << params::VersionLine("sequaflow-cli") << '\n';
            return kOk;
        } else if (a == "--device") {
            if (!value(v) || v.empty()) return UsageError(context, "--device needs a device path");
            opt.device = v;
        } else if (a == "--com") {
            if (!value(v)) return UsageError(context, "--com needs a port number 1..25");
            const auto n = link::ParsePortNumber(v);
            if (!n) return UsageError(context, "--com: '" + v + "' is not a port number 1..25");
            opt.comIndex = *n;
        } else if (a == "--map") {
            if (!value(v) || !opt.ports.applyOverride(v))
                return UsageError(context, "--map needs COMn=PATH with n in 1..25, got '" + v + "'");
        } else if (a == "--trace") {
            if (!value(v) || v.empty()) return UsageError(context, "--trace needs a file name");
            opt.trace = v;
        } else {
            rest.push_back(a);
        }
    }
    if (opt.device && opt.comIndex) return UsageError(context, "give either --device or --com, not both");
    if (rest.empty()) {
        PrintHelp(context.err);
        return kUsage;
    }
    return std::nullopt;
}

int RunCli(const std::vector<std::string>& args, Context& context) {
    std::vector<std::string> rest;
    if (const auto done = ParseGlobalOptions(args, context, rest)) return *done;
    for (const auto& c : Commands()) {
        if (c.name == rest.front()) {
            const Args commandArgs(rest.data() + 1, rest.size() - 1);
            return c.run(context, commandArgs);
        }
    }
    return UsageError(context, "unknown command '" + rest.front() + "'");
}

int CheckArguments(const std::vector<std::string>& args, Context& context) {
    std::vector<std::string> rest;
    if (const auto done = ParseGlobalOptions(args, context, rest)) return *done;
    const Args commandArgs(rest.data() + 1, rest.size() - 1);
    // Only the parsers that stand apart from their command's run; every one of them only reads its
    // arguments.
    using Check = bool (*)(Context&, Args);
    struct Parser {
        std::string_view name;
        Check check;
    };
    static constexpr Parser kParsers[] = {
        {"adapt", [](Context& c, Args a) { return ParseAdaptArgs(c, a).has_value(); }},
        {"errors", [](Context& c, Args a) { return ParseErrorsArgs(c, a).has_value(); }},
        {"worktime", [](Context& c, Args a) { return ParseWorkTimeArgs(c, a).has_value(); }},
        {"report", [](Context& c, Args a) { return ParseReportArgs(c, a).has_value(); }},
        {"vehicle", [](Context& c, Args a) { return ParseVehicleArgs(c, a).has_value(); }},
        {"emission", [](Context& c, Args a) { return ParseEmissionArgs(c, a).has_value(); }},
        {"map", [](Context& c, Args a) { return ParseMapArgs(c, a).has_value(); }},
        {"points", [](Context& c, Args a) { return ParsePointsArgs(c, a).has_value(); }},
        {"ports", [](Context& c, Args a) { return ParsePortsArgs(c, a).has_value(); }},
    };
    for (const auto& p : kParsers)
        if (p.name == rest.front()) return p.check(context, commandArgs) ? kOk : kUsage;
    for (const auto& c : Commands())
        if (c.name == rest.front()) return kOk;
    return UsageError(context, "unknown command '" + rest.front() + "'");
}

bool AttachTrace(Context& context, link::Link& link, std::unique_ptr<std::ostream>& file,
                 std::unique_ptr<link::FrameLog>& log) {
    if (!context.options.trace) return true;
    auto f = std::make_unique<std::ofstream>(*context.options.trace, std::ios::out | std::ios::trunc);
    if (!*f) {
        context.err << "sequaflow-cli: cannot write the trace file " << *context.options.trace << '\n';
        return false;
    }
    log = std::make_unique<link::FrameLog>(*f, true);
    file = std::move(f);
    link.setObserver(log.get());
    return true;
}

Session::Session() : link_(port_, pacer_) {}

Session::~Session() {
    link_.closePort();
    link_.setObserver(nullptr);
}

std::unique_ptr<Session> Session::Open(Context& context, int& exitCode) {
    const auto& opt = context.options;
    if (!opt.device && !opt.comIndex) {
        exitCode = UsageError(context, "no port given: use --device PATH or --com N");
        return nullptr;
    }
    std::unique_ptr<Session> s(new Session());
    s->path_ = opt.device ? *opt.device : opt.ports.path(*opt.comIndex);
    if (!AttachTrace(context, s->link_, s->traceFile_, s->trace_)) {
        exitCode = kFileError;
        return nullptr;
    }
    s->link_.setPortName(s->path_);
    auto opened = s->link_.openPort();
    if (!opened.ok()) {
        const auto& error = opened.error();
        // Who holds it or which group it wants, when the system can tell.
        std::optional<link::PortAccess> access;
        if (error.code == link::PortErrorCode::Busy || error.code == link::PortErrorCode::PermissionDenied)
            access = link::CheckAccess(opt.deviceRoot, s->path_);
        context.err << "sequaflow-cli: " << link::PortProblemText(s->path_, error, access ? &*access : nullptr) << '\n';
        exitCode = kPortError;
        return nullptr;
    }
    exitCode = kOk;
    return s;
}

bool Session::reportLost(Context& context) const {
    if (!link_.lostReason()) return false;
    context.err << "sequaflow-cli: " << LostPortText(path_, link_.lostReason()) << '\n';
    return true;
}

int Session::reportSequence(Context& context, const SequenceResult& result, const SequenceTrail& trail,
                            std::string_view what, bool writes) const {
    const auto report = DescribeStop(result, trail, what, writes, context.stopSignal(), link_.lostReason(), path_);
    for (const auto& line : report.lines) context.err << "sequaflow-cli: " << line << '\n';
    return report.exitCode;
}

params::ProgressFn SequenceTrail::watch(params::ProgressFn forward) {
    return [this, forward = std::move(forward)](const params::ProgressStep& step) {
        note(step);
        if (forward) forward(step);
    };
}

void SequenceTrail::note(const params::ProgressStep& step) {
    // A phase that starts over (the points are sent again after the maps) is a run of its own.
    if (runs_.empty() || runs_.back().phase != step.phase || step.position <= runs_.back().position)
        runs_.push_back(Run{std::string(step.phase), 0, 0});
    runs_.back().position = step.position;
    runs_.back().maximum = step.maximum;
}

namespace {

// The progress captions of the sequences, in the words of the messages.
struct PhaseWords {
    std::string_view phase;
    std::string_view words;
};
constexpr PhaseWords kPhaseWords[] = {
    {"Param.", "the parameters"},     {"Mapa 1", "the points"},       {"Mapa 1p", "the advanced map"},
    {"Mapa 2", "the standard map"},   {"Lambda", "the lambda table"}, {"Temp.", "the temperature correction"},
    {"Dane", "the vehicle record"},   {"record", "the vehicle record"},
};

std::string PhaseText(std::string_view phase) {
    for (const auto& p : kPhaseWords)
        if (p.phase == phase) return std::string(p.words);
    return "'" + std::string(phase) + "'";
}

std::string JoinAnd(const std::vector<std::string>& parts) {
    std::string s;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i) s += i + 1 == parts.size() ? " and " : ", ";
        s += parts[i];
    }
    return s;
}

std::string OutOf(int done, int maximum) { return std::to_string(done) + " of " + std::to_string(maximum); }

}  // namespace

std::string CancelledBy(int signal) {
    if (signal == SIGINT) return " by Ctrl+C";
    if (signal == SIGTERM) return " by a stop request (SIGTERM)";
    return "";
}

void RetryUnansweredParameters(const Context& context, link::Link& link, params::ParameterImage& image,
                               params::ParameterReadReport& report, std::span<const int> which) {
    const auto retry = [&](int n) {
        auto& valid = report.valid[static_cast<std::size_t>(n)];
        if (valid || context.stopRequested()) return;
        if (const auto word = link::ReadParamWord(link, static_cast<std::uint8_t>(n))) {
            image.storeWord(n, *word);
            valid = true;
        }
    };
    if (which.empty())
        for (int n = 0; n < static_cast<int>(params::kParameterCount); ++n) retry(n);
    else
        for (int n : which) retry(n);
}

std::string LostPortText(std::string_view path, const std::optional<link::PortError>& lost) {
    std::string s = "the controller's port went away (" + std::string(path);
    if (lost) {
        s += lost->code == link::PortErrorCode::Lost ? ": unplugged, or closed at the other end"
                                                     : ": the port stopped working";
        s += "; the system said: " + lost->detail;
    }
    return s + ")";
}

StopReport DescribeStop(const SequenceResult& result, const SequenceTrail& trail, std::string_view what, bool writes,
                        int signal, const std::optional<link::PortError>& lost, std::string_view path) {
    StopReport report;
    if (result.completed()) return report;
    const std::string name(what);
    if (*result.stopped == StopReason::NotConnected) {
        report.lines.push_back(name + " did not start: the port is not open; nothing was sent");
        report.exitCode = kPortError;
        return report;
    }
    const bool lineLost = *result.stopped == StopReason::LineLost;
    report.exitCode = lineLost ? kPortError : kCancelled;
    if (lineLost) report.lines.push_back(LostPortText(path, lost));

    std::string how = lineLost ? name + " stopped" : name + " was cancelled" + CancelledBy(signal);
    const auto& runs = trail.runs();
    // The step under way when the line went did not finish; the one a cancel follows did.
    const int lastDone = runs.empty() ? 0 : runs.back().position - (lineLost ? 1 : 0);
    if (!runs.empty()) {
        const auto& last = runs.back();
        how += std::string(" while ") + (writes ? "sending " : "reading ") + PhaseText(last.phase) + " (" +
               OutOf(lastDone, last.maximum) + " done" + (lineLost ? ", the next one was under way)" : ")");
    } else if (result.steps == 0) {
        how += " before it began";
    } else {
        how += " after " + std::to_string(result.steps) + " step(s)";
    }
    report.lines.push_back(how);

    if (!writes) return report;
    if (!result.sentSomething) {
        report.lines.push_back("nothing was written to the controller");
        return report;
    }
    std::vector<std::string> full;
    const auto addFull = [&](const std::string& words) {
        if (std::find(full.begin(), full.end(), words) == full.end()) full.push_back(words);
    };
    for (std::size_t i = 0; i + 1 < runs.size(); ++i)
        if (runs[i].position >= runs[i].maximum) addFull(PhaseText(runs[i].phase));
    std::vector<std::string> clauses;
    std::string partial;
    if (!runs.empty()) {
        const auto& last = runs.back();
        const std::string words = PhaseText(last.phase);
        if (lastDone >= last.maximum) {
            addFull(words);
        } else {
            const bool again = std::find(full.begin(), full.end(), words) != full.end();
            partial = "only in part: " + words + (again ? " a second time" : "") + " (" + OutOf(lastDone, last.maximum) + ")";
        }
    }
    if (!full.empty()) clauses.push_back("sent in full: " + JoinAnd(full));
    if (!partial.empty()) clauses.push_back(partial);
    clauses.emplace_back("the rest was not sent");
    std::string held = "the controller now holds a partly written configuration: ";
    for (const auto& c : clauses) held += c + "; ";
    held += lineLost ? "when the controller is back, run " + name + " again to finish it"
                     : "run " + name + " again to finish it";
    report.lines.push_back(held);
    return report;
}

}  // namespace sequaflow::cli
