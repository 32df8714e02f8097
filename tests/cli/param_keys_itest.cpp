#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "maps/map_model.h"
#include "params/parameter_file.h"
#include "support/cli_runner.h"
#include "support/pty_peer.h"
#include "support/scripted_port.h"

using namespace sequaflow;
using testing_support::PtyPeer;
using testing_support::RunTool;

namespace {

// A programmed controller on "4 Cyl." with injector type 5 and tank type 2, breakpoints 1000..6000 rpm.
struct Controller {
    std::array<std::uint16_t, 64> params{};
    std::array<std::uint16_t, 17> points{};
    std::set<int> silentParams;
    Controller() {
        params[0] = 43690;
        params[3] = 92;       // +0.40 ms
        params[5] = 25;
        params[14] = 11520;   // 600 rpm
        params[21] = 2;
        params[22] = 0x0250;  // injector type 5, tank type 2
        params[44] = 1152;    // 6000 rpm
        params[47] = 0x0008;
        params[49] = 0xFFEC;  // -20
        params[60] = 5760;    // low-speed filter 1200 rpm
        const std::uint16_t periods[6] = {6912, 3456, 2304, 1728, 1382, 1152};
        for (int k = 0; k < 6; ++k) points[static_cast<std::size_t>(k)] = periods[k];
    }
};

PtyPeer::Answer Serve(std::shared_ptr<Controller> c) {
    return [c](const std::vector<std::uint8_t>& f) -> std::vector<std::uint8_t> {
        const std::uint8_t a = f[1];
        switch (f[0]) {
            case 'd':
                if (a >= 64 || c->silentParams.count(a)) return {};
                return testing_support::WordReply('d', a, c->params[a]);
            case 'D': c->params[a & 63] = static_cast<std::uint16_t>(f[2] << 8 | f[3]); return {};
            case '}': return a < 17 ? testing_support::WordReply('d', a, c->points[a]) : std::vector<std::uint8_t>{};
            case 'L':
            case '2': return testing_support::WordReply('d', a, 100);
            default: return {};
        }
    };
}

using Sent = std::tuple<char, int, int>;
// The frames that change something (parameter and point writes), as (code, argument, value).
std::vector<Sent> Writes(const PtyPeer& peer) {
    std::vector<Sent> out;
    for (const auto& f : peer.frames()) {
        if (std::string_view("KED]>_").find(static_cast<char>(f[0])) == std::string_view::npos) continue;
        out.emplace_back(static_cast<char>(f[0]), f[1], f[2] << 8 | f[3]);
    }
    return out;
}

void AppendParamWrite(std::vector<Sent>& v, int n, int value) {
    v.insert(v.end(), {Sent{'K', n, 0}, Sent{'E', n, value}, Sent{'D', n, value}});
}

std::size_t Count(const std::string& text, const std::string& needle) {
    std::size_t n = 0;
    for (auto pos = text.find(needle); pos != std::string::npos; pos = text.find(needle, pos + 1)) ++n;
    return n;
}

struct ParamKeys : ::testing::Test {
    std::shared_ptr<Controller> controller = std::make_shared<Controller>();
    std::unique_ptr<PtyPeer> peer;
    void SetUp() override {
        peer = std::make_unique<PtyPeer>(Serve(controller));
        ASSERT_TRUE(peer->ok());
    }
    testing_support::CliRun Tool(std::vector<std::string> args) {
        args.insert(args.begin(), {"--device", peer->slavePath()});
        return RunTool(args);
    }
    // The peer takes frames on its own thread: once it has answered a read made after the command, it has
    // seen every frame the command sent.
    std::vector<Sent> WritesSoFar() {
        EXPECT_EQ(Tool({"param", "get", "0"}).rc, 0);
        return Writes(*peer);
    }
};

TEST_F(ParamKeys, ShowJsonListsEveryKeyWithItsWordTextAndItem) {
    const auto r = Tool({"param", "show", "--json"});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out.rfind("[{\"number\":0,\"key\":\"programmed_marker\",\"raw\":43690,\"text\":null},", 0), 0u) << r.out;
    EXPECT_EQ(r.out.substr(r.out.size() - 3), "}]\n");
    EXPECT_EQ(Count(r.out, "\"key\":"), 78u);
    for (const char* object : {
             "{\"number\":3,\"key\":\"idle_correction_ms\",\"raw\":92,\"text\":\"+0.40\"}",
             "{\"number\":14,\"key\":\"switch_speed_rpm\",\"raw\":11520,\"text\":\"600\"}",
             "{\"number\":21,\"key\":\"ignition_type\",\"raw\":2,\"text\":\"4 Cyl.\",\"index\":2}",
             "{\"number\":49,\"key\":\"gas_cutoff_temperature\",\"raw\":-20,\"text\":\"Brak\",\"index\":0}",
             "{\"number\":22,\"key\":\"first_flags\",\"raw\":592,\"text\":null}",
             "{\"number\":null,\"key\":\"injector_type\",\"raw\":null,\"text\":\"Kestra Torva 3 ohm\",\"index\":5}",
             "{\"number\":null,\"key\":\"tank_sensor_type\",\"raw\":null,\"text\":\"Rezerwa\",\"index\":2}",
         })
        EXPECT_NE(r.out.find(object), std::string::npos) << object;
    EXPECT_TRUE(WritesSoFar().empty()) << "showing sends nothing but reads";
}

TEST_F(ParamKeys, ShowOneKeyByNameOrNumber) {
    auto r = Tool({"param", "show", "min_switch_temperature_c"});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out, " 5  min_switch_temperature_c            25  25\n");
    r = Tool({"param", "show", "49", "--json"});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out, "[{\"number\":49,\"key\":\"gas_cutoff_temperature\",\"raw\":-20,\"text\":\"Brak\",\"index\":0}]\n");
    r = Tool({"param", "show", "injector_type"});
    EXPECT_EQ(r.out, " -  injector_type                        -  [5] Kestra Torva 3 ohm\n");
    // The raw word of a signed parameter is signed wherever it is printed.
    r = Tool({"param", "get", "49"});
    EXPECT_EQ(r.out, "-20\n");
}

TEST_F(ParamKeys, InjectorTypeByIndexSendsTheTypeAndItsCatalogueSettings) {
    const auto r = Tool({"param", "set", "injector_type", "--text", "2"});
    ASSERT_EQ(r.rc, 0) << r.err;
    std::vector<Sent> expected;
    AppendParamWrite(expected, 22, 0x0220);
    AppendParamWrite(expected, 13, 184);  // 0.8 ms
    AppendParamWrite(expected, 6, 300);   // 16 % raised to 20 %
    AppendParamWrite(expected, 7, 576);   // 2.5 ms
    AppendParamWrite(expected, 2, 529);   // 2.3 ms
    EXPECT_EQ(WritesSoFar(), expected);
    EXPECT_EQ(r.out.rfind(" -  injector_type                        -  [2] Kestra new 2 ohm\n", 0), 0u) << r.out;
    EXPECT_NE(r.out.find(" 6  holding_current_pct                300  20.0\n"), std::string::npos) << r.out;
}

TEST_F(ParamKeys, IgnitionTypeByItsTextReadsThePointsAndResendsEverySpeed) {
    const auto r = Tool({"param", "set", "ignition_type", "--text", "5 Cyl."});
    ASSERT_EQ(r.rc, 0) << r.err;
    std::vector<Sent> expected;
    AppendParamWrite(expected, 21, 3);
    const int periods[6] = {5529, 2764, 1843, 1382, 1105, 921};  // 5529600 / rpm for 1000..6000 rpm
    for (int k = 0; k < 6; ++k) expected.insert(expected.end(), {Sent{']', k, periods[k]}, Sent{'>', k, 0}, Sent{'_', k, periods[k]}});
    AppendParamWrite(expected, 14, 9216);  // 600 rpm
    AppendParamWrite(expected, 44, 921);   // 6000 rpm
    EXPECT_EQ(WritesSoFar(), expected);
    // The speeds keep their texts; the filter speed is not re-encoded, so the same period now reads as
    // 5529600 / 5760 = 960 rpm, shown in steps of 50.
    EXPECT_EQ(r.out,
              "21  ignition_type                        3  [3] 5 Cyl.\n"
              "14  switch_speed_rpm                  9216  600\n"
              "44  speed_limit_rpm                    921  6000\n"
              "60  filter_speed_rpm                  5760  950\n");
}

TEST_F(ParamKeys, RefusedKeysAndTextsSendNothing) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"param", "set", "no_such_key", "--text", "1"},
             {"param", "set", "64", "--text", "1"},
             {"param", "set", "min_gas_opening_ms", "--text", "abc"},
             {"param", "set", "min_gas_opening_ms", "--text", ""},
             {"param", "set", "gas_cutoff_temperature", "--text", "+5 °C"},
             {"param", "set", "injector_type", "--text", "6"},
             {"param", "set", "first_flags", "--text", "1"},
             {"param", "set", "extra_correction_injectors", "--text", "11"},
             {"param", "show", "no_such_key"},
             {"param", "show", "--bogus"},
             {"param", "set", "injector_type", "--value", "2"},
         }) {
        const auto r = Tool(args);
        EXPECT_EQ(r.rc, 2) << ::testing::PrintToString(args);
        EXPECT_NE(r.err.find("sequaflow-cli: param"), std::string::npos) << r.err;
    }
    // A refused text is judged before the port is used: the read made now is the first frame the peer sees.
    EXPECT_TRUE(WritesSoFar().empty());
    ASSERT_EQ(peer->frames().size(), 1u);
    EXPECT_EQ(peer->frames()[0][0], 'd');
    const auto r = Tool({"param", "set", "gas_cutoff_temperature", "--text", "+5 °C"});
    EXPECT_NE(r.err.find("'+5 °C' is neither an item number nor an item of the list; nothing was sent"), std::string::npos)
        << r.err;
}

TEST_F(ParamKeys, AnUnansweredParameterStopsTheChangeBeforeAnythingIsSent) {
    controller->silentParams.insert(30);
    const auto r = Tool({"param", "set", "injector_type", "--text", "2"});
    EXPECT_EQ(r.rc, 4);
    EXPECT_NE(r.err.find("no valid answer for parameter 30"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("nothing was sent"), std::string::npos) << r.err;
    EXPECT_TRUE(WritesSoFar().empty());
    EXPECT_EQ(Tool({"param", "show"}).rc, 4);
}

TEST_F(ParamKeys, ReadAndDecodeJsonCarryTheKeys) {
    auto r = Tool({"read", "--json"});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_NE(r.out.find(",\"settings\":[{\"number\":0,\"key\":\"programmed_marker\","), std::string::npos);
    EXPECT_NE(r.out.find("{\"number\":49,\"key\":\"gas_cutoff_temperature\",\"raw\":-20,\"text\":\"Brak\",\"index\":0}"),
              std::string::npos);
    EXPECT_EQ(Count(r.out, "\"key\":"), 78u);

    params::ParameterImage image;
    maps::MapModel model;
    image.setSlot(21, 4);
    image.setSlot(5, -3);
    ASSERT_TRUE(params::WriteParameterFile("car.kst", params::EncodeParameterFile(image, model)).ok());
    // A file of start-up zeros is no plausible configuration: --force shows it all the same.
    r = RunTool({"decode", "car.kst", "--json", "--force"});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_NE(r.out.find("{\"number\":5,\"key\":\"min_switch_temperature_c\",\"raw\":-3,\"text\":\"-3\"}"), std::string::npos);
    EXPECT_NE(r.out.find("{\"number\":21,\"key\":\"ignition_type\",\"raw\":4,\"text\":\"6 Cyl.\",\"index\":4}"),
              std::string::npos);
}

TEST(ParamKeysSilent, NoControllerIsExitFourAndNothingWritten) {
    PtyPeer peer([](const std::vector<std::uint8_t>&) { return std::vector<std::uint8_t>{}; });
    ASSERT_TRUE(peer.ok());
    EXPECT_EQ(RunTool({"--device", peer.slavePath(), "param", "set", "turbo", "--text", "1"}).rc, 4);
    // Nothing answers here: a read sent afterwards, once the peer has it, marks the end of what was sent.
    EXPECT_EQ(RunTool({"--device", peer.slavePath(), "param", "get", "63"}).rc, 4);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline &&
           (peer.frames().empty() || peer.frames().back()[1] != 63 || peer.frames().back()[0] != 'd'))
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(peer.frames().back()[1], 63);
    EXPECT_TRUE(Writes(peer).empty());
    const auto help = RunTool({"--help"});
    EXPECT_NE(help.out.find("param set KEY --text TEXT"), std::string::npos);
}

}  // namespace
