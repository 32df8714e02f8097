#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/adapt_command.h"
#include "cli/cli.h"
#include "link/commands.h"
#include "link/link.h"
#include "link/pacer.h"
#include "sim/controller.h"
#include "sim/fault_injector.h"
#include "sim/sim_port.h"
#include "support/cli_sim_rig.h"

using namespace sequaflow;

namespace {

// A small strict JSON reader, enough to hold the command's one object to its shape (no \u escapes).
struct Json {
    enum class Type { Null, Bool, Number, String, Array, Object } type = Type::Null;
    double number = 0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> members;

    bool has(const std::string& key) const { return members.count(key) != 0; }
    const Json& operator[](const std::string& key) const { return members.at(key); }
};

struct JsonReader {
    std::string_view s;
    std::size_t i = 0;

    char peek() {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
        return i < s.size() ? s[i] : '\0';
    }
    bool eat(char c) { return peek() == c && (++i, true); }
    bool string(std::string& out) {
        if (!eat('"')) return false;
        for (; i < s.size(); ++i) {
            if (s[i] == '"') return ++i, true;
            if (static_cast<unsigned char>(s[i]) < 0x20) return false;
            if (s[i] == '\\' && (++i >= s.size() || std::string_view("\"\\/nt").find(s[i]) == std::string_view::npos))
                return false;
            out += s[i];
        }
        return false;
    }
    template <char Close, typename Item>
    bool list(Item item) {
        if (eat(Close)) return true;
        do
            if (!item()) return false;
        while (eat(','));
        return eat(Close);
    }
    bool value(Json& v) {
        const char c = peek();
        if (eat('{')) {
            v.type = Json::Type::Object;
            return list<'}'>([&] {
                std::string key;
                Json member;
                return string(key) && eat(':') && value(member) && v.members.emplace(key, member).second;
            });
        }
        if (eat('[')) {
            v.type = Json::Type::Array;
            return list<']'>([&] { return value(v.items.emplace_back()); });
        }
        if (c == '"') return v.type = Json::Type::String, string(v.text);
        for (std::string_view word : {"null", "true", "false"})
            if (s.substr(i, word.size()) == word) {
                i += word.size();
                v.type = word == "null" ? Json::Type::Null : Json::Type::Bool;
                return true;
            }
        const std::string rest(s.substr(i, 40));
        char* end = nullptr;
        v.number = std::strtod(rest.c_str(), &end);
        v.type = Json::Type::Number;
        i += static_cast<std::size_t>(end - rest.c_str());
        return end != rest.c_str() && (c == '-' || std::isdigit(static_cast<unsigned char>(c)));
    }
};

Json ParseOne(const std::string& text) {
    Json v;
    JsonReader reader{text};
    EXPECT_TRUE(reader.value(v) && reader.peek() == '\0') << "not exactly one JSON value:\n" << text;
    return v;
}

// Every frame the tool sends, with its virtual time; a test may act on a frame as it goes out.
class FrameWatch final : public link::LinkObserver {
public:
    struct Sent {
        std::chrono::microseconds at;
        link::Frame frame;
    };
    std::vector<Sent> sent;
    std::function<void(const link::Frame&)> onFrame;

    void onSend(std::chrono::microseconds at, const link::Frame& frame) override {
        sent.push_back({at, frame});
        if (onFrame) onFrame(frame);
    }
    void onReceive(std::chrono::microseconds, std::uint32_t, std::uint32_t, bool, std::span<const std::uint8_t>) override {}
    void onPause(std::chrono::microseconds, int) override {}
    void onPortEvent(std::chrono::microseconds, const std::string&) override {}

    long count(std::uint8_t code) const {
        return std::count_if(sent.begin(), sent.end(), [code](const Sent& s) { return s.frame[0] == code; });
    }
};

// The command against the in-process simulator in virtual time: the engine held at 2600 rpm, the reducer
// warm.
struct AdaptRig : testing_support::CliSimRig {
    FrameWatch watch;
    // The procedure has no time limit of its own: a run that would never end is stopped and fails the test.
    static constexpr std::chrono::seconds kVirtualLimit{300};
    bool timedOut = false;
    std::function<void(std::chrono::microseconds)> onPause;

    AdaptRig() {
        pacer.setHook([this](std::chrono::microseconds now, int) {
            if (onPause) onPause(now);
            if (now > kVirtualLimit && !timedOut) {
                timedOut = true;
                interrupted = SIGINT;
            }
        });
        link.setObserver(&watch);
        controller.engine().holdRpm(2600);
        controller.engine().setReducerTemperature(60);
        // The installer has the switch on petrol: the controller does not go to gas by itself before the
        // procedure asks for it.
        controller.engine().command(sim::FuelCommand::Petrol);
    }
    ~AdaptRig() { link.setObserver(nullptr); }

    int run(bool json) {
        const int rc = cli::RunAdaptOn(context, link, pacer, cli::AdaptOptions{json});
        EXPECT_FALSE(timedOut) << "still running after " << kVirtualLimit.count() << " s of virtual time\n"
                               << out.str().substr(0, 3000) << "\n" << err.str().substr(0, 3000);
        return rc;
    }
    void silence() { port.setFaults(sim::FaultInjector(sim::FaultSpec{.drop = 1.0}, 1)); }
    std::uint16_t param(int n) const { return controller.running().params[static_cast<std::size_t>(n)]; }
    std::uint16_t storedParam(int n) const { return controller.stores().params[static_cast<std::size_t>(n)]; }
};

bool IsParamSet(const link::Frame& f, int n) { return f[0] == link::code::ParamSet && f[1] == n; }

// Frames that only read: parameters, points, map cells and the live frame.
bool OnlyReads(const std::vector<FrameWatch::Sent>& sent, std::size_t upTo) {
    const std::string reads = {static_cast<char>(link::code::ParamRead), static_cast<char>(link::code::PointRead),
                               static_cast<char>(link::code::GridCellRead), static_cast<char>(link::code::StdMapRead),
                               static_cast<char>(link::code::ReadLiveFrame)};
    for (std::size_t i = 0; i < upTo && i < sent.size(); ++i)
        if (reads.find(static_cast<char>(sent[i].frame[0])) == std::string::npos) return false;
    return true;
}

std::size_t FirstSwitch(const std::vector<FrameWatch::Sent>& sent) {
    const auto it = std::find_if(sent.begin(), sent.end(), [](const FrameWatch::Sent& s) {
        return s.frame[0] == link::code::SwitchToPetrol || s.frame[0] == link::code::SwitchToGas;
    });
    return static_cast<std::size_t>(it - sent.begin());
}

constexpr int kProfile[12] = {-4, -2, 0, 0, 0, 2, 3, 5, 6, 6, 5, 4};

}  // namespace

TEST(AdaptCommand, WholeRunInJsonWritesWhatItReportsAndNothingBeforeTheProcedure) {
    AdaptRig rig;
    ASSERT_EQ(rig.run(true), cli::kOk) << rig.err.str();

    // Nothing but reads until the procedure commands a fuel mode.
    const std::size_t firstSwitch = FirstSwitch(rig.watch.sent);
    ASSERT_LT(firstSwitch, rig.watch.sent.size());
    EXPECT_TRUE(OnlyReads(rig.watch.sent, firstSwitch));

    // The instructions went to standard error, standard output holds the one object.
    EXPECT_NE(rig.err.str().find("Pump the accelerator pedal"), std::string::npos);
    const Json j = ParseOne(rig.out.str());
    ASSERT_EQ(j.type, Json::Type::Object);
    for (const char* key : {"verdict", "messages", "correction", "offset_ms", "petrol_load_ms", "gas_load_ms",
                            "petrol_average_ms", "gas_average_ms", "highest_pressure_bar", "lowest_pressure_bar",
                            "written"})
        EXPECT_TRUE(j.has(key)) << key;
    EXPECT_FALSE(j.has("error"));
    EXPECT_FALSE(j.has("stopped"));

    const std::string verdict = j["verdict"].text;
    EXPECT_TRUE(verdict == "success" || verdict == "nozzles-small" || verdict == "nozzles-large") << verdict;
    ASSERT_EQ(j["messages"].type, Json::Type::Array);
    ASSERT_FALSE(j["messages"].items.empty());
    if (verdict == "success") {
        ASSERT_EQ(j["messages"].items.size(), 1u);
        EXPECT_EQ(j["messages"].items[0].text, "The auto-adaptation has finished successfully.");
    } else {
        EXPECT_EQ(j["messages"].items.size(), 5u);
        EXPECT_EQ(j["messages"].items[0].text, "The auto-adaptation has finished.");
    }
    for (const char* key : {"petrol_load_ms", "gas_load_ms", "petrol_average_ms", "gas_average_ms",
                            "highest_pressure_bar", "lowest_pressure_bar", "offset_ms"})
        EXPECT_EQ(j[key].type, Json::Type::Number) << key;
    EXPECT_GT(j["petrol_load_ms"].number, 0);
    EXPECT_GT(j["petrol_average_ms"].number, 0);
    // The offset is gas minus petrol on the two-decimal values (each rounded once).
    EXPECT_NEAR(j["offset_ms"].number, j["gas_average_ms"].number - j["petrol_average_ms"].number, 0.0101);

    const int correction = static_cast<int>(j["correction"].number);
    EXPECT_EQ(j["correction"].number, correction) << "the stored form is a whole number";
    EXPECT_GE(correction, 85);
    EXPECT_LE(correction, 150);

    // What was sent, in the order it was sent, and what the controller now holds.
    const auto& w = j["written"].items;
    ASSERT_EQ(w.size(), 8u) << rig.out.str();
    const std::vector<int> order = {1, 3, 3, 22, 18, 24};
    for (std::size_t i = 0; i < order.size(); ++i) {
        ASSERT_TRUE(w[i].has("param")) << i;
        EXPECT_EQ(w[i]["param"].number, order[i]) << i;
        EXPECT_EQ(w[i]["text"].type, Json::Type::String);
    }
    EXPECT_EQ(w[0]["key"].text, "mixture_correction_pct");
    EXPECT_EQ(w[0]["raw"].number, correction);
    EXPECT_EQ(w[1]["text"].text, "0.00");
    EXPECT_EQ(w[1]["raw"].number, 0);
    EXPECT_EQ(w[2]["key"].text, "idle_correction_ms");
    EXPECT_EQ(w[4]["key"].text, "return_pressure_bar");
    EXPECT_EQ(w[5]["key"].text, "buzzer_pressure_bar");
    // Switch-off 0.05 bar below the beep pressure, the lowest pressure seen.
    EXPECT_NEAR(std::stod(w[5]["text"].text), j["lowest_pressure_bar"].number, 0.0051);
    EXPECT_NEAR(std::stod(w[4]["text"].text), std::stod(w[5]["text"].text) - 0.05, 0.0051);
    for (std::size_t i = 2; i < order.size(); ++i) {
        const int n = order[i];
        EXPECT_EQ(static_cast<std::uint16_t>(w[i]["raw"].number), rig.param(n)) << n;
        EXPECT_EQ(static_cast<std::uint16_t>(w[i]["raw"].number), rig.storedParam(n)) << n;
    }
    EXPECT_EQ(rig.param(1), correction);
    EXPECT_EQ(rig.storedParam(1), correction);

    ASSERT_TRUE(w[6].has("map"));
    EXPECT_EQ(w[6]["map"].text, "advanced");
    EXPECT_EQ(w[6]["cells"].number, 84);
    const int c = static_cast<int>(w[6]["value"].number);
    EXPECT_EQ(c, std::min(correction - 100, 50));
    for (auto byte : rig.controller.running().grid) EXPECT_EQ(byte, c + 100);

    EXPECT_EQ(w[7]["map"].text, "standard");
    ASSERT_EQ(w[7]["values"].items.size(), 12u);
    for (std::size_t k = 0; k < 12; ++k) {
        const int v = static_cast<int>(w[7]["values"].items[k].number);
        EXPECT_EQ(v, std::clamp(kProfile[k] + c, -25, 50)) << k;
        EXPECT_EQ(rig.controller.running().stdMap[k], v + 100) << k;
    }
}

TEST(AdaptCommand, WholeRunInTextTellsEachInstructionTheAveragesAndTheVerdict) {
    AdaptRig rig;
    ASSERT_EQ(rig.run(false), cli::kOk) << rig.err.str();
    const std::string out = rig.out.str();
    EXPECT_EQ(rig.err.str().find("sequaflow-cli:"), std::string::npos) << rig.err.str();

    // The instructions in the order of the steps, each told once when it changes.
    std::size_t at = 0;
    for (const char* line : {"step 1/11: Wait until the reducer reaches 50 °C",
                             "step 3/11: Pump the accelerator pedal hard and release it",
                             "step 5/11: Pump the accelerator pedal",
                             "step 6/11: Hold the engine between 2500 and 2700 rpm"}) {
        const auto found = out.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << "\n" << out;
        at = found;
    }
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n') < 400, true) << "the measurements are thinned out";
    EXPECT_NE(out.find("petrol average: "), std::string::npos);
    EXPECT_NE(out.find(" over 301 samples"), std::string::npos);
    EXPECT_NE(out.find("gas average so far: "), std::string::npos);
    EXPECT_NE(out.find("wrote parameter 1 (mixture_correction_pct): "), std::string::npos);
    EXPECT_NE(out.find("wrote parameter 3 (idle_correction_ms): 0.00\n"), std::string::npos);

    const auto results = out.find("results:\n");
    ASSERT_NE(results, std::string::npos);
    for (const char* line : {"  correction", "  offset", "  petrol load maximum", "written:\n",
                             "  parameter 22 (first_flags): reducer vacuum connected\n", "  advanced map: 84 cells = ",
                             "  standard map: ", "verdict: "})
        EXPECT_NE(out.find(line, results), std::string::npos) << line << "\n" << out.substr(results);
    // The advanced map's value in the summary is what the controller now holds.
    const auto cells = out.find("advanced map: 84 cells = ", results);
    const int c = std::stoi(out.substr(cells + 25));
    EXPECT_EQ(rig.controller.running().grid[0], c + 100);
}

TEST(AdaptCommand, CtrlCInTheSteadyPetrolStepStopsAndSaysOnlyTheCorrectionAndTheOffsetWereWritten) {
    AdaptRig rig;
    const auto gridBefore = rig.controller.running().grid;
    const auto returnBefore = rig.param(18);
    std::optional<std::chrono::microseconds> offsetZeroed;
    rig.watch.onFrame = [&](const link::Frame& f) {
        if (IsParamSet(f, 3)) offsetZeroed = rig.pacer.now();
    };
    rig.onPause = [&](std::chrono::microseconds now) {
        if (offsetZeroed && now - *offsetZeroed > std::chrono::seconds(3)) rig.interrupted = SIGINT;
    };
    EXPECT_EQ(rig.run(false), cli::kCancelled);
    const std::string err = rig.err.str();
    EXPECT_NE(err.find("aborted by Ctrl+C in step 8/11"), std::string::npos) << err;
    EXPECT_NE(err.find("  parameter 1 (mixture_correction_pct): "), std::string::npos) << err;
    EXPECT_NE(err.find("  parameter 3 (idle_correction_ms): 0.00\n"), std::string::npos) << err;
    EXPECT_EQ(err.find("parameter 18"), std::string::npos) << err;
    EXPECT_EQ(err.find("map"), std::string::npos) << err;
    EXPECT_EQ(err.find("partly written"), std::string::npos) << err;
    EXPECT_EQ(rig.out.str().find("verdict"), std::string::npos);

    // Nothing after the correction and the offset: the maps and the pressures keep their values.
    EXPECT_EQ(rig.controller.running().grid, gridBefore);
    EXPECT_EQ(rig.param(18), returnBefore);
    EXPECT_EQ(rig.param(3), 0);
    EXPECT_EQ(rig.watch.count(link::code::GridCellSet), 0);
    EXPECT_EQ(rig.watch.count(link::code::ParamSet), 2);
    // Stopped at the next tick: no frame goes out once the stop was asked for (at most the tick under way).
    const auto last = rig.watch.sent.back().at;
    EXPECT_LT(last - *offsetZeroed, std::chrono::milliseconds(3200));
}

TEST(AdaptCommand, CtrlCDuringTheMapWritesNamesTheCellsAlreadySent) {
    AdaptRig rig;
    int cellsSent = 0;
    rig.watch.onFrame = [&](const link::Frame& f) {
        if (f[0] == link::code::GridCellSet && ++cellsSent == 10) rig.interrupted = SIGTERM;
    };
    EXPECT_EQ(rig.run(true), cli::kCancelled);
    EXPECT_EQ(rig.watch.count(link::code::GridCellSet), 10);
    EXPECT_EQ(rig.watch.count(link::code::StdMapSet), 0);

    const Json j = ParseOne(rig.out.str());
    EXPECT_EQ(j["verdict"].type, Json::Type::Null);
    EXPECT_EQ(j["stopped"].text, "cancelled");
    EXPECT_EQ(j["step"].number, 11);
    const auto& w = j["written"].items;
    ASSERT_EQ(w.size(), 7u) << rig.out.str();
    EXPECT_EQ(w[6]["map"].text, "advanced");
    EXPECT_EQ(w[6]["cells"].number, 10);
    const std::string err = rig.err.str();
    EXPECT_NE(err.find("by a stop request (SIGTERM) in step 11/11"), std::string::npos) << err;
    EXPECT_NE(err.find("while writing the results"), std::string::npos) << err;
    EXPECT_NE(err.find("  advanced map: 10 of 84 cells = "), std::string::npos) << err;
    EXPECT_NE(err.find("only partly written"), std::string::npos) << err;
}

TEST(AdaptCommand, ControllerThatStopsAnsweringEndsWithExit4AndWhatWasWritten) {
    AdaptRig rig;
    rig.watch.onFrame = [&](const link::Frame& f) {
        if (IsParamSet(f, 1)) rig.silence();
    };
    EXPECT_EQ(rig.run(true), cli::kNoAnswer);
    const std::string err = rig.err.str();
    EXPECT_NE(err.find("the controller stopped answering in step 7/11"), std::string::npos) << err;
    EXPECT_NE(err.find("  parameter 1 (mixture_correction_pct): "), std::string::npos) << err;
    const Json j = ParseOne(rig.out.str());
    EXPECT_EQ(j["verdict"].type, Json::Type::Null);
    EXPECT_EQ(j["error"].text, "no-answer");
    ASSERT_EQ(j["written"].items.size(), 1u);
    EXPECT_EQ(j["written"].items[0]["param"].number, 1);
    EXPECT_EQ(j["correction"].type, Json::Type::Number);
    EXPECT_EQ(j["gas_average_ms"].type, Json::Type::Null);
}

TEST(AdaptCommand, PortLostPartWayEndsWithExit3) {
    AdaptRig rig;
    rig.watch.onFrame = [&](const link::Frame& f) {
        if (f[0] == link::code::SwitchToGas) rig.port.unplug();
    };
    EXPECT_EQ(rig.run(false), cli::kPortError);
    const std::string err = rig.err.str();
    EXPECT_NE(err.find("the controller's port went away (/dev/simulated"), std::string::npos) << err;
    EXPECT_NE(err.find("in step 4/11"), std::string::npos) << err;
    EXPECT_NE(err.find("nothing was written to the controller"), std::string::npos) << err;
}

TEST(AdaptCommand, WithoutAControllerNothingStartsAndNothingIsWritten) {
    AdaptRig rig;
    rig.silence();
    EXPECT_EQ(rig.run(true), cli::kNoAnswer);
    EXPECT_NE(rig.err.str().find("no valid answer from a controller on /dev/simulated"), std::string::npos)
        << rig.err.str();
    EXPECT_TRUE(OnlyReads(rig.watch.sent, rig.watch.sent.size()));
    EXPECT_EQ(rig.watch.count(link::code::ReadLiveFrame), 0);
    const Json j = ParseOne(rig.out.str());
    EXPECT_EQ(j["verdict"].type, Json::Type::Null);
    EXPECT_EQ(j["error"].text, "no-answer");
    EXPECT_TRUE(j["written"].items.empty());
}

TEST(AdaptCommand, UnknownOptionIsAUsageErrorBeforeAnyPortIsOpened) {
    std::ostringstream out, err;
    cli::Context context{out, err, {}, false, nullptr};
    EXPECT_EQ(cli::RunCli({"--device", "/nonexistent/port", "adapt", "--fast"}, context), cli::kUsage);
    EXPECT_NE(err.str().find("adapt: unknown option '--fast'"), std::string::npos) << err.str();
    EXPECT_EQ(err.str().find("cannot open"), std::string::npos);
}
