#include "record/config_report.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>

#include "link/connection.h"

namespace sequaflow::record {
namespace {

using C = ReportColour;

constexpr ReportPart Msg(int id) { return {PartKind::Message, {}, {}, id}; }
constexpr ReportPart Main(std::string_view control) { return {PartKind::ControlText, kReportMainForm, control, 0}; }
constexpr ReportPart Of(std::string_view form, std::string_view control) {
    return {PartKind::ControlText, form, control, 0};
}
constexpr ReportPart Index(std::string_view control) { return {PartKind::ListIndex, kReportMainForm, control, 0}; }
constexpr ReportPart Lit(std::string_view text) { return {PartKind::Literal, {}, text, 0}; }
constexpr ReportPart kDate{PartKind::Date, {}, {}, 0};
constexpr ReportPart kTime{PartKind::Time, {}, {}, 0};
constexpr ReportPart kVersion{PartKind::Version, {}, {}, 0};

constexpr std::string_view T1 = "\t", T2 = "\t\t", T3 = "\t\t\t", T4 = "\t\t\t\t";
constexpr std::string_view S1 = " ";

constexpr ReportLineSpec Line(int number, ReportColour colour, ReportPart consoleLabel, ReportPart printLabel,
                              std::string_view consoleSep, std::string_view printSep,
                              std::initializer_list<ReportPart> values, std::string_view suffix = {},
                              std::string_view shownWhile = {}) {
    ReportLineSpec l;
    l.number = number;
    l.colour = colour;
    l.consoleLabel = consoleLabel;
    l.printLabel = printLabel;
    l.consoleSeparator = consoleSep;
    l.printSeparator = printSep;
    for (const ReportPart& v : values) l.values[l.valueCount++] = v;
    l.suffix = suffix;
    l.shownWhile = shownWhile;
    return l;
}
// The same label on screen and on paper.
constexpr ReportLineSpec Line(int number, ReportColour colour, ReportPart label, std::string_view consoleSep,
                              std::string_view printSep, std::initializer_list<ReportPart> values,
                              std::string_view suffix = {}, std::string_view shownWhile = {}) {
    return Line(number, colour, label, label, consoleSep, printSep, values, suffix, shownWhile);
}

constexpr std::string_view F5 = "TForm5", F9 = "TForm9", F10 = "TForm10", F11 = "TForm11";

// The injector settings come from the main window's editors: the dialog's fields are copies filled only
// while it is open, so they would report nothing or an old value.
constexpr std::array<ReportLineSpec, kReportLineCount> kLines{{
    Line(1, C::Red, Msg(report_msg::Hardware), T2, T2, {kDate, Lit("/"), kTime}),
    Line(2, C::Blue, Msg(report_msg::ProgramVersion), T3, "", {kVersion}),
    Line(3, C::Blue, Main("Label5"), T3, "", {Main("EditUrzadzenie")}),
    Line(4, C::Blue, Main("Label7"), T3, "", {Main("EditLiczbaCyl")}),
    Line(5, C::Blue, Main("Label6"), T1, "", {Main("EditOprogramowanie")}),
    Line(6, C::Blue, Main("Label8"), T4, "", {Main("EditSerialNumber")}),
    Line(7, C::Green, Msg(report_msg::Vehicle), "", "", {}),
    Line(8, C::Green, Of(F5, "Label3"), " :\t\t\t\t", "      ",
         {Of(F5, "DataRokEdit"), Lit("/"), Of(F5, "DataMiesEdit"), Lit("/"), Of(F5, "DataDzienEdit")}),
    Line(9, C::Green, Of(F5, "Label1"), " :\t\t\t\t", "         ", {Of(F5, "NrRejEdit")}),
    Line(10, C::Green, Of(F5, "Label10"), " :\t\t\t", "    ", {Of(F5, "ComboBox2")}),
    Line(11, C::Green, Of(F5, "Label11"), " :\t\t\t", "    ", {Of(F5, "ComboBox3")}),
    Line(12, C::Green, Of(F5, "Label6"), " :\t\t\t", "    ", {Of(F5, "ComboBox1")}),
    Line(13, C::Green, Of(F5, "Label18"), " :\t\t", "   ", {Of(F5, "ComboBox4")}),
    Line(14, C::None, Of(F5, "Label7"), "", "      ", {Of(F5, "MarkaEdit")}),
    Line(15, C::None, Of(F5, "Label9"), "", "      ", {Of(F5, "ModelEdit")}),
    Line(16, C::Green, Msg(report_msg::Description), Of(F5, "Label2"), T3, "      ", {Of(F5, "OpisEdit")}),
    Line(17, C::Purple, Main("ParametryF41"), " :\t\t\t", " :", {}),
    Line(18, C::Purple, Main("LabelRodzajWtrysku"), T3, "  ", {Main("ComboBoxRodzajWtrysku")}),
    Line(19, C::Purple, Main("LabelCewka"), T2, "  ", {Main("ComboBoxCewka")}),
    Line(20, C::Purple, Of(F10, "LabelMaxInjTime"), T1, S1, {Main("EditParametryMaxInj")}, "[ms]"),
    Line(21, C::Purple, Of(F10, "LabelMinimalnyCzasWtrysku"), T1, S1, {Main("EditMinimalnyCzasWtrysku")}, "[ms]"),
    Line(22, C::Purple, Main("LabelMinTempPrzel"), T2, S1, {Main("EditMinTempPrzel")}, "[°C]"),
    Line(23, C::Purple, Main("LabelRPMprzelNaLPG"), T2, S1, {Main("EditRPMprzelNaLPG")}, "[obr./min]"),
    Line(24, C::Purple, Main("LabelWspolneCykle"), S1, S1, {Main("EditWspolneCykle")}, "[cykle]"),
    Line(25, C::Red, Main("LabelWzbogacanie"), T2, S1, {Main("EditWzbogacanieMieszanki")}, "[%]"),
    Line(26, C::Red, Main("ComboBoxMapa"), "", "", {}),
    Line(27, C::None, Of(F9, "SpeedButton2"), "", "", {}),
    Line(28, C::Red, Main("LabelPrzesuniecieChar"), T4, S1, {Main("EditPrzesuniecie")}, "[ms]"),
    Line(29, C::Purple, Main("LabelMaxRPM"), T2, S1, {Main("EditMaxRpm"), Lit(" - "), Main("ComboBoxMaxRpm")},
         "[obr./min]"),
    Line(30, C::Purple, Main("LabelSzkielkoRezerwy"), T2, S1, {Main("ComboBoxSzkielkoRezerwy")}),
    Line(31, C::Purple, Main("LabelOdswiezanieOczka"), T3, S1, {Main("EditOdswiezanieOczka")}, "[sek]"),
    Line(32, C::Purple, Main("LabelSondaLambda1"), T3, S1, {Main("ComboBoxSondaLambda1")}),
    Line(33, C::Purple, Main("LabelSondaLambda2"), T3, S1, {Main("ComboBoxSondaLambda2")}),
    Line(34, C::Purple, Main("LambaRodzajCzTemp"), T3, S1, {Main("ComboBoxRodzajCzTemp")}, {}, "LambaRodzajCzTemp"),
    Line(35, C::Purple, Main("LabelPodcisnienieReduktora"), T3, S1, {Main("ComboBoxPodcisnienieReduktora")}),
    Line(36, C::Purple, Main("LabelCzasWtryskuPrzyObciazeniu"), T2, S1, {Index("EditCzasWtryskuPrzyObciazeniu")},
         "[ms]"),
    Line(37, C::Purple, Main("LabelCisnienieWylaczenia"), T2, S1, {Main("EditCisnienieWylaczenia")}, "[Bar]"),
    Line(38, C::Purple, Main("LabelCzasPowrotuNaBenz"), T1, S1, {Main("EditCzasPowrotuNaBenz")}, "[sek]"),
    Line(39, C::Purple, Main("LabelCisnienieBeep"), T1, S1, {Main("EditCisnienieBeep")}, "[Bar]"),
    Line(40, C::Purple, Main("LabelRozgrzewanieWtryskiwacza"), T2, S1,
         {Main("ComboBoxRozgrzewanieWtryskiwacza"), Lit(" - "), Main("ComboBoxSilaRozgrzewaniaWtrysku")}),
    Line(41, C::Purple, Main("LabelWylOdTemp"), T1, S1, {Lit("gazu"), Lit(" "), Main("ComboBoxMrozGaz")}),
    Line(42, C::Purple, Main("LabelWylOdTemp"), T1, S1, {Lit("reduktora"), Lit(" "), Main("ComboBoxMrozRed")}),
    Line(43, C::Purple, Main("LabelOnTimeToInjTime"), T1, S1, {Main("EditOnTimeToInjTime")}, "[sek]"),
    Line(44, C::Purple, Of(F10, "LabelPelneOtwarcie"), T3, S1, {Main("EditPelneOtwarcie")}, "[ms]"),
    Line(45, C::Purple, Of(F10, "LabelProcentowePodtrzymanie"), T2, S1, {Main("EditProcentowePodtrzymanie")},
         "[%]"),
    Line(46, C::Purple, Of(F10, "LabelOpoznienieWtryskiwaczy"), T1, S1, {Main("EditOpoznienieWtryskiwaczy")},
         "[ms]"),
    Line(47, C::Purple, Main("LabelFiltrowanieCisnienia"), T3, S1, {Main("ComboBoxFiltrowanieCisnienia")}),
    Line(48, C::Purple, Main("ComboBoxBuzzer"), "", "", {}),
    Line(49, C::Purple, Of(F11, "LabelDodPrzesuniecie"), T2, S1,
         {Main("EditPrzesuniecie2"), Lit(" "), Main("LabelPrzesuniecie2")}),
    Line(50, C::Purple, Main("LabelDeltaRpm"), T4, S1, {Main("ComboBoxDeltaRpm")}),
}};

std::string PartText(const ReportSource& source, const ReportPart& part) {
    switch (part.kind) {
        case PartKind::Empty: return {};
        case PartKind::Message: return source.messageText(part.message);
        case PartKind::ControlText: return source.controlText(part.form, part.control);
        case PartKind::ListIndex: {
            // No selection shows nothing rather than the toolkit's "-1".
            const auto index = source.selectedIndex(part.form, part.control);
            return index && *index >= 0 ? std::to_string(*index) : std::string{};
        }
        case PartKind::Literal: return std::string(part.control);
        case PartKind::Date: return source.dateText();
        case PartKind::Time: return source.timeText();
        case PartKind::Version: return source.versionText();
    }
    return {};
}

bool Included(const ReportSource& source, const ReportLineSpec& line) {
    return line.shownWhile.empty() || source.isVisible(kReportMainForm, line.shownWhile);
}

std::string Compose(const ReportSource& source, const ReportLineSpec& line, bool console) {
    std::string text = PartText(source, console ? line.consoleLabel : line.printLabel);
    text += console ? line.consoleSeparator : line.printSeparator;
    for (const ReportPart& v : line.valueParts()) text += PartText(source, v);
    if (!line.suffix.empty()) {
        text += ' ';
        text += line.suffix;
    }
    return text;
}

}  // namespace

std::span<const ReportLineSpec> ReportLines() { return kLines; }

std::string ReportSource::versionText() const { return std::string(link::kCaptionPrefix); }

std::vector<ConsoleLine> BuildConsoleReport(const ReportSource& source) {
    std::vector<ConsoleLine> lines;
    for (const ReportLineSpec& line : kLines) {
        if (!line.inConsole() || !Included(source, line)) continue;
        lines.push_back({Compose(source, line, true), line.colour});
    }
    return lines;
}

std::vector<std::string> BuildPrintedReport(const ReportSource& source) {
    std::vector<std::string> lines;
    for (const ReportLineSpec& line : kLines)
        if (Included(source, line)) lines.push_back(Compose(source, line, false));
    return lines;
}

std::vector<LinePlacement> LayOutReport(std::size_t lineCount, int top, int step, int lineHeight, int pageHeight) {
    std::vector<LinePlacement> placed;
    placed.reserve(lineCount);
    int page = 0;
    long long y = top;
    for (std::size_t i = 0; i < lineCount; ++i) {
        const bool pageHasLines = !placed.empty() && placed.back().page == page;
        if (pageHasLines && y + lineHeight > pageHeight) {
            ++page;
            y = top;
        }
        placed.push_back({page, static_cast<int>(y)});
        y += step;
    }
    return placed;
}

int PageCountOf(std::span<const LinePlacement> layout) { return layout.empty() ? 0 : layout.back().page + 1; }

std::string ReportFileName(std::string_view registration, int year, int month, int day) {
    std::string name;
    for (const char c : registration) {
        const auto u = static_cast<unsigned char>(c);
        const bool keep = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' ||
                          c == '_' || u >= 0x80;  // letters beyond ASCII (UTF-8) are kept whole
        if (keep) name += c;
        else if ((c == ' ' || c == '\t') && !name.empty() && name.back() != '_') name += '_';
    }
    while (!name.empty() && (name.back() == '_' || name.back() == '-')) name.pop_back();
    while (!name.empty() && name.front() == '-') name.erase(name.begin());
    if (name.empty()) name = "report";
    char date[32];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", std::clamp(year, 0, 9999), std::clamp(month, 0, 99),
                  std::clamp(day, 0, 99));
    return name + "_" + date + ".pdf";
}

std::string ExpandTabs(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (const char c : line) {
        if (c == '\t') out += "    ";
        else out += c;
    }
    return out;
}

}  // namespace sequaflow::record
