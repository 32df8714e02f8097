#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/diag_command.h"
#include "link/commands.h"
#include "link/link.h"
#include "link/pacer.h"
#include "sim/controller.h"
#include "sim/sim_port.h"
#include "support/cli_runner.h"
#include "support/cli_sim_rig.h"

using namespace sequaflow;

namespace {

// The commands against the in-process simulator in virtual time.
struct DiagRig : testing_support::CliSimRig {
    DiagRig() { controller.engine().command(sim::FuelCommand::Petrol); }
    int errors(std::vector<std::string> args) {
        const auto options = cli::ParseErrorsArgs(context, args);
        return options ? cli::RunErrorsOn(context, link, *options) : cli::kUsage;
    }
    int worktime(std::vector<std::string> args) {
        const auto options = cli::ParseWorkTimeArgs(context, args);
        return options ? cli::RunWorkTimeOn(context, link, *options) : cli::kUsage;
    }
    std::uint16_t param(int n) const { return controller.running().params[static_cast<std::size_t>(n)]; }
    void reset() { clearOutput(); }
};

}  // namespace

TEST(ErrorsCommand, ListsTheFaultsOfOneFrameAndClearsTheStoredOnes) {
    DiagRig rig;
    // The engine model starts with the first request and notices the broken injectors at its next step.
    link::ReadLiveFrame(rig.link);
    (void)rig.link.receiveWait(link::kLiveFrameSize);
    rig.controller.engine().setInjectorFaults(0x05, 0x80);
    rig.link.pause(50);
    ASSERT_EQ(rig.errors({"--json"}), cli::kOk) << rig.err.str();
    const std::string json = rig.out.str();
    EXPECT_NE(json.find("{\"number\":11,\"text\":\"11: Wtryskiwacz Gazowy Uszkodzony:\",\"injectors\":[1,3]}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("{\"number\":12,\"text\":\"12: Brak Sygnału wtryskiwacza Benzynowego:\",\"injectors\":[8]}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"stored\":["), std::string::npos);
    EXPECT_NE(json.find("{\"number\":12,\"text\":\"12: Wtryskiwacz Benzynowy Uszkodzony:\",\"injectors\":[]}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"gas_injectors\":[1,3],\"petrol_injectors\":[8]}"), std::string::npos) << json;

    // The text form is the page's list.
    rig.reset();
    ASSERT_EQ(rig.errors({}), cli::kOk);
    EXPECT_EQ(rig.out.str().rfind("Status\n\nWystąpiły Błędy ! :\n\n", 0), 0u) << rig.out.str();
    EXPECT_NE(rig.out.str().find("11: Wtryskiwacz Gazowy Uszkodzony:\n1\n3\n\n"), std::string::npos);

    // Repaired and cleared: nothing stored, the list black again.
    rig.controller.engine().setInjectorFaults(0, 0);
    rig.link.pause(50);
    rig.reset();
    ASSERT_EQ(rig.errors({"clear"}), cli::kOk) << rig.err.str();
    EXPECT_EQ(rig.controller.engine().storedErrors(), 0);
    EXPECT_EQ(rig.out.str(), "Stored faults cleared.\n");
    rig.reset();
    ASSERT_EQ(rig.errors({}), cli::kOk);
    EXPECT_EQ(rig.out.str(), "Status\n\nBrak Błędów\n\n");
}

TEST(ErrorsCommand, UsageErrorsSendNothingAndSilenceIsAnError) {
    DiagRig rig;
    const auto sentBefore = rig.link.framesSent();
    EXPECT_EQ(rig.errors({"--jsn"}), cli::kUsage);
    EXPECT_EQ(rig.errors({"clear", "--json"}), cli::kUsage);
    EXPECT_EQ(rig.errors({"--json", "clear"}), cli::kUsage);
    EXPECT_EQ(rig.worktime({"reset"}), cli::kUsage);
    EXPECT_EQ(rig.worktime({"reset", "diesel"}), cli::kUsage);
    EXPECT_EQ(rig.worktime({"--json", "reset", "gas"}), cli::kUsage);
    EXPECT_EQ(rig.link.framesSent(), sentBefore);
    EXPECT_NE(rig.err.str().find("worktime reset needs 'petrol' or 'gas'"), std::string::npos);

    // Through the whole tool: a usage error comes before any port is opened.
    const auto run = testing_support::RunTool({"--device", "/nonexistent/tty", "worktime", "reset", "lpg"});
    EXPECT_EQ(run.rc, cli::kUsage) << run.err;
}

TEST(WorkTimeCommand, ReadsSplitsAndResetsTheCounters) {
    DiagRig rig;
    // 90061 s on petrol and 30020 s on gas, as the controller would have counted them.
    link::WriteParamSequence(rig.link, 35, 0x0001);
    link::WriteParamSequence(rig.link, 36, 0x5FCD);
    link::WriteParamSequence(rig.link, 37, 0x0000);
    link::WriteParamSequence(rig.link, 38, 0x7544);
    ASSERT_EQ(rig.worktime({"--json"}), cli::kOk) << rig.err.str();
    EXPECT_EQ(rig.out.str(),
              "{\"petrol\":{\"total_seconds\":90061,\"days\":1,\"hours\":1,\"minutes\":1,\"seconds\":1,"
              "\"share_percent\":75.00},\"gas\":{\"total_seconds\":30020,\"days\":0,\"hours\":8,\"minutes\":20,"
              "\"seconds\":20,\"share_percent\":25.00}}\n");

    rig.reset();
    ASSERT_EQ(rig.worktime({"reset", "gas"}), cli::kOk);
    EXPECT_EQ(rig.out.str(), "Gas work time set to zero.\n");
    EXPECT_EQ(rig.param(37), 0);
    EXPECT_EQ(rig.param(38), 0);
    EXPECT_EQ(rig.param(36), 0x5FCD) << "the petrol count stays";

    rig.reset();
    ASSERT_EQ(rig.worktime({}), cli::kOk);
    EXPECT_NE(rig.out.str().find("Procentowy czas pracy na gazie:       0.00%\n\n"
                                 "Procentowy czas pracy na benzynie:  100.00%"),
              std::string::npos)
        << rig.out.str();
}

TEST(WorkTimeCommand, AnUnansweredWordIsAnErrorNotAZero) {
    DiagRig rig;
    rig.link.closePort();
    EXPECT_EQ(rig.worktime({"--json"}), cli::kPortError);
    EXPECT_TRUE(rig.out.str().empty());
}
