#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "link/commands.h"
#include "link/link.h"
#include "link/posix_serial_port.h"
#include "live/live_frame.h"
#include "support/pty_peer.h"
#include "support/scripted_port.h"

using namespace sequaflow;
using testing_support::PtyPeer;

namespace {

std::vector<std::uint8_t> Controller(const std::vector<std::uint8_t>& f) {
    switch (f[0]) {
        case 'I': return {'I', 0x43, 37, static_cast<std::uint8_t>('I' + 0x43 + 37), ':'};
        case 'd': return testing_support::WordReply('d', f[1], static_cast<std::uint16_t>(1000 + f[1]));
        case 'V': {
            live::LiveWords w{};
            w[live::word::Period] = 4608;
            const auto frame = live::EncodeLiveFrame(w);
            return {frame.begin(), frame.end()};
        }
        default: return {};
    }
}

// The real serial port code on a pseudo-terminal with the scripted controller behind it, opened.
struct PtyLinkFixture : ::testing::Test {
    PtyPeer peer{Controller};
    link::PosixSerialPort port;
    link::RealPacer pacer;
    link::Link link{port, pacer};

    void SetUp() override {
        ASSERT_TRUE(peer.ok());
        link.setPortName(peer.slavePath());
        ASSERT_TRUE(link.openPort().ok());
    }
};

TEST_F(PtyLinkFixture, ExchangesOverAPseudoTerminal) {
    EXPECT_FALSE(port.hasModemLines());  // a pty has none; RTS handling is skipped without error

    const auto id = link::ReadIdentification(link);
    ASSERT_TRUE(id);
    EXPECT_EQ(id->hardware, 0x43);
    EXPECT_EQ(id->software, 37);
    EXPECT_EQ(link::ReadParamWord(link, 21), 1021);

    link::ReadLiveFrame(link);
    link.receiveWait(link::kLiveFrameSize);
    live::LiveWords words{};
    ASSERT_TRUE(live::DecodeLiveFrame(link.replyBuffer(), link.replyComplete(), words));
    EXPECT_EQ(words[live::word::Period], 4608u);

    link::WriteParamSequence(link, 14, 0x1234);
    const auto frames = peer.frames();
    ASSERT_GE(frames.size(), 6u);
    EXPECT_EQ(frames[3], (std::vector<std::uint8_t>{0x4B, 14, 0, 0, 0x59, ':'}));
    EXPECT_EQ(frames[5], (std::vector<std::uint8_t>{0x44, 14, 0x12, 0x34, 0x98, ':'}));
}

TEST(PosixSerialPortTest, SecondOpenOfTheSamePortIsRefusedAsBusy) {
    PtyPeer peer(Controller);
    ASSERT_TRUE(peer.ok());
    link::PosixSerialPort first, second;
    ASSERT_TRUE(first.open(peer.slavePath()).ok());
    const auto r = second.open(peer.slavePath());
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().code, link::PortErrorCode::Busy);
    first.close();
    EXPECT_TRUE(second.open(peer.slavePath()).ok());
}

TEST(PosixSerialPortTest, OpenFailuresCarryTheReason) {
    link::PosixSerialPort port;
    auto r = port.open("/dev/does-not-exist-sequaflow");
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().code, link::PortErrorCode::NotFound);
    EXPECT_NE(r.error().detail.find("/dev/does-not-exist-sequaflow"), std::string::npos);

    std::ofstream("plain.txt") << "x";
    r = port.open("plain.txt");
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().code, link::PortErrorCode::NotSerial);

    r = port.open("/dev/null");
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().code, link::PortErrorCode::NotSerial);
    EXPECT_FALSE(port.isOpen());

    // A folder given as the device is no serial port either (not an input/output error).
    std::filesystem::create_directory("folder");
    r = port.open("folder");
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().code, link::PortErrorCode::NotSerial);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(PtyLinkFixture, HangUpWhileOpenClosesTheLinkCleanly) {
    link.setConnected(true);
    peer.hangUp();
    link::ReadLiveFrame(link);
    link.receiveWait(link::kLiveFrameSize);
    EXPECT_FALSE(link.replyComplete());
    EXPECT_FALSE(link.portOpen());
    EXPECT_FALSE(link.connected());
    ASSERT_TRUE(link.lostReason());
    EXPECT_EQ(link.lostReason()->code, link::PortErrorCode::Lost);
}

}  // namespace
