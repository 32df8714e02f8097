#include <gtest/gtest.h>

#include <map>
#include <string>

#include "adapt/adaptation.h"
#include "i18n/message_ids.h"
#include "live/conversions.h"
#include "params/fake_ecu.h"
#include "params/parameter_numbers.h"
#include "support/transcript.h"

using namespace sequaflow;
using namespace sequaflow::adapt;
using testing_support::FakeEcu;
using testing_support::ScriptedPort;
using testing_support::VirtualLink;
namespace pn = params::pn;
namespace word = live::word;

namespace {

constexpr int kIgnition = 2;  // "4 Cyl."

// The engine as the test wants it, frame by frame. The fuel follows the switch commands at once unless told
// to ignore them.
struct ScriptedEngine {
    std::uint32_t rpm = 2600;
    int reducerC = 60;
    bool gas = false;
    bool ignoreSwitches = false;
    bool answer = true;
    std::uint32_t petrolTicks = 657;  // 2.85 ms
    std::uint32_t gasTicks = 714;     // 3.10 ms
    std::uint32_t pressureRaw = 1200;
    std::map<char, int> commands;

    std::vector<std::uint8_t> frame() const {
        live::LiveWords w{};
        w[word::Period] = static_cast<std::uint32_t>(live::RpmToPeriod(rpm, kIgnition));
        w[word::ReducerTemp] = static_cast<std::uint16_t>(static_cast<std::int16_t>(reducerC));
        w[word::FuelState] = gas ? 1 : 0;
        w[word::ReferenceTime] = gas ? gasTicks : petrolTicks;
        w[word::Pressure] = pressureRaw;
        const auto f = live::EncodeLiveFrame(w);
        return {f.begin(), f.end()};
    }
};

struct Procedure : ::testing::Test, VirtualLink {
    FakeEcu ecu;
    ScriptedEngine engine;
    params::ProgramState state;
    Adaptation adaptation;
    LinkLiveSource source{link};
    std::map<Step, int> ticks;  // ticks spent in each step

    void SetUp() override {
        port.setResponder([this](ScriptedPort& p, const link::Frame& f) {
            namespace code = link::code;
            switch (f[0]) {
                case code::ReadLiveFrame:
                    if (engine.answer) p.deliver(engine.frame());
                    return;
                case code::SwitchToPetrol:
                case code::SwitchToGas:
                    ++engine.commands[static_cast<char>(f[0])];
                    if (!engine.ignoreSwitches) engine.gas = f[0] == code::SwitchToGas;
                    return;
                default: ecu.respond(p, f);
            }
        });
        state.image.setSlot(pn::IgnitionType, kIgnition);
        state.image.setSlot(pn::FirstFlags, 0x0000);
        state.image.setSlot(pn::SecondFlags, 0x0008);
        for (auto w : {params::FlagsWord::First, params::FlagsWord::Second}) state.image.refreshShadow(w);
        state.maps.applyTurboFlag(state.image);
        for (int k = 0; k < 12; ++k) state.maps.setStdCell(k, 10);
        state.decimalSeparator = ',';
        link.setConnected(true);
    }

    TickOutcome tick() {
        ++ticks[adaptation.step()];
        return adaptation.tick(link, state, source);
    }
    // Ticks until the step changes (or `limit` ticks); the number of ticks taken.
    int untilLeft(Step step, int limit = 2000) {
        int n = 0;
        while (adaptation.step() == step && n < limit) {
            (void)tick();
            ++n;
        }
        return n;
    }
    void startAt(Step step) {
        (void)source.refresh(state.words);  // the last frame the readings showed
        adaptation.start();
        int guard = 0;
        while (adaptation.step() != step && adaptation.running() && guard++ < 5000) (void)tick();
        ASSERT_EQ(adaptation.step(), step);
    }
    int sent(char c) { return engine.commands[c]; }
};

TEST(AdaptationResults, CorrectionScalesSegmentThreeByTheLoadRatioWithinItsLimits) {
    double q = 0;
    EXPECT_EQ(ComputeCorrection(1100, 1000, 110, &q), 121);  // trunc(110 x 1.1)
    EXPECT_DOUBLE_EQ(q, 1.1);
    EXPECT_EQ(CorrectionText(121), "+21");
    EXPECT_EQ(ComputeCorrection(500, 1000, 110), 85);  // 55, raised to the lower limit
    EXPECT_EQ(CorrectionText(85), "-15");
    EXPECT_EQ(ComputeCorrection(1000, 1000, 100), 100);
    EXPECT_EQ(CorrectionText(100), "+0");
    EXPECT_EQ(ComputeCorrection(2000, 1000, 100), 150);  // 200, lowered to the upper limit
    EXPECT_EQ(ComputeCorrection(1234, 0, 100), 150);     // no load on petrol
    EXPECT_EQ(ComputeCorrection(999, 1000, 100), 99);    // 99.9 truncated, not rounded
    EXPECT_EQ(CorrectionText(99), "-1");
}

TEST(AdaptationResults, TextsOfTimesAndPressures) {
    EXPECT_EQ(TimeText(0.25f, ','), "0,25 ms");
    EXPECT_EQ(TimeText(0, ','), "0,00 ms");
    EXPECT_EQ(TimeText(12.345f, '.'), "12.35 ms");
    EXPECT_EQ(PressureText(1.1f, ',', " Bar"), "1,10 Bar");
    EXPECT_EQ(PressureText(1.4666f, ',', " bar"), "1,47 bar");
}

TEST(AdaptationResults, StandardProfileAndVerdict) {
    // +48 without turbo: segment 12 is 48 + 4 lowered to 50, which is too rich a map: nozzles too large.
    EXPECT_EQ(StandardProfileValue(11, 48, 50), 50);
    EXPECT_EQ(StandardProfileValue(0, 48, 50), 44);
    EXPECT_EQ(VerdictOf(0.5f, 50), Verdict::NozzlesLarge);
    // -15: segment 1 is -19, segment 12 -11; a sound offset gives success.
    EXPECT_EQ(StandardProfileValue(0, -15, 50), -19);
    EXPECT_EQ(StandardProfileValue(11, -15, 50), -11);
    EXPECT_EQ(VerdictOf(0.25f, -11), Verdict::Success);
    EXPECT_EQ(StandardProfileValue(0, -25, 50), -25);  // -29 raised to the floor
    // The offset bounds are exclusive and come before the map's.
    EXPECT_EQ(VerdictOf(-1.0f, 0), Verdict::Success);
    EXPECT_EQ(VerdictOf(-1.01f, 50), Verdict::NozzlesSmall);
    EXPECT_EQ(VerdictOf(3.0f, 0), Verdict::Success);
    EXPECT_EQ(VerdictOf(3.01f, -25), Verdict::NozzlesLarge);
    EXPECT_EQ(VerdictOf(0, 45), Verdict::Success);
    EXPECT_EQ(VerdictOf(0, 46), Verdict::NozzlesLarge);
    EXPECT_EQ(VerdictOf(0, -20), Verdict::Success);
    EXPECT_EQ(VerdictOf(0, -21), Verdict::NozzlesSmall);
}

TEST(AdaptationResults, MessagesAreTheLanguageFilesOwn) {
    namespace msg = i18n::msg;
    EXPECT_EQ(MessageId(Instruction::Prepare), msg::AdaptationIntro);
    EXPECT_EQ(MessageId(Instruction::WaitTemperature), msg::WaitForReducer);
    EXPECT_EQ(MessageId(Instruction::TemperatureReached), msg::TemperatureReached);
    EXPECT_EQ(MessageId(Instruction::ToPetrol), msg::SwitchToPetrol);
    EXPECT_EQ(MessageId(Instruction::ToGas), msg::SwitchToGas);
    EXPECT_EQ(MessageId(Instruction::PumpPedal), msg::AdaptationPumpPedal);
    EXPECT_EQ(MessageId(Instruction::RaiseSpeed), msg::RaiseSpeed);
    EXPECT_EQ(MessageId(Instruction::HoldSpeed), msg::AdaptationHoldSpeed);
    EXPECT_EQ(VerdictMessages(Verdict::Success), std::vector<int>{msg::AdaptationSucceeded});
    EXPECT_EQ(VerdictMessages(Verdict::NozzlesSmall),
              (std::vector<int>{msg::AdaptationFinished, msg::NozzlesTooSmall, msg::StayBelowSpeed, msg::RememberPedal,
                                msg::SameForceOnBothFuels}));
    EXPECT_EQ(VerdictMessages(Verdict::NozzlesLarge)[1], msg::NozzlesTooLarge);
}

TEST_F(Procedure, ReducerBelowFiftyDegreesHoldsTheFirstStep) {
    engine.reducerC = 49;
    (void)source.refresh(state.words);
    adaptation.start();
    for (int i = 0; i < 3; ++i) (void)tick();
    EXPECT_EQ(adaptation.step(), Step::Temperature);
    EXPECT_EQ(adaptation.instruction(), Instruction::WaitTemperature);
    engine.reducerC = 50;
    (void)tick();  // reads the 50 degrees
    (void)tick();
    EXPECT_EQ(adaptation.step(), Step::ToPetrol);
    EXPECT_EQ(adaptation.instruction(), Instruction::TemperatureReached);
}

TEST_F(Procedure, GasNeedsMoreThan1500Rpm) {
    ASSERT_EQ(live::PeriodToRpm(static_cast<std::uint32_t>(live::RpmToPeriod(1500, kIgnition)), kIgnition), 1500u);
    engine.rpm = 1500;
    engine.ignoreSwitches = true;
    startAt(Step::ToGas);
    for (int i = 0; i < 5; ++i) (void)tick();
    EXPECT_EQ(sent('G'), 0);
    EXPECT_EQ(adaptation.instruction(), Instruction::RaiseSpeed);
    EXPECT_EQ(adaptation.shownRpm(), 1500u);
    engine.rpm = 1550;
    (void)tick();  // reads 1550
    for (int i = 0; i < 4; ++i) (void)tick();
    EXPECT_EQ(sent('G'), 4);  // every tick until the controller reports gas
    EXPECT_EQ(adaptation.instruction(), Instruction::ToGas);
    engine.ignoreSwitches = false;
    (void)tick();
    (void)tick();
    EXPECT_EQ(adaptation.step(), Step::LoadGas);
}

TEST_F(Procedure, BackToPetrolOnlyStrictlyBetween2000And2700) {
    for (std::uint32_t rpm : {2000u, 2700u, 2650u}) {
        SCOPED_TRACE(rpm);
        ASSERT_EQ(live::PeriodToRpm(static_cast<std::uint32_t>(live::RpmToPeriod(rpm, kIgnition)), kIgnition), rpm);
        engine = ScriptedEngine{};
        engine.rpm = rpm;
        adaptation.abort();
        startAt(Step::BackToPetrol);
        engine.ignoreSwitches = true;  // held on gas by the script
        engine.commands.clear();
        for (int i = 0; i < 5; ++i) (void)tick();
        EXPECT_EQ(sent('B'), rpm == 2650u ? 5 : 0);
        EXPECT_EQ(adaptation.instruction(), Instruction::HoldSpeed);
    }
}

TEST_F(Procedure, SettlingCountsOnlyTicksAt2300RpmOrMore) {
    startAt(Step::SettlePetrol);
    engine.rpm = 2250;
    (void)tick();  // the last frame still said 2600: counts
    for (int i = 0; i < 20; ++i) (void)tick();
    EXPECT_EQ(adaptation.measurements().countdown, 49);
    engine.rpm = 2300;
    // One tick still sees 2250, 49 more count down, then the one that finds zero.
    EXPECT_EQ(untilLeft(Step::SettlePetrol), 51);
    EXPECT_EQ(adaptation.step(), Step::SteadyPetrol);
}

TEST_F(Procedure, FallingBackToPetrolWhileLoadedOnGasStopsTheCount) {
    startAt(Step::LoadGas);
    for (int i = 0; i < 100; ++i) (void)tick();
    EXPECT_EQ(adaptation.measurements().gasLoadCount, 100u);
    engine.gas = false;  // the controller falls back
    (void)tick();        // still the gas frame: counts
    for (int i = 0; i < 30; ++i) (void)tick();
    EXPECT_EQ(adaptation.measurements().gasLoadCount, 101u);
    EXPECT_EQ(adaptation.instruction(), Instruction::ToGas);
    EXPECT_EQ(adaptation.step(), Step::LoadGas);
    engine.gas = true;
    (void)tick();
    (void)tick();
    EXPECT_EQ(adaptation.measurements().gasLoadCount, 102u);
    EXPECT_EQ(adaptation.instruction(), Instruction::PumpPedal);
}

TEST_F(Procedure, LoadMaximaGiveTheCorrectionWrittenWhenBackOnPetrol) {
    ecu.params[pn::MixtureCorrection] = 100;
    startAt(Step::LoadPetrol);
    engine.petrolTicks = 1000;
    for (int i = 0; i < 200; ++i) (void)tick();
    engine.petrolTicks = 900;  // a maximum is kept, not the last value
    untilLeft(Step::LoadPetrol);
    EXPECT_EQ(adaptation.measurements().petrolLoadMax, 1000u);
    EXPECT_EQ(adaptation.results().petrolLoad, "4,34 ms");  // 1000 / 230.4
    EXPECT_EQ(adaptation.overallProgress(), 20);
    engine.gasTicks = 1100;
    untilLeft(Step::ToGas);
    untilLeft(Step::LoadGas);
    EXPECT_EQ(adaptation.measurements().gasLoadMax, 1100u);
    EXPECT_EQ(adaptation.overallProgress(), 40);
    EXPECT_TRUE(adaptation.written().empty());
    untilLeft(Step::BackToPetrol);
    EXPECT_EQ(adaptation.results().correction, "+21");  // standard cell 2 at +10: trunc(110 x 1.1)
    EXPECT_EQ(ecu.params[pn::MixtureCorrection], 121);
    ASSERT_EQ(adaptation.written().size(), 1u);
    EXPECT_EQ(adaptation.written()[0].param, pn::MixtureCorrection);
    EXPECT_EQ(adaptation.written()[0].raw, 121);
}

TEST_F(Procedure, HighestPressureUnderLoadOnGasAndLowestAtSteadySpeedOnGas) {
    engine.pressureRaw = 1900;  // never seen on petrol or outside the two steps
    startAt(Step::ToGas);
    engine.pressureRaw = 1300;
    untilLeft(Step::ToGas);
    (void)tick();
    engine.pressureRaw = 1250;
    untilLeft(Step::LoadGas);
    EXPECT_FLOAT_EQ(adaptation.measurements().highestPressure, live::RawToBar(1300));
    EXPECT_EQ(adaptation.results().highestPressure, "1,33 bar");  // (1300 x 0.00122 + 0.202) x 0.74416
    engine.pressureRaw = 1046;
    untilLeft(Step::BackToPetrol);
    EXPECT_FLOAT_EQ(adaptation.measurements().lowestPressure, 4.0f);  // only the steady gas step lowers it
    untilLeft(Step::SettlePetrol);
    untilLeft(Step::SteadyPetrol);
    untilLeft(Step::ToGasAtSpeed);
    untilLeft(Step::SettleGas);
    engine.pressureRaw = 1100;
    (void)tick();
    engine.pressureRaw = 1046;  // 1.10 bar
    untilLeft(Step::SteadyGas);
    EXPECT_EQ(adaptation.results().lowestPressure, "1,10 Bar");
    // The switch-off pressure goes 0.05 bar below the beep pressure.
    ASSERT_TRUE(adaptation.report().has_value());
    EXPECT_EQ(adaptation.report()->beepText, "1,10");
    EXPECT_EQ(adaptation.report()->switchOffText, "1,05");
}

TEST_F(Procedure, WholeRunTakesTheTicksItMustAndWritesTheResults) {
    (void)source.refresh(state.words);
    adaptation.start();
    const auto outcome = RunProcedure(adaptation, pacer, [&] { return tick(); });
    EXPECT_EQ(outcome, TickOutcome::Completed);
    EXPECT_FALSE(adaptation.running());
    // Each measuring step takes its full count plus the tick that ends it; each switch one tick to send and one
    // to see the new fuel.
    EXPECT_EQ(ticks[Step::Temperature], 1);
    EXPECT_EQ(ticks[Step::ToPetrol], 1);
    EXPECT_EQ(ticks[Step::LoadPetrol], 501);
    EXPECT_EQ(ticks[Step::ToGas], 2);
    EXPECT_EQ(ticks[Step::LoadGas], 501);
    EXPECT_EQ(ticks[Step::BackToPetrol], 2);
    EXPECT_EQ(ticks[Step::SettlePetrol], 51);
    EXPECT_EQ(ticks[Step::SteadyPetrol], 301);
    EXPECT_EQ(ticks[Step::ToGasAtSpeed], 2);
    EXPECT_EQ(ticks[Step::SettleGas], 51);
    EXPECT_EQ(ticks[Step::SteadyGas], 301);
    // No tick comes earlier than its timer allows: at least the 50 and 100 ms intervals.
    const double minimumS = (501 + 501 + 301 + 301) * 0.05 + (1 + 1 + 2 + 2 + 51 + 2 + 51) * 0.1;
    EXPECT_GE(std::chrono::duration<double>(pacer.now()).count(), minimumS);

    const auto& m = adaptation.measurements();
    EXPECT_EQ(m.petrolCount, 301u);
    EXPECT_EQ(m.gasCount, 301u);
    EXPECT_EQ(adaptation.results().petrolAverage, "2,85 ms");
    EXPECT_EQ(adaptation.results().gasAverage, "3,10ms");
    EXPECT_EQ(adaptation.results().offset, "0,25 ms");  // 3.0990 - 2.8516
    EXPECT_EQ(adaptation.overallProgress(), 0);
    ASSERT_TRUE(adaptation.report().has_value());
    const auto& r = *adaptation.report();
    EXPECT_TRUE(r.sequence.completed());
    // Load maxima 714 on gas against 657 on petrol, cell 2 at +10: trunc(110 x 714 / 657) = 119.
    EXPECT_EQ(adaptation.results().correction, "+19");
    EXPECT_EQ(r.mapCorrection, 19);
    for (int row = 0; row < 12; ++row)
        for (int column = 0; column < 7; ++column) EXPECT_EQ(ecu.grid[7u * row + column], 119) << row << ',' << column;
    const std::array<int, 12> standard = {15, 17, 19, 19, 19, 21, 22, 24, 25, 25, 24, 23};
    for (int k = 0; k < 12; ++k) EXPECT_EQ(ecu.standard[static_cast<std::size_t>(k)], 100 + standard[k]) << k;
    EXPECT_EQ(r.verdict, Verdict::Success);
    EXPECT_EQ(ecu.params[pn::MixtureCorrection], 119);
    EXPECT_EQ(ecu.params[pn::IdleCorrection], 57);  // 0.25 ms at 230.4 ticks a millisecond, truncated
    EXPECT_EQ(ecu.params[pn::FirstFlags] & 0x8000, 0x8000);  // reducer vacuum connected
    // What was written, in order: the correction, the zeroed offset, then the final writes.
    std::vector<int> params;
    for (const auto& w : adaptation.written())
        if (w.what == Written::What::Parameter) params.push_back(w.param);
    EXPECT_EQ(params, (std::vector<int>{1, 3, 3, 22, 18, 24}));
}

TEST_F(Procedure, AbortInTheSteadyPetrolStepKeepsTheCorrectionAndTheZeroedOffset) {
    ecu.params[pn::IdleCorrection] = 80;
    state.image.setSlot(pn::IdleCorrection, 80);
    startAt(Step::SteadyPetrol);
    EXPECT_EQ(ecu.params[pn::IdleCorrection], 0);
    for (int i = 0; i < 10; ++i) (void)tick();
    const auto sentBefore = link.framesSent();
    adaptation.abort();
    EXPECT_FALSE(adaptation.running());
    EXPECT_EQ(adaptation.instruction(), Instruction::Prepare);
    EXPECT_EQ(adaptation.tick(link, state, source), TickOutcome::Idle);
    EXPECT_EQ(link.framesSent(), sentBefore);  // nothing undone, nothing more sent
    ASSERT_EQ(adaptation.written().size(), 2u);
    EXPECT_EQ(adaptation.written()[0].param, pn::MixtureCorrection);
    EXPECT_EQ(adaptation.written()[1].param, pn::IdleCorrection);
    EXPECT_EQ(adaptation.written()[1].text, "0,00");
    EXPECT_EQ(ecu.grid[0], 0);  // the maps were never touched
}

TEST_F(Procedure, AControllerThatStopsAnsweringEndsTheRunAfterElevenTicks) {
    startAt(Step::LoadPetrol);
    engine.answer = false;
    int n = 0;
    TickOutcome outcome = TickOutcome::Running;
    while (outcome == TickOutcome::Running && n < 100) {
        outcome = tick();
        ++n;
    }
    EXPECT_EQ(outcome, TickOutcome::NoAnswer);
    EXPECT_EQ(n, 11);
    EXPECT_FALSE(adaptation.running());
}

TEST_F(Procedure, ALostPortEndsTheRunAtOnce) {
    startAt(Step::LoadPetrol);
    (void)link.closePort();
    EXPECT_EQ(tick(), TickOutcome::LineLost);
    EXPECT_FALSE(adaptation.running());
}

TEST_F(Procedure, ACancelDuringTheFinalWritesStopsBetweenCells) {
    startAt(Step::SteadyGas);
    int reports = 0;
    SequenceControl control([&](const params::ProgressStep&) { ++reports; }, [&] { return reports >= 10; });
    TickOutcome outcome = TickOutcome::Running;
    while (outcome == TickOutcome::Running) outcome = adaptation.tick(link, state, source, control);
    EXPECT_EQ(outcome, TickOutcome::Cancelled);
    EXPECT_FALSE(adaptation.running());
    // Offset, pressures and eight cells went out: the report says so and the ninth cell is untouched.
    int cellsChanged = 0;
    for (auto b : ecu.grid) cellsChanged += b != 0;
    EXPECT_EQ(cellsChanged, 8);
    ASSERT_FALSE(adaptation.written().empty());
    const auto& last = adaptation.written().back();
    EXPECT_EQ(last.what, Written::What::AdvancedMap);
    EXPECT_EQ(last.cells, 8);
}

TEST_F(Procedure, AMixtureCorrectionBeyondTheCellRangeIsLimitedNotWrapped) {
    // Found by fuzzing: "2e21" did not fit an int on its way, and "-200" went out as the byte 156 (+56 %).
    const int maximum = state.maps.cellMaximum();
    const std::pair<const char*, int> cases[] = {{"-200", -25}, {"-1e30", -25}, {"2e21", maximum}, {"-7", -7}};
    for (const auto& [text, expected] : cases) {
        const auto report = StoreResults(link, state, Measurements{}, text, ',');
        EXPECT_TRUE(report.sequence.completed()) << text;
        EXPECT_EQ(report.mapCorrection, expected) << text;
        for (auto b : ecu.grid) EXPECT_EQ(b, expected + 100) << text;
    }
}

TEST_F(Procedure, FinalWritesMatchTheirGoldenTranscript) {
    Measurements m;
    m.offset = 0.25f;
    m.lowestPressure = live::RawToBar(1046);
    m.correction = 121;
    testing_support::Transcript t(link);
    const auto report = StoreResults(link, state, m, "+21", ',');
    EXPECT_TRUE(report.sequence.completed());
    testing_support::ExpectMatchesGolden("adaptation_store", t.str());
}

}  // namespace
