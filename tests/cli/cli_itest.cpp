#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/cli.h"
#include "live/live_frame.h"
#include "support/cli_runner.h"
#include "support/pty_peer.h"
#include "support/scripted_port.h"

using namespace sequaflow;
using testing_support::RunTool;
using testing_support::PtyPeer;

namespace {

struct FakeController {
    std::uint16_t params[64] = {};
    FakeController() {
        params[21] = 2;          // ignition type "4 Cyl."
        params[22] = 1u << 12;   // fast clock
    }
    std::vector<std::uint8_t> operator()(const std::vector<std::uint8_t>& f) {
        switch (f[0]) {
            case 'I': return {'I', 0x83, 41, static_cast<std::uint8_t>('I' + 0x83 + 41), ':'};
            case 'd': return testing_support::WordReply('d', f[1], params[f[1] & 63]);
            case 'D': params[f[1] & 63] = static_cast<std::uint16_t>(f[2] << 8 | f[3]); return {};
            case 'V': {
                live::LiveWords w{};
                w[live::word::Period] = 4608;
                w[live::word::FuelState] = 1;
                w[live::PetrolTimeWord(0)] = 1843;  // 1 ms at the fast clock
                w[live::word::ReducerTemp] = 0xFFF6;
                const auto frame = live::EncodeLiveFrame(w);
                return {frame.begin(), frame.end()};
            }
            default: return {};
        }
    }
};

TEST(CliTest, IdentifyPrintsBytesAndControllerTexts) {
    PtyPeer peer(FakeController{});
    ASSERT_TRUE(peer.ok());
    auto r = RunTool({"--device", peer.slavePath(), "identify"});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out, "H.131 S.41\ndevice: d.4\ncylinders: 8\n");
    r = RunTool({"identify", "--json", "--device", peer.slavePath()});
    EXPECT_EQ(r.out, "{\"hardware\":131,\"software\":41,\"device\":\"d.4\",\"cylinders\":\"8\"}\n");
}

TEST(CliTest, ParamGetAndSetWithTwosComplement) {
    PtyPeer peer(FakeController{});
    ASSERT_TRUE(peer.ok());
    auto r = RunTool({"--device", peer.slavePath(), "param", "set", "3", "-20"});
    EXPECT_EQ(r.rc, 0) << r.err;
    r = RunTool({"--device", peer.slavePath(), "param", "get", "3"});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out, "-20\n") << "a signed parameter prints signed, as read shows it";
    const auto frames = peer.frames();
    ASSERT_GE(frames.size(), 3u);
    EXPECT_EQ(frames[0], (std::vector<std::uint8_t>{'K', 3, 0, 0, 'K' + 3, ':'}));
    EXPECT_EQ(frames[2], (std::vector<std::uint8_t>{'D', 3, 0xFF, 0xEC, 0x32, ':'}));
}

TEST(CliTest, LiveConvertsWithIgnitionTypeAndClockFlag) {
    PtyPeer peer(FakeController{});
    ASSERT_TRUE(peer.ok());
    auto r = RunTool({"--device", peer.slavePath(), "live", "--count", "3", "--json"});
    EXPECT_EQ(r.rc, 0) << r.err;
    std::istringstream lines(r.out);
    std::string line;
    int n = 0;
    while (std::getline(lines, line)) {
        ++n;
        EXPECT_NE(line.find("\"rpm\":1500"), std::string::npos) << line;
        EXPECT_NE(line.find("\"reducer_c\":-10"), std::string::npos) << line;
        EXPECT_NE(line.find("\"on_gas\":true"), std::string::npos) << line;
        EXPECT_NE(line.find("\"petrol_ms\":[1.000,0.000"), std::string::npos) << line;
    }
    EXPECT_EQ(n, 3);
    EXPECT_NE(r.err.find("frames: 3 accepted"), std::string::npos) << r.err;

    r = RunTool({"--device", peer.slavePath(), "live", "--count", "1", "--csv"});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out.rfind("time_s,rpm,pressure_bar,", 0), 0u);
    EXPECT_NE(r.out.find(",gas_ms8\n"), std::string::npos);
}

TEST(CliTest, TraceFileRecordsTheFrames) {
    PtyPeer peer(FakeController{});
    ASSERT_TRUE(peer.ok());
    auto r = RunTool({"--device", peer.slavePath(), "--trace", "trace.log", "identify"});
    ASSERT_EQ(r.rc, 0) << r.err;
    std::ifstream in("trace.log");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("send 49 00 00 00 49 3A"), std::string::npos) << text;
    EXPECT_NE(text.find("recv 5/5 ok 49 83 29 F5 3A"), std::string::npos) << text;
}

TEST(CliTest, NoAnswerIsExitFour) {
    PtyPeer peer([](const std::vector<std::uint8_t>&) { return std::vector<std::uint8_t>{}; });
    ASSERT_TRUE(peer.ok());
    EXPECT_EQ(RunTool({"--device", peer.slavePath(), "identify"}).rc, 4);
    EXPECT_EQ(RunTool({"--device", peer.slavePath(), "param", "get", "1"}).rc, 4);
    EXPECT_EQ(RunTool({"--device", peer.slavePath(), "live", "--count", "1"}).rc, 4);
}

TEST(CliTest, GarbledRepliesAreNotTakenAsAnswers) {
    PtyPeer peer([](const std::vector<std::uint8_t>& f) {
        if (f[0] == 'd') return std::vector<std::uint8_t>{0x00, 'd', f[1], 0, 5, 0, ':'};  // stray byte first
        return std::vector<std::uint8_t>{'I', 1, 2, 0, ';'};                             // wrong terminator
    });
    ASSERT_TRUE(peer.ok());
    EXPECT_EQ(RunTool({"--device", peer.slavePath(), "identify"}).rc, 4);
    EXPECT_EQ(RunTool({"--device", peer.slavePath(), "param", "get", "1"}).rc, 4);
}

TEST(CliTest, PortProblemsAreExitThreeWithTheReason) {
    auto r = RunTool({"--device", "/dev/does-not-exist-sequaflow", "identify"});
    EXPECT_EQ(r.rc, 3);
    EXPECT_EQ(r.err, "sequaflow-cli: there is no device /dev/does-not-exist-sequaflow\n");
    r = RunTool({"--map", "COM2=/dev/null", "--com", "2", "identify"});
    EXPECT_EQ(r.rc, 3);
    EXPECT_EQ(r.err, "sequaflow-cli: /dev/null is not a serial port\n");
}

TEST(CliTest, UsageErrorsAreExitTwo) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {},
             {"frobnicate"},
             {"--com", "26", "identify"},
             {"--com"},
             {"--map", "COM3", "identify"},
             {"--device", "/x", "--com", "1", "identify"},
             {"identify"},
             {"--device", "/x", "param", "get", "64"},
             {"--device", "/x", "param", "set", "1", "70000"},
             {"--device", "/x", "param", "set", "1", "12abc"},
             {"--device", "/x", "live", "--count", "0"},
             {"detect", "--timeout", "-1"},
         }) {
        const auto r = RunTool(args);
        EXPECT_EQ(r.rc, 2) << ::testing::PrintToString(args);
        EXPECT_FALSE(r.err.empty());
    }
    const auto help = RunTool({"--help"});
    EXPECT_EQ(help.rc, 0);
    EXPECT_NE(help.out.find("identify"), std::string::npos);
}

TEST(CliTest, DetectFindsTheControllerOnAMappedEntry) {
    PtyPeer peer(FakeController{});
    ASSERT_TRUE(peer.ok());
    std::vector<std::string> args;
    // Point every entry somewhere harmless so the search never touches real devices.
    for (int n = 1; n <= 25; ++n) {
        args.push_back("--map");
        args.push_back("COM" + std::to_string(n) + (n == 3 ? "=" + peer.slavePath() : "=/nonexistent/tty" + std::to_string(n)));
    }
    args.insert(args.end(), {"detect", "--timeout", "5"});
    const auto r = RunTool(args);
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out, "COM3 " + peer.slavePath() + "\nH.131 S.41\n");
}

TEST(CliTest, DetectTimesOutWithExitFour) {
    std::vector<std::string> args;
    for (int n = 1; n <= 25; ++n) {
        args.push_back("--map");
        args.push_back("COM" + std::to_string(n) + "=/nonexistent/tty" + std::to_string(n));
    }
    args.insert(args.end(), {"detect", "--timeout", "1"});
    const auto r = RunTool(args);
    EXPECT_EQ(r.rc, 4);
    EXPECT_NE(r.err.find("no controller found"), std::string::npos);
}

}  // namespace
