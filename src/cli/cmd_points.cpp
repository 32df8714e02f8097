#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/map_command.h"
#include "cli/setting_output.h"
#include "maps/map_transfer.h"
#include "params/number_text.h"
#include "params/parameter_numbers.h"

namespace sequaflow::cli {
namespace {

constexpr std::size_t At(int i) { return static_cast<std::size_t>(i); }

constexpr const char* kUsageLine = "points show [--json] | points set [--ms T1,..,T11] [--rpm R1,..,R6] | points preset 1..4";
// The engine speeds a point may name; the controller's period word sets the real bounds, checked once the
// ignition type is known.
constexpr long kMostRpm = 99999;
// A period from 65500 ticks up reads back as 0 rpm.
constexpr std::uint32_t kLongestPeriod = 65499;
constexpr std::uint32_t kMostTicks = 0xFFFF;

std::optional<PointsOptions> Usage(Context& context, const std::string& message) {
    (void)UsageError(context, "points: " + message);
    return std::nullopt;
}

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const auto comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) return parts;
        start = comma + 1;
    }
}

// Eleven injection times in ms, each a number above 0, rising strictly.
std::optional<std::array<std::string, maps::kTimePoints>> TimesOf(const std::string& list, std::string& why) {
    const auto parts = SplitList(list);
    if (parts.size() != maps::kTimePoints) {
        why = "--ms needs 11 injection times separated by commas, got " + std::to_string(parts.size());
        return std::nullopt;
    }
    std::array<std::string, maps::kTimePoints> texts;
    float previous = 0;
    for (int k = 0; k < maps::kTimePoints; ++k) {
        const auto& t = parts[At(k)];
        const auto v = t.find(',') == std::string::npos ? params::ParseDecimal(t) : std::nullopt;
        if (!v || *v <= 0) {
            why = "--ms: T" + std::to_string(k + 1) + " '" + t + "' is not a time in ms above 0 (e.g. 1.5)";
            return std::nullopt;
        }
        if (k > 0 && *v <= previous) {
            why = "--ms: the injection times must rise: T" + std::to_string(k + 1) + " = " + t + " is not above T" +
                  std::to_string(k);
            return std::nullopt;
        }
        previous = *v;
        texts[At(k)] = t;
    }
    return texts;
}

// Six engine speeds in rpm, whole numbers that still rise once taken down to a multiple of 50, as the
// controller keeps them.
std::optional<std::array<std::string, maps::kSpeedPoints>> SpeedsOf(const std::string& list, std::string& why) {
    const auto parts = SplitList(list);
    if (parts.size() != maps::kSpeedPoints) {
        why = "--rpm needs 6 engine speeds separated by commas, got " + std::to_string(parts.size());
        return std::nullopt;
    }
    std::array<std::string, maps::kSpeedPoints> texts;
    long previous = 0;
    for (int k = 0; k < maps::kSpeedPoints; ++k) {
        const auto& t = parts[At(k)];
        const auto v = t.find_first_not_of("0123456789") == std::string::npos ? ParseInteger(t, 50, kMostRpm)
                                                                             : std::nullopt;
        if (!v) {
            why = "--rpm: R" + std::to_string(k + 1) + " '" + t + "' is not a whole number of rpm within 50.." +
                  std::to_string(kMostRpm);
            return std::nullopt;
        }
        const long kept = *v / 50 * 50;
        if (k > 0 && kept <= previous) {
            why = "--rpm: the engine speeds must rise (in steps of 50 rpm): R" + std::to_string(k + 1) + " = " + t +
                  " is not above R" + std::to_string(k);
            return std::nullopt;
        }
        previous = kept;
        texts[At(k)] = t;
    }
    return texts;
}

std::string PointJson(const MapRead& read, int i) {
    return read.answered.points[At(i)] ? maps::PointText(read.model, i, read.image, kCliDecimalSeparator) : "null";
}

std::string PointShown(const MapRead& read, int i) {
    return read.answered.points[At(i)] ? maps::PointText(read.model, i, read.image, kCliDecimalSeparator) : "?";
}

// The points the model would get from the texts; a message when they do not fit the controller's words or
// do not rise once converted (two times closer than a tick, two speeds in one period).
std::optional<std::string> CheckConverted(const MapRead& read, const std::array<std::optional<std::string>, maps::kPoints>& texts,
                                          std::array<std::uint32_t, maps::kPoints>& values) {
    for (int i = 0; i < maps::kPoints; ++i) {
        const auto& t = texts[At(i)];
        if (!t) {
            values[At(i)] = read.model.point(i);
            continue;
        }
        const auto v = maps::PointFromText(i, *t, read.image);
        if (!v) return "'" + *t + "' is not a number";
        values[At(i)] = *v;
        if (i < maps::kSpeedPoints) {
            if (*v == 0 || *v > kLongestPeriod)
                return "R" + std::to_string(i + 1) + " = " + *t + " rpm is beyond what the controller can hold with this ignition type";
            if (i > 0 && texts[At(i - 1)] && *v >= values[At(i - 1)])
                return "R" + std::to_string(i + 1) + " = " + *t + " rpm is not above R" + std::to_string(i) +
                       " once converted to the controller's period";
        } else {
            const int k = i - maps::kSpeedPoints + 1;
            if (*v == 0 || *v > kMostTicks)
                return "T" + std::to_string(k) + " = " + *t + " ms is beyond what the controller can hold with this clock";
            if (i > maps::kSpeedPoints && texts[At(i - 1)] && *v <= values[At(i - 1)])
                return "T" + std::to_string(k) + " = " + *t + " ms is not above T" + std::to_string(k - 1) +
                       " once converted to the controller's ticks";
        }
    }
    return std::nullopt;
}

}  // namespace

void PrintPointsJson(std::ostream& out, const MapRead& read) {
    out << "{\"ms\":[";
    for (int k = 0; k < maps::kTimePoints; ++k) out << (k ? "," : "") << PointJson(read, maps::kSpeedPoints + k);
    out << "],\"rpm\":[";
    for (int k = 0; k < maps::kSpeedPoints; ++k) out << (k ? "," : "") << PointJson(read, k);
    out << "],\"raw\":[";
    for (int i = 0; i < maps::kPoints; ++i) {
        out << (i ? "," : "");
        if (read.answered.points[At(i)]) out << (read.model.point(i) & 0xFFFF);
        else out << "null";
    }
    out << "]}";
}

void PrintPointsText(std::ostream& out, const MapRead& read) {
    out << "Engine speed R1..R6 (rpm):";
    for (int k = 0; k < maps::kSpeedPoints; ++k) out << ' ' << PointShown(read, k);
    out << "\nInjection time T1..T11 (ms):";
    for (int k = 0; k < maps::kTimePoints; ++k) out << ' ' << PointShown(read, maps::kSpeedPoints + k);
    out << '\n';
}

std::optional<PointsOptions> ParsePointsArgs(Context& context, Args args) {
    PointsOptions o;
    if (args.empty()) return Usage(context, std::string("which action? ") + kUsageLine);
    const auto n = args.size();
    if (args[0] == "show") {
        for (std::size_t i = 1; i < n; ++i) {
            if (args[i] == "--json") o.json = true;
            else return Usage(context, "unknown argument '" + args[i] + "'");
        }
        return o;
    }
    if (args[0] == "preset") {
        const auto p = n == 2 ? ParseInteger(args[1], 1, static_cast<long>(maps::kPresetCount)) : std::nullopt;
        if (!p || args[1].find_first_not_of("0123456789") != std::string::npos)
            return Usage(context, "points preset takes a preset number 1..4");
        o.action = PointsOptions::Action::Preset;
        o.preset = static_cast<int>(*p) - 1;
        return o;
    }
    if (args[0] == "set") {
        o.action = PointsOptions::Action::Set;
        for (std::size_t i = 1; i < n; ++i) {
            const std::string& a = args[i];
            if ((a != "--ms" && a != "--rpm") || i + 1 >= n) return Usage(context, "unknown or incomplete argument '" + a + "'");
            std::string why;
            if (a == "--ms") {
                if (o.ms) return Usage(context, "--ms given twice");
                o.ms = TimesOf(args[++i], why);
                if (!o.ms) return Usage(context, why);
            } else {
                if (o.rpm) return Usage(context, "--rpm given twice");
                o.rpm = SpeedsOf(args[++i], why);
                if (!o.rpm) return Usage(context, why);
            }
        }
        if (!o.ms && !o.rpm) return Usage(context, "points set needs --ms, --rpm or both");
        return o;
    }
    return Usage(context, "unknown action '" + args[0] + "'");
}

int RunPointsOn(Context& context, link::Link& link, const PointsOptions& o) {
    int rc = kOk;
    auto read = ReadForMaps(context, link, rc);
    if (!read) return rc;
    for (const int n : {params::pn::IgnitionType, params::pn::FirstFlags}) {
        if (read->answered.parameters[At(n)]) continue;
        // Without the ignition type and the clock flag a point has no rpm or ms to show or take.
        context.err << "sequaflow-cli: no valid answer for parameter " << n << "; nothing was sent\n";
        return kNoAnswer;
    }

    if (o.action == PointsOptions::Action::Show) {
        int missing = 0;
        for (int i = 0; i < maps::kPoints; ++i) {
            if (read->answered.points[At(i)]) continue;
            ++missing;
            context.err << "sequaflow-cli: no valid answer for point " << i << '\n';
        }
        if (o.json) {
            PrintPointsJson(context.out, *read);
            context.out << '\n';
        } else {
            PrintPointsText(context.out, *read);
            context.out << "Raw words:";
            for (int i = 0; i < maps::kPoints; ++i)
                context.out << ' ' << (read->answered.points[At(i)] ? std::to_string(read->model.point(i) & 0xFFFF) : "?");
            context.out << '\n';
        }
        return missing == 0 ? kOk : kNoAnswer;
    }

    // The texts of the points to change; the others keep the controller's words exactly.
    std::array<std::optional<std::string>, maps::kPoints> texts;
    if (o.action == PointsOptions::Action::Preset) {
        const auto& preset = maps::kPointPresets[At(o.preset)];
        for (int k = 0; k < maps::kSpeedPoints; ++k) texts[At(k)] = std::to_string(preset.rpm[At(k)]);
        for (int k = 0; k < maps::kTimePoints; ++k)
            texts[At(maps::kSpeedPoints + k)] = maps::PresetTimeText(preset.tenthsMs[At(k)], kCliDecimalSeparator);
    } else {
        if (o.rpm)
            for (int k = 0; k < maps::kSpeedPoints; ++k) texts[At(k)] = (*o.rpm)[At(k)];
        if (o.ms)
            for (int k = 0; k < maps::kTimePoints; ++k) texts[At(maps::kSpeedPoints + k)] = (*o.ms)[At(k)];
    }
    for (int i = 0; i < maps::kPoints; ++i) {
        if (texts[At(i)] || read->answered.points[At(i)]) continue;
        context.err << "sequaflow-cli: no valid answer for point " << i
                    << ", which would be sent again as it is; nothing was sent\n";
        return kNoAnswer;
    }
    std::array<std::uint32_t, maps::kPoints> values{};
    if (const auto why = CheckConverted(*read, texts, values)) {
        (void)UsageError(context, "points: " + *why + "; nothing was sent");
        return kUsage;
    }

    MapRead before = *read;
    ProgressBar bar(context);
    SequenceTrail trail;
    const SequenceControl control = context.control(trail.watch(bar.callback()));
    bool all = true;
    for (const auto& t : texts) all = all && t.has_value();
    SequenceResult result;
    if (all) {
        // Every point from its text, as the point editor's "Zapisz" sends them.
        std::array<std::string, maps::kPoints> full;
        for (int i = 0; i < maps::kPoints; ++i) full[At(i)] = *texts[At(i)];
        auto sent = maps::WritePoints(link, read->model, std::span<const std::string, maps::kPoints>(full), read->image, control);
        if (!sent) {
            (void)UsageError(context, "points: " + sent.error().detail + "; nothing was sent");
            return kUsage;
        }
        result = *sent;
    } else {
        for (int i = 0; i < maps::kPoints; ++i) read->model.setPoint(i, values[At(i)]);
        result = maps::SendPoints(link, read->model, control);
    }
    bar.finish();
    if (const int stopped = ReportStopOn(context, link, result, trail, "the points write", true); stopped != kOk)
        return stopped;
    for (int i = 0; i < maps::kPoints; ++i) read->answered.points[At(i)] = read->model.point(i);  // all 17 were sent
    context.out << "Sent the 17 points.\nBefore:\n";
    PrintPointsText(context.out, before);
    context.out << "Now:\n";
    PrintPointsText(context.out, *read);
    return kOk;
}

int RunPoints(Context& context, Args args) {
    return RunOnSession(context, args, ParsePointsArgs, [&](Session& session, const auto& options) {
        return RunPointsOn(context, session.link(), options);
    });
}

}  // namespace sequaflow::cli
