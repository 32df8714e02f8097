#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli.h"
#include "link/posix_serial_port.h"
#include "support/cli_runner.h"
#include "support/pty_peer.h"

using namespace sequaflow;
using testing_support::PtyPeer;
using testing_support::RunTool;

namespace {

std::vector<std::uint8_t> Silent(const std::vector<std::uint8_t>&) { return {}; }

// The JSON object of one entry, cut out of the `ports --json` line.
std::string EntryJson(const std::string& out, const std::string& caption) {
    const auto at = out.find("{\"entry\":\"" + caption + "\"");
    if (at == std::string::npos) return {};
    return out.substr(at, out.find('}', at) - at + 1);
}

TEST(PortsCliTest, MappedEntriesShowWhatStandsThere) {
    PtyPeer free(Silent), held(Silent);
    ASSERT_TRUE(free.ok());
    ASSERT_TRUE(held.ok());
    const auto dir = std::filesystem::current_path();
    std::filesystem::create_directory(dir / "folder");
    std::ofstream(dir / "file.txt") << "x";
    const auto r = RunTool({"--map", "COM1=" + free.slavePath(), "--map", "COM2=" + (dir / "folder").string(), "--map",
                            "COM3=" + (dir / "file.txt").string(), "--map", "COM4=/nonexistent/sequaflow-tty", "ports",
                            "--json"});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out.rfind("{\"ports\":[", 0), 0u) << r.out;
    EXPECT_EQ(r.out.back(), '\n');
    EXPECT_NE(r.out.find("\"other_adapters\":["), std::string::npos);

    const auto com1 = EntryJson(r.out, "COM1");
    EXPECT_NE(com1.find("\"device\":\"" + free.slavePath() + "\""), std::string::npos) << com1;
    EXPECT_NE(com1.find("\"this_run_only\":true"), std::string::npos) << com1;
    EXPECT_NE(com1.find("\"present\":true,\"state\":\"present\""), std::string::npos) << com1;
    EXPECT_NE(com1.find("\"may_open\":true,\"reason\":null"), std::string::npos) << com1;

    const auto com2 = EntryJson(r.out, "COM2");
    EXPECT_NE(com2.find("\"present\":false,\"state\":\"not a serial port\""), std::string::npos) << com2;
    EXPECT_NE(com2.find("\"may_open\":false,\"reason\":\"" + (dir / "folder").string() + " is not a serial port\""),
              std::string::npos)
        << com2;
    EXPECT_NE(EntryJson(r.out, "COM3").find("\"state\":\"not a serial port\""), std::string::npos);
    const auto com4 = EntryJson(r.out, "COM4");
    EXPECT_NE(com4.find("\"state\":\"not present\""), std::string::npos) << com4;
    EXPECT_NE(com4.find("\"reason\":\"there is no device /nonexistent/sequaflow-tty\""), std::string::npos) << com4;
    EXPECT_NE(EntryJson(r.out, "COM25").find("\"this_run_only\":false"), std::string::npos);
}

TEST(PortsCliTest, AFakeTreeGivesAdapterNamesAndAdaptersWithoutAnEntry) {
    PtyPeer usb0(Silent), other(Silent);
    ASSERT_TRUE(usb0.ok());
    ASSERT_TRUE(other.ok());
    namespace fs = std::filesystem;
    const fs::path root = fs::current_path() / "machine";
    fs::create_directories(root / "dev/serial/by-id");
    fs::create_symlink(usb0.slavePath(), root / "dev/ttyUSB0");
    fs::create_symlink(other.slavePath(), root / "dev/ttyUSB9");
    fs::create_symlink("../../ttyUSB0", root / "dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    fs::create_symlink("../../ttyUSB9", root / "dev/serial/by-id/usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0");

    std::ostringstream out, err;
    cli::Context context{out, err, {}, false, nullptr};
    context.options.deviceRoot = root.string();
    ASSERT_EQ(cli::RunCli({"ports"}, context), 0) << err.str();
    std::istringstream lines(out.str());
    std::string header, com1, com2;
    std::getline(lines, header);
    std::getline(lines, com1);
    std::getline(lines, com2);
    EXPECT_EQ(header.rfind("ENTRY  DEVICE", 0), 0u) << header;
    EXPECT_EQ(com1.rfind("COM1   /dev/ttyUSB0 ", 0), 0u) << com1;
    EXPECT_NE(com1.find(" present "), std::string::npos) << com1;
    EXPECT_NE(com1.find("yes   FTDI FT232R USB UART (A50285BI)"), std::string::npos) << com1;
    EXPECT_NE(com2.find("not present"), std::string::npos) << com2;
    EXPECT_NE(com2.find("no"), std::string::npos) << com2;
    EXPECT_NE(out.str().find("Adapters without a port entry"), std::string::npos);
    EXPECT_NE(out.str().find("  Prolific Technology Inc. USB-Serial Controller  /dev/ttyUSB9  /dev/serial/by-id/usb-Prolific"),
              std::string::npos)
        << out.str();
}

TEST(PortsCliTest, UsageErrors) {
    EXPECT_EQ(RunTool({"ports", "--bogus"}).rc, 2);
    const auto r = RunTool({"--device", "/dev/ttyUSB0", "ports"});
    EXPECT_EQ(r.rc, 2);
    EXPECT_NE(r.err.find("--device and --com do not apply"), std::string::npos) << r.err;
    std::ostringstream out, err;
    cli::Context context{out, err, {}, false, nullptr};
    EXPECT_EQ(cli::CheckArguments({"ports", "--csv"}, context), 2);
}

// Each failure to open is said once, in one line that names its cause.
TEST(PortsCliTest, OpenFailuresAreOneClearLine) {
    const auto dir = std::filesystem::current_path();
    std::filesystem::create_directory(dir / "folder");
    std::ofstream(dir / "file.txt") << "x";
    const auto line = [](const std::vector<std::string>& args) {
        const auto r = RunTool(args);
        EXPECT_EQ(r.rc, 3) << r.err;
        return r.err;
    };
    EXPECT_EQ(line({"--device", "/nonexistent/sequaflow-tty", "identify"}),
              "sequaflow-cli: there is no device /nonexistent/sequaflow-tty\n");
    EXPECT_EQ(line({"--device", (dir / "folder").string(), "identify"}),
              "sequaflow-cli: " + (dir / "folder").string() + " is not a serial port\n");
    EXPECT_EQ(line({"--device", (dir / "file.txt").string(), "identify"}),
              "sequaflow-cli: " + (dir / "file.txt").string() + " is not a serial port\n");

    PtyPeer peer(Silent);
    ASSERT_TRUE(peer.ok());
    link::PosixSerialPort holder;  // this process holds it: the holder search leaves itself out
    ASSERT_TRUE(holder.open(peer.slavePath()).ok());
    EXPECT_EQ(line({"--map", "COM7=" + peer.slavePath(), "--com", "7", "identify"}),
              "sequaflow-cli: " + peer.slavePath() + " is in use by another program\n");
}

TEST(PortsCliTest, ABusyPortNamesTheProgramThatHoldsIt) {
    PtyPeer peer(Silent);
    ASSERT_TRUE(peer.ok());
    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const std::string path = peer.slavePath();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Another program with the port open and locked, as a terminal program keeps it, until the test
        // closes its end of `release`.
        close(release[1]);
        const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
        char c = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 ? 'y' : 'n';
        (void)!write(ready[1], &c, 1);
        (void)!read(release[0], &c, 1);
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 'y');
    const auto r = RunTool({"--device", path, "identify"});
    const auto listed = RunTool({"--map", "COM2=" + path, "ports", "--json"});
    close(release[1]);
    waitpid(child, nullptr, 0);
    for (int fd : {ready[0], ready[1], release[0]}) close(fd);
    EXPECT_EQ(r.rc, 3);
    const std::string head = "sequaflow-cli: " + path + " is in use by another program: ";
    EXPECT_EQ(r.err.rfind(head, 0), 0u) << r.err;
    EXPECT_NE(r.err.find("(pid " + std::to_string(child) + ")\n"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);

    // `ports` says the same of the entry, and names the holder in full.
    const auto com2 = EntryJson(listed.out, "COM2");
    EXPECT_NE(com2.find("\"may_open\":false,\"reason\":\"in use by another program: "), std::string::npos) << com2;
    EXPECT_NE(listed.out.find("\"held_by\":[{\"pid\":" + std::to_string(child) + ","), std::string::npos) << listed.out;
}

}  // namespace
