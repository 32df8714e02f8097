#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "link/port_inventory.h"
#include "support/idle_pty.h"

using namespace sequaflow;
namespace fs = std::filesystem;
using testing_support::IdlePty;

namespace {

constexpr const char* kFtdi = "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
constexpr const char* kCh340 = "usb-1a86_USB2.0-Serial-if00-port0";
constexpr const char* kProlific = "usb-Prolific_Technology_Inc._USB-Serial_Controller_D-if00-port0";

// A machine of its own below the test's directory: /dev with two adapters, a plain file and a folder where
// ports would be, a by-id link to nothing, and /proc with one program holding the first adapter.
struct FakeMachine : ::testing::Test {
    fs::path root = fs::current_path() / "machine";
    IdlePty usb0, acm0, extra;
    link::PortTable table;

    void SetUp() override {
        ASSERT_FALSE(usb0.slave.empty());
        ASSERT_FALSE(acm0.slave.empty());
        ASSERT_FALSE(extra.slave.empty());
        fs::create_directories(root / "dev/serial/by-id");
        fs::create_symlink(usb0.slave, root / "dev/ttyUSB0");
        fs::create_symlink(acm0.slave, root / "dev/ttyACM0");
        fs::create_symlink(extra.slave, root / "dev/ttyUSB12");
        std::ofstream(root / "dev/ttyUSB1") << "not a device";
        fs::create_directory(root / "dev/ttyUSB2");
        fs::create_symlink("../../ttyUSB0", root / "dev/serial/by-id" / kFtdi);
        fs::create_symlink("../../ttyACM0", root / "dev/serial/by-id" / kCh340);
        fs::create_symlink("../../ttyUSB12", root / "dev/serial/by-id" / kProlific);
        fs::create_symlink("../../ttyUSB9", root / "dev/serial/by-id/usb-Gone_Cable_12345678-if00-port0");

        fs::create_directories(root / "proc/4242/fd");
        fs::create_symlink(usb0.slave, root / "proc/4242/fd/3");
        fs::create_symlink("/nonexistent/file", root / "proc/4242/fd/4");
        std::ofstream(root / "proc/4242/comm") << "minicom\n";
        std::ofstream(root / "proc/4242/cmdline") << std::string("minicom\0-D\0/dev/ttyUSB0\0", 24);
        fs::create_directories(root / "proc/77/fd");  // holds nothing of ours
        std::ofstream(root / "proc/77/comm") << "bash\n";
        fs::create_directories(root / "proc/sys");  // not a process
        fs::create_directories(root / "proc/4243");  // a process without fd folder (gone meanwhile)
    }
};

TEST(AdapterNameTest, ByIdNamesBecomeVendorModelAndSerial) {
    EXPECT_EQ(link::AdapterName(kFtdi), "FTDI FT232R USB UART (A50285BI)");
    EXPECT_EQ(link::AdapterName("usb-Silicon_Labs_CP2102_USB_to_UART_Bridge_Controller_0001-if00-port0"),
              "Silicon Labs CP2102 USB to UART Bridge Controller (0001)");
    // Two words only: the last is the model, not a serial number.
    EXPECT_EQ(link::AdapterName(kCh340), "1a86 USB2.0-Serial");
    EXPECT_EQ(link::AdapterName(kProlific), "Prolific Technology Inc. USB-Serial Controller D");
    EXPECT_EQ(link::AdapterName("usb-Arduino__www.arduino.cc__0043_5573132313635171D0B1-if00"),
              "Arduino www.arduino.cc 0043 (5573132313635171D0B1)");
    // The second port of a two-port chip is told apart from the first.
    EXPECT_EQ(link::AdapterName("usb-FTDI_Dual_RS232-HS_FT9XYZ12-if01-port0"), "FTDI Dual RS232-HS (FT9XYZ12, interface 1)");
    // udev's escapes are undone; a control character never reaches a menu or a JSON line.
    EXPECT_EQ(link::AdapterName("usb-Some\\x20Vendor_Cable_X1234567-if00-port0"), "Some Vendor Cable (X1234567)");
    EXPECT_EQ(link::AdapterName("usb-Bad\\x0aName_Cable-if00"), "Bad?Name Cable");
    EXPECT_EQ(link::AdapterName("plain"), "plain");
    EXPECT_EQ(link::AdapterName(""), "");
}

TEST_F(FakeMachine, EntriesShowPresenceAdapterNamesAndTheOtherAdapters) {
    table.setPath(4, std::string("/dev/serial/by-id/") + kCh340);  // an entry may name the link itself
    const auto inv = link::TakeInventory(table, root.string());
    ASSERT_EQ(inv.entries.size(), 25u);

    const auto& first = inv.entries[0];
    EXPECT_EQ(first.caption, "COM1");
    EXPECT_EQ(first.path, "/dev/ttyUSB0");
    EXPECT_EQ(first.presence, link::PortPresence::Present);
    EXPECT_EQ(first.adapter, "FTDI FT232R USB UART (A50285BI)");
    EXPECT_EQ(first.adapterLink, std::string("/dev/serial/by-id/") + kFtdi);

    EXPECT_EQ(inv.entries[1].presence, link::PortPresence::NotSerial) << "a regular file";
    EXPECT_EQ(inv.entries[2].presence, link::PortPresence::NotSerial) << "a directory";
    EXPECT_EQ(inv.entries[3].presence, link::PortPresence::Missing);
    EXPECT_TRUE(inv.entries[3].adapter.empty());
    EXPECT_FALSE(inv.entries[3].access) << "nothing to check on a missing device";

    EXPECT_EQ(inv.entries[4].presence, link::PortPresence::Present);
    EXPECT_EQ(inv.entries[4].adapter, "1a86 USB2.0-Serial");
    EXPECT_EQ(inv.entries[8].path, "/dev/ttyACM0");
    EXPECT_EQ(inv.entries[8].adapter, "1a86 USB2.0-Serial") << "the same device under its own name";

    // The Prolific adapter is in no entry; the link to the unplugged cable names nothing and is left out.
    ASSERT_EQ(inv.others.size(), 1u);
    EXPECT_EQ(inv.others[0].name, "Prolific Technology Inc. USB-Serial Controller D");
    EXPECT_EQ(inv.others[0].device, "/dev/ttyUSB12");
    EXPECT_EQ(inv.others[0].link, std::string("/dev/serial/by-id/") + kProlific);
}

TEST_F(FakeMachine, TheHolderIsNamedFromProc) {
    const auto inv = link::TakeInventory(table, root.string());
    ASSERT_TRUE(inv.entries[0].access);
    const auto& a = *inv.entries[0].access;
    ASSERT_EQ(a.holders.size(), 1u);
    EXPECT_EQ(a.holders[0].pid, 4242);
    EXPECT_EQ(a.holders[0].name, "minicom");
    EXPECT_EQ(a.holders[0].command, "minicom -D /dev/ttyUSB0");
    EXPECT_FALSE(a.mayOpen());
    EXPECT_EQ(link::AccessProblemText(a), "in use by another program: minicom (pid 4242)");

    ASSERT_TRUE(inv.entries[8].access);
    EXPECT_TRUE(inv.entries[8].access->holders.empty());
    EXPECT_TRUE(inv.entries[8].access->mayOpen());
    EXPECT_EQ(link::AccessProblemText(*inv.entries[8].access), "");

    // Without the access checks (the menu's quick scan) nothing is asked of /proc.
    const auto quick = link::TakeInventory(table, root.string(), {.access = false});
    EXPECT_FALSE(quick.entries[0].access);
    EXPECT_EQ(quick.entries[0].adapter, "FTDI FT232R USB UART (A50285BI)");
}

TEST_F(FakeMachine, ADeviceThatVanishesAfterTheListingIsMissing) {
    const auto before = link::TakeInventory(table, root.string());
    ASSERT_EQ(before.entries[0].presence, link::PortPresence::Present);
    fs::remove(root / "dev/ttyUSB0");
    EXPECT_EQ(link::ProbePresence(root.string(), "/dev/ttyUSB0"), link::PortPresence::Missing);
    EXPECT_TRUE(link::FindHolders(root.string(), "/dev/ttyUSB0").empty());
    const auto after = link::TakeInventory(table, root.string());
    EXPECT_EQ(after.entries[0].presence, link::PortPresence::Missing);
    // Its by-id link now points nowhere: no adapter of it anywhere.
    EXPECT_TRUE(after.entries[0].adapter.empty());
    EXPECT_EQ(after.others.size(), 1u);
}

TEST_F(FakeMachine, NoPermissionNamesTheDevicesGroup) {
    if (geteuid() == 0) GTEST_SKIP() << "root may open anything";
    ASSERT_EQ(chmod(usb0.slave.c_str(), 0), 0);
    const auto a = link::CheckAccess(root.string(), "/dev/ttyUSB0");
    EXPECT_FALSE(a.permitted);
    EXPECT_FALSE(a.mayOpen());
    EXPECT_FALSE(a.group.empty());
    const std::string text = link::AccessProblemText(a);
    EXPECT_EQ(text.rfind("no permission: the device belongs to group " + a.group, 0), 0u) << text;
}

TEST(PortAccessTest, TheFirstMatchingClassOfTheModesDecides) {
    const std::vector<gid_t> user{1000};
    const std::vector<gid_t> dialout{1000, 20};
    EXPECT_FALSE(link::ModesAllow(020660, 0, 20, 1000, user)) << "root:dialout 660, user not in dialout";
    EXPECT_TRUE(link::ModesAllow(020660, 0, 20, 1000, dialout));
    EXPECT_FALSE(link::ModesAllow(020640, 0, 20, 1000, dialout)) << "the group may only read";
    EXPECT_FALSE(link::ModesAllow(020066, 1000, 20, 1000, dialout)) << "the owner's own bits forbid it";
    EXPECT_TRUE(link::ModesAllow(020666, 0, 0, 1000, user));
    EXPECT_TRUE(link::ModesAllow(020000, 0, 20, 0, {0}));
}

TEST(PortSettingTest, OnlyAbsolutePathsWithoutControlCharactersNameADevice) {
    EXPECT_TRUE(link::IsDevicePathSetting("/dev/ttyUSB0"));
    EXPECT_TRUE(link::IsDevicePathSetting("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"));
    for (const std::string& bad :
         {std::string(), std::string("ttyUSB0"), std::string("dev/ttyUSB0"), std::string("./ttyUSB0"),
          std::string("/dev/tty\nUSB0"), std::string("/dev/tty\rUSB0"), std::string("/dev/a\0b", 8),
          std::string("/dev/a\x7f"), "/" + std::string(5000, 'a')})
        EXPECT_FALSE(link::IsDevicePathSetting(bad)) << bad.size();
}

TEST(PortTableTest, OneRunEntriesAreMarkedAndBadMapsRefused) {
    link::PortTable t;
    EXPECT_FALSE(t.oneRun(2));
    ASSERT_TRUE(t.applyOverride("COM3=/tmp/sim"));
    EXPECT_TRUE(t.oneRun(2));
    EXPECT_FALSE(t.oneRun(3));
    t.setPath(2, "/dev/ttyUSB5");  // a lasting path replaces the one-run one
    EXPECT_FALSE(t.oneRun(2));
    EXPECT_FALSE(t.applyOverride("COM4=/dev/tty\nUSB0"));
    EXPECT_EQ(t.path(3), "/dev/ttyUSB3");
    EXPECT_FALSE(t.oneRun(3));
}

TEST(PortProblemTextTest, OneLinePerCauseWithoutRepeatingIt) {
    using link::PortErrorCode;
    EXPECT_EQ(link::PortProblemText("/dev/ttyUSB0", {PortErrorCode::NotFound, "/dev/ttyUSB0: No such file or directory"}),
              "there is no device /dev/ttyUSB0");
    EXPECT_EQ(link::PortProblemText("/tmp/d", {PortErrorCode::NotSerial, "/tmp/d: Is a directory"}),
              "/tmp/d is not a serial port");
    EXPECT_EQ(link::PortProblemText("/dev/ttyS0", {PortErrorCode::PermissionDenied, "x"}),
              "no permission to open /dev/ttyS0: add the user to the dialout group and log in again");
    link::PortAccess denied;
    denied.permitted = false;
    denied.group = "uucp";
    EXPECT_EQ(link::PortProblemText("/dev/ttyS0", {PortErrorCode::PermissionDenied, "x"}, &denied),
              "no permission to open /dev/ttyS0: the device belongs to group uucp; add the user to it and log in again");
    EXPECT_EQ(link::PortProblemText("/dev/ttyUSB0", {PortErrorCode::Busy, "/dev/ttyUSB0: lock: busy"}),
              "/dev/ttyUSB0 is in use by another program");
    link::PortAccess held;
    held.holders = {{42, "minicom", "minicom -D /dev/ttyUSB0"}, {43, "", ""}};
    EXPECT_EQ(link::PortProblemText("/dev/ttyUSB0", {PortErrorCode::Busy, "x"}, &held),
              "/dev/ttyUSB0 is in use by another program: minicom (pid 42), pid 43");
    EXPECT_EQ(link::PortProblemText("/dev/ttyUSB0", {PortErrorCode::Io, "/dev/ttyUSB0: write line settings: Invalid argument"}),
              "cannot open /dev/ttyUSB0: write line settings: Invalid argument");
}

}  // namespace
