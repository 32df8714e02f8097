#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/map_command.h"
#include "link/commands.h"
#include "sim/stores.h"
#include "support/cli_sim_rig.h"

using namespace sequaflow;

namespace {

constexpr std::uint16_t Pack(int hi, int lo) { return static_cast<std::uint16_t>(hi << 8 | lo); }

// Counts the frames the command sends and can pull the plug at a chosen one.
struct FrameWatch final : link::LinkObserver {
    std::vector<link::Frame> sent;
    std::function<void(const link::Frame&)> onFrame;
    void onSend(std::chrono::microseconds, const link::Frame& f) override {
        sent.push_back(f);
        if (onFrame) onFrame(f);
    }
    void onReceive(std::chrono::microseconds, std::uint32_t, std::uint32_t, bool, std::span<const std::uint8_t>) override {}
    void onPause(std::chrono::microseconds, int) override {}
    void onPortEvent(std::chrono::microseconds, const std::string&) override {}
    int count(std::uint8_t code) const {
        return static_cast<int>(std::count_if(sent.begin(), sent.end(), [&](const auto& f) { return f[0] == code; }));
    }
    bool onlyReads() const {
        for (const auto& f : sent)
            if (f[0] != link::code::ParamRead && f[0] != link::code::PointRead && f[0] != link::code::GridCellRead &&
                f[0] != link::code::StdMapRead)
                return false;
        return true;
    }
};

// The simulated port with one request whose replies never arrive (code, first and second argument byte).
struct DroppingPort final : link::SerialPort {
    sim::SimPort& inner;
    std::function<bool(std::span<const std::uint8_t>)> silent;
    explicit DroppingPort(sim::SimPort& p) : inner(p) {}
    Result<Ok, link::PortErrorCode> open(const std::string& path) override { return inner.open(path); }
    void close() override { inner.close(); }
    bool isOpen() const override { return inner.isOpen(); }
    bool setRts(bool raised) override { return inner.setRts(raised); }
    bool write(std::span<const std::uint8_t> bytes) override {
        const bool ok = inner.write(bytes);
        if (silent && silent(bytes)) {
            std::array<std::uint8_t, 256> sink{};
            while (inner.queued().value_or(0) > 0) (void)inner.read(sink);
        }
        return ok;
    }
    bool drain() override { return inner.drain(); }
    std::optional<std::size_t> queued() override { return inner.queued(); }
    std::size_t read(std::span<std::uint8_t> dest) override { return inner.read(dest); }
    std::optional<link::PortError> failure() const override { return inner.failure(); }
};

// A factory controller whose maps hold a few cells of the test's own: column 1 rows 1 and 2 (one store word)
// at -5 and +40, row 12 column 7 at +48, standard segment 4 at -7, and an R1 period (6911) that no rpm text
// gives back exactly.
sim::PersistentStores TestStores(bool turbo = false) {
    auto s = sim::FactoryStores();
    s.mapWords[18] = Pack(95, 140);
    s.mapWords[18 + 6 * 6 + 5] = Pack(115, 148);
    s.corrWords[3] = 93;
    s.mapWords[0] = 6911;
    if (turbo) s.params[params::pn::SecondFlags] |= 1u << 14;
    return s;
}

struct MapRig : testing_support::CliSimRig {
    FrameWatch watch;
    DroppingPort dropping{port};
    link::Link wire{dropping, pacer};
    explicit MapRig(bool turbo = false) : CliSimRig({}, TestStores(turbo)) {
        wire.setPortName("/dev/simulated");
        EXPECT_TRUE(wire.openPort().ok());
        wire.setObserver(&watch);
    }
    ~MapRig() { wire.setObserver(nullptr); }
    void silence(std::uint8_t code, std::uint8_t a, std::uint8_t b) {
        dropping.silent = [=](std::span<const std::uint8_t> f) { return f[0] == code && f[1] == a && f[2] == b; };
    }
    int map(std::vector<std::string> args) {
        clearOutput();
        watch.sent.clear();
        const auto options = cli::ParseMapArgs(context, args);
        return options ? cli::RunMapOn(context, wire, *options) : cli::kUsage;
    }
    int points(std::vector<std::string> args) {
        clearOutput();
        watch.sent.clear();
        const auto options = cli::ParsePointsArgs(context, args);
        return options ? cli::RunPointsOn(context, wire, *options) : cli::kUsage;
    }
    int grid(int row, int column) const { return controller.running().grid[std::size_t(7 * row + column)] - 100; }
    int standard(int k) const { return controller.running().stdMap[std::size_t(k)] - 100; }
    std::uint16_t mapWord(int w) const { return controller.stores().mapWords[std::size_t(w)]; }
};

}  // namespace

TEST(MapCommand, ShowGivesModePointsAndBothMapsAndWritesNothing) {
    MapRig rig;
    ASSERT_EQ(rig.map({"show", "--json"}), cli::kOk) << rig.err.str();
    EXPECT_TRUE(rig.watch.onlyReads());
    // Ignition type 2, the slow clock: R = 230400 * 60 / (2 rpm) ticks, T = ms * 230.4 ticks (both truncated).
    const std::string rows = "[15,15,15,15,15,15,15],";
    std::string advanced = "[[-5,15,15,15,15,15,15],[40,15,15,15,15,15,15],";
    for (int r = 2; r < 11; ++r) advanced += rows;
    advanced += "[15,15,15,15,15,15,48]]";
    EXPECT_EQ(rig.out.str(),
              "{\"mode\":\"standard\",\"points\":{\"ms\":[1.5,2.0,3.0,4.5,6.0,8.0,10.0,12.0,14.0,16.0,18.0],"
              "\"rpm\":[1000,2000,3000,4000,5000,6000],"
              "\"raw\":[6911,3456,2304,1728,1382,1152,345,460,691,1036,1382,1843,2304,2764,3225,3686,4147]},"
              "\"advanced\":" + advanced + ",\"standard\":[15,15,15,-7,15,15,15,15,15,15,15,15]}\n");

    ASSERT_EQ(rig.map({"show"}), cli::kOk);
    const std::string text = rig.out.str();
    EXPECT_EQ(text.rfind("Map mode: standard\nEngine speed R1..R6 (rpm): 1000 2000 3000 4000 5000 6000\n", 0), 0u) << text;
    EXPECT_NE(text.find(" ms\\rpm   1000   2000   3000   4000   5000   6000  +6000\n"
                        "    1.5     -5    +15    +15    +15    +15    +15    +15\n"
                        "    2.0    +40    +15"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("  +18.0    +15    +15    +15    +15    +15    +15    +48\n"), std::string::npos) << text;
    EXPECT_NE(text.find("      %    +15    +15    +15     -7    +15"), std::string::npos) << text;
}

TEST(MapCommand, ShowWithUnansweredCellsPrintsNullAndExits4) {
    MapRig rig;
    // Every read of row 3 column 2 is lost on the way: two tries in the map read, one more afterwards.
    rig.silence(link::code::GridCellRead, 2, 1);
    ASSERT_EQ(rig.map({"show", "--json"}), cli::kNoAnswer);
    EXPECT_NE(rig.out.str().find("[15,null,15,15,15,15,15]"), std::string::npos) << rig.out.str();
    EXPECT_EQ(rig.err.str(), "sequaflow-cli: no valid answer for advanced map cell row 3, column 2\n");
}

TEST(MapCommand, AdvancedEditsSendThePartnerCellTheControllerHolds) {
    MapRig rig;
    ASSERT_EQ(rig.map({"step", "advanced", "1", "1", "5"}), cli::kOk) << rig.err.str();
    EXPECT_EQ(rig.out.str(), "Sent 1 cell(s), in this order:\n  advanced row 1, column 1: -5 -> 0\n");
    EXPECT_EQ(rig.grid(0, 0), 0);
    // Row 2 (+40) shares the store word and must come back unchanged in its low byte.
    EXPECT_EQ(rig.mapWord(18), Pack(100, 140));
    EXPECT_EQ(rig.watch.count(link::code::GridCellSet), 1);

    // A step up limits at the maximum only: +48 + 5 is +50; a typed 99 is the maximum, -40 the minimum.
    ASSERT_EQ(rig.map({"step", "advanced", "12", "7", "+5"}), cli::kOk);
    EXPECT_EQ(rig.grid(11, 6), 50);
    EXPECT_EQ(rig.mapWord(18 + 6 * 6 + 5), Pack(115, 150));
    ASSERT_EQ(rig.map({"set", "advanced", "5-6", "3-4", "99"}), cli::kOk);
    EXPECT_EQ(rig.grid(4, 2), 50);
    EXPECT_EQ(rig.grid(5, 3), 50);
    EXPECT_EQ(rig.grid(6, 3), 15);
    EXPECT_EQ(rig.out.str(),
              "Sent 4 cell(s), in this order:\n  advanced row 6, column 4: +15 -> +50\n"
              "  advanced row 5, column 4: +15 -> +50\n  advanced row 6, column 3: +15 -> +50\n"
              "  advanced row 5, column 3: +15 -> +50\n");
    ASSERT_EQ(rig.map({"set", "advanced", "5", "3", "-40"}), cli::kOk);
    EXPECT_EQ(rig.grid(4, 2), -25);
    EXPECT_EQ(rig.mapWord(18 + 6 * 2 + 2), Pack(75, 150));
}

TEST(MapCommand, TheTurboFlagRaisesTheMaximum) {
    MapRig rig(true);
    ASSERT_EQ(rig.map({"set", "advanced", "2", "2", "99"}), cli::kOk);
    EXPECT_EQ(rig.grid(1, 1), 90);
    ASSERT_EQ(rig.map({"set", "standard", "1", "99"}), cli::kOk);
    EXPECT_EQ(rig.standard(0), 90);
}

TEST(MapCommand, GradientReachesTheRingsInsideTheGrid) {
    MapRig rig;
    // 8 on row 6 column 4: the cell +8, ring 1 +4, ring 2 +2, ring 3 +1 (rows 3..9, columns 1..7).
    ASSERT_EQ(rig.map({"gradient", "6", "4", "8"}), cli::kOk) << rig.err.str();
    EXPECT_EQ(rig.grid(5, 3), 23);
    EXPECT_EQ(rig.grid(4, 2), 19);
    EXPECT_EQ(rig.grid(7, 5), 17);
    EXPECT_EQ(rig.grid(2, 0), 16);
    EXPECT_EQ(rig.grid(8, 6), 16);
    EXPECT_EQ(rig.grid(1, 3), 15);
    EXPECT_EQ(rig.watch.count(link::code::GridCellSet), 1 + 8 + 16 + 24);
}

TEST(MapCommand, StandardEditsSendTheWholeStripOrTheTypedSegments) {
    MapRig rig;
    ASSERT_EQ(rig.map({"step", "standard", "4", "+1"}), cli::kOk) << rig.err.str();
    EXPECT_EQ(rig.standard(3), -6);
    EXPECT_EQ(rig.controller.stores().corrWords[3], 94);
    EXPECT_EQ(rig.watch.count(link::code::StdMapSet), 12);
    const std::string out = rig.out.str();
    EXPECT_EQ(out.rfind("Sent 12 cell(s), in this order:\n  standard segment 1: +15 -> +15\n", 0), 0u) << out;
    EXPECT_NE(out.find("  standard segment 4: -7 -> -6\n  standard segment 5: +15 -> +15\n"), std::string::npos) << out;

    ASSERT_EQ(rig.map({"set", "standard", "10-12", "-30"}), cli::kOk);
    EXPECT_EQ(rig.standard(9), -25);
    EXPECT_EQ(rig.standard(11), -25);
    EXPECT_EQ(rig.standard(8), 15);
    EXPECT_EQ(rig.watch.count(link::code::StdMapSet), 3);
}

TEST(MapCommand, ModeChangesOnlyItsTwoBits) {
    MapRig rig(true);
    const auto before = rig.controller.stores().params[params::pn::SecondFlags];
    ASSERT_EQ(rig.map({"mode", "advanced"}), cli::kOk) << rig.err.str();
    EXPECT_EQ(rig.out.str(), "Map mode: advanced (was standard)\n");
    EXPECT_EQ(rig.controller.stores().params[params::pn::SecondFlags], (before & ~0xCu) | (1u << 2));
    ASSERT_EQ(rig.map({"mode", "none"}), cli::kOk);
    EXPECT_EQ(rig.controller.running().params[params::pn::SecondFlags], before & ~0xCu);
    ASSERT_EQ(rig.map({"show", "--json"}), cli::kOk);
    EXPECT_EQ(rig.out.str().rfind("{\"mode\":\"none\",", 0), 0u);
}

TEST(MapCommand, ALostLineSaysWhichCellsWereSent) {
    MapRig rig;
    int sets = 0;
    rig.watch.onFrame = [&](const link::Frame& f) {
        if (f[0] == link::code::GridCellSet && ++sets == 3) rig.port.unplug();
    };
    EXPECT_EQ(rig.map({"step", "advanced", "1-2", "1-2", "1"}), cli::kPortError);
    // The third cell's set went out before the line was found gone: it is listed, the fourth is not.
    EXPECT_EQ(rig.out.str(),
              "Sent 3 cell(s), in this order:\n  advanced row 2, column 2: +15 -> +16\n"
              "  advanced row 1, column 2: +15 -> +16\n  advanced row 2, column 1: +40 -> +41\n");
    const std::string err = rig.err.str();
    EXPECT_NE(err.find("the controller's port went away (/dev/simulated"), std::string::npos) << err;
    EXPECT_NE(err.find("the map edit stopped with 3 of 4 cell(s) sent (listed above)"), std::string::npos) << err;
}

TEST(MapCommand, ACellThatDoesNotAnswerStopsTheEditBeforeAnythingIsSent) {
    MapRig rig;
    rig.silence(link::code::GridCellRead, 11, 6);
    EXPECT_EQ(rig.map({"step", "advanced", "1", "1", "1"}), cli::kNoAnswer);
    EXPECT_TRUE(rig.watch.onlyReads());
    EXPECT_EQ(rig.err.str(), "sequaflow-cli: no valid answer for advanced map cell row 12, column 7; nothing was sent\n");
}

TEST(MapCommand, WithoutAControllerItGivesUpAfterTheParameters) {
    MapRig rig;
    rig.dropping.silent = [](std::span<const std::uint8_t>) { return true; };
    EXPECT_EQ(rig.map({"show"}), cli::kNoAnswer);
    EXPECT_EQ(rig.err.str(), "sequaflow-cli: no valid answer from a controller on /dev/simulated; nothing was sent\n");
    EXPECT_EQ(rig.watch.sent.size(), 6u);  // each of the three parameters asked twice
    EXPECT_EQ(rig.points({"preset", "1"}), cli::kNoAnswer);
    EXPECT_TRUE(rig.watch.onlyReads());
}

TEST(MapCommand, ArgumentsOutsideTheMapOrNotNumbersAreUsageErrors) {
    testing_support::CliSimRig rig;
    const auto parse = [&](std::vector<std::string> args) {
        rig.clearOutput();
        return cli::ParseMapArgs(rig.context, args);
    };
    const auto block = parse({"step", "advanced", "12-10", "7", "-5"});
    ASSERT_TRUE(block);
    EXPECT_EQ(block->block, (maps::GridBlock{7, 10, 7, 12}));
    EXPECT_EQ(block->delta, -5);
    const auto strip = parse({"step", "standard", "1-12", "5"});
    ASSERT_TRUE(strip);
    EXPECT_EQ(strip->run, (maps::StripRun{0, 11}));
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"set", "advanced", "0", "1", "5"}, {"set", "advanced", "13", "1", "5"},
          {"set", "advanced", "1", "8", "5"}, {"set", "advanced", "1", "1-9", "5"}, {"set", "advanced", "1", "1", "1.5"},
          {"set", "advanced", "1", "1", "abc"}, {"set", "advanced", "1", "1", "+"}, {"set", "advanced", "1", "1", ""},
          {"set", "advanced", "1", "1", "0x10"}, {"step", "standard", "13", "1"}, {"step", "standard", "3-", "1"},
          {"step", "standard", "-3", "1"}, {"gradient", "1-2", "1", "x"}, {"gradient", "1", "1"},
          {"set", "advanced", "1", "1", "5", "6"}, {"mode", "turbo"}, {"show", "--csv"}, {"draw"}, {}}) {
        EXPECT_FALSE(parse(bad)) << ::testing::PrintToString(bad);
        EXPECT_NE(rig.err.str().find("Try 'sequaflow-cli --help'."), std::string::npos);
    }
    // A usage error comes before the port: exit 2 although the device does not exist.
    std::ostringstream out, err;
    cli::Context context{out, err, {}, false, nullptr};
    EXPECT_EQ(cli::RunCli({"--device", "/nonexistent/tty", "map", "set", "advanced", "13", "1", "5"}, context),
              cli::kUsage);
    EXPECT_EQ(cli::RunCli({"--device", "/nonexistent/tty", "points", "set", "--rpm", "1000,900,3000,4000,5000,6000"},
                          context),
              cli::kUsage);
    EXPECT_EQ(err.str().find("cannot open"), std::string::npos) << err.str();
}

TEST(PointsCommand, PresetSendsAllSeventeenAsTheEditorWould) {
    MapRig rig;
    ASSERT_EQ(rig.points({"preset", "3"}), cli::kOk) << rig.err.str();
    EXPECT_EQ(rig.watch.count(link::code::PointSet), 17);
    // 1000, 2500, 5000, 6500, 7500, 9000 rpm; 1.5, 2, 3, 4, 6, 8, 11, 13, 16, 18, 20 ms.
    const std::array<std::uint16_t, 17> expected{6912, 2764, 1382, 1063, 921, 768, 345, 460, 691, 921,
                                                 1382, 1843, 2534, 2995, 3686, 4147, 4608};
    for (int i = 0; i < 17; ++i) {
        EXPECT_EQ(rig.controller.running().points[std::size_t(i)], expected[std::size_t(i)]) << i;
        EXPECT_EQ(rig.mapWord(i), expected[std::size_t(i)]) << i;
    }
    EXPECT_NE(rig.out.str().find("Now:\nEngine speed R1..R6 (rpm): 1000 2500 5000 6500 7500 9000\n"
                                 "Injection time T1..T11 (ms): 1.5 2.0 3.0 4.0 6.0 8.0 11.0 13.0 16.0 18.0 20.0\n"),
              std::string::npos)
        << rig.out.str();
}

TEST(PointsCommand, OneGroupKeepsTheOtherGroupsWordsExactly) {
    MapRig rig;
    ASSERT_EQ(rig.points({"set", "--ms", "1,2,3,4,5,6,7,8,9,10,11.5"}), cli::kOk) << rig.err.str();
    EXPECT_EQ(rig.watch.count(link::code::PointSet), 17);
    // 6911 would come back as 6912 through its "1000" text.
    EXPECT_EQ(rig.controller.running().points[0], 6911);
    EXPECT_EQ(rig.controller.running().points[5], 1152);
    EXPECT_EQ(rig.controller.running().points[6], 230);
    EXPECT_EQ(rig.controller.running().points[16], 2649);  // 11.5 * 230.4 = 2649.6

    ASSERT_EQ(rig.points({"set", "--rpm", "1020,2000,3000,4000,5000,7049"}), cli::kOk);
    EXPECT_EQ(rig.controller.running().points[0], 6912);  // 1020 is kept as 1000
    EXPECT_EQ(rig.controller.running().points[5], 987);   // 7000: 230400 * 60 / 14000 = 987.4
    EXPECT_EQ(rig.controller.running().points[16], 2649);

    ASSERT_EQ(rig.points({"show", "--json"}), cli::kOk);
    EXPECT_EQ(rig.out.str(), "{\"ms\":[1.0,2.0,3.0,4.0,5.0,6.0,7.0,8.0,9.0,10.0,11.5],\"rpm\":[1000,2000,3000,4000,5000,7000],"
                             "\"raw\":[6912,3456,2304,1728,1382,987,230,460,691,921,1152,1382,1612,1843,2073,2304,2649]}\n");
}

TEST(PointsCommand, BreakpointsThatDoNotRiseOrDoNotFitAreRefused) {
    MapRig rig;
    const auto pointsBefore = rig.controller.running().points;
    // Rising as typed, but the same tick once converted (1.5 and 1.501 ms are both 345 ticks: 345.6, 345.8).
    EXPECT_EQ(rig.points({"set", "--ms", "1.5,1.501,3,4,5,6,7,8,9,10,11"}), cli::kUsage);
    EXPECT_NE(rig.err.str().find("T2 = 1.501 ms is not above T1 once converted"), std::string::npos) << rig.err.str();
    // 300 ms is 69120 ticks, beyond the 16-bit word.
    EXPECT_EQ(rig.points({"set", "--ms", "1,2,3,4,5,6,7,8,9,10,300"}), cli::kUsage);
    EXPECT_TRUE(rig.watch.onlyReads());
    EXPECT_EQ(rig.controller.running().points, pointsBefore);

    std::ostringstream out, err;
    cli::Context context{out, err, {}, false, nullptr};
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"set"}, {"set", "--ms", "1,2,3"}, {"set", "--ms", "2,1,3,4,5,6,7,8,9,10,11"},
          {"set", "--ms", "0,1,3,4,5,6,7,8,9,10,11"}, {"set", "--ms", "a,1,3,4,5,6,7,8,9,10,11"},
          {"set", "--rpm", "1000,1049,3000,4000,5000,6000"}, {"set", "--rpm", "1000,2000,3000,4000,5000"},
          {"set", "--rpm", "1000.5,2000,3000,4000,5000,6000"}, {"set", "--rpm", "10,2000,3000,4000,5000,6000"},
          {"set", "--rpm"}, {"preset", "0"}, {"preset", "5"}, {"preset"}, {"show", "--csv"}})
        EXPECT_FALSE(cli::ParsePointsArgs(context, bad)) << ::testing::PrintToString(bad);
}
