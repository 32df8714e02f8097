#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/cli.h"
#include "support/cli_runner.h"

using sequaflow::testing_support::RunTool;

namespace {

// A device that cannot exist: a run that gets past its options fails on the port (exit 3), so exit 2 shows
// the refusal came first, before anything was opened.
const std::string kNoDevice = "/nonexistent/sequaflow-tty";

struct Refusal {
    std::vector<std::string> args;
    std::string names;  // the words the message must hold
};

}  // namespace

TEST(ExclusiveOptions, BothOfAPairAreAUsageErrorNamingBoth) {
    const std::vector<Refusal> refusals = {
        {{"live", "--json", "--csv"}, "live: --json and --csv cannot be used together"},
        {{"live", "--csv", "--count", "3", "--json"}, "live: --json and --csv cannot be used together"},
        {{"errors", "clear", "--json"}, "errors: clear and --json cannot be used together"},
        {{"errors", "--json", "clear"}, "errors: clear and --json cannot be used together"},
        {{"worktime", "reset", "gas", "--json"}, "worktime: reset and --json cannot be used together"},
        {{"worktime", "--json", "reset", "petrol"}, "worktime: reset and --json cannot be used together"},
        {{"vehicle", "set", "--make", "Fiat", "--json"}, "vehicle: set and --json cannot be used together"},
    };
    for (const auto& refusal : refusals) {
        std::vector<std::string> args = {"--device", kNoDevice};
        args.insert(args.end(), refusal.args.begin(), refusal.args.end());
        const auto run = RunTool(args);
        EXPECT_EQ(run.rc, sequaflow::cli::kUsage) << ::testing::PrintToString(args) << '\n' << run.err;
        EXPECT_NE(run.err.find(refusal.names), std::string::npos) << ::testing::PrintToString(args) << '\n' << run.err;
        EXPECT_EQ(run.err.find(kNoDevice), std::string::npos) << "the port was tried: " << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
    const auto both = RunTool({"--device", kNoDevice, "--com", "3", "identify"});
    EXPECT_EQ(both.rc, sequaflow::cli::kUsage);
    EXPECT_NE(both.err.find("--device or --com"), std::string::npos) << both.err;
}

TEST(ExclusiveOptions, OneOfAPairOrTheSameTwiceStillRuns) {
    // Each of these is a valid command line: it gets as far as opening the port.
    for (const std::vector<std::string>& tail : std::vector<std::vector<std::string>>{
             {"live", "--json"},
             {"live", "--csv"},
             {"live", "--json", "--json", "--count", "2"},
             {"live", "--csv", "--csv"},
             {"errors", "clear"},
             {"errors", "--json"},
             {"worktime", "reset", "gas"},
             {"worktime", "--json"},
             {"vehicle", "show", "--json"},
         }) {
        std::vector<std::string> args = {"--device", kNoDevice};
        args.insert(args.end(), tail.begin(), tail.end());
        const auto run = RunTool(args);
        EXPECT_EQ(run.rc, sequaflow::cli::kPortError) << ::testing::PrintToString(args) << '\n' << run.err;
    }
    // clear is a word of its own, not an option to repeat.
    EXPECT_EQ(RunTool({"--device", kNoDevice, "errors", "clear", "clear"}).rc, sequaflow::cli::kUsage);
}
