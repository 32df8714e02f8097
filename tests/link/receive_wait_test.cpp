#include <gtest/gtest.h>

#include "link/commands.h"
#include "link/link.h"
#include "support/scripted_port.h"
#include "support/virtual_link.h"

using namespace sequaflow;
using namespace std::chrono_literals;
using testing_support::ScriptedPort;

namespace {

struct LinkFixture : ::testing::Test, testing_support::VirtualLink {
    int polls() const {
        int n = 0;
        for (int p : pacer.pauses()) n += p == link::kPollMs;
        return n;
    }
};

TEST(FrameTest, ChecksumKeepsTheLowByte) {
    EXPECT_EQ(link::BuildFrame('V', 0, 0, 0), (link::Frame{0x56, 0, 0, 0, 0x56, 0x3A}));
    EXPECT_EQ(link::BuildFrame('E', 53, 0x12, 0x34), (link::Frame{0x45, 0x35, 0x12, 0x34, 0xC0, 0x3A}));
    EXPECT_EQ(link::BuildFrame('D', 0, 0xAA, 0xAA), (link::Frame{0x44, 0x00, 0xAA, 0xAA, 0x98, 0x3A}));
}

TEST_F(LinkFixture, ReplyInFirstPollCompletesInTheSecond) {
    port.deliver({'I', 0x43, 37, 0, ':'});
    const auto received = link.receiveWait(5);
    EXPECT_TRUE(link.replyComplete());
    EXPECT_EQ(received, 5u);
    EXPECT_EQ(polls(), 2);
}

TEST_F(LinkFixture, SixByteReplySplitAcrossPollsWithFiveExpected) {
    port.deliver({'d', 3, 0x12, 0x34, 0});
    port.deliver({':'}, 3ms);  // arrives during the second poll
    const auto received = link.receiveWait(5);
    EXPECT_TRUE(link.replyComplete());
    EXPECT_EQ(received, 5u);
    EXPECT_EQ(link.reply(5), ':');
    EXPECT_TRUE(link.replyValid('d', 5));
    EXPECT_EQ(polls(), 2);
}

TEST_F(LinkFixture, NothingAttachedMakesExactly21PollsAndKeepsOldBytes) {
    port.deliver({'d', 7, 0, 9, 0, ':'});
    link.receiveWait(5);
    pacer.clearPauses();
    const auto received = link.receiveWait(5);
    EXPECT_FALSE(link.replyComplete());
    EXPECT_EQ(received, 0u);
    EXPECT_EQ(polls(), 21);
    EXPECT_EQ(link.reply(0), 'd');  // previous reply stays in the buffer
    EXPECT_EQ(link.reply(1), 7);
}

TEST_F(LinkFixture, BytesOfTheLastPollNeverCompleteTheReply) {
    port.deliver({'I', 1, 2, 0, ':'}, 41ms);  // readable only at the 21st poll (42 ms)
    const auto received = link.receiveWait(5);
    EXPECT_FALSE(link.replyComplete());
    EXPECT_EQ(received, 0u);
    EXPECT_EQ(link.reply(0), 'I');  // appended all the same
}

TEST_F(LinkFixture, ReceivedCountExcludesTheLastPoll) {
    port.deliver({1, 2, 3});
    port.deliver({4, 5}, 3ms);
    port.deliver({6, 7}, 5ms);
    const auto received = link.receiveWait(5);
    EXPECT_TRUE(link.replyComplete());
    EXPECT_EQ(received, 5u);
    EXPECT_EQ(link.reply(5), 6);
    EXPECT_EQ(link.reply(6), 7);
}

TEST_F(LinkFixture, AtMost768BytesAPollAndNeverPastTheBuffer) {
    std::vector<std::uint8_t> flood(1000);
    for (std::size_t i = 0; i < flood.size(); ++i) flood[i] = static_cast<std::uint8_t>(i);
    port.deliver(flood);
    const auto received = link.receiveWait(67);
    EXPECT_TRUE(link.replyComplete());
    EXPECT_EQ(received, 768u);            // first poll took 768, the second the remaining 232
    EXPECT_EQ(port.pendingBytes(), 0u);
    EXPECT_EQ(link.reply(127), 127);      // the buffer holds the first 128 bytes only
    EXPECT_EQ(link.reply(500), 0);        // out-of-range offsets read as 0, nothing overrun
}

TEST_F(LinkFixture, StrayBytesBeforeAReplyFailTheEchoCheck) {
    port.deliver({0xFF, 'd', 5, 0, 1, 0, ':'});
    link::ParamRead(link, 5);
    link.receiveWait(6);
    EXPECT_TRUE(link.replyComplete());
    EXPECT_FALSE(link.replyValid('d', 5, 5));
}

TEST_F(LinkFixture, LostDeviceClosesTheLinkAndSaysWhy) {
    link.setConnected(true);
    port.loseDevice();
    link.receiveWait(5);
    EXPECT_FALSE(link.portOpen());
    EXPECT_FALSE(link.connected());
    ASSERT_TRUE(link.lostReason().has_value());
    EXPECT_EQ(link.lostReason()->code, link::PortErrorCode::Lost);
    link::ReadLiveFrame(link);  // sending on a closed link is harmless
    EXPECT_FALSE(link.replyComplete());
}

TEST_F(LinkFixture, OpenClearsConnectedAndCloseReportsWhetherAPortWasHeld) {
    link.setConnected(true);
    ASSERT_TRUE(link.openPort().ok());
    EXPECT_FALSE(link.connected());
    EXPECT_TRUE(link.closePort());
    EXPECT_FALSE(link.closePort());
    port.failNextOpen({link::PortErrorCode::Busy, "busy"});
    EXPECT_FALSE(link.openPort().ok());
    EXPECT_FALSE(link.portOpen());
}

TEST_F(LinkFixture, TransmitRaisesRtsOnlyWhileSending) {
    std::vector<bool> rtsAtWrite;
    port.setResponder([&](ScriptedPort& p, const link::Frame&) { rtsAtWrite.push_back(p.rtsRaised()); });
    link::SwitchToGas(link);
    ASSERT_EQ(rtsAtWrite.size(), 1u);
    EXPECT_TRUE(rtsAtWrite[0]);
    EXPECT_FALSE(port.rtsRaised());
}

}  // namespace
