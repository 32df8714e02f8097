#include <cstdio>
#include <ctime>
#include <map>
#include <ostream>
#include <utility>

#include "cli/cli_commands.h"
#include "cli/config_snapshot.h"
#include "cli/report_command.h"
#include "cli/setting_output.h"
#include "i18n/caption_table.h"
#include "i18n/message_ids.h"
#include "i18n/message_store.h"
#include "link/connection.h"
#include "params/parameter_file.h"
#include "params/parameter_settings.h"
#include "params/setting_keys.h"
#include "record/config_report.h"
#include "record/text_pdf.h"
#include "record/vehicle_entry.h"
#include "record/vehicle_record.h"

namespace sequaflow::cli {
namespace {

using Control = std::pair<std::string, std::string>;

// The controls of the report that show a setting, by the setting's key.
struct SettingControl {
    std::string_view form;
    std::string_view control;
    std::string_view key;
};
constexpr SettingControl kSettingControls[] = {
    {"TForm1", "ComboBoxRodzajWtrysku", "injector_type"},
    {"TForm1", "ComboBoxCewka", "ignition_type"},
    {"TForm1", "EditParametryMaxInj", "max_gas_time_ms"},
    {"TForm1", "EditMinimalnyCzasWtrysku", "min_gas_opening_ms"},
    {"TForm1", "EditMinTempPrzel", "min_switch_temperature_c"},
    {"TForm1", "EditRPMprzelNaLPG", "switch_speed_rpm"},
    {"TForm1", "EditWspolneCykle", "common_cycles"},
    {"TForm1", "EditWzbogacanieMieszanki", "mixture_correction_pct"},
    {"TForm1", "EditPrzesuniecie", "idle_correction_ms"},
    {"TForm1", "EditMaxRpm", "speed_limit_rpm"},
    {"TForm1", "ComboBoxMaxRpm", "speed_limit_on"},
    {"TForm1", "ComboBoxSzkielkoRezerwy", "tank_sensor_type"},
    {"TForm1", "EditOdswiezanieOczka", "tank_refresh_s"},
    {"TForm1", "ComboBoxSondaLambda1", "lambda1_type"},
    {"TForm1", "ComboBoxSondaLambda2", "lambda2_type"},
    {"TForm1", "ComboBoxRodzajCzTemp", "reducer_sensor_type"},
    {"TForm1", "ComboBoxPodcisnienieReduktora", "reducer_vacuum"},
    {"TForm1", "EditCzasWtryskuPrzyObciazeniu", "petrol_injection_type"},
    {"TForm1", "EditCisnienieWylaczenia", "return_pressure_bar"},
    {"TForm1", "EditCzasPowrotuNaBenz", "return_delay_s"},
    {"TForm1", "EditCisnienieBeep", "buzzer_pressure_bar"},
    {"TForm1", "ComboBoxRozgrzewanieWtryskiwacza", "injector_heating"},
    {"TForm1", "ComboBoxSilaRozgrzewaniaWtrysku", "heating_strength"},
    {"TForm1", "ComboBoxMrozGaz", "gas_cutoff_temperature"},
    {"TForm1", "ComboBoxMrozRed", "reducer_cutoff_temperature"},
    {"TForm1", "EditOnTimeToInjTime", "gas_on_delay_s"},
    {"TForm1", "EditPelneOtwarcie", "full_opening_ms"},
    {"TForm1", "EditProcentowePodtrzymanie", "holding_current_pct"},
    {"TForm1", "EditOpoznienieWtryskiwaczy", "gas_injection_delay_ms"},
    {"TForm1", "ComboBoxFiltrowanieCisnienia", "pressure_filter"},
    {"TForm1", "EditPrzesuniecie2", "extra_correction_ms"},
    {"TForm1", "ComboBoxDeltaRpm", "speed_drop"},
};

// Captions of main-window controls that no language file changes.
constexpr std::pair<std::string_view, std::string_view> kFixedCaptions[] = {
    {"Label5", "Urządzenie:"},     {"Label6", "Oprogramowanie:"}, {"Label7", "Liczba cylindrów:"},
    {"Label8", "Numer seryjny:"}, {"LabelPrzesuniecie2", "[ms]"},
};

std::string BuiltInCaption(std::string_view form, std::string_view control) {
    for (const auto& row : i18n::CaptionTable())
        for (const auto& t : row.targets())
            if ((t.kind == i18n::TargetKind::ControlCaption || t.kind == i18n::TargetKind::MenuCaption) &&
                t.form == form && t.control == control)
                return std::string(row.polish);
    if (form == i18n::kMainForm)
        for (const auto& [name, text] : kFixedCaptions)
            if (name == control) return std::string(text);
    return {};
}

std::string BuiltInEntry(std::string_view form, std::string_view control, int entry) {
    for (const auto& row : i18n::CaptionTable())
        for (const auto& t : row.targets())
            if (t.kind == i18n::TargetKind::ListEntry && t.form == form && t.control == control && t.entry == entry)
                return std::string(row.polish);
    return {};
}

std::string Stamp(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[64];
    return std::strftime(buffer, sizeof buffer, format, &local) ? buffer : "";
}

// The report's view of a read: the built-in captions, and the values the screens would show for it.
class ReadReportSource final : public record::ReportSource {
public:
    ReadReportSource(const ConfigSnapshot& s, const std::optional<params::ProgramState>& state) {
        if (s.identification) {
            const auto hw = s.identification->hardware;
            const auto sw = s.identification->software;
            main("EditUrzadzenie", link::DeviceText(hw));
            main("EditLiczbaCyl", link::CylinderText(hw));
            main("EditOprogramowanie", link::SoftwareText(sw));
            reducerSensorShown_ = params::ReducerSensorVisible(hw, sw);
        }
        if (s.serial) main("EditSerialNumber", std::to_string(*s.serial));
        addVehicle(s);
        if (state) addSettings(*state);
    }

    std::string controlText(std::string_view form, std::string_view control) const override {
        const auto it = values_.find({std::string(form), std::string(control)});
        return it != values_.end() ? it->second : BuiltInCaption(form, control);
    }
    std::optional<int> selectedIndex(std::string_view form, std::string_view control) const override {
        const auto it = indexes_.find({std::string(form), std::string(control)});
        if (it == indexes_.end()) return std::nullopt;
        return it->second;
    }
    bool isVisible(std::string_view form, std::string_view control) const override {
        if (form == i18n::kMainForm && control == "LambaRodzajCzTemp") return reducerSensorShown_;
        return true;
    }
    std::string messageText(int id) const override { return std::string(messages_.text(id)); }
    std::string dateText() const override { return Stamp("%Y-%m-%d"); }
    std::string timeText() const override { return Stamp("%H:%M:%S"); }

private:
    void main(std::string control, std::string text) { values_[{"TForm1", std::move(control)}] = std::move(text); }
    void dialog(std::string control, std::string text) { values_[{"TForm5", std::move(control)}] = std::move(text); }

    void addVehicle(const ConfigSnapshot& s) {
        bool anyWord = false;
        for (const auto& w : s.recordWords) anyWord = anyWord || w.has_value();
        if (!anyWord) return;
        // Installation words that did not answer show as no choice, as a blank controller's do.
        record::VehicleRecord vehicle;
        vehicle.word62 = vehicle.word63 = 0xFFFF;
        record::AdoptRecordWords(vehicle, s.recordWords);
        const record::VehicleEntry entry = record::EntryOf(vehicle);
        using TF = record::TextField;
        const std::pair<TF, const char*> texts[] = {{TF::Registration, "NrRejEdit"}, {TF::Make, "MarkaEdit"},
                                                    {TF::Model, "ModelEdit"},        {TF::Installer, "OpisEdit"},
                                                    {TF::Year, "DataRokEdit"},       {TF::Month, "DataMiesEdit"},
                                                    {TF::Day, "DataDzienEdit"}};
        for (const auto& [field, name] : texts) dialog(name, entry.text(field));
        using LF = record::ListField;
        const std::pair<LF, const char*> lists[] = {
            {LF::Layout, "ComboBox2"}, {LF::Cylinders, "ComboBox3"}, {LF::Capacity, "ComboBox1"}, {LF::Nozzle, "ComboBox4"}};
        for (const auto& [list, name] : lists) {
            const auto index = entry.list(list);
            const auto text = index ? record::ListEntryText(list, *index) : std::nullopt;
            dialog(name, text ? *text : std::string(messages_.text(i18n::msg::NoData)));
        }
    }

    void addSettings(const params::ProgramState& state) {
        const params::SpeedTexts speedTexts = params::SpeedTextsOf(state);
        for (const auto& c : kSettingControls) {
            const params::SettingKey* key = params::FindSettingKey(c.key);
            if (key == nullptr) continue;
            const params::ShownSetting shown = params::ShowSetting(state, *key, speedTexts);
            const Control where{std::string(c.form), std::string(c.control)};
            values_[where] = shown.text.value_or("");
            if (shown.index) indexes_[where] = *shown.index;
        }
        // The buzzer list names "on" first: it repeats the check box rather than listing the setting's items.
        if (const params::SettingKey* key = params::FindSettingKey("buzzer")) {
            const bool on = params::ShowSetting(state, *key, speedTexts).index == 1;
            main("ComboBoxBuzzer", BuiltInEntry(i18n::kMainForm, "ComboBoxBuzzer", on ? 0 : 1));
        }
    }

    i18n::MessageStore messages_;
    std::map<Control, std::string> values_;
    std::map<Control, int> indexes_;
    bool reducerSensorShown_ = false;
};

// The report on A4 as a 600 dpi printer would place it.
constexpr int kDpi = 600;
constexpr double kPointsPerUnit = 72.0 / kDpi;
constexpr int kPageHeightUnits = static_cast<int>(record::kA4HeightPt / kPointsPerUnit);
constexpr double kFontPt = 10;

int WritePdf(Context& context, const std::vector<std::string>& lines, const std::string& path) {
    const auto layout = record::LayOutReport(lines.size(), record::kReportTop, record::kReportStep,
                                             record::kReportStep, kPageHeightUnits);
    std::vector<record::PdfTextLine> placed;
    for (std::size_t i = 0; i < lines.size(); ++i)
        placed.push_back({layout[i].page, record::kReportLeft * kPointsPerUnit, layout[i].y * kPointsPerUnit,
                          record::ExpandTabs(lines[i])});
    const record::PdfDocument doc = record::WriteTextPdf(placed, kFontPt);

    const auto written =
        params::WriteFileReplacing(path, std::string_view(doc.bytes.data(), doc.bytes.size()));
    if (!written) {
        context.err << "sequaflow-cli: cannot write the report " << written.error().detail << '\n';
        return kFileError;
    }
    if (doc.replaced > 0)
        context.err << "sequaflow-cli: " << doc.replaced
                    << " character(s) the PDF font cannot show are printed as '?'\n";
    context.out << "report written to " << path << " (" << doc.pageCount << (doc.pageCount == 1 ? " page" : " pages")
                << ")\n";
    return kOk;
}

}  // namespace

std::optional<ReportOptions> ParseReportArgs(Context& context, Args args) {
    ReportOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--pdf") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                (void)UsageError(context, "report: --pdf needs a file name");
                return std::nullopt;
            }
            options.pdf = args[++i];
        } else {
            (void)UsageError(context, "report: unknown option '" + args[i] + "'");
            return std::nullopt;
        }
    }
    return options;
}

int RunReportOn(Context& context, link::Link& link, const ReportOptions& options) {
    params::ParameterImage image;
    maps::MapModel model;
    const ConfigSnapshot snapshot = ReadSnapshot(link, image, model, context.control({}));
    if (!snapshot.sequence.completed()) {
        if (context.stopRequested()) {
            context.err << "sequaflow-cli: the read was cancelled" << CancelledBy(context.stopSignal()) << '\n';
            return kCancelled;
        }
        context.err << "sequaflow-cli: the read stopped: the controller's port went away\n";
        return kPortError;
    }
    bool anything = snapshot.identification.has_value();
    for (const auto& p : snapshot.parameters) anything = anything || p.has_value();
    if (!anything) {
        context.err << "sequaflow-cli: no valid answer from a controller\n";
        return kNoAnswer;
    }
    const auto state = StateOfSnapshot(snapshot);
    if (!state)
        context.err << "sequaflow-cli: not every parameter answered; the settings' values are left empty\n";
    for (const auto& name : snapshot.missing()) context.err << "sequaflow-cli: no valid answer for " << name << '\n';

    const ReadReportSource source(snapshot, state);
    const std::vector<std::string> lines = record::BuildPrintedReport(source);
    if (options.pdf) return WritePdf(context, lines, *options.pdf);
    for (const auto& line : lines) context.out << line << '\n';
    return kOk;
}

int RunReport(Context& context, Args args) {
    return RunOnSession(context, args, ParseReportArgs, [&](Session& session, const auto& options) {
        return RunReportOn(context, session.link(), options);
    });
}

}  // namespace sequaflow::cli
