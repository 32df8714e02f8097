#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "link/commands.h"
#include "link/link.h"
#include "link/pacer.h"
#include "link/posix_serial_port.h"
#include "sim/pty_server.h"
#include "sim/state_file.h"

namespace sequaflow::sim {
namespace {

namespace fs = std::filesystem;

// A link over the real serial-port code to whatever serves `path`.
struct RealLink {
    explicit RealLink(const std::string& path) : link(port, pacer) {
        link.setPortName(path);
        opened = link.openPort().ok();
    }
    link::PosixSerialPort port;
    link::RealPacer pacer;
    link::Link link;
    bool opened = false;
};

TEST(PtyServerInProcess, ServesTheProgramsOwnLinkAndStopsCleanly) {
    PtyServerOptions options;
    options.linkPath = "ttySIM0";
    options.logPath = "frames.log";
    auto server = PtyServer::Start(Controller({}), options);
    ASSERT_TRUE(server) << server.error().detail;
    ASSERT_TRUE(fs::is_symlink("ttySIM0"));
    EXPECT_EQ(fs::read_symlink("ttySIM0").string(), (*server)->slavePath());
    {
        RealLink r("ttySIM0");
        ASSERT_TRUE(r.opened);
        auto id = link::ReadIdentification(r.link);
        ASSERT_TRUE(id);
        EXPECT_EQ(id->hardware, 0x43);
        EXPECT_EQ(id->software, 37);
        link::WriteParamSequence(r.link, 5, 31);
        EXPECT_EQ(link::ReadParamWord(r.link, 5), 31);
        for (int i = 0; i < 5; ++i) {
            link::ReadLiveFrame(r.link);
            r.link.receiveWait(link::kLiveFrameSize);
            EXPECT_TRUE(r.link.replyValid('V', 66));
        }
    }
    // A second client after the first closed the port is served as well.
    {
        RealLink r("ttySIM0");
        ASSERT_TRUE(r.opened);
        EXPECT_EQ(link::ReadParamWord(r.link, 5), 31);
    }
    (*server)->withController([](Controller& c) { EXPECT_EQ(c.stores().params[5], 31); });
    (*server)->stop();
    EXPECT_FALSE(fs::exists(fs::symlink_status("ttySIM0")));
    std::ifstream log("frames.log");
    std::string first;
    std::getline(log, first);
    EXPECT_NE(first.find("rx 49 00 00 00 49 3A"), std::string::npos) << first;
}

// A vanished device closes its terminal under the client and comes back on a new one behind the same link.
TEST(PtyServerInProcess, AVanishedDeviceComesBackBehindTheLink) {
    PtyServerOptions options;
    options.linkPath = "ttySIMV";
    options.faults = FaultSpec{.vanish = 1};
    auto server = PtyServer::Start(Controller({}), options);
    ASSERT_TRUE(server) << server.error().detail;
    {
        RealLink r("ttySIMV");
        ASSERT_TRUE(r.opened);
        // Part of the reply, or all of it, may get out before the line dies; the next request finds it dead.
        (void)link::ReadParamWord(r.link, 5);
        EXPECT_FALSE(link::ReadParamWord(r.link, 6));
        EXPECT_FALSE(r.link.portOpen());
        ASSERT_TRUE(r.link.lostReason());
    }
    // The same link names the new terminal within a moment (the wait is not what is measured).
    std::string target;
    for (int i = 0; i < 300 && target.empty(); ++i) {
        std::error_code ec;
        if (fs::is_symlink("ttySIMV", ec) && fs::exists("ttySIMV", ec)) target = fs::read_symlink("ttySIMV").string();
        else ::usleep(10000);
    }
    ASSERT_FALSE(target.empty());
    EXPECT_EQ(target, (*server)->slavePath());
    {
        RealLink r("ttySIMV");
        ASSERT_TRUE(r.opened);
        (void)link::ReadParamWord(r.link, 5);  // served, and gone again
    }
    for (int i = 0; i < 300 && (*server)->truth().vanished < 2; ++i) ::usleep(10000);
    const SimTruth t = (*server)->truth();
    EXPECT_EQ(t.vanished, 2u);
    EXPECT_GE(t.faults.vanish, 2u);
    (*server)->stop();
    EXPECT_FALSE(fs::exists(fs::symlink_status("ttySIMV")));
}

TEST(PtyServerInProcess, RefusesToReplaceARealFile) {
    std::ofstream("precious") << "data";
    PtyServerOptions options;
    options.linkPath = "precious";
    auto server = PtyServer::Start(Controller({}), options);
    ASSERT_FALSE(server);
    EXPECT_NE(server.error().detail.find("not a symbolic link"), std::string::npos);
    std::ifstream in("precious");
    std::string content;
    in >> content;
    EXPECT_EQ(content, "data");
}

// The executable: started, read from, stopped with a signal, as a workshop script would use it.
struct SimProcess {
    // The simulator's standard input: the test's own, a pipe the test writes, or none at all.
    enum class Input { Inherit, Pipe, Closed };
    explicit SimProcess(std::vector<std::string> args, Input input = Input::Inherit) {
        const bool withInput = input == Input::Pipe;
        int out[2], err[2], in[2] = {-1, -1};
        if (::pipe(out) != 0 || ::pipe(err) != 0) return;
        if (withInput && ::pipe(in) != 0) return;
        pid = ::fork();
        if (pid == 0) {
            ::dup2(out[1], 1);
            ::dup2(err[1], 2);
            ::close(out[0]), ::close(err[0]);
            if (withInput) ::dup2(in[0], 0), ::close(in[1]);
            if (input == Input::Closed) ::close(0);
            std::vector<char*> argv;
            std::string prog = SEQUAFLOW_SIM_PATH;
            argv.push_back(prog.data());
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(prog.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(out[1]), ::close(err[1]);
        outFd = out[0];
        errFd = err[0];
        if (withInput) ::close(in[0]), inFd = in[1];
    }
    ~SimProcess() {
        if (pid > 0 && !reaped) ::kill(pid, SIGKILL), ::waitpid(pid, nullptr, 0);
        if (outFd >= 0) ::close(outFd);
        if (errFd >= 0) ::close(errFd);
        closeInput();
    }
    void say(const std::string& text) { ASSERT_EQ(::write(inFd, text.data(), text.size()), static_cast<ssize_t>(text.size())); }
    void closeInput() {
        if (inFd >= 0) ::close(inFd);
        inFd = -1;
    }
    std::string readLine() {
        std::string line;
        char c;
        while (::read(outFd, &c, 1) == 1 && c != '\n') line += c;
        return line;
    }
    std::string readErr() {
        std::string all;
        char buf[256];
        ssize_t n;
        while ((n = ::read(errFd, buf, sizeof buf)) > 0) all.append(buf, static_cast<std::size_t>(n));
        return all;
    }
    int stop(int sig = SIGTERM) {
        ::kill(pid, sig);
        return wait();
    }
    int wait() {
        int status = 0;
        ::waitpid(pid, &status, 0);
        reaped = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    pid_t pid = -1;
    int outFd = -1, errFd = -1, inFd = -1;
    bool reaped = false;
};

TEST(SimExecutable, StatePersistsAcrossRunsAndTheLinkIsRemoved) {
    const std::string link = (fs::current_path() / "ttyECU").string();
    {
        SimProcess sim({"--link", link, "--state", "ecu.state", "--seed", "3"});
        const std::string path = sim.readLine();
        ASSERT_TRUE(path.starts_with("/dev/pts/")) << path << sim.readErr();
        ASSERT_TRUE(fs::is_symlink(link));
        RealLink r(link);
        ASSERT_TRUE(r.opened);
        link::WriteParamSequence(r.link, 14, 5760);
        link::WriteSerialNumber(r.link, 999);
        EXPECT_EQ(link::ReadParamWord(r.link, 14), 5760);
        r.link.closePort();
        EXPECT_EQ(sim.stop(SIGINT), 0);
        EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    }
    auto saved = LoadStateFile("ecu.state");
    ASSERT_TRUE(saved) << saved.error().detail;
    EXPECT_EQ(saved->params[14], 5760);
    EXPECT_EQ(saved->record[61], 999);
    {
        SimProcess sim({"--state", "ecu.state", "--line-rate"});
        const std::string path = sim.readLine();
        RealLink r(path);
        ASSERT_TRUE(r.opened);
        EXPECT_EQ(link::ReadParamWord(r.link, 14), 5760);
        std::uint16_t serial = 0;
        EXPECT_TRUE(link::ReadSerialNumber(r.link, serial));
        EXPECT_EQ(serial, 999);
        EXPECT_EQ(sim.stop(), 0);
    }
}

TEST(SimExecutable, BlankControllerAndBadArguments) {
    {
        SimProcess sim({"--blank", "--hardware", "0x21", "--software", "9"});
        RealLink r(sim.readLine());
        ASSERT_TRUE(r.opened);
        auto id = link::ReadIdentification(r.link);
        ASSERT_TRUE(id);
        EXPECT_EQ(id->hardware, 0x21);
        EXPECT_EQ(link::ReadRecordWord(r.link, 63), 0xFFFF);
        auto marker = link::ReadParamWord(r.link, 0);
        ASSERT_TRUE(marker);
        EXPECT_NE(*marker, 0);
        EXPECT_NE(*marker, 0xAAAA);
        EXPECT_EQ(sim.stop(), 0);
    }
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--seed", "x"}, {"--faults", "melt=1"}}) {
        SimProcess sim(bad);
        EXPECT_EQ(sim.wait(), 2);
        EXPECT_NE(sim.readErr().find(bad[0]), std::string::npos);
    }
    std::ofstream("broken.state") << "not a state file\n";
    SimProcess sim({"--state", "broken.state"});
    EXPECT_EQ(sim.wait(), 2);
    EXPECT_NE(sim.readErr().find("broken.state"), std::string::npos);
}

TEST(SimExecutable, DriverCommandsOnStandardInputMoveTheEngine) {
    SimProcess sim({"--rpm", "2600", "--reducer", "60"}, SimProcess::Input::Pipe);
    const std::string path = sim.readLine();
    ASSERT_TRUE(path.starts_with("/dev/pts/")) << path << sim.readErr();
    RealLink r(path);
    ASSERT_TRUE(r.opened);
    // Word 13 of a live frame, the ignition period; 0 when no valid frame came.
    auto period = [&]() -> int {
        link::ReadLiveFrame(r.link);
        r.link.receiveWait(link::kLiveFrameSize);
        return r.link.replyValid('V', 66) ? r.link.replyWord(37) : 0;
    };
    // The engine settles within about a second of real time.
    auto settlesAt = [&](int want) {
        int last = 0;
        for (int i = 0; i < 150; ++i, ::usleep(20000))
            if (last = period(); std::abs(last - want) <= want / 100) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "period " << last << ", wanted " << want;
    };
    EXPECT_TRUE(settlesAt(2658));  // 230400 * 60 / (2600 rpm * 2 pulses a turn with "4 Cyl.")
    sim.say("warp 9\nrpm 1800\n");
    EXPECT_TRUE(settlesAt(3840));  // 230400 * 60 / (1800 * 2)
    // The end of the input leaves it serving.
    sim.closeInput();
    ::usleep(100000);
    EXPECT_TRUE(settlesAt(3840));
    EXPECT_EQ(sim.stop(), 0);
    EXPECT_NE(sim.readErr().find("sequaflow-sim: unknown command \"warp\""), std::string::npos);

    SimProcess quitting({}, SimProcess::Input::Pipe);
    ASSERT_TRUE(quitting.readLine().starts_with("/dev/pts/"));
    quitting.say("# done\nquit\n");
    EXPECT_EQ(quitting.wait(), 0);
}

TEST(SimExecutable, StartedWithoutAnyInputItServesTheLineUntouched) {
    SimProcess sim({"--rpm", "2600"}, SimProcess::Input::Closed);
    RealLink r(sim.readLine());
    ASSERT_TRUE(r.opened);
    for (int i = 0; i < 20; ++i) {
        link::ReadLiveFrame(r.link);
        r.link.receiveWait(link::kLiveFrameSize);
        EXPECT_TRUE(r.link.replyValid('V', 66)) << i;
        EXPECT_EQ(link::ReadParamWord(r.link, 5), link::ReadParamWord(r.link, 5)) << i;
    }
    EXPECT_EQ(sim.stop(), 0);
}

}  // namespace
}  // namespace sequaflow::sim
