#include <gtest/gtest.h>

#include <sstream>

#include "params/config_compare.h"
#include "params/factory_defaults.h"
#include "params/factory_reset.h"
#include "params/file_plausibility.h"
#include "params/parameter_file.h"
#include "params/read_everything.h"
#include "sim/controller.h"
#include "sim/sim_port.h"

using namespace sequaflow;
using params::ItemKind;

namespace {

params::ParameterFileContent FactoryContent() {
    params::ParameterFileContent c;
    for (std::size_t n = 0; n < 64; ++n) c.parameters[n] = params::SlotFromWord(static_cast<int>(n), params::kFactoryParameters[n]);
    for (std::size_t k = 0; k < 17; ++k) c.points[k] = params::kDefaultPoints[k];
    c.advanced = params::kDefaultAdvancedMap;
    c.standard = params::kDefaultStdMap;
    return c;
}

params::Configuration Factory() { return params::ConfigurationOfFile(FactoryContent()); }

// ---- Compare ----

TEST(Compare, EqualConfigurationsHaveNoDifferences) {
    EXPECT_TRUE(params::Compare(Factory(), Factory()).empty());
}

TEST(Compare, EachDifferenceInTheScreensTextsInItemOrder) {
    auto a = Factory();
    auto b = Factory();
    b.advanced[7 * 2 + 3] = 90;
    b.parameters[3] = 115;   // 0.499 ms at 230400 Hz
    b.parameters[21] = 4;    // ignition "6 Cyl."
    b.standard[11] = -5;
    b.points[6] = 460;       // 2.0 ms
    const auto d = params::Compare(a, b);
    ASSERT_EQ(d.size(), 5u);
    EXPECT_EQ(params::DifferenceLine(d[0]), "parameter 3 (idle_correction_ms): +0.40 -> +0.50");
    EXPECT_EQ(params::DifferenceLine(d[1]), "parameter 21 (ignition_type): 4 Cyl. -> 6 Cyl.");
    EXPECT_EQ(params::DifferenceLine(d[2]), "point 6: 1.5 -> 2.0");
    EXPECT_EQ(params::DifferenceLine(d[3]), "advanced map cell 2,3 (row,column): +15% -> +90%");
    EXPECT_EQ(params::DifferenceLine(d[4]), "standard map cell 11: +15% -> -5%");
    EXPECT_EQ(d[3].item.row(), 2);
    EXPECT_EQ(d[3].item.column(), 3);
    EXPECT_EQ(params::ItemKey(d[1].item), "ignition_type");
    EXPECT_EQ(params::ItemKey(d[3].item), "");
}

TEST(Compare, TextsFollowEachSidesOwnSettingsAndShowTheWordWhenTheyLookAlike) {
    auto a = Factory();
    auto b = Factory();
    // 6912 at "4 Cyl." and 4608 at "6 Cyl." are both 1000 rpm.
    b.parameters[21] = 4;
    b.points[0] = 4608;
    b.parameters[3] = 93;  // 0.4036 ms: "+0.40" as 92 is
    const auto d = params::Compare(a, b);
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(params::DifferenceLine(d[0]), "parameter 3 (idle_correction_ms): +0.40 (92) -> +0.40 (93)");
    EXPECT_EQ(params::DifferenceLine(d[2]), "point 0: 1000 (6912) -> 1000 (4608)");
    // The decimal separator the screen uses.
    EXPECT_EQ(*params::Compare(a, b, ',')[0].textA, "+0,40");
}

TEST(Compare, AnElementReadOnOneSideOnlyDiffersAndIsSaidNotRead) {
    auto a = Factory();
    auto b = Factory();
    b.points[16].reset();
    a.standard[0].reset();
    b.standard[0].reset();
    const auto d = params::Compare(a, b);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(params::DifferenceLine(d[0]), "point 16: 18.0 -> not read");
    EXPECT_FALSE(d[0].rawB);
}

TEST(Compare, JsonNamesTheItemKeyAndBothSides) {
    auto b = Factory();
    b.parameters[5] = -3;
    b.advanced[7 * 11 + 6] = -25;
    std::ostringstream out;
    for (const auto& d : params::Compare(Factory(), b)) params::PrintDifferenceJson(out, d);
    EXPECT_EQ(out.str(),
              "{\"item\":\"parameter 5 (min_switch_temperature_c)\",\"kind\":\"parameter\",\"number\":5,"
              "\"key\":\"min_switch_temperature_c\",\"a\":\"25\",\"b\":\"-3\",\"raw_a\":25,\"raw_b\":-3}"
              "{\"item\":\"advanced map cell 11,6 (row,column)\",\"kind\":\"advanced_cell\",\"row\":11,\"column\":6,"
              "\"key\":null,\"a\":\"+15%\",\"b\":\"-25%\",\"raw_a\":15,\"raw_b\":-25}");
}

TEST(CompareHeld, TheMarkerIsAlwaysExpectedAndCountersMayRunOnByAnHour) {
    auto file = Factory();
    file.parameters[0] = 0;
    file.parameters[36] = 100;  // petrol seconds, low word
    auto held = Factory();
    held.parameters[36] = 160;
    EXPECT_TRUE(params::CompareHeld(file, held).empty());

    held.parameters[0] = 0;  // the marker did not stick
    held.parameters[36] = 50;  // counted back: not the engine running
    auto d = params::CompareHeld(file, held);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(params::DifferenceLine(d[0]), "parameter 0 (programmed_marker): 43690 -> 0");
    EXPECT_EQ(params::DifferenceLine(d[1]), "parameter 36 (petrol_seconds_low): 100 -> 50");

    held.parameters[0] = params::kProgrammedMarker;
    held.parameters[36] = 100 + 3601;
    EXPECT_EQ(params::CompareHeld(file, held).size(), 1u);
    held.parameters[36] = 100;
    held.advanced[0].reset();  // never answered
    d = params::CompareHeld(file, held);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].item, (params::ConfigItem{ItemKind::AdvancedCell, 0}));
    EXPECT_FALSE(d[0].textB);
}

TEST(CompareHeld, TheReadAfterALoadTurnsSmoothSwitchingAndTheReadFlagsOn) {
    const auto expected = params::AsReadAfterLoad(FactoryContent());
    // 0x0250 with bits 13 (smooth switching), 14 (speed limit) and 15 (reducer vacuum).
    EXPECT_EQ(expected.parameters[22], 0xE250);
    EXPECT_EQ(expected.parameters[41], 24);    // switch-over temperature 25 - 1
    EXPECT_EQ(expected.parameters[42], 400);
    EXPECT_EQ(expected.parameters[43], 1152);  // 5 ms at 230400 Hz
    auto rest = expected;
    for (const int n : {22, 41, 42, 43}) rest.parameters[static_cast<std::size_t>(n)] = Factory().parameters[static_cast<std::size_t>(n)];
    EXPECT_TRUE(params::Compare(rest, Factory()).empty());
}

TEST(ConfigurationOfScreen, TakesTheWordsOnTheWire) {
    params::ParameterImage image;
    maps::MapModel model;
    image.setSlot(16, 500000);  // "500" s: more than the word holds
    image.setSlot(49, -20);
    model.setCell(1, 2, -7);
    const auto c = params::ConfigurationOfScreen(image, model);
    EXPECT_EQ(c.parameters[16], 500000 & 0xFFFF);
    EXPECT_EQ(c.parameters[49], -20);
    EXPECT_EQ(c.advanced[7 + 2], -7);
    EXPECT_TRUE(c.completeForFile());
}

// ---- Plausibility ----

std::string First(const params::ParameterFileContent& c) {
    const auto problems = params::CheckPlausibility(c);
    return problems.empty() ? std::string("plausible") : params::ImplausibleText(problems.front());
}

TEST(Plausibility, FactoryValuesPass) { EXPECT_EQ(First(FactoryContent()), "plausible"); }

TEST(Plausibility, EditorAndListLimitsAreTheEdges) {
    struct Case {
        int param;
        std::int32_t ok;
        std::int32_t bad;
        const char* text;
    };
    const Case cases[] = {
        {1, 199, 200, "parameter 1 (mixture_correction_pct) is 200, expected 1..199"},
        {1, 1, 0, "parameter 1 (mixture_correction_pct) is 0, expected 1..199"},
        // 4 ms: 921.6 ticks at 230400 Hz, 7372.8 at 1843200 Hz.
        {3, -7372, -7373, "parameter 3 (idle_correction_ms) is -7373, expected -7372..7372"},
        {12, 165, 166, "parameter 12 (turbo_boost) is 166, expected 100..165"},
        // "0.01" s is 0.0099999998 in single precision: x 100 truncates to 0.
        {20, 50000, 50001, "parameter 20 (return_delay_s) is 50001, expected 0..50000"},
        {21, 6, 7, "parameter 21 (ignition_type) is 7, expected 0..6"},
        {48, -20, -21, "parameter 48 (reducer_cutoff_temperature) is -21, expected -20..10"},
        {49, 0, 1, "parameter 49 (gas_cutoff_temperature) is 1, expected -20..0"},
        {51, 255, 256, "parameter 51 (extra_correction_injectors) is 256, expected 0..255"},
        {0, 0, 1, "parameter 0 (programmed_marker) is 1, expected 43690 or 0"},
        // A factory reset keeps 55..63: a new controller's erased memory passes there, nowhere else.
        {55, 65535, 7, "parameter 55 (lambda1_type) is 7, expected 0..6 or 65535"},
        {46, 3, 65535, "parameter 46 (pressure_filter) is 65535, expected 0..3"},
    };
    for (const auto& c : cases) {
        auto content = FactoryContent();
        content.parameters[static_cast<std::size_t>(c.param)] = c.ok;
        EXPECT_EQ(First(content), "plausible") << c.param << " = " << c.ok;
        content.parameters[static_cast<std::size_t>(c.param)] = c.bad;
        EXPECT_EQ(First(content), c.text);
    }
    // Words an editor without a closed range can make pass whatever they hold.
    auto content = FactoryContent();
    for (const int n : {4, 5, 8, 14, 16, 22, 30, 35, 47, 62}) content.parameters[static_cast<std::size_t>(n)] = 65535;
    content.parameters[5] = -32768;
    EXPECT_EQ(First(content), "plausible");
}

TEST(Plausibility, CellsAndPointsInRangeAndOrder) {
    auto content = FactoryContent();
    content.advanced[0] = 75;    // -25 %
    content.standard[3] = 190;   // +90 %
    EXPECT_EQ(First(content), "plausible");
    content.advanced[7 * 3 + 1] = 74;
    EXPECT_EQ(First(content), "advanced map cell 3,1 (row,column) is -26%, expected -25..+90%");
    content = FactoryContent();
    content.standard[11] = 191;
    EXPECT_EQ(First(content), "standard map cell 11 is +91%, expected -25..+90%");

    content = FactoryContent();
    content.points[2] = 3456;  // as slow as point 1
    EXPECT_EQ(First(content), "point 2 is 3456, expected below point 1 (3456)");
    content = FactoryContent();
    content.points[7] = 345;
    EXPECT_EQ(First(content), "point 7 is 345, expected above point 6 (345)");
    content = FactoryContent();
    content.points[0] = 65500;
    EXPECT_EQ(First(content), "point 0 is 65500, expected 1..65499");
    content = FactoryContent();
    content.points[6] = 0;
    EXPECT_EQ(First(content), "point 6 is 0, expected above 0");
}

TEST(Plausibility, TextOfAFileThatIsNoneNamesTheFirstThree) {
    std::vector<std::uint8_t> bytes(258);
    const std::string text = "root:x:0:0:root:/root:/bin/bash\ndaemon:x:1:1:daemon:/usr/sbin:/usr/sbin/nologin\n";
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(text[i % text.size()]);
    const auto content = params::DecodeParameterFile(bytes);
    ASSERT_TRUE(content.ok());
    const auto problems = params::CheckPlausibility(*content);
    ASSERT_GT(problems.size(), 3u);
    // "ro" = 0x726F, "ot" = 0x6F74.
    EXPECT_EQ(params::FirstImplausibleText(problems),
              "parameter 0 (programmed_marker) is 29295, expected 43690 or 0; parameter 1 (mixture_correction_pct) "
              "is 28532, expected 1..199; " + params::ImplausibleText(problems[2]) + "; and " +
                  std::to_string(problems.size() - 3) + " more");
}

// What the simulated controller hands out, through the tool's own read and its file encoder.
struct SimulatedFile : ::testing::Test {
    link::VirtualPacer pacer;
    std::unique_ptr<sim::Controller> controller;
    std::unique_ptr<sim::SimPort> port;
    std::unique_ptr<link::Link> link;
    params::ProgramState state;

    void start(bool blank) {
        sim::ControllerOptions options;
        options.blank = blank;
        controller = std::make_unique<sim::Controller>(options);
        port = std::make_unique<sim::SimPort>(*controller, pacer);
        link = std::make_unique<link::Link>(*port, pacer);
        link->setPortName("sim");
        ASSERT_TRUE(link->openPort().ok());
    }
    std::vector<params::Implausible> savedFile() {
        params::ReadEverythingHooks hooks;
        hooks.offerFactoryReset = [] { return false; };
        (void)params::ReadEverything(*link, state, hooks);
        const auto bytes = params::EncodeParameterFile(state.image, state.maps);
        const auto content = params::DecodeParameterFile(bytes);
        EXPECT_TRUE(content.ok());
        return params::CheckPlausibility(*content);
    }
};

TEST_F(SimulatedFile, AFreshControllerAndOneAfterTheFactoryResetPass) {
    start(false);
    EXPECT_TRUE(savedFile().empty());
    ASSERT_TRUE(params::FactoryReset(*link, state.image, state.maps, 6).completed());
    const auto problems = savedFile();
    EXPECT_TRUE(problems.empty()) << params::FirstImplausibleText(problems);
}

TEST_F(SimulatedFile, ABlankControllersErasedMemoryIsRefusedAndAfterTheResetPasses) {
    start(true);
    const auto problems = savedFile();
    ASSERT_FALSE(problems.empty());
    EXPECT_EQ(params::ImplausibleText(problems.front()), "parameter 0 (programmed_marker) is 65535, expected 43690 or 0");
    const auto reset = params::FactoryReset(*link, state.image, state.maps, 6);
    ASSERT_TRUE(reset.completed()) << static_cast<int>(reset.stopped.value_or(StopReason::Cancelled)) << " " << reset.steps;
    const auto after = savedFile();
    EXPECT_TRUE(after.empty()) << params::FirstImplausibleText(after, 10);
}

}  // namespace
