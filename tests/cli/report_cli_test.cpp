#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/report_command.h"
#include "link/link.h"
#include "link/pacer.h"
#include "sim/controller.h"
#include "sim/fault_injector.h"
#include "sim/sim_port.h"
#include "support/cli_sim_rig.h"

using namespace sequaflow;

namespace {

// The command against the in-process simulator (its demonstration vehicle and factory settings) in virtual
// time.
struct ReportRig : testing_support::CliSimRig {
    int run(std::vector<std::string> args) {
        const auto options = cli::ParseReportArgs(context, args);
        if (!options) return cli::kUsage;
        return cli::RunReportOn(context, link, *options);
    }
    std::vector<std::string> lines() const {
        std::vector<std::string> all;
        std::istringstream in(out.str());
        for (std::string l; std::getline(in, l);) all.push_back(l);
        return all;
    }
};

TEST(ReportCommand, PrintsTheReportOfTheControllerAsTheScreensShowIt) {
    ReportRig rig;
    ASSERT_EQ(rig.run({}), cli::kOk) << rig.err.str();
    const auto lines = rig.lines();
    // Hardware 0x43 and software 37 show the reducer sensor line: all fifty.
    ASSERT_EQ(lines.size(), 50u) << rig.out.str();
    EXPECT_TRUE(lines[0].starts_with("Konfiguracja sprzętowa:\t\t")) << lines[0];
    EXPECT_EQ(lines[1], "Wersja programu PC:Kestra sequaflow system - V 2.20 (16.02.2010)");
    EXPECT_EQ(lines[2], "Urządzenie:d.4");
    EXPECT_EQ(lines[3], "Liczba cylindrów:3-4cyl.");
    EXPECT_EQ(lines[4], "Oprogramowanie:S.37");
    EXPECT_EQ(lines[5], "Numer seryjny:4711");
    EXPECT_EQ(lines[6], "Dane samochodu:");
    EXPECT_EQ(lines[7], "Data Montażu:      2024/05/14");
    EXPECT_EQ(lines[8], "Nr rejestracyjny:         WX 4711 AB  ");
    EXPECT_EQ(lines[9], "Układ Cylindrów:    R - Rzędowy");
    EXPECT_EQ(lines[10], "Liczba Cylindrów:    4");
    EXPECT_EQ(lines[11], "Pojemność silnika:    1,60 L");
    EXPECT_EQ(lines[12], "Średnica Dysz Wtryskiwaczy:   1,00mm");
    EXPECT_EQ(lines[13], "Marka:      Skoda          ");
    EXPECT_EQ(lines[14], "Model:      Octavia 1.6 MPI");
    EXPECT_EQ(lines[15], "Montował:      sequaflow demo workshop       ");
    EXPECT_EQ(lines[16], "Parametry :");
    // Factory settings: 25 degrees, 4 common cycles, +15 % mixture, +0.40 ms idle correction.
    EXPECT_EQ(lines[21], "Temperatura przełączenia 25 [°C]");
    EXPECT_EQ(lines[23], "Wspólne cykle 4 [cykle]");
    EXPECT_EQ(lines[24], "Korekta mieszanki +15 [%]");
    EXPECT_EQ(lines[26], "Mapa zaawansowana");
    EXPECT_EQ(lines[27], "Korekta czasu wtrysku biegu jalowego +0.40 [ms]");
    EXPECT_TRUE(lines[40].starts_with("Wyłączenie od temperatury gazu ")) << lines[40];
    EXPECT_TRUE(lines[41].starts_with("Wyłączenie od temperatury reduktora ")) << lines[41];
    EXPECT_TRUE(lines[48].starts_with("Dodatkowa korekta czasu wtrysku biegu jałowego ")) << lines[48];
    EXPECT_TRUE(lines[48].ends_with(" [ms]")) << lines[48];
}

TEST(ReportCommand, WritesAPdfOfOnePageAndSaysSo) {
    ReportRig rig;
    const auto path = std::filesystem::current_path() / "report.pdf";
    ASSERT_EQ(rig.run({"--pdf", path.string()}), cli::kOk) << rig.err.str();
    EXPECT_EQ(rig.out.str(), "report written to " + path.string() + " (1 page)\n");
    std::ifstream in(path, std::ios::binary);
    const std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_TRUE(pdf.starts_with("%PDF-1.4")) << pdf.substr(0, 20);
    EXPECT_NE(pdf.find("/Count 1"), std::string::npos);
    // 200 printer units at 600 dpi are 24 points; the ninth line's top is 200 + 8 x 110 = 1080 units
    // (129.6 pt), its baseline 841.89 - 129.6 - 8 = 704.29 pt from the bottom.
    EXPECT_NE(pdf.find("24.00 " + std::string("704.29") + " Td (Nr rejestracyjny:         WX 4711 AB  ) Tj"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(path.string() + ".part"));
}

TEST(ReportCommand, RefusesBadArgumentsAndASilentController) {
    ReportRig usage;
    EXPECT_EQ(usage.run({"--pdf"}), cli::kUsage);
    EXPECT_EQ(usage.run({"--page", "2"}), cli::kUsage);
    EXPECT_TRUE(usage.out.str().empty());

    ReportRig silent;
    silent.port.setFaults(sim::FaultInjector(sim::FaultSpec{.drop = 1.0}, 1));
    EXPECT_EQ(silent.run({}), cli::kNoAnswer);
    EXPECT_TRUE(silent.out.str().empty());
    EXPECT_NE(silent.err.str().find("no valid answer"), std::string::npos);

    ReportRig unwritable;
    EXPECT_EQ(unwritable.run({"--pdf", "/nonexistent-dir/x.pdf"}), cli::kFileError);
    EXPECT_NE(unwritable.err.str().find("cannot write the report /nonexistent-dir/x.pdf: No such file or directory"), std::string::npos);
}

}  // namespace
