#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "sim/sim_options.h"
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
