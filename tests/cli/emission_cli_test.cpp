#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/emission_command.h"
#include "link/commands.h"
#include "maps/emission.h"
#include "params/parameter_numbers.h"
#include "support/cli_sim_rig.h"
#include "support/scripted_port.h"

using namespace sequaflow;

namespace {

struct EmissionRig : testing_support::CliSimRig {
    int run(std::vector<std::string> args) {
        const auto options = cli::ParseEmissionArgs(context, args);
        return options ? cli::RunEmissionOn(context, link, *options) : cli::kUsage;
    }
    std::uint16_t param(int n) const { return controller.running().params[static_cast<std::size_t>(n)]; }
};

}  // namespace

TEST(EmissionCommand, ResetKeepsTheOtherBitsOfTheFlagsWordAndShowPrintsTheResetValues) {
    EmissionRig rig;
    // Switches and the map's activation on, map mode and fuel bits as an installer left them.
    link::WriteParamSequence(rig.link, params::pn::SecondFlags, 0x8FC8);
    link::LambdaSet(rig.link, 2, 12345);
    ASSERT_EQ(rig.run({"reset"}), cli::kOk) << rig.err.str();
    EXPECT_EQ(rig.param(params::pn::SecondFlags), 0x8048);  // bits 7..11 cleared, bit 6 and the rest kept
    EXPECT_EQ(rig.controller.running().lambda[2], 10100);

    rig.clearOutput();
    ASSERT_EQ(rig.run({"show"}), cli::kOk) << rig.err.str();
    const std::string text = rig.out.str();
    for (const char* line : {"Reakcja na Lambde Prog Gorny:", "0.75 V", "0.40 V", "10100", "2.0 ms", "12.0 ms",
                             "2000 rpm", "5000 rpm", "Filtr Inercyjny Brak", "Wolnozmienna OFF",
                             "Wzbogacanie od Temperatury Gazu: Aktywne"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    EXPECT_NE(text.find("    1    6   11   16   21"), std::string::npos) << text;

    rig.clearOutput();
    ASSERT_EQ(rig.run({"show", "--json"}), cli::kOk) << rig.err.str();
    const std::string json = rig.out.str();
    EXPECT_NE(json.find("{\"index\":0,\"field\":\"EditLambdaGora\",\"group\":\"Reakcja na Lambde\",\"label\":\"Prog "
                        "Gorny:\",\"text\":\"0.75\",\"unit\":\"V\",\"word\":614}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("{\"field\":\"ComboBoxWolnozmienna\",\"bit\":11,\"item\":0,\"text\":\"Wolnozmienna OFF\"}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"temperature_map\":{\"active\":true,\"breakpoints_c\":[1,6,11,16,21],"
                        "\"enrichments_percent\":[0,0,0,0,0,0]}}"),
              std::string::npos)
        << json;
}

TEST(EmissionCommand, ShowPrintsWhatTheControllerHoldsNotWhatThisProgramLastSent) {
    EmissionRig rig;
    link::WriteParamSequence(rig.link, params::pn::SecondFlags, 0x0C08);  // bits 10, 11
    link::WriteTempCorrSequence(rig.link, 2, 130);
    link::WriteTempPointSequence(rig.link, 4, 95);
    link::LambdaSet(rig.link, 0, 409);
    ASSERT_EQ(rig.run({"show", "--json"}), cli::kOk) << rig.err.str();
    const std::string json = rig.out.str();
    EXPECT_NE(json.find("\"text\":\"0.50\",\"unit\":\"V\",\"word\":409"), std::string::npos) << json;
    EXPECT_NE(json.find("\"bit\":10,\"item\":1,\"text\":\"Ogr. od Wtrysku ON\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"bit\":9,\"item\":0,\"text\":\"Ogr. RPM OFF\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"active\":false"), std::string::npos) << json;
    EXPECT_NE(json.find("\"enrichments_percent\":[0,0,30,0,0,0]"), std::string::npos) << json;
    EXPECT_NE(json.find(",95]"), std::string::npos) << json;
}

TEST(EmissionCommand, BadArgumentsAreUsageErrorsAndASilentControllerSendsNothing) {
    EmissionRig rig;
    for (const auto& args : std::vector<std::vector<std::string>>{{}, {"show", "--xml"}, {"reset", "now"}, {"set"}}) {
        rig.clearOutput();
        EXPECT_EQ(rig.run(args), cli::kUsage);
        EXPECT_NE(rig.err.str().find("emission show [--json] | emission reset"), std::string::npos) << rig.err.str();
    }

    // A link whose port answers nothing: the reset must not write a guessed flags word.
    link::VirtualPacer pacer;
    testing_support::ScriptedPort port(pacer);
    link::Link silent(port, pacer);
    silent.setPortName("/dev/silent");
    ASSERT_TRUE(silent.openPort().ok());
    rig.clearOutput();
    cli::EmissionOptions reset;
    reset.action = cli::EmissionOptions::Action::Reset;
    EXPECT_EQ(cli::RunEmissionOn(rig.context, silent, reset), cli::kNoAnswer);
    EXPECT_NE(rig.err.str().find("parameter 21 gave no valid answer on /dev/silent; nothing was sent"),
              std::string::npos)
        << rig.err.str();
    for (const auto& f : port.written()) EXPECT_EQ(f[0], link::code::ParamRead);
}

TEST(EmissionCommand, AResetCancelledBeforeItsFirstWordSaysNothingWasSent) {
    EmissionRig rig;
    link::LambdaSet(rig.link, 2, 12345);  // the reset would put 10100 here
    rig.interrupted = SIGINT;
    EXPECT_EQ(rig.run({"reset"}), cli::kCancelled);
    EXPECT_EQ(rig.err.str(), "sequaflow-cli: the reset was cancelled by Ctrl+C; nothing was sent\n");
    EXPECT_EQ(rig.controller.running().lambda[2], 12345);
    EXPECT_EQ(rig.param(params::pn::SecondFlags), 0x0008);
}
