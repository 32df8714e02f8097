#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "sim/sim_options.h"
#include "sim/sim_truth.h"
#include "sim/state_file.h"

namespace sequaflow::sim {
namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(StateFile, RoundTripAndAtomicSave) {
    PersistentStores s = FactoryStores();
    s.params[7] = 0xBEEF;
    s.record[63] = 0x19FF;
    ASSERT_TRUE(SaveStateFile("state.txt", s));
    auto loaded = LoadStateFile("state.txt");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(*loaded, s);
    EXPECT_FALSE(std::filesystem::exists("state.txt.tmp"));

    // A save that cannot be written leaves the previous file alone.
    std::filesystem::create_directory("state2.txt");
    auto failed = SaveStateFile("state2.txt", s);
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().code, StateFileError::WriteFailed);
    EXPECT_EQ(Slurp("state.txt"), FormatStateFile(s));
}

// The soak's judge reads this from another process: every value must come back as it was.
TEST(SimTruthText, RoundTripAndRefusals) {
    SimTruth t;
    t.stores = FactoryStores();
    t.running = PowerUp(t.stores);
    t.running.params[3] = 0xFFEC;
    t.running.grid[83] = 191;  // the last of its line, as lambda 11 below
    t.running.lambda[11] = 65535;
    t.stores.record[61] = 4711;
    t.faults = {.drop = 1, .truncate = 2, .corrupt = 3, .late = 4, .stray = 5, .vanish = 6, .edge = 7};
    t.vanished = 5;
    const std::string text = FormatSimTruth(t);
    EXPECT_NE(text.find("\nfaults 1 2 3 4 5 6 7 5\n"), std::string::npos) << text;
    auto back = ParseSimTruth(text);
    ASSERT_TRUE(back) << back.error().detail;
    EXPECT_TRUE(*back == t);
    EXPECT_EQ(FaultCountsText(t.faults), "drop=1 truncate=2 corrupt=3 late=4 stray=5 vanish=6 edge=7");

    auto variant = [&](const std::string& from, const std::string& to) {
        std::string v = text;
        v.replace(v.find(from), from.size(), to);
        return ParseSimTruth(v);
    };
    EXPECT_FALSE(variant("sequaflow-sim truth 1", "sequaflow-sim truth 2"));
    EXPECT_FALSE(variant("grid ", "gird "));
    EXPECT_FALSE(variant(" 191\n", " 256\n"));        // beyond a byte
    EXPECT_FALSE(variant(" 65535\n", " 65536\n"));    // beyond a word
    EXPECT_FALSE(variant(" 65535\n", " 65535 1\n"));  // one too many
    EXPECT_FALSE(variant(" 191\n", "\n"));            // one too few
    EXPECT_FALSE(variant(" 191\n", " 19x\n"));
    EXPECT_FALSE(variant("std ", "grid "));       // a line twice, another missing
}

TEST(StateFile, DamagedFilesAreRejectedWithAReason) {
    EXPECT_EQ(LoadStateFile("missing.txt").error().code, StateFileError::NotFound);
    const std::string good = FormatStateFile(FactoryStores());
    auto variant = [&](const std::string& from, const std::string& to) {
        std::string t = good;
        t.replace(t.find(from), from.size(), to);
        return t;
    };
    const std::vector<std::string> bad = {
        "",
        "something else\n",
        variant("params AAAA", "params"),          // one word short
        variant("params AAAA", "params AAAA 0001 0002 0003 0004 0005 0006 0007 0008 0009 000A 000B"),
        variant("params AAAA", "params AAAG"),
        variant("params AAAA", "params 1AAAA"),
        variant("record", "recrod"),
        good.substr(0, good.find("record")),       // a store missing
        good + good.substr(good.find("map")),     // a store twice
    };
    for (const auto& text : bad) {
        auto r = ParseStateFile(text);
        ASSERT_FALSE(r) << text.substr(0, 40);
        EXPECT_EQ(r.error().code, StateFileError::Malformed);
        EXPECT_FALSE(r.error().detail.empty());
    }
    EXPECT_TRUE(ParseStateFile(good));
}

TEST(SimCommandLine, OptionsAndTheirErrors) {
    auto o = ParseSimOptions({"--link", "/tmp/x", "--hardware", "0x83", "--software", "21", "--blank", "--state",
                              "s.txt", "--line-rate", "--faults", "drop=0.5", "--seed", "42", "--log", "l.txt"});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->server.linkPath, "/tmp/x");
    EXPECT_EQ(o->controller.hardware, 0x83);
    EXPECT_EQ(o->controller.software, 21);
    EXPECT_TRUE(o->controller.blank);
    EXPECT_EQ(o->server.statePath, "s.txt");
    EXPECT_TRUE(o->server.lineRate);
    ASSERT_TRUE(o->server.faults);
    EXPECT_DOUBLE_EQ(o->server.faults->drop, 0.5);
    EXPECT_EQ(o->controller.seed, 42u);
    EXPECT_EQ(o->server.faultSeed, 42u);
    EXPECT_EQ(o->server.logPath, "l.txt");

    auto d = ParseSimOptions({});
    ASSERT_TRUE(d);
    EXPECT_EQ(d->controller.hardware, 0x43);
    EXPECT_EQ(d->controller.software, 37);
    EXPECT_FALSE(d->controller.blank);
    EXPECT_TRUE(ParseSimOptions({"--help"})->help);

    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--hardware"}, {"--hardware", "256"}, {"--hardware", "0x"}, {"--software", "-1"},
          {"--seed", "4294967296"}, {"--faults", "drop=2"}, {"--link"}, {"--state", ""}, {"--frobnicate"},
          {"extra"}}) {
        auto r = ParseSimOptions(bad);
        ASSERT_FALSE(r) << bad[0];
        EXPECT_NE(r.error().detail.find(bad[0]), std::string::npos) << r.error().detail;
    }
}

}  // namespace
}  // namespace sequaflow::sim
