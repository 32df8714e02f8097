#include <gtest/gtest.h>

#include "sim_bench.h"

namespace sequaflow::sim {
namespace {

using testing::SimBench;

TEST(SimPortTiming, LiveFrameAtOnceTakesTwoPolls) {
    SimBench s;
    link::ReadLiveFrame(s.link);
    s.link.receiveWait(link::kLiveFrameSize);
    EXPECT_TRUE(s.link.replyValid('V', 66));
    EXPECT_EQ(s.pacer.pauses(), (std::vector<int>{2, 2}));
}

TEST(SimPortTiming, LiveFrameAtLineRateTakesEightPolls) {
    // Six request bytes (1.04 ms), 0.3 ms of processing, 67 reply bytes (11.6 ms): the last byte is in
    // at 13.0 ms, read by the poll at 14 ms and judged complete one poll later.
    SimBench s;
    s.port.setLineRate(true);
    link::ReadLiveFrame(s.link);
    s.link.receiveWait(link::kLiveFrameSize);
    EXPECT_TRUE(s.link.replyValid('V', 66));
    EXPECT_EQ(s.pacer.pauses(), std::vector<int>(8, 2));
    EXPECT_EQ(s.link.receivedCount(), 67u);
}

TEST(SimPortTiming, StoresKeepTheControllerBusy) {
    // A read sent right after a lasting store waits for the store to finish: its reply starts at 5.1 ms
    // instead of 1.3 ms, so the wait needs five polls instead of three.
    SimBench s;
    s.port.setLineRate(true);
    link::ParamSelect(s.link, 5);
    link::ParamStore(s.link, 5, 30);
    s.pacer.clearPauses();
    EXPECT_EQ(link::ReadParamWord(s.link, 1), 115);
    EXPECT_EQ(s.pacer.pauses(), std::vector<int>(5, 2));
    // With the protocol's own pause after the store the controller is idle again.
    link::ParamSelect(s.link, 5);
    link::ParamStore(s.link, 5, 30);
    s.link.pause(20);
    s.pacer.clearPauses();
    EXPECT_EQ(link::ReadParamWord(s.link, 1), 115);
    EXPECT_EQ(s.pacer.pauses(), std::vector<int>(3, 2));
}

TEST(SimPortTiming, LateReplyIsStrayInputForTheNextRead) {
    SimBench s;
    s.port.setFaults(FaultInjector({.late = 1}, 1));
    EXPECT_FALSE(link::ReadParamWord(s.link, 5));
    EXPECT_EQ(s.pacer.pauses(), std::vector<int>(21, 2));
    s.port.setFaults(std::nullopt);
    s.link.pause(50);  // the late reply arrives meanwhile
    EXPECT_FALSE(link::ReadParamWord(s.link, 6));  // its buffer starts with the stale answer for 5
    EXPECT_EQ(s.link.reply(1), 5);
    EXPECT_EQ(link::ReadParamWord(s.link, 6), params::kFactoryParameters[6]);
}

TEST(SimPortTiming, OpenFailureAndUnplug) {
    SimBench s;
    s.link.closePort();
    s.port.setOpenError(link::PortErrorCode::Busy);
    auto r = s.link.openPort();
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error().code, link::PortErrorCode::Busy);
    s.port.setOpenError(std::nullopt);
    ASSERT_TRUE(s.link.openPort());
    s.port.unplug();
    EXPECT_FALSE(link::ReadIdentification(s.link));
    ASSERT_TRUE(s.port.failure());
    EXPECT_EQ(s.port.failure()->code, link::PortErrorCode::Lost);
}

}  // namespace
}  // namespace sequaflow::sim
