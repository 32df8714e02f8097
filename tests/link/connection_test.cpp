#include <gtest/gtest.h>

#include "link/connection.h"
#include "support/scripted_port.h"

using namespace sequaflow;
using testing_support::ScriptedPort;

namespace {

struct ConnectionFixture : ::testing::Test {
    link::VirtualPacer pacer;
    ScriptedPort port{pacer};
    link::Link link{port, pacer};
    link::PortTable table;
    link::ConnectionManager manager{link, table};

    void answerIdentifyOn(const std::string& path, std::uint8_t hw = 0x43, std::uint8_t sw = 37) {
        port.setResponder([this, path, hw, sw](ScriptedPort& p, const link::Frame& f) {
            if (f[0] == 'I' && link.portName() == path) p.deliver({'I', hw, sw, static_cast<std::uint8_t>('I' + hw + sw), ':'});
        });
    }
};

TEST(ControllerDataTest, DeviceAndCylinderTexts) {
    EXPECT_EQ(link::DeviceText(0x43), "d.4");
    EXPECT_EQ(link::CylinderText(0x43), "3-4cyl.");
    EXPECT_EQ(link::DeviceText(0x83), "d.4");
    EXPECT_EQ(link::CylinderText(0x83), "8");
    EXPECT_EQ(link::CylinderText(0x6F), "5-6cyl.");
    EXPECT_EQ(link::DeviceText(0x6F), "d.16");
    EXPECT_EQ(link::SoftwareText(37), "S.37");
}

TEST(PortTableTest, DefaultsOverridesAndNumbers) {
    link::PortTable t;
    EXPECT_EQ(t.path(0), "/dev/ttyUSB0");
    EXPECT_EQ(t.path(7), "/dev/ttyUSB7");
    EXPECT_EQ(t.path(8), "/dev/ttyACM0");
    EXPECT_EQ(t.path(16), "/dev/ttyS0");
    EXPECT_EQ(t.path(24), "/dev/ttyS8");
    EXPECT_EQ(link::PortTable::Caption(24), "COM25");
    EXPECT_TRUE(t.applyOverride("COM3=/tmp/sim"));
    EXPECT_EQ(t.path(2), "/tmp/sim");
    for (const char* bad : {"COM0=/x", "COM26=/x", "COM3", "COM3=", "LPT1=/x", "COMx=/x"})
        EXPECT_FALSE(t.applyOverride(bad)) << bad;
    EXPECT_EQ(link::ParsePortNumber("com12"), 11);
    EXPECT_EQ(link::ParsePortNumber("25"), 24);
    EXPECT_FALSE(link::ParsePortNumber("26"));
}

TEST_F(ConnectionFixture, ManualConnectionCaptionAndIdentifyFrame) {
    answerIdentifyOn(table.path(2));
    const auto r = manager.ConnectToPort(2);
    EXPECT_EQ(r.outcome, link::ConnectOutcome::Connected);
    EXPECT_TRUE(link.connected());
    EXPECT_EQ(manager.caption(), "Kestra sequaflow system - V 2.20 (16.02.2010) H.67 S.37");
    EXPECT_EQ(port.written().front(), link::BuildFrame('I', 0, 0, 0));
    EXPECT_EQ(pacer.pauses().front(), 20);
}

TEST_F(ConnectionFixture, ManualConnectionFailuresCloseAndSayWhy) {
    port.failNextOpen({link::PortErrorCode::PermissionDenied, "/dev/ttyUSB4: Permission denied"});
    auto r = manager.ConnectToPort(4);
    EXPECT_EQ(r.outcome, link::ConnectOutcome::PortFailed);
    ASSERT_TRUE(r.portError);
    EXPECT_EQ(r.portError->code, link::PortErrorCode::PermissionDenied);

    r = manager.ConnectToPort(4);  // opens, nobody answers
    EXPECT_EQ(r.outcome, link::ConnectOutcome::NoController);
    EXPECT_FALSE(link.portOpen());
    EXPECT_FALSE(link.connected());
}

TEST_F(ConnectionFixture, DetectionGivesEachPortOneAndFiveMoreAttempts) {
    table.setPath(0, "/dev/a");
    table.setPath(1, "/dev/b");
    answerIdentifyOn("/dev/b");
    manager.StartAutoDetect();
    std::vector<std::string> statuses;
    int ticks = 0;
    for (; ticks < 20; ++ticks) {
        const auto tick = manager.AutoConnectTick();
        if (tick.status) statuses.push_back(*tick.status);
        if (tick.connected) break;
    }
    // Tick 1 opens COM1 and tries; ticks 2..6 try five more times; tick 7 closes, moves on, opens COM2 and
    // finds it.
    EXPECT_EQ(ticks, 6);
    EXPECT_EQ(statuses, (std::vector<std::string>{"COM 1. 1", "COM 1. 2", "COM 1. 3", "COM 1. 4", "COM 1. 5"}));
    EXPECT_EQ(manager.portIndex(), 1);
    EXPECT_EQ(manager.caption(), "Kestra sequaflow system - V 2.20 (16.02.2010)v.7.3.0D Meridian H.67 S.37");
    int identifies = 0;
    for (const auto& f : port.written()) identifies += f[0] == 'I';
    EXPECT_EQ(identifies, 7);
}

TEST_F(ConnectionFixture, DetectionSkipsUnopenablePortsAndWrapsAfterCom25) {
    manager.setPortIndex(24);
    port.failNextOpen({link::PortErrorCode::NotFound, "gone"});
    link.setPortName(table.path(24));
    const auto tick = manager.AutoConnectTick();
    EXPECT_FALSE(tick.connected);
    EXPECT_EQ(manager.portIndex(), 0);
    EXPECT_EQ(tick.checkedPort, 0);
    EXPECT_EQ(link.portName(), table.path(0));
    EXPECT_TRUE(port.written().empty());
}

TEST_F(ConnectionFixture, StatusTextNamesThePortNumber) {
    manager.setPortIndex(2);
    link.setPortName(table.path(2));
    manager.AutoConnectTick();  // opens COM3, first attempt
    manager.AutoConnectTick();
    const auto tick = manager.AutoConnectTick();
    ASSERT_TRUE(tick.status);
    EXPECT_EQ(*tick.status, "COM 3. 2");
    EXPECT_EQ(tick.checkedPort, 2);
}

}  // namespace
