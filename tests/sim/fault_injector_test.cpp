#include <gtest/gtest.h>

#include <bit>

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
