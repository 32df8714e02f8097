#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "cli/cli.h"
#include "sim/controller.h"
#include "sim/pty_server.h"
#include "support/cli_runner.h"
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

struct SimulatedController : ::testing::Test {
    std::unique_ptr<sim::PtyServer> server;
    std::string device;
    void SetUp() override {
        auto started = sim::PtyServer::Start(sim::Controller(sim::ControllerOptions{}), sim::PtyServerOptions{});
        ASSERT_TRUE(started.ok()) << started.error().detail;
        server = std::move(*started);
        device = server->slavePath();
    }
    testing_support::CliRun Tool(std::vector<std::string> args) {
        args.insert(args.begin(), {"--device", device});
        return RunTool(args);
    }
};

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

}  // namespace
