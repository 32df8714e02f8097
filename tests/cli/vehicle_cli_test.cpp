#include <gtest/gtest.h>

#include <csignal>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/vehicle_command.h"
#include "link/link.h"
#include "link/pacer.h"
#include "sim/controller.h"
#include "sim/fault_injector.h"
#include "sim/sim_port.h"
#include "support/cli_sim_rig.h"

using namespace sequaflow;

namespace {

// Counts the frames the command sends, by command code.
class Sent final : public link::LinkObserver {
public:
    void onSend(std::chrono::microseconds, const link::Frame& frame) override {
        codes.push_back(static_cast<char>(frame[0]));
    }
    void onReceive(std::chrono::microseconds, std::uint32_t, std::uint32_t, bool,
                   std::span<const std::uint8_t>) override {}
    void onPause(std::chrono::microseconds, int) override {}
    void onPortEvent(std::chrono::microseconds, const std::string&) override {}
    std::string codes;
};

struct VehicleRig : testing_support::CliSimRig {
    Sent sent;

    explicit VehicleRig(bool blank = false) : CliSimRig(sim::ControllerOptions{.blank = blank}) {
        link.setObserver(&sent);
    }
    ~VehicleRig() { link.setObserver(nullptr); }

    int run(std::vector<std::string> args) {
        const auto options = cli::ParseVehicleArgs(context, args);
        if (!options) return cli::kUsage;
        return cli::RunVehicleOn(context, link, *options);
    }
    std::uint16_t word(int w) const { return controller.stores().record[static_cast<std::size_t>(w)]; }
    std::string textBytes(int from, int n) const {
        std::string s;
        for (int i = from; i < from + n; ++i) {
            const std::uint16_t v = word(i / 2);
            s += static_cast<char>(i % 2 ? v & 0xFF : v >> 8);
        }
        return s;
    }
};

TEST(VehicleCli, ShowPrintsTheDemoRecordAsJson) {
    VehicleRig rig;
    ASSERT_EQ(rig.run({"show", "--json"}), cli::kOk) << rig.err.str();
    EXPECT_EQ(rig.out.str(),
              "{\"registration\":\"WX 4711 AB\",\"make\":\"Skoda\",\"model\":\"Octavia 1.6 MPI\","
              "\"installer\":\"sequaflow demo workshop\",\"date\":\"2024-05-14\",\"layout\":\"R\",\"cylinders\":4,"
              "\"capacity_l\":1.6,\"nozzle_mm\":1}\n");
    // Only reads: 63 record words (the serial number is not part of it).
    EXPECT_EQ(rig.sent.codes, std::string(63, 'P'));
}

TEST(VehicleCli, ShowOfABlankControllerIsAllNull) {
    VehicleRig rig(true);
    ASSERT_EQ(rig.run({"show", "--json"}), cli::kOk) << rig.err.str();
    EXPECT_EQ(rig.out.str(),
              "{\"registration\":null,\"make\":null,\"model\":null,\"installer\":null,\"date\":null,"
              "\"layout\":null,\"cylinders\":null,\"capacity_l\":null,\"nozzle_mm\":null}\n");
}

TEST(VehicleCli, SetChangesOnlyTheGivenFieldsAndSavesTheWholeRecord) {
    VehicleRig rig;
    ASSERT_EQ(rig.run({"set", "--make", "Škoda", "--date", "2025-02-28", "--layout", "V", "--capacity", "2,05",
                       "--nozzle", "1.25"}),
              cli::kOk)
        << rig.err.str();
    EXPECT_EQ(rig.out.str(), "Vehicle record saved.\n");
    EXPECT_EQ(rig.textBytes(0, 12), "WX 4711 AB  ");
    EXPECT_EQ(rig.textBytes(12, 15), "\x8Akoda          ");
    EXPECT_EQ(rig.textBytes(27, 15), "Octavia 1.6 MPI");
    EXPECT_EQ(rig.textBytes(72, 9), std::string("20250228") + '\0');
    EXPECT_EQ(rig.word(62), 0x1305);  // V, "4" kept, 1,25mm
    EXPECT_EQ(rig.word(63), 0x2200);  // 2,05 L = index 34
    // Read first, then 62 and 63, then the 60 text words.
    const std::string expected = std::string(63, 'P') + "MUMU" + [] {
        std::string s;
        for (int i = 0; i < 60; ++i) s += "MU";
        return s;
    }();
    EXPECT_EQ(rig.sent.codes, expected);

    rig.out.str({});
    ASSERT_EQ(rig.run({"show"}), cli::kOk);
    EXPECT_NE(rig.out.str().find("make:         Škoda\n"), std::string::npos) << rig.out.str();
    EXPECT_NE(rig.out.str().find("capacity:     2.05 l\n"), std::string::npos) << rig.out.str();
}

TEST(VehicleCli, BadValuesAreUsageErrorsBeforeAnythingIsSent) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"set", "--capacity", "1.62"}, "--capacity is one of"},
        {{"set", "--capacity", "7.05"}, "--capacity is one of"},
        {{"set", "--nozzle", "0.95"}, "--nozzle is one of"},
        {{"set", "--cylinders", "9"}, "--cylinders is a count"},
        {{"set", "--layout", "X"}, "--layout is one of"},
        {{"set", "--date", "2025-02-30"}, "--date: no such date"},
        {{"set", "--date", "2025-2-3"}, "YYYY-MM-DD"},
        {{"set", "--registration", "WX 1234567890"}, "--registration: text is too long (at most 12 characters)"},
        {{"set", "--model", "Лада"}, "--model: the character \"Л\" cannot be stored"},
        {{"set", "--make"}, "--make needs a value"},
        {{"show", "--make", "x"}, "unknown argument"},
    };
    for (const auto& c : cases) {
        VehicleRig rig;
        EXPECT_EQ(rig.run(c.args), cli::kUsage) << c.args[1];
        EXPECT_NE(rig.err.str().find(c.message), std::string::npos) << rig.err.str();
        EXPECT_TRUE(rig.sent.codes.empty()) << c.args[1];
    }
}

TEST(VehicleCli, BlankControllerNeedsEveryListAndADate) {
    VehicleRig rig(true);
    EXPECT_EQ(rig.run({"set", "--registration", "KR 1"}), cli::kUsage);
    EXPECT_NE(rig.err.str().find("give --layout"), std::string::npos) << rig.err.str();
    EXPECT_EQ(rig.word(63), 0xFFFF);
    EXPECT_EQ(rig.sent.codes, std::string(63, 'P'));  // read, nothing written

    rig.err.str({});
    ASSERT_EQ(rig.run({"set", "--registration", "KR 1", "--date", "2024-02-29", "--layout", "W", "--cylinders", "6",
                       "--capacity", "3", "--nozzle", "5"}),
              cli::kOk)
        << rig.err.str();
    EXPECT_EQ(rig.textBytes(0, 12), "KR 1        ");
    EXPECT_EQ(rig.textBytes(12, 15), std::string(15, ' '));  // the blank store's bytes are not kept
    EXPECT_EQ(rig.word(62), 0x3550);
    EXPECT_EQ(rig.word(63), 0x3500);  // 3,00 L = index 53
}

TEST(VehicleCli, UnansweredWordsAreNeitherShownNorWrittenBack) {
    VehicleRig rig;
    rig.port.setFaults(sim::FaultInjector(sim::FaultSpec{.drop = 1.0}, 1));
    EXPECT_EQ(rig.run({"set", "--make", "Fiat"}), cli::kNoAnswer);
    EXPECT_NE(rig.err.str().find("63 of the 63 vehicle-record words did not answer"), std::string::npos)
        << rig.err.str();
    EXPECT_EQ(rig.sent.codes.find('U'), std::string::npos);
}

}  // namespace
