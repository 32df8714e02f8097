#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>

#include "i18n/message_ids.h"
#include "i18n/message_store.h"
#include "record/config_report.h"

namespace sequaflow::record {
namespace {

using Key = std::pair<std::string, std::string>;

// Screens as a map: what each control shows, which lists have which selection, which labels are hidden.
class FakeScreens final : public ReportSource {
public:
    std::map<Key, std::string> texts;
    std::map<Key, int> indexes;
    std::set<Key> hidden;
    std::map<int, std::string> messages;

    void set(std::string form, std::string control, std::string text) {
        texts[{std::move(form), std::move(control)}] = std::move(text);
    }
    void main(std::string control, std::string text) { set("TForm1", std::move(control), std::move(text)); }

    std::string controlText(std::string_view form, std::string_view control) const override {
        const auto it = texts.find({std::string(form), std::string(control)});
        return it == texts.end() ? std::string{} : it->second;
    }
    std::optional<int> selectedIndex(std::string_view form, std::string_view control) const override {
        const auto it = indexes.find({std::string(form), std::string(control)});
        if (it == indexes.end()) return std::nullopt;
        return it->second;
    }
    bool isVisible(std::string_view form, std::string_view control) const override {
        return hidden.count({std::string(form), std::string(control)}) == 0;
    }
    std::string messageText(int id) const override {
        const auto it = messages.find(id);
        return it == messages.end() ? std::string{} : it->second;
    }
    std::string dateText() const override { return "12.05.2024"; }
    std::string timeText() const override { return "10:15:30"; }
};

FakeScreens PolishScreens() {
    FakeScreens s;
    const i18n::MessageStore store;
    for (const int id : {12100, 12101, 12102, 12103}) s.messages[id] = std::string(store.text(id));
    s.main("Label5", "Urządzenie:");
    s.main("EditUrzadzenie", "d.4");
    s.main("Label6", "Oprogramowanie:");
    s.main("EditOprogramowanie", "S.37");
    s.set("TForm5", "Label3", "Data Montażu:");
    s.set("TForm5", "DataRokEdit", "2024");
    s.set("TForm5", "DataMiesEdit", "05");
    s.set("TForm5", "DataDzienEdit", "12");
    s.set("TForm5", "Label1", "Nr rejestracyjny:");
    s.set("TForm5", "NrRejEdit", "WA 12345");
    s.set("TForm5", "Label18", "Średnica Dysz Wtryskiwaczy:");
    s.set("TForm5", "ComboBox4", "1,25mm");
    s.set("TForm5", "Label7", "Marka:");
    s.set("TForm5", "MarkaEdit", "Skoda");
    s.set("TForm5", "Label2", "Montował:");
    s.set("TForm5", "OpisEdit", "Jan Kowalski");
    s.main("ParametryF41", "Parametry");
    s.main("LabelWspolneCykle", "Wspólne cykle");
    s.main("EditWspolneCykle", "10");
    s.main("LabelMinTempPrzel", "Temperatura przełączenia");
    s.main("EditMinTempPrzel", "35");
    s.main("ComboBoxMapa", "Mapa Obciazeniowa");
    s.main("LabelMaxRPM", "Maksymalne obroty");
    s.main("EditMaxRpm", "6500");
    s.main("ComboBoxMaxRpm", "Wlaczony");
    s.main("LabelCzasWtryskuPrzyObciazeniu", "Rodzaj wtrysku benzyny");
    s.main("EditCzasWtryskuPrzyObciazeniu", "3 ms");
    s.indexes[{"TForm1", "EditCzasWtryskuPrzyObciazeniu"}] = 3;
    s.main("LabelWylOdTemp", "Wyłączenie od temperatury");
    s.main("ComboBoxMrozGaz", "-10");
    s.main("ComboBoxMrozRed", "5");
    s.main("LambaRodzajCzTemp", "Czujnik temp. reduktora");
    s.main("ComboBoxRodzajCzTemp", "K");
    s.set("TForm11", "LabelDodPrzesuniecie", "Dodatkowa korekta");
    s.main("EditPrzesuniecie2", "0,50");
    s.main("LabelPrzesuniecie2", "[ms]");
    s.main("LabelDeltaRpm", "Spadek obrotów");
    s.main("ComboBoxDeltaRpm", "200 obr./min");
    return s;
}

// The console line whose text starts with `prefix`; fails the test when there is none.
ConsoleLine ConsoleStarting(const std::vector<ConsoleLine>& lines, std::string_view prefix) {
    for (const auto& l : lines)
        if (l.text.starts_with(prefix)) return l;
    ADD_FAILURE() << "no console line starts with " << prefix;
    return {};
}

TEST(ConfigReport, MessageIdsAreTheReportTextsOfTheCaptionTable) {
    EXPECT_EQ(report_msg::Hardware, i18n::msg::ReportHardware);
    EXPECT_EQ(report_msg::ProgramVersion, i18n::msg::ReportProgramVersion);
    EXPECT_EQ(report_msg::Vehicle, i18n::msg::ReportVehicle);
    EXPECT_EQ(report_msg::Description, i18n::msg::ReportDescription);
    const i18n::MessageStore store;
    EXPECT_EQ(store.text(report_msg::Hardware), "Konfiguracja sprzętowa:");
    EXPECT_EQ(store.text(report_msg::Description), "Opis Dodatkowy:");
}

TEST(ConfigReport, PolishConsoleLinesUseTabsAndTheirColours) {
    const auto lines = BuildConsoleReport(PolishScreens());
    ASSERT_EQ(lines.size(), 47u);
    EXPECT_EQ(lines[0].text, "Konfiguracja sprzętowa:\t\t12.05.2024/10:15:30");
    EXPECT_EQ(lines[0].colour, ReportColour::Red);
    EXPECT_EQ(lines[1].text, "Wersja programu PC:\t\t\tKestra sequaflow system - V 2.20 (16.02.2010)");
    EXPECT_EQ(lines[1].colour, ReportColour::Blue);
    EXPECT_EQ(lines[2].text, "Urządzenie:\t\t\td.4");
    EXPECT_EQ(lines[4].text, "Oprogramowanie:\tS.37");
    EXPECT_EQ(lines[6].text, "Dane samochodu:");
    EXPECT_EQ(lines[6].colour, ReportColour::Green);
    EXPECT_EQ(lines[7].text, "Data Montażu: :\t\t\t\t2024/05/12");
    EXPECT_EQ(lines[8].text, "Nr rejestracyjny: :\t\t\t\tWA 12345");
    EXPECT_EQ(lines[12].text, "Średnica Dysz Wtryskiwaczy: :\t\t1,25mm");
    // Make and model are not on screen; the description takes its own heading there.
    EXPECT_EQ(lines[13].text, "Opis Dodatkowy:\t\t\tJan Kowalski");
    EXPECT_EQ(lines[13].colour, ReportColour::Green);
    EXPECT_EQ(lines[14].text, "Parametry :\t\t\t");
    EXPECT_EQ(lines[14].colour, ReportColour::Purple);

    EXPECT_EQ(ConsoleStarting(lines, "Wspólne").text, "Wspólne cykle 10 [cykle]");
    EXPECT_EQ(ConsoleStarting(lines, "Temperatura").text, "Temperatura przełączenia\t\t35 [°C]");
    const auto map = ConsoleStarting(lines, "Mapa Obciazeniowa");
    EXPECT_EQ(map.text, "Mapa Obciazeniowa");
    EXPECT_EQ(map.colour, ReportColour::Red);
    EXPECT_EQ(ConsoleStarting(lines, "Maksymalne").text, "Maksymalne obroty\t\t6500 - Wlaczony [obr./min]");
    // The petrol injection type is reported by the index of its entry, not by the entry's text.
    EXPECT_EQ(ConsoleStarting(lines, "Rodzaj wtrysku benzyny").text, "Rodzaj wtrysku benzyny\t\t3 [ms]");
    EXPECT_EQ(ConsoleStarting(lines, "Dodatkowa").text, "Dodatkowa korekta\t\t0,50 [ms]");
    EXPECT_EQ(lines.back().text, "Spadek obrotów\t\t\t\t200 obr./min");
    EXPECT_EQ(lines.back().colour, ReportColour::Purple);
}

TEST(ConfigReport, PolishPrintedLinesUseSpaces) {
    const auto lines = BuildPrintedReport(PolishScreens());
    ASSERT_EQ(lines.size(), 50u);
    EXPECT_EQ(lines[0], "Konfiguracja sprzętowa:\t\t12.05.2024/10:15:30");  // tabs on paper too
    EXPECT_EQ(lines[1], "Wersja programu PC:Kestra sequaflow system - V 2.20 (16.02.2010)");
    EXPECT_EQ(lines[2], "Urządzenie:d.4");
    EXPECT_EQ(lines[7], "Data Montażu:      2024/05/12");
    EXPECT_EQ(lines[8], "Nr rejestracyjny:         WA 12345");
    EXPECT_EQ(lines[12], "Średnica Dysz Wtryskiwaczy:   1,25mm");
    EXPECT_EQ(lines[13], "Marka:      Skoda");
    EXPECT_EQ(lines[15], "Montował:      Jan Kowalski");
    EXPECT_EQ(lines[16], "Parametry :");
    EXPECT_EQ(lines[23], "Wspólne cykle 10 [cykle]");
    EXPECT_EQ(lines[25], "Mapa Obciazeniowa");
    EXPECT_EQ(lines[28], "Maksymalne obroty 6500 - Wlaczony [obr./min]");
    EXPECT_EQ(lines[33], "Czujnik temp. reduktora K");
    EXPECT_EQ(lines[35], "Rodzaj wtrysku benzyny 3 [ms]");
    // Both temperature cut-offs start with the same label.
    EXPECT_EQ(lines[40], "Wyłączenie od temperatury gazu -10");
    EXPECT_EQ(lines[41], "Wyłączenie od temperatury reduktora 5");
    EXPECT_EQ(lines[48], "Dodatkowa korekta 0,50 [ms]");
}

TEST(ConfigReport, HiddenReducerSensorLabelDropsItsLineOnly) {
    FakeScreens s = PolishScreens();
    s.hidden.insert({"TForm1", "LambaRodzajCzTemp"});
    const auto console = BuildConsoleReport(s);
    const auto printed = BuildPrintedReport(s);
    EXPECT_EQ(console.size(), 46u);
    ASSERT_EQ(printed.size(), 49u);
    for (const auto& l : printed) EXPECT_EQ(l.find("Czujnik temp. reduktora"), std::string::npos) << l;
    // The next line takes its place.
    EXPECT_EQ(printed[33], " ");  // vacuum label and list are empty on these screens: label, one space
    EXPECT_EQ(printed[34], "Rodzaj wtrysku benzyny 3 [ms]");
}

TEST(ConfigReport, EnglishCaptionsFlowIntoTheLines) {
    FakeScreens s;
    s.messages = {{12100, "Hardware configuration:"}, {12101, "PC program version:"}, {12102, "Vehicle data:"},
                  {12103, "Additional description:"}};
    s.set("TForm5", "Label9", "Model:");
    s.set("TForm5", "ModelEdit", "Octavia");
    s.set("TForm5", "Label2", "Installer:");
    s.set("TForm5", "OpisEdit", "J. Smith");
    s.main("LabelCewka", "Ignition system");
    s.main("ComboBoxCewka", "DIS");
    s.set("TForm10", "LabelMaxInjTime", "Maximum gas injection time");
    s.main("EditParametryMaxInj", "20.0");
    s.set("TForm9", "SpeedButton2", "Advanced map");
    s.main("ComboBoxBuzzer", "On");

    const auto console = BuildConsoleReport(s);
    EXPECT_EQ(console[0].text, "Hardware configuration:\t\t12.05.2024/10:15:30");
    EXPECT_EQ(console[6].text, "Vehicle data:");
    EXPECT_EQ(console[13].text, "Additional description:\t\t\tJ. Smith");
    EXPECT_EQ(ConsoleStarting(console, "Ignition").text, "Ignition system\t\tDIS");
    EXPECT_EQ(ConsoleStarting(console, "Maximum").text, "Maximum gas injection time\t20.0 [ms]");
    for (const auto& l : console) EXPECT_EQ(l.text.find("Advanced map"), std::string::npos);

    const auto printed = BuildPrintedReport(s);
    EXPECT_EQ(printed[14], "Model:      Octavia");
    EXPECT_EQ(printed[15], "Installer:      J. Smith");
    EXPECT_EQ(printed[18], "Ignition system  DIS");
    EXPECT_EQ(printed[19], "Maximum gas injection time 20.0 [ms]");
    EXPECT_EQ(printed[26], "Advanced map");
    EXPECT_EQ(printed[47], "On");
}

TEST(ConfigReport, ListWithoutSelectionReportsNoIndex) {
    FakeScreens s;
    s.main("LabelCzasWtryskuPrzyObciazeniu", "Petrol injection type");
    const auto printed = BuildPrintedReport(s);
    EXPECT_EQ(printed[35], "Petrol injection type  [ms]");
}

TEST(ReportLayout, ContinuesOnANewPageWhereTheLinesDoNotFit) {
    // A4 at 300 dpi: 3508 units high; a line needs y + 110 <= 3508, so 30 lines (y 200..3390) per page.
    const auto layout = LayOutReport(50, 200, 110, 110, 3508);
    ASSERT_EQ(layout.size(), 50u);
    EXPECT_EQ(layout[0].page, 0);
    EXPECT_EQ(layout[0].y, 200);
    EXPECT_EQ(layout[29].page, 0);
    EXPECT_EQ(layout[29].y, 3390);
    EXPECT_EQ(layout[30].page, 1);
    EXPECT_EQ(layout[30].y, 200);
    EXPECT_EQ(layout[49].page, 1);
    EXPECT_EQ(layout[49].y, 2290);
    EXPECT_EQ(PageCountOf(layout), 2);
}

TEST(ReportLayout, KeepsTheOnePageLayoutWhereItFits) {
    // A4 at 600 dpi: 7016 units; the fiftieth line sits at 200 + 49 x 110 = 5590.
    const auto layout = LayOutReport(50, 200, 110, 110, 7016);
    EXPECT_EQ(PageCountOf(layout), 1);
    EXPECT_EQ(layout[49].y, 5590);
}

TEST(ReportLayout, NeverDropsALineOnAPageTooSmall) {
    const auto layout = LayOutReport(3, 200, 110, 110, 250);
    ASSERT_EQ(layout.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(layout[static_cast<std::size_t>(i)].page, i);
        EXPECT_EQ(layout[static_cast<std::size_t>(i)].y, 200);
    }
    EXPECT_TRUE(LayOutReport(0, 200, 110, 110, 3508).empty());
    EXPECT_EQ(PageCountOf({}), 0);
}

TEST(ReportFileName, NamedAfterRegistrationAndDateWithoutPathCharacters) {
    EXPECT_EQ(ReportFileName("WA 12345", 2024, 5, 7), "WA_12345_2024-05-07.pdf");
    EXPECT_EQ(ReportFileName("../KR/1:2*3?", 2024, 12, 31), "KR123_2024-12-31.pdf");
    EXPECT_EQ(ReportFileName("GD  ŁÓ 1", 2010, 2, 16), "GD_ŁÓ_1_2010-02-16.pdf");
    EXPECT_EQ(ReportFileName("", 2024, 5, 7), "report_2024-05-07.pdf");
    EXPECT_EQ(ReportFileName(" / \\ ", 2024, 5, 7), "report_2024-05-07.pdf");
    EXPECT_EQ(ReportFileName("-rf", 2024, 5, 7), "rf_2024-05-07.pdf");
}

TEST(ReportFileName, TabsExpandForDevicesThatShowNone) {
    EXPECT_EQ(ExpandTabs("a\t\tb"), "a        b");
    EXPECT_EQ(ExpandTabs("none"), "none");
}

}  // namespace
}  // namespace sequaflow::record
