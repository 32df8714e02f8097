#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "cli/cli.h"
#include "params/parameter_file.h"
#include "sim/controller.h"
#include "sim/pty_server.h"
#include "support/cli_runner.h"
#include "support/pty_sim_fixture.h"
#include "support/pty_peer.h"

using namespace sequaflow;
using testing_support::RunTool;

namespace {

// The integers (or nulls, as INT_MIN) of a flat JSON array under `key`, and nested arrays flattened.
std::vector<long> JsonInts(const std::string& json, const std::string& key) {
    std::vector<long> values;
    auto pos = json.find("\"" + key + "\":[");
    if (pos == std::string::npos) return values;
    pos += key.size() + 4;
    int depth = 1;
    std::string token;
    for (; pos < json.size() && depth > 0; ++pos) {
        const char c = json[pos];
        if (c == '[') ++depth;
        else if (c == ']' || c == ',') {
            if (!token.empty()) values.push_back(token == "null" ? INT32_MIN : std::stol(token));
            token.clear();
            if (c == ']') --depth;
        } else {
            token += c;
        }
    }
    return values;
}

std::vector<char> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using SimulatedController = testing_support::PtySimulatorTest;

TEST_F(SimulatedController, SaveFactoryResetLoadThenReadShowsTheLoadedValues) {
    ASSERT_EQ(Tool({"param", "set", "1", "130"}).rc, 0);
    ASSERT_EQ(Tool({"param", "set", "49", "-5"}).rc, 0);

    const auto saved = Tool({"save", "golf.kst"});
    ASSERT_EQ(saved.rc, 0) << saved.err;
    auto bytes = FileBytes("golf.kst");
    ASSERT_EQ(bytes.size(), 258u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[98]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes[99]), 0xFB);
    // Edit the file's maps as another workshop might have: cell (0,0) +30, standard cell 5 -10.
    bytes[162] = static_cast<char>(130);
    bytes[246 + 5] = static_cast<char>(90);
    {
        std::ofstream out("golf.kst", std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    const auto reset = Tool({"factory-reset", "--yes"});
    ASSERT_EQ(reset.rc, 0) << reset.err;
    const auto afterReset = Tool({"read", "--json"});
    ASSERT_EQ(afterReset.rc, 0) << afterReset.err;
    const auto resetParams = JsonInts(afterReset.out, "parameters");
    ASSERT_EQ(resetParams.size(), 64u);
    EXPECT_EQ(resetParams[1], 115);
    EXPECT_EQ(resetParams[49], -20);
    EXPECT_EQ(JsonInts(afterReset.out, "advanced_map")[0], 15);

    const auto load = Tool({"load", "golf.kst"});
    ASSERT_EQ(load.rc, 0) << load.err;
    const auto read = Tool({"read", "--json"});
    ASSERT_EQ(read.rc, 0) << read.err;
    const auto params = JsonInts(read.out, "parameters");
    ASSERT_EQ(params.size(), 64u);
    EXPECT_EQ(params[0], 43690);
    EXPECT_EQ(params[1], 130);
    EXPECT_EQ(params[49], -5);
    const auto advanced = JsonInts(read.out, "advanced_map");
    ASSERT_EQ(advanced.size(), 84u);
    EXPECT_EQ(advanced[0], 30);
    EXPECT_EQ(advanced[1], 15);
    EXPECT_EQ(JsonInts(read.out, "standard_map")[5], -10);
    EXPECT_EQ(JsonInts(read.out, "record_words").size(), 64u);
    EXPECT_NE(read.out.find("\"hardware\":67"), std::string::npos);

    // The file decodes to the same keys without a controller.
    const auto decoded = RunTool({"decode", "golf.kst", "--json"});
    ASSERT_EQ(decoded.rc, 0);
    EXPECT_EQ(JsonInts(decoded.out, "parameters")[49], -5);
    EXPECT_EQ(decoded.out.find("hardware"), std::string::npos);
}

TEST_F(SimulatedController, RefusalsAndBadFilesSendNothing) {
    EXPECT_EQ(Tool({"factory-reset"}).rc, 2);
    std::ofstream("short.kst") << "too short";
    std::filesystem::create_directory("folder.kst");
    // The file is judged before the port is opened: a missing device still gives the file error.
    for (const char* bad : {"short.kst", "folder.kst", "missing.kst"}) {
        const auto r = RunTool({"--device", "/dev/nonexistent-sequaflow", "load", bad});
        EXPECT_EQ(r.rc, 5) << bad;
        EXPECT_NE(r.err.find(bad), std::string::npos) << r.err;
    }
    EXPECT_EQ(RunTool({"decode", "missing.kst"}).rc, 5);
    EXPECT_EQ(Tool({"save"}).rc, 2);
    EXPECT_EQ(Tool({"save", "folder.kst"}).rc, 5);
}

TEST(SilentController, SaveWritesNoFileAndResetIsNotStarted) {
    testing_support::PtyPeer peer([](const std::vector<std::uint8_t>&) { return std::vector<std::uint8_t>{}; });
    ASSERT_TRUE(peer.ok());
    const auto save = RunTool({"--device", peer.slavePath(), "save", "x.kst"});
    EXPECT_EQ(save.rc, 4);
    EXPECT_NE(save.err.find("parameter 63"), std::string::npos);
    EXPECT_NE(save.err.find("standard map cell 11"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists("x.kst"));
    const auto reset = RunTool({"--device", peer.slavePath(), "factory-reset", "--yes"});
    EXPECT_EQ(reset.rc, 4);
    for (const auto& f : peer.frames()) EXPECT_NE(f[0], 'E') << "nothing may be written";
}

// ---- The executables, stopped part way through as a workshop user or a script would stop them ----

using Clock = std::chrono::steady_clock;
constexpr auto kGenerous = std::chrono::seconds(120);  // only for waiting, never asserted

// A program of the build in a process of its own. Its standard error goes to a terminal when `terminal` is
// set (the CLI then draws its progress bar, which tells the test how far it got), else into a pipe.
struct Process {
    pid_t pid = -1;
    int reader = -1;
    std::string text;
    int status = -1;

    Process(const char* program, std::vector<std::string> args, bool terminal, bool outToReader) {
        int writer = -1;
        if (terminal) {
            reader = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
            char name[128];
            if (reader < 0 || ::grantpt(reader) != 0 || ::unlockpt(reader) != 0 ||
                ::ptsname_r(reader, name, sizeof name) != 0)
                return;
            writer = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        } else {
            int fds[2];
            if (::pipe2(fds, O_CLOEXEC) != 0) return;
            reader = fds[0];
            writer = fds[1];
        }
        if (writer < 0) return;
        const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
        std::vector<char*> argv{const_cast<char*>(program)};
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        pid = ::fork();
        if (pid == 0) {
            ::dup2(null, 0);
            ::dup2(outToReader ? writer : null, 1);
            ::dup2(outToReader ? null : writer, 2);
            ::execv(program, argv.data());
            ::_exit(127);
        }
        ::close(writer);
        ::close(null);
    }
    ~Process() {
        if (pid > 0 && status < 0) ::kill(pid, SIGKILL), ::waitpid(pid, nullptr, 0);
        if (reader >= 0) ::close(reader);
    }

    // Reads until `needle` has appeared or the output ended; whether it appeared.
    bool readUntil(const std::string& needle) {
        const auto deadline = Clock::now() + kGenerous;
        while (text.find(needle) == std::string::npos) {
            if (Clock::now() > deadline || !readSome(deadline)) return false;
        }
        return true;
    }
    std::string readLine() {
        (void)readUntil("\n");
        return text.substr(0, text.find('\n'));
    }
    // Reads everything up to the end of the output, then collects the exit code (-1 when it did not end).
    int finish() {
        const auto deadline = Clock::now() + kGenerous;
        while (Clock::now() < deadline && readSome(deadline)) {
        }
        if (Clock::now() >= deadline) ::kill(pid, SIGKILL);
        int raw = 0;
        ::waitpid(pid, &raw, 0);
        status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        return Clock::now() < deadline ? status : -1;
    }

private:
    bool readSome(Clock::time_point deadline) {
        pollfd p{reader, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (::poll(&p, 1, static_cast<int>(std::max<long long>(left, 0))) <= 0) return false;
        char buf[512];
        const ssize_t n = ::read(reader, buf, sizeof buf);
        if (n <= 0) return false;  // the end, or EIO once the terminal's last user is gone
        text.append(buf, static_cast<std::size_t>(n));
        return true;
    }
};

// The simulator as its own program at line rate (a load then takes many seconds), never programmed.
struct SimulatorProcess : ::testing::Test {
    std::unique_ptr<Process> sim;
    std::string device;
    void SetUp() override {
        sim = std::make_unique<Process>(SEQUAFLOW_SIM_PATH, std::vector<std::string>{"--line-rate", "--blank"}, false,
                                        true);
        device = sim->readLine();
        ASSERT_EQ(device.rfind("/dev/", 0), 0u) << device;
        params::ParameterImage image;
        maps::MapModel model;
        image.setSlot(1, 130);
        ASSERT_TRUE(params::WriteParameterFile("car.kst", params::EncodeParameterFile(image, model)).ok());
    }
    // The file of start-up zeros is no plausible configuration: --force sends it all the same. Without the
    // backup's read the first "Mapa 1p" on the terminal is the load's own.
    std::unique_ptr<Process> StartLoad() {
        auto cli = std::make_unique<Process>(
            SEQUAFLOW_CLI_PATH, std::vector<std::string>{"--device", device, "load", "car.kst", "--force", "--no-backup"},
            true, false);
        // The progress bar's caption of the advanced map: the maps are under way, the parameters still to come.
        EXPECT_TRUE(cli->readUntil("Mapa 1p")) << cli->text;
        return cli;
    }
};

TEST_F(SimulatorProcess, CtrlCDuringALoadStopsItAndSaysWhatTheControllerHolds) {
    const auto before = RunTool({"--device", device, "param", "get", "0"});
    ASSERT_EQ(before.rc, 0) << before.err;
    ASSERT_NE(before.out, "43690\n") << "the simulator starts never programmed";

    auto cli = StartLoad();
    ::kill(cli->pid, SIGINT);
    EXPECT_EQ(cli->finish(), cli::kCancelled) << cli->text;
    const std::string& err = cli->text;
    EXPECT_NE(err.find("the load was cancelled by Ctrl+C while sending "), std::string::npos) << err;
    EXPECT_NE(err.find("the controller now holds a partly written configuration: sent in full: the points and the "
                       "standard map"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("run the load again to finish it"), std::string::npos) << err;

    // The programmed marker goes last: a load stopped before it leaves the controller unmarked.
    const auto after = RunTool({"--device", device, "param", "get", "0"});
    ASSERT_EQ(after.rc, 0) << after.err;
    if (err.find("sending the parameters (64 of 64") == std::string::npos) {
        EXPECT_EQ(after.out, before.out);
    }
}

TEST_F(SimulatorProcess, ASimulatorKilledDuringALoadIsAPortThatWentAway) {
    auto cli = StartLoad();
    ::kill(sim->pid, SIGKILL);
    EXPECT_EQ(sim->finish(), 128 + SIGKILL);
    EXPECT_EQ(cli->finish(), cli::kPortError) << cli->text;
    const std::string& err = cli->text;
    EXPECT_NE(err.find("the controller's port went away (" + device + ": unplugged, or closed at the other end; "),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("the load stopped while sending "), std::string::npos) << err;
    EXPECT_NE(err.find("when the controller is back, run the load again to finish it"), std::string::npos) << err;
    EXPECT_EQ(err.find("the read-back"), std::string::npos) << "nothing after the lost port";
}

}  // namespace
