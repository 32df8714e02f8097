#include <gtest/gtest.h>

#include <bit>
#include <set>

#include "sim/fault_injector.h"
#include "sim_bench.h"

namespace sequaflow::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kReply = {'d', 5, 0x12, 0x34, 0xFD, ':'};

TEST(FaultSpecText, ParsesTheListAndRejectsNonsense) {
    auto spec = ParseFaultSpec("drop=0.02,truncate=0.01,corrupt=0.01,late=0.01,stray=0.005");
    ASSERT_TRUE(spec);
    EXPECT_DOUBLE_EQ(spec->drop, 0.02);
    EXPECT_DOUBLE_EQ(spec->truncate, 0.01);
    EXPECT_DOUBLE_EQ(spec->corrupt, 0.01);
    EXPECT_DOUBLE_EQ(spec->late, 0.01);
    EXPECT_DOUBLE_EQ(spec->stray, 0.005);
    EXPECT_TRUE(ParseFaultSpec(""));
    EXPECT_FALSE(ParseFaultSpec("")->any());
    for (const char* bad : {"drop", "drop=", "drop=x", "drop=1.5", "drop=-0.1", "drop=0.1x", "lose=0.1", "drop=nan"}) {
        auto r = ParseFaultSpec(bad);
        ASSERT_FALSE(r) << bad;
        EXPECT_FALSE(r.error().detail.empty());
    }
}

TEST(FaultInjection, EachFaultDoesWhatItSays) {
    FaultInjector drop({.drop = 1}, 1);
    EXPECT_TRUE(drop.apply(kReply).empty());

    FaultInjector cut({.truncate = 1}, 1);
    for (int i = 0; i < 50; ++i) {
        auto d = cut.apply(kReply);
        ASSERT_EQ(d.size(), 1u);
        ASSERT_LT(d[0].bytes.size(), kReply.size());
        ASSERT_GE(d[0].bytes.size(), 1u);
        EXPECT_TRUE(std::equal(d[0].bytes.begin(), d[0].bytes.end(), kReply.begin()));
    }

    FaultInjector flip({.corrupt = 1}, 1);
    for (int i = 0; i < 50; ++i) {
        auto d = flip.apply(kReply);
        ASSERT_EQ(d[0].bytes.size(), kReply.size());
        int bits = 0;
        for (std::size_t k = 0; k < kReply.size(); ++k)
            bits += std::popcount(static_cast<unsigned>(d[0].bytes[k] ^ kReply[k]));
        EXPECT_EQ(bits, 1);
    }

    FaultInjector late({.late = 1}, 1);
    auto d = late.apply(kReply);
    EXPECT_EQ(d[0].bytes, kReply);
    EXPECT_EQ(d[0].delay, FaultInjector::kLateDelay);

    FaultInjector stray({.stray = 1}, 1);
    d = stray.apply(kReply);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_GE(d[0].bytes.size(), 1u);
    EXPECT_EQ(d[1].bytes, kReply);
    EXPECT_EQ(stray.apply({}).size(), 1u);  // stray bytes also come after a write that has no reply

    FaultInjector none({}, 1);
    EXPECT_EQ(none.apply(kReply)[0].bytes, kReply);
    EXPECT_TRUE(none.apply({}).empty());
}

TEST(FaultInjection, SameSeedSameFaults) {
    const FaultSpec spec{.drop = 0.1, .truncate = 0.1, .corrupt = 0.1, .late = 0.1, .stray = 0.1};
    auto run = [&](std::uint32_t seed) {
        FaultInjector f(spec, seed);
        std::vector<Bytes> out;
        for (int i = 0; i < 500; ++i)
            for (auto& d : f.apply(kReply)) {
                out.push_back(d.bytes);
                out.back().push_back(static_cast<std::uint8_t>(d.delay.count() != 0));
            }
        return out;
    };
    EXPECT_EQ(run(9), run(9));
    EXPECT_NE(run(9), run(10));
    FaultInjector f(spec, 9);
    for (int i = 0; i < 2000; ++i) (void)f.apply(kReply);
    // Each fault happens at roughly its rate (2000 draws, 10 %).
    for (auto n : {f.counts().drop, f.counts().stray, f.counts().late})
        EXPECT_NEAR(static_cast<double>(n), 200.0, 60.0);
}

TEST(FaultInjection, EdgeRepliesTrickleInAroundTheEndOfTheReceiveWait) {
    EXPECT_TRUE(ParseFaultSpec("vanish=0.01,edge=0.02")->any());
    EXPECT_DOUBLE_EQ(ParseFaultSpec("vanish=0.01,edge=0.02")->edge, 0.02);
    EXPECT_NE(ParseFaultSpec("melt=1").error().detail.find("vanish, edge"), std::string::npos);

    FaultInjector edge({.edge = 1}, 3);
    const std::chrono::microseconds wait{link::kReceivePolls * link::kPollMs * 1000};
    int before = 0, after = 0;
    for (int i = 0; i < 200; ++i) {
        const auto d = edge.apply(kReply);
        ASSERT_EQ(d.size(), kReply.size());
        Bytes joined;
        for (std::size_t k = 0; k < d.size(); ++k) {
            ASSERT_EQ(d[k].bytes.size(), 1u);
            joined.push_back(d[k].bytes[0]);
            if (k > 0) {
                EXPECT_GT(d[k].delay, d[k - 1].delay);
                EXPECT_LE(d[k].delay - d[k - 1].delay, FaultInjector::kEdgeGap);
            }
        }
        EXPECT_EQ(joined, kReply);
        ASSERT_GE(d.back().delay, FaultInjector::kEdgeEarliest);
        ASSERT_LE(d.back().delay, FaultInjector::kEdgeLatest);
        (d.back().delay < wait ? before : after) += 1;
    }
    // Some make the wait and some miss it.
    EXPECT_GT(before, 20);
    EXPECT_GT(after, 20);
    EXPECT_EQ(edge.counts().edge, 200u);
}

TEST(FaultInjection, AVanishingDeviceHangsUpAfterAnyPartOfTheReply) {
    FaultInjector vanish({.vanish = 1}, 4);
    std::set<std::size_t> lengths;
    for (int i = 0; i < 100; ++i) {
        const auto d = vanish.apply(kReply);
        ASSERT_FALSE(d.empty());
        EXPECT_TRUE(d.back().hangUp);
        EXPECT_TRUE(d.back().bytes.empty());
        const std::size_t n = d.size() == 2 ? d[0].bytes.size() : 0;
        if (n) {
            EXPECT_TRUE(std::equal(d[0].bytes.begin(), d[0].bytes.end(), kReply.begin()));
        }
        lengths.insert(n);
    }
    EXPECT_EQ(lengths.size(), kReply.size() + 1);  // from nothing to the whole reply
    // A write has no reply, and the line can die after it all the same.
    const auto w = vanish.apply({});
    ASSERT_EQ(w.size(), 1u);
    EXPECT_TRUE(w[0].hangUp);
    EXPECT_EQ(vanish.counts().vanish, 101u);
}

// In virtual time the receive wait is exactly 42 ms: an edge reply is taken whole or not at all, and a
// missed one is found at the front of the next wait, where it is not taken for the next request's answer.
TEST(FaultInjection, EdgeRepliesOnTheLinkAreTakenWholeOrNotAtAll) {
    testing::SimBench s;
    s.port.setFaults(FaultInjector({.edge = 0.3}, 11));
    int taken = 0, missed = 0;
    for (int round = 0; round < 10; ++round)
        for (std::uint8_t i = 0; i < params::kParameterCount; ++i) {
            const auto v = link::ReadParamWord(s.link, i);
            if (!v) {
                ++missed;
                continue;
            }
            ++taken;
            ASSERT_EQ(*v, s.controller.running().params[i]) << "parameter " << int(i);
        }
    EXPECT_GT(taken, 200);
    EXPECT_GT(missed, 50);
}

TEST(FaultInjection, AVanishedDeviceIsLostUntilOpenedAgain) {
    testing::SimBench s;
    s.port.setFaults(FaultInjector({.vanish = 1}, 2));
    EXPECT_FALSE(link::ReadParamWord(s.link, 5));
    EXPECT_FALSE(s.link.portOpen());
    ASSERT_TRUE(s.link.lostReason());
    s.port.setFaults(std::nullopt);
    ASSERT_TRUE(s.link.openPort());
    EXPECT_EQ(link::ReadParamWord(s.link, 5), s.controller.running().params[5]);
}

// With faults on the in-process port the program's own one-retry reads still get their values.
TEST(FaultInjection, ShortReadsSurviveOccasionalFaultsWithTheirRetry) {
    testing::SimBench s;
    s.port.setFaults(FaultInjector({.drop = 0.05, .corrupt = 0.05}, 5));
    int good = 0;
    for (std::uint8_t i = 0; i < params::kPointCount; ++i) {
        auto v = link::ReadShort(s.link, link::ShortRead::PointRead, i);
        if (v && *v == params::kDefaultPoints[i]) ++good;
    }
    EXPECT_GE(good, 15);
}

}  // namespace
}  // namespace sequaflow::sim
