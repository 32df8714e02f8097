#include "cli/config_snapshot.h"

#include <algorithm>
#include <ostream>

#include "cli/setting_output.h"
#include "link/sequence_run.h"
#include "maps/map_transfer.h"
#include "params/file_plausibility.h"
#include "params/parameter_numbers.h"
#include "params/parameter_reader.h"

namespace sequaflow::cli {
namespace {

constexpr std::size_t At(int i) { return static_cast<std::size_t>(i); }

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

params::ReadStatus ConfigSnapshot::readStatus() const {
    if (!fromController) return params::ReadStatus::File;
    return sequence.completed() && completeForFile() ? params::ReadStatus::Complete : params::ReadStatus::Partial;
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
    params::RefreshShadowsAfterRead(image, model);
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
    run.finish();
    s.sequence = run.result();
    return s;
}

ConfigSnapshot SnapshotOfFile(const params::ParameterFileContent& content) {
    ConfigSnapshot s;
    static_cast<params::Configuration&>(s) = params::ConfigurationOfFile(content);
    return s;
}

std::optional<params::ProgramState> StateOfSnapshot(const ConfigSnapshot& s) {
    params::ProgramState state;
    state.decimalSeparator = kCliDecimalSeparator;
    state.readStatus = s.fromController ? params::ReadStatus::Complete : params::ReadStatus::File;
    for (int n = 0; n < static_cast<int>(params::kParameterCount); ++n) {
        if (!s.parameters[At(n)]) return std::nullopt;
        state.image.setSlot(n, *s.parameters[At(n)]);
    }
    for (int k = 0; k < maps::kPoints; ++k)
        if (s.points[At(k)]) state.maps.setPoint(k, *s.points[At(k)]);
    state.image.refreshShadow(params::FlagsWord::First);
    params::RefreshShadowsAfterRead(state.image, state.maps);
    record::AdoptRecordWords(state.vehicle, s.recordWords);
    return state;
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
    // The same words under their keys, with the texts the screens would show; only for a whole set, as
    // every text may depend on other parameters (the clock flag, the ignition type).
    out << ",\"settings\":";
    if (const auto state = StateOfSnapshot(s)) PrintSettingsJson(out, ShowAllSettings(*state));
    else out << "null";
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

std::vector<std::string> ReadBackLines(std::span<const params::Difference> differences, std::string_view expected) {
    std::vector<std::string> lines;
    for (const auto& d : differences) {
        const std::string want = std::string(expected) + " " + params::SideText(d, true);
        if (!d.textB) lines.push_back(params::ItemName(d.item) + ": no valid answer (" + want + ")");
        else lines.push_back(params::ItemName(d.item) + ": " + want + ", the controller holds " + params::SideText(d, false));
    }
    return lines;
}

std::vector<std::string> CompareWithSent(const params::ParameterImage& sent, const maps::MapModel& sentModel,
                                         const ConfigSnapshot& readBack) {
    return ReadBackLines(params::CompareHeld(params::ConfigurationOfScreen(sent, sentModel), readBack,
                                             kCliDecimalSeparator),
                         "sent");
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

SequenceResult RereadUnanswered(link::Link& link, ConfigSnapshot& s, maps::MapModel& model,
                                const SequenceControl& control) {
    link::SequenceRun run(link, control);
    const auto unanswered = [](const auto& a) { return static_cast<int>(std::count(a.begin(), a.end(), std::nullopt)); };
    params::ParameterImage image;  // decodes a word as the first read did
    int i = 0;
    const int params = unanswered(s.parameters);
    for (int n = 0; n < static_cast<int>(params::kParameterCount); ++n) {
        if (s.parameters[At(n)]) continue;
        if (!run.step("Param.", ++i, params)) return run.result();
        if (const auto word = link::ReadParamWord(link, static_cast<std::uint8_t>(n))) {
            image.storeWord(n, *word);
            s.parameters[At(n)] = image.slot(n);
        }
    }
    i = 0;
    const int points = unanswered(s.points);
    for (int k = 0; k < maps::kPoints; ++k) {
        if (s.points[At(k)]) continue;
        if (!run.step("Mapa 1", ++i, points)) return run.result();
        if (const auto v = link::ReadShort(link, link::ShortRead::PointRead, static_cast<std::uint8_t>(k))) {
            model.setPoint(k, *v);
            s.points[At(k)] = model.point(k);
        }
    }
    i = 0;
    const int cells = unanswered(s.advanced);
    for (int c = 0; c < maps::kColumns; ++c) {
        for (int r = 0; r < maps::kRows; ++r) {
            const int index = maps::kColumns * r + c;
            if (s.advanced[At(index)]) continue;
            if (!run.step("Mapa 1p", ++i, cells)) return run.result();
            if (const auto v = link::ReadShort(link, link::ShortRead::GridCellRead, static_cast<std::uint8_t>(r),
                                               static_cast<std::uint8_t>(c))) {
                model.setCellByte(r, c, static_cast<std::uint8_t>(*v));
                s.advanced[At(index)] = model.cell(r, c);
            }
        }
    }
    i = 0;
    const int standard = unanswered(s.standard);
    for (int k = 0; k < maps::kStdCells; ++k) {
        if (s.standard[At(k)]) continue;
        if (!run.step("Mapa 2", ++i, standard)) return run.result();
        if (const auto v = link::ReadShort(link, link::ShortRead::StdMapRead, static_cast<std::uint8_t>(k))) {
            model.setStdByte(k, static_cast<std::uint8_t>(*v));
            s.standard[At(k)] = model.stdCell(k);
        }
    }
    run.finish();
    return run.result();
}

ReadBackResult ReadBack(link::Link& link, const params::Configuration& expected, std::string_view expectedLabel,
                        const SequenceControl& control) {
    ReadBackResult r;
    link::SequenceRun run(link, control);
    params::ParameterImage readImage;
    maps::MapModel readModel;
    ConfigSnapshot readBack = ReadSnapshot(link, readImage, readModel, control);
    // A busy controller now and then misses a reply: one more question before a value counts as unconfirmed.
    if (run.absorb(readBack.sequence)) (void)run.absorb(RereadUnanswered(link, readBack, readModel, control));
    r.sequence = run.result();
    if (!r.sequence.completed()) return r;
    r.held = params::CompareHeld(expected, readBack, kCliDecimalSeparator);
    r.differences = ReadBackLines(r.held, expectedLabel);
    return r;
}

ReadBackResult ReadBack(link::Link& link, const params::ParameterImage& sent, const maps::MapModel& sentModel,
                        const SequenceControl& control) {
    return ReadBack(link, params::ConfigurationOfScreen(sent, sentModel), "sent", control);
}

int ReportReadBack(Context& context, Session& session, const params::Configuration& expected,
                   std::string_view expectedLabel, ProgressBar& bar) {
    ReadBackResult result;
    const int rc = RunWithProgress(context, session, bar, "the read-back", false, [&](const SequenceControl& control) {
        result = ReadBack(session.link(), expected, expectedLabel, control);
        return result.sequence;
    });
    if (rc != kOk) {
        context.err << "sequaflow-cli: everything was sent, but the read-back that confirms it did not finish\n";
        return rc;
    }
    for (const auto& line : result.differences) context.err << "sequaflow-cli: read-back: " << line << '\n';
    if (result.held.empty()) return kOk;
    const auto unanswered = static_cast<std::size_t>(
        std::count_if(result.held.begin(), result.held.end(), [](const params::Difference& d) { return !d.textB; }));
    if (unanswered < result.held.size()) {
        context.err << "sequaflow-cli: the controller holds " << result.held.size() - unanswered
                    << " value(s) other than " << (expectedLabel == "sent" ? "those sent" : "the file") << '\n';
        if (unanswered) context.err << "sequaflow-cli: " << unanswered << " value(s) not confirmed by the controller\n";
        return kHeldDifferently;
    }
    context.err << "sequaflow-cli: " << unanswered << " value(s) not confirmed by the controller\n";
    return kNoAnswer;
}

int ReportReadBack(Context& context, Session& session, const params::ParameterImage& sent,
                   const maps::MapModel& sentModel, ProgressBar& bar) {
    return ReportReadBack(context, session, params::ConfigurationOfScreen(sent, sentModel), "sent", bar);
}

bool RefuseImplausible(Context& context, const params::ParameterFileContent& content, std::string_view path,
                       bool force, std::string_view what) {
    const auto problems = params::CheckPlausibility(content);
    if (problems.empty()) return false;
    context.err << "sequaflow-cli: " << path << " does not look like a parameter file: "
                << params::FirstImplausibleText(problems) << '\n';
    if (force) {
        context.err << "sequaflow-cli: --force: " << what << " anyway\n";
        return false;
    }
    context.err << "sequaflow-cli: nothing was " << what << "; --force " << (what == "sent" ? "sends" : "shows")
                << " it anyway\n";
    return true;
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
