#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <sstream>

#include "cli/config_snapshot.h"
#include "params/fake_ecu.h"
#include "params/parameter_file.h"
#include "support/virtual_link.h"

using namespace sequaflow;

namespace {

struct Sent : ::testing::Test {
    params::ParameterImage image;
    maps::MapModel model;
    cli::ConfigSnapshot readBack;
    void SetUp() override {
        for (int n = 0; n < 64; ++n) image.setSlot(n, n);
        image.setSlot(0, 5);  // the marker goes out instead
        image.setSlot(49, -20);
        for (int n = 0; n < 64; ++n) readBack.parameters[static_cast<std::size_t>(n)] = n;
        readBack.parameters[0] = 43690;
        readBack.parameters[49] = -20;
        for (auto& p : readBack.points) p = 0u;
        for (auto& c : readBack.advanced) c = -100;
        for (auto& c : readBack.standard) c = -100;
    }
};

TEST_F(Sent, MatchingReadBackReportsNothing) {
    EXPECT_TRUE(cli::CompareWithSent(image, model, readBack).empty());
}

TEST_F(Sent, DifferencesAndUnreadValuesAreNamed) {
    readBack.parameters[7] = 8;
    readBack.points[16].reset();
    readBack.advanced[7 * 2 + 3] = 15;
    const auto lines = cli::CompareWithSent(image, model, readBack);
    ASSERT_EQ(lines.size(), 3u);
    // 7 and 8 ticks are both 0.03 ms on screen: the words tell them apart.
    EXPECT_EQ(lines[0], "parameter 7 (full_opening_ms): sent 0.03 (7), the controller holds 0.03 (8)");
    EXPECT_EQ(lines[1], "point 16: no valid answer (sent 0.0)");
    EXPECT_EQ(lines[2], "advanced map cell 2,3 (row,column): sent -100%, the controller holds +15%");
}

TEST_F(Sent, WorkTimeCountersMayCountOnButNotBack) {
    readBack.parameters[36] = 36 + 12;  // twelve seconds of running
    EXPECT_TRUE(cli::CompareWithSent(image, model, readBack).empty());
    readBack.parameters[38] = 30;  // went backwards
    EXPECT_EQ(cli::CompareWithSent(image, model, readBack).size(), 1u);
}

TEST(SnapshotJson, UnreadElementsAreNullAndSignedParametersNegative) {
    params::ParameterFileContent content;
    content.parameters[49] = -20;
    content.advanced[7] = 75;
    auto s = cli::SnapshotOfFile(content);
    s.points[3].reset();
    std::ostringstream out;
    cli::PrintJson(out, s);
    const std::string json = out.str();
    EXPECT_EQ(json.find("hardware"), std::string::npos);
    EXPECT_NE(json.find(",0,-20,0,"), std::string::npos);  // parameter 49 between 48 and 50
    EXPECT_NE(json.find("\"points\":[0,0,0,null,0"), std::string::npos);
    EXPECT_NE(json.find("\"advanced_map\":[[-100,-100,-100,-100,-100,-100,-100],[-25,"), std::string::npos);
    EXPECT_EQ(s.missing(), (std::vector<std::string>{"point 3"}));
    EXPECT_FALSE(s.completeForFile());
}

TEST(SaveRule, OnlyAWholeReadFromTheControllerOrAFileMayBeSaved) {
    cli::ConfigSnapshot s = cli::SnapshotOfFile({});
    EXPECT_TRUE(params::CanSaveConfiguration(s.readStatus()));
    s.fromController = true;
    EXPECT_EQ(s.readStatus(), params::ReadStatus::Complete);
    s.sequence.stopped = StopReason::Cancelled;  // every value in, but the read did not end
    EXPECT_FALSE(params::CanSaveConfiguration(s.readStatus()));
    s.sequence.stopped.reset();
    s.standard[11].reset();
    EXPECT_EQ(s.readStatus(), params::ReadStatus::Partial);
    EXPECT_FALSE(params::CanSaveConfiguration(s.readStatus()));
}

// ---- How a stopped sequence is told ----

cli::SequenceTrail TrailOf(std::initializer_list<std::tuple<const char*, int, int>> runs) {
    cli::SequenceTrail t;
    for (const auto& [phase, last, maximum] : runs)
        for (int p = 1; p <= last; ++p) t.note({phase, p, maximum});
    return t;
}

SequenceResult Stopped(StopReason why, int steps, bool sent = true) {
    SequenceResult r;
    r.stopped = why;
    r.steps = steps;
    r.sentSomething = sent;
    return r;
}

TEST(StopReport, StartsAndEndsOfSequences) {
    // The points go out a second time after the maps: a stop there is not a stop in the first sending.
    auto r = cli::DescribeStop(Stopped(StopReason::Cancelled, 116),
                               TrailOf({{"Mapa 1", 17, 17}, {"Mapa 2", 12, 12}, {"Mapa 1p", 84, 84}, {"Mapa 1", 3, 17}}),
                               "the load", true, SIGTERM, std::nullopt, "p");
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_EQ(r.lines[0], "the load was cancelled by a stop request (SIGTERM) while sending the points (3 of 17 done)");
    EXPECT_NE(r.lines[1].find("only in part: the points a second time (3 of 17)"), std::string::npos) << r.lines[1];

    r = cli::DescribeStop(Stopped(StopReason::Cancelled, 0, false), {}, "the factory reset", true, SIGINT,
                          std::nullopt, "p");
    EXPECT_EQ(r.lines, (std::vector<std::string>{"the factory reset was cancelled by Ctrl+C before it began",
                                                 "nothing was written to the controller"}));
    EXPECT_EQ(r.exitCode, cli::kCancelled);

    // A read writes nothing: no word about the controller's configuration.
    r = cli::DescribeStop(Stopped(StopReason::LineLost, 10, true), TrailOf({{"Param.", 11, 64}}), "the read", false, 0,
                          std::nullopt, "/tmp/x");
    EXPECT_EQ(r.lines, (std::vector<std::string>{
                           "the controller's port went away (/tmp/x)",
                           "the read stopped while reading the parameters (10 of 64 done, the next one was under way)"}));

    r = cli::DescribeStop(Stopped(StopReason::NotConnected, 0, false), {}, "the load", true, 0, std::nullopt, "p");
    EXPECT_EQ(r.exitCode, cli::kPortError);
    EXPECT_EQ(r.lines, (std::vector<std::string>{"the load did not start: the port is not open; nothing was sent"}));

    EXPECT_TRUE(cli::DescribeStop(SequenceResult{}, {}, "the load", true, 0, std::nullopt, "p").lines.empty());
}

// The trail and the stop as a real load makes them, in virtual time.
struct LoadStop : ::testing::Test {
    testing_support::VirtualLink v;
    testing_support::FakeEcu ecu;
    params::ParameterImage image;
    maps::MapModel model;
    cli::SequenceTrail trail;
    void SetUp() override { ecu.attach(v.port); }
    SequenceResult load(std::function<bool()> cancelled, params::ProgressFn progress = {}) {
        return params::LoadParameterFile(v.link, image, model, params::ParameterFileContent{},
                                         SequenceControl(trail.watch(std::move(progress)), std::move(cancelled)));
    }
    bool markerWritten() const {
        for (const auto& f : v.port.written())
            if (f[0] == link::code::ParamSet && f[1] == 0) return true;
        return false;
    }
};

TEST_F(LoadStop, CancelInTheAdvancedMapLeavesTheParametersAndTheMarkerUnsent) {
    const auto result = load([&] { return !trail.runs().empty() && trail.runs().back().phase == "Mapa 1p" &&
                                          trail.runs().back().position == 24; });
    const auto r = cli::DescribeStop(result, trail, "the load", true, SIGINT, std::nullopt, "p");
    EXPECT_EQ(r.exitCode, cli::kCancelled);
    EXPECT_EQ(r.lines, (std::vector<std::string>{
                           "the load was cancelled by Ctrl+C while sending the advanced map (24 of 84 done)",
                           "the controller now holds a partly written configuration: sent in full: the points and the "
                           "standard map; only in part: the advanced map (24 of 84); the rest was not sent; run the "
                           "load again to finish it"}));
    EXPECT_EQ(result.steps, 17 + 12 + 24);
    EXPECT_FALSE(markerWritten());
    EXPECT_EQ(v.port.written().back()[0], link::code::MapWordStore) << "the 24th cell goes out whole";
}

TEST_F(LoadStop, UnpluggedDuringTheParametersTheWriteUnderWayIsNotCounted) {
    const auto result = load([] { return false; }, [&](const params::ProgressStep& step) {
        if (step.phase == "Param." && step.position == 40) v.port.loseDevice();
    });
    const auto r = cli::DescribeStop(result, trail, "the load", true, 0, v.link.lostReason(), "/dev/fake");
    EXPECT_EQ(r.exitCode, cli::kPortError);
    ASSERT_EQ(r.lines.size(), 3u);
    EXPECT_EQ(r.lines[0], "the controller's port went away (/dev/fake: unplugged, or closed at the other end; the "
                          "system said: device unplugged)");
    EXPECT_EQ(r.lines[1], "the load stopped while sending the parameters (39 of 64 done, the next one was under way)");
    EXPECT_EQ(r.lines[2], "the controller now holds a partly written configuration: sent in full: the points, the "
                          "standard map and the advanced map; only in part: the parameters (39 of 64); the rest was "
                          "not sent; when the controller is back, run the load again to finish it");
    EXPECT_FALSE(markerWritten());
}

// ---- The read-back and its second try ----

struct ReadBackTest : ::testing::Test {
    testing_support::VirtualLink v;
    testing_support::FakeEcu ecu;
    params::ParameterImage sent;
    maps::MapModel sentModel;
    std::map<std::pair<std::uint8_t, std::uint8_t>, int> drops;  // request -> replies still to drop
    std::map<std::pair<std::uint8_t, std::uint8_t>, int> asked;

    void SetUp() override {
        for (int n = 0; n < 64; ++n) ecu.params[static_cast<std::size_t>(n)] = static_cast<std::uint16_t>(100 + n);
        ecu.params[0] = params::kProgrammedMarker;
        for (int k = 0; k < 17; ++k) ecu.points[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(1000 + k);
        for (auto& b : ecu.grid) b = 115;
        for (auto& b : ecu.standard) b = 95;
        for (int n = 0; n < 64; ++n) sent.storeWord(n, ecu.params[static_cast<std::size_t>(n)]);
        for (int k = 0; k < 17; ++k) sentModel.setPoint(k, ecu.points[static_cast<std::size_t>(k)]);
        for (int r = 0; r < 12; ++r)
            for (int c = 0; c < 7; ++c) sentModel.setCellByte(r, c, 115);
        for (int k = 0; k < 12; ++k) sentModel.setStdByte(k, 95);
        v.port.setResponder([this](testing_support::ScriptedPort& port, const link::Frame& f) {
            const auto key = f[0] == link::code::GridCellRead ? std::make_pair(f[1], f[2]) : std::make_pair(f[0], f[1]);
            ++asked[key];
            if (drops[key] > 0) {
                --drops[key];
                return;
            }
            ecu.respond(port, f);
        });
    }
};

TEST_F(ReadBackTest, RepliesMissedOnceAreAskedAgainAndOnlyWhatStaysUnansweredIsReported) {
    drops[{link::code::ParamRead, 7}] = 1;
    drops[{2, 3}] = 2;            // the map read asks twice itself
    drops[{5, 1}] = 1000;         // never answers
    drops[{link::code::StdMapRead, 4}] = 2;
    ecu.params[9] = 7;  // answers, with another value: a real difference
    const auto result = cli::ReadBack(v.link, sent, sentModel, {});
    EXPECT_TRUE(result.sequence.completed());
    EXPECT_EQ(result.differences,
              (std::vector<std::string>{"parameter 9 (param_9): sent 109, the controller holds 7",
                                        "advanced map cell 5,1 (row,column): no valid answer (sent +15%)"}));
    EXPECT_EQ((asked[{link::code::ParamRead, 9}]), 1) << "a value that answered is not asked again";
    EXPECT_EQ((asked[{link::code::ParamRead, 7}]), 2);
    EXPECT_EQ((asked[{2, 3}]), 3);
    EXPECT_EQ((asked[{5, 1}]), 4);
}

TEST_F(ReadBackTest, TheSecondTryAsksOnlyTheUnansweredInReadOrder) {
    drops[{link::code::ParamRead, 7}] = 1;
    drops[{link::code::PointRead, 16}] = 2;
    drops[{2, 3}] = 2;
    drops[{5, 1}] = 1000;
    params::ParameterImage image;
    maps::MapModel model;
    auto snapshot = cli::ReadSnapshot(v.link, image, model, {});
    ASSERT_EQ(snapshot.missing(), (std::vector<std::string>{"parameter 7", "point 16", "advanced map cell 2,3 (row,column)",
                                                            "advanced map cell 5,1 (row,column)"}));
    const auto before = v.port.written().size();
    v.pacer.clearPauses();
    cli::SequenceTrail trail;
    EXPECT_TRUE(cli::RereadUnanswered(v.link, snapshot, model, trail.watch({})).completed());

    const std::vector<link::Frame> frames(v.port.written().begin() + static_cast<std::ptrdiff_t>(before),
                                          v.port.written().end());
    EXPECT_EQ(frames, (std::vector<link::Frame>{link::BuildFrame(link::code::ParamRead, 7, 0, 0),
                                                link::BuildFrame(link::code::PointRead, 16, 0, 0),
                                                link::BuildFrame(link::code::GridCellRead, 5, 1, 0),
                                                link::BuildFrame(link::code::GridCellRead, 5, 1, 0),
                                                link::BuildFrame(link::code::GridCellRead, 2, 3, 0)}));
    // An answer is counted one poll after it arrived; the cell that stays silent waits out both of its
    // receive waits.
    std::vector<int> pauses(2 + 2, 2);
    pauses.insert(pauses.end(), 2 * 21, 2);
    pauses.insert(pauses.end(), 2, 2);
    EXPECT_EQ(v.pacer.pauses(), pauses);
    EXPECT_EQ(snapshot.parameters[7], 107);
    EXPECT_EQ(snapshot.points[16], 1016u);
    EXPECT_EQ(snapshot.advanced[7 * 2 + 3], 15);
    EXPECT_FALSE(snapshot.advanced[7 * 5 + 1]);
    ASSERT_EQ(trail.runs().size(), 3u);
    EXPECT_EQ(trail.runs()[2].phase, "Mapa 1p");
    EXPECT_EQ(trail.runs()[2].maximum, 2);
}

TEST_F(ReadBackTest, ACancelDuringTheSecondTryStopsIt) {
    drops[{5, 1}] = 1000;
    drops[{5, 2}] = 1000;
    int cellsAsked = 0;
    const SequenceControl control(
        [&](const params::ProgressStep& s) { cellsAsked += s.phase == "Mapa 1p" && s.maximum == 2; },
        [&] { return cellsAsked == 1; });
    const auto result = cli::ReadBack(v.link, sent, sentModel, control);
    EXPECT_EQ(result.sequence.stopped, StopReason::Cancelled);
    EXPECT_TRUE(result.differences.empty()) << "an unfinished read-back compares nothing";
    EXPECT_EQ((asked[{5, 2}]), 2);
}

}  // namespace
