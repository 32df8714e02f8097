#include "cli/config_snapshot.h"

#include "link/sequence_run.h"

#include <ostream>

#include "maps/map_transfer.h"
#include "params/parameter_reader.h"

namespace sequaflow::cli {
namespace {

constexpr std::size_t At(int i) { return static_cast<std::size_t>(i); }
constexpr std::int64_t kCounterSlackSeconds = 3600;

template <typename T>
void JsonValue(std::ostream& out, const std::optional<T>& v) {
    if (v) out << *v;
    else out << "null";
}

template <typename T, std::size_t N>
void JsonArray(std::ostream& out, const std::array<std::optional<T>, N>& a) {
    out << '[';
    for (std::size_t i = 0; i < N; ++i) {
        if (i) out << ',';
        JsonValue(out, a[i]);
    }
    out << ']';
}

std::string CellName(int index) {
    return std::to_string(index / maps::kColumns) + "," + std::to_string(index % maps::kColumns);
}

}  // namespace

std::vector<std::string> ConfigSnapshot::missing() const {
    std::vector<std::string> names;
    if (fromController && !identification) names.emplace_back("identification");
    if (fromController && !serial) names.emplace_back("serial number");
    for (std::size_t n = 0; n < parameters.size(); ++n)
        if (!parameters[n]) names.push_back("parameter " + std::to_string(n));
    for (std::size_t k = 0; k < points.size(); ++k)
        if (!points[k]) names.push_back("point " + std::to_string(k));
    for (std::size_t i = 0; i < advanced.size(); ++i)
        if (!advanced[i]) names.push_back("advanced map cell " + CellName(static_cast<int>(i)) + " (row,column)");
    for (std::size_t k = 0; k < standard.size(); ++k)
        if (!standard[k]) names.push_back("standard map cell " + std::to_string(k));
    if (fromController)
        for (std::size_t w = 0; w < recordWords.size(); ++w)
            if (!recordWords[w]) names.push_back("record word " + std::to_string(w));
    return names;
}

bool ConfigSnapshot::completeForFile() const {
    const auto all = [](const auto& a) {
        for (const auto& v : a)
            if (!v) return false;
        return true;
    };
    return all(parameters) && all(points) && all(advanced) && all(standard);
}

ConfigSnapshot ReadSnapshot(link::Link& link, params::ParameterImage& image, maps::MapModel& model,
                            const SequenceControl& control) {
    ConfigSnapshot s;
    s.fromController = true;
    link::SequenceRun run(link, control);
    if (!run.goOn()) {
        s.sequence = run.result();
        return s;
    }
    link.discardStaleInput();
    s.identification = link::ReadIdentification(link);
    std::uint16_t serial = 0;
    if (link::ReadSerialNumber(link, serial)) s.serial = serial;

    const auto paramReport = params::ReadParameterSet(link, image, control);
    if (!run.absorb(paramReport.sequence)) {
        s.sequence = run.result();
        return s;
    }
    params::RefreshShadowsAfterRead(image);
    model.applyTurboFlag(image);
    for (int n = 0; n < static_cast<int>(params::kParameterCount); ++n)
        if (paramReport.valid[At(n)]) s.parameters[At(n)] = image.slot(n);

    const auto mapReport = maps::ReadMaps(link, model, control);
    for (int k = 0; k < maps::kPoints; ++k)
        if (mapReport.points[At(k)]) s.points[At(k)] = model.point(k);
    for (int i = 0; i < maps::kCells; ++i)
        if (mapReport.cells[At(i)]) s.advanced[At(i)] = maps::CellValue(model.advanced()[At(i)]);
    for (int k = 0; k < maps::kStdCells; ++k)
        if (mapReport.standard[At(k)]) s.standard[At(k)] = model.stdCell(k);

    if (run.absorb(mapReport.sequence)) {
        for (int w = 0; w < 64; ++w) {
            if (!run.step("Dane", w + 1, 64)) break;
            s.recordWords[At(w)] = link::ReadRecordWord(link, static_cast<std::uint8_t>(w));
        }
    }
    (void)run.goOn();
    s.sequence = run.result();
    return s;
}

ConfigSnapshot SnapshotOfFile(const params::ParameterFileContent& content) {
    ConfigSnapshot s;
    for (std::size_t n = 0; n < content.parameters.size(); ++n) s.parameters[n] = content.parameters[n];
    for (std::size_t k = 0; k < content.points.size(); ++k) s.points[k] = content.points[k];
    for (std::size_t i = 0; i < content.advanced.size(); ++i) s.advanced[i] = maps::CellValue(content.advanced[i]);
    for (std::size_t k = 0; k < content.standard.size(); ++k) s.standard[k] = maps::CellValue(content.standard[k]);
    return s;
}

void PrintJson(std::ostream& out, const ConfigSnapshot& s) {
    out << '{';
    if (s.fromController) {
        out << "\"hardware\":";
        JsonValue(out, s.identification ? std::optional<int>(s.identification->hardware) : std::nullopt);
        out << ",\"software\":";
        JsonValue(out, s.identification ? std::optional<int>(s.identification->software) : std::nullopt);
        out << ",\"serial\":";
        JsonValue(out, s.serial);
        out << ',';
    }
    out << "\"parameters\":";
    JsonArray(out, s.parameters);
    out << ",\"points\":";
    JsonArray(out, s.points);
    out << ",\"advanced_map\":[";
    for (int r = 0; r < maps::kRows; ++r) {
        if (r) out << ',';
        out << '[';
        for (int c = 0; c < maps::kColumns; ++c) {
            if (c) out << ',';
            JsonValue(out, s.advanced[At(7 * r + c)]);
        }
        out << ']';
    }
    out << "],\"standard_map\":";
    JsonArray(out, s.standard);
    if (s.fromController) {
        out << ",\"record_words\":";
        JsonArray(out, s.recordWords);
    }
    out << "}\n";
}

void PrintText(std::ostream& out, const ConfigSnapshot& s) {
    const auto text = [](const auto& v) { return v ? std::to_string(*v) : std::string("-"); };
    if (s.fromController) {
        out << "hardware: " << (s.identification ? std::to_string(s.identification->hardware) : "-") << '\n'
            << "software: " << (s.identification ? std::to_string(s.identification->software) : "-") << '\n'
            << "serial: " << text(s.serial) << '\n';
    }
    out << "parameters:";
    for (std::size_t n = 0; n < s.parameters.size(); ++n) out << (n % 8 ? " " : "\n  ") << text(s.parameters[n]);
    out << "\npoints:\n ";
    for (const auto& p : s.points) out << ' ' << text(p);
    out << "\nadvanced map (rows: injection-time segments, columns: engine-speed segments):";
    for (int r = 0; r < maps::kRows; ++r) {
        out << "\n ";
        for (int c = 0; c < maps::kColumns; ++c) {
            const auto& v = s.advanced[At(7 * r + c)];
            out << ' ' << (v ? maps::GridCellText(*v) : "-");
        }
    }
    out << "\nstandard map:\n ";
    for (const auto& v : s.standard) out << ' ' << (v ? maps::GridCellText(*v) : "-");
    out << '\n';
    if (s.fromController) {
        out << "record words:";
        for (std::size_t w = 0; w < s.recordWords.size(); ++w) out << (w % 8 ? " " : "\n  ") << text(s.recordWords[w]);
        out << '\n';
    }
}

std::vector<std::string> CompareWithSent(const params::ParameterImage& sent, const maps::MapModel& sentModel,
                                         const ConfigSnapshot& readBack) {
    std::vector<std::string> lines;
    const auto differs = [&](const std::string& what, long expected, const auto& got) {
        if (!got) lines.push_back(what + ": no valid answer (sent " + std::to_string(expected) + ")");
        else if (static_cast<long>(*got) != expected)
            lines.push_back(what + ": sent " + std::to_string(expected) + ", the controller holds " + std::to_string(*got));
    };
    // The work-time counters (seconds in 35:36 and 37:38) keep counting while the engine runs: a count that
    // moved on by a little is the controller's own doing, not a value it refused.
    const auto counterMovedOn = [&](int high) {
        const auto& h = readBack.parameters[At(high)];
        const auto& l = readBack.parameters[At(high + 1)];
        if (!h || !l) return false;
        const auto sentCount = static_cast<std::int64_t>(sent.wire(high)) << 16 | sent.wire(high + 1);
        const auto readCount = static_cast<std::int64_t>(*h & 0xFFFF) << 16 | (*l & 0xFFFF);
        return readCount >= sentCount && readCount - sentCount <= kCounterSlackSeconds;
    };
    const bool petrolCounting = counterMovedOn(35);
    const bool gasCounting = counterMovedOn(37);
    for (int n = 0; n < static_cast<int>(params::kParameterCount); ++n) {
        if ((petrolCounting && (n == 35 || n == 36)) || (gasCounting && (n == 37 || n == 38))) continue;
        // Parameter 0 always goes out as the programmed marker.
        const auto word = n == 0 ? params::kProgrammedMarker : sent.wire(n);
        const std::optional<std::uint16_t> got =
            readBack.parameters[At(n)] ? std::optional<std::uint16_t>(static_cast<std::uint16_t>(*readBack.parameters[At(n)] & 0xFFFF))
                                       : std::nullopt;
        differs("parameter " + std::to_string(n), word, got);
    }
    for (int k = 0; k < maps::kPoints; ++k)
        differs("point " + std::to_string(k), static_cast<long>(sentModel.point(k) & 0xFFFF), readBack.points[At(k)]);
    for (int i = 0; i < maps::kCells; ++i)
        differs("advanced map cell " + CellName(i), maps::CellValue(sentModel.advanced()[At(i)]), readBack.advanced[At(i)]);
    for (int k = 0; k < maps::kStdCells; ++k)
        differs("standard map cell " + std::to_string(k), sentModel.stdCell(k), readBack.standard[At(k)]);
    return lines;
}

params::ProgressFn ProgressBar::callback() {
    if (!context_.errIsTerminal) return {};
    return [this](const params::ProgressStep& step) {
        constexpr int kWidth = 30;
        const int filled = step.maximum > 0 ? step.position * kWidth / step.maximum : 0;
        context_.err << '\r' << step.phase;
        for (std::size_t i = step.phase.size(); i < 8; ++i) context_.err << ' ';
        context_.err << " [" << std::string(static_cast<std::size_t>(filled), '#')
                     << std::string(static_cast<std::size_t>(kWidth - filled), '.') << "] " << step.position << '/'
                     << step.maximum << "   " << std::flush;
        drawn_ = true;
    };
}

void ProgressBar::finish() {
    if (drawn_) context_.err << "\r\033[K" << std::flush;
    drawn_ = false;
}

int ReportReadBack(Context& context, Session& session, const params::ParameterImage& sent,
                   const maps::MapModel& sentModel, ProgressBar& bar) {
    params::ParameterImage readImage;
    maps::MapModel readModel;
    const ConfigSnapshot readBack = ReadSnapshot(session.link(), readImage, readModel, context.control(bar.callback()));
    bar.finish();
    if (const int rc = session.reportSequence(context, readBack.sequence, "the read-back", false); rc != kOk) return rc;
    const auto differences = CompareWithSent(sent, sentModel, readBack);
    for (const auto& line : differences) context.err << "sequaflow-cli: read-back: " << line << '\n';
    if (!differences.empty()) {
        context.err << "sequaflow-cli: " << differences.size() << " value(s) not confirmed by the controller\n";
        return kNoAnswer;
    }
    return kOk;
}

std::optional<params::ParameterFileContent> LoadFileOrReport(Context& context, const std::string& path) {
    auto content = params::ReadParameterFile(path);
    if (!content) {
        context.err << "sequaflow-cli: cannot use the parameter file " << content.error().detail << '\n';
        return std::nullopt;
    }
    return *content;
}

std::optional<ConfigSnapshot> ReadWithProgress(Context& context, Session& session, params::ParameterImage& image,
                                               maps::MapModel& model, int& exitCode) {
    ProgressBar bar(context);
    ConfigSnapshot snapshot;
    exitCode = RunWithProgress(context, session, bar, "the read", false, [&](const SequenceControl& control) {
        snapshot = ReadSnapshot(session.link(), image, model, control);
        return snapshot.sequence;
    });
    if (exitCode != kOk) return std::nullopt;
    return snapshot;
}

}  // namespace sequaflow::cli
