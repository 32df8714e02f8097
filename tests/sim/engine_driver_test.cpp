#include <gtest/gtest.h>

#include <algorithm>

#include "params/parameter_numbers.h"
#include "sim/engine_driver.h"
#include "sim/sim_options.h"
#include "sim_bench.h"

namespace sequaflow::sim {
namespace {

namespace pn = params::pn;
using testing::Req;
using testing::SimBench;
using Kind = DriverCommand::Kind;
using std::chrono::milliseconds;

TEST(DriverCommands, WordsValuesAndComments) {
    struct Case {
        const char* line;
        DriverCommand want;
    };
    const Case cases[] = {
        {"rpm 2600", DriverCommand::Rpm(2600)},
        {"  RPM   0  ", DriverCommand::Rpm(0)},
        {"rpm 8000", DriverCommand::Rpm(8000)},
        {"rpm 1800 # the installer holds it", DriverCommand::Rpm(1800)},
        {"pump on", DriverCommand::Pump(true)},
        {"pump OFF\r", DriverCommand::Pump(false)},
        {"reducer 60", DriverCommand::Reducer(60)},
        {"reducer -40", DriverCommand::Reducer(-40)},
        {"reducer +12.5", DriverCommand::Reducer(12.5)},
        {"reducer 130", DriverCommand::Reducer(130)},
        {"fuel petrol", DriverCommand::Fuel(FuelCommand::Petrol)},
        {"Fuel Auto", DriverCommand::Fuel(FuelCommand::Auto)},
        {"fuel gas", DriverCommand::Fuel(FuelCommand::Gas)},
        {"quit", DriverCommand::Quit()},
        {"", DriverCommand{}},
        {"   \t ", DriverCommand{}},
        {"# pump on", DriverCommand{}},
    };
    for (const auto& c : cases) {
        auto r = ParseDriverCommand(c.line);
        ASSERT_TRUE(r) << c.line << ": " << r.error().detail;
        EXPECT_EQ(*r, c.want) << c.line;
    }
}

TEST(DriverCommands, BadLinesSayWhatIsWrong) {
    struct Case {
        const char* line;
        const char* error;
    };
    const Case cases[] = {
        {"throttle 50", "unknown command \"throttle\" (rpm N, pump on|off, reducer C, fuel petrol|auto|gas, quit)"},
        {"rpm", "rpm needs an engine speed 0..8000 (0 lets the engine run free)"},
        {"rpm fast", "rpm: \"fast\" is not a number"},
        {"rpm 2600rpm", "rpm: \"2600rpm\" is not a number"},
        {"rpm 1e3", "rpm: \"1e3\" is not a number"},
        {"rpm nan", "rpm: \"nan\" is not a number"},
        {"rpm 8001", "rpm: 8001 is outside 0..8000 rpm"},
        {"rpm -1", "rpm: -1 is outside 0..8000 rpm"},
        {"rpm 2600 2700", "rpm takes one value, got \"2700\" too"},
        {"reducer", "reducer needs a temperature -40..130 C"},
        {"reducer -41", "reducer: -41 is outside -40..130 C"},
        {"reducer 130.5", "reducer: 130.5 is outside -40..130 C"},
        {"reducer --5", "reducer: \"--5\" is not a number"},
        {"pump", "pump needs on or off"},
        {"pump maybe", "pump: \"maybe\" is not on or off"},
        {"fuel lpg", "fuel: \"lpg\" is not petrol, auto or gas"},
        {"fuel", "fuel needs petrol, auto or gas"},
        {"quit now", "quit takes no value"},
    };
    for (const auto& c : cases) {
        auto r = ParseDriverCommand(c.line);
        ASSERT_FALSE(r) << c.line;
        EXPECT_EQ(r.error().detail, c.error);
    }
}

TEST(DriverCommands, ApplyReachesTheEngineAndTheCommandLineTakesTheSameValues) {
    EngineModel engine(1, 4);
    ApplyDriverCommand(engine, DriverCommand::Rpm(2600));
    ApplyDriverCommand(engine, DriverCommand::Pump(true));
    ApplyDriverCommand(engine, DriverCommand::Reducer(-12));
    ApplyDriverCommand(engine, DriverCommand::Fuel(FuelCommand::Gas));
    EXPECT_EQ(engine.command(), FuelCommand::Gas);
    ApplyDriverCommand(engine, DriverCommand::Fuel(FuelCommand::Petrol));
    EXPECT_EQ(engine.command(), FuelCommand::Petrol);
    EXPECT_EQ(engine.heldRpm(), 2600);
    EXPECT_TRUE(engine.pumping());
    EXPECT_EQ(engine.reducerTemperature(), -12);
    ApplyDriverCommand(engine, DriverCommand::Quit());
    ApplyDriverCommand(engine, DriverCommand{});
    EXPECT_EQ(engine.heldRpm(), 2600);
    EXPECT_TRUE(engine.pumping());
    ApplyDriverCommand(engine, DriverCommand::Rpm(0));
    ApplyDriverCommand(engine, DriverCommand::Pump(false));
    EXPECT_EQ(engine.heldRpm(), 0);
    EXPECT_FALSE(engine.pumping());

    auto o = ParseSimOptions({"--rpm", "2600", "--reducer", "-5"});
    ASSERT_TRUE(o) << o.error().detail;
    EXPECT_EQ(o->rpm, 2600);
    EXPECT_EQ(o->reducer, -5);
    EXPECT_FALSE(ParseSimOptions({})->rpm.has_value());
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--rpm"}, {"--rpm", "9000"},
                                                {"--reducer", "hot"}, {"--reducer", "-41"}}) {
        auto r = ParseSimOptions(bad);
        ASSERT_FALSE(r) << bad[0];
        EXPECT_EQ(r.error().detail.rfind(bad[0], 0), 0u) << r.error().detail;
    }
}

TEST(GasFeedback, PetrolComputerTrimsItsTimeUntilTheGasMeetsTheNeed) {
    // Need = (B + 0.30) * 1.18.
    EXPECT_NEAR(PetrolTimeOnGas(5.00, 0, 0), 6.254, 1e-9);           // 5.30 * 1.18
    EXPECT_NEAR(PetrolTimeOnGas(5.00, 18, 0.30), 5.00, 1e-9);        // the true correction and offset
    EXPECT_NEAR(PetrolTimeOnGas(2.00, 10, 0.10), 2.367273, 1e-6);    // 2.30 * 1.18 / 1.10 - 0.10
    EXPECT_NEAR(PetrolTimeOnGas(3.00, 18, -0.50), 3.80, 1e-9);       // 3.30 + 0.50
    EXPECT_NEAR(PetrolTimeOnGas(1.00, -10, 0), 1.704444, 1e-6);      // 1.30 * 1.18 / 0.90
    EXPECT_EQ(PetrolTimeOnGas(0.20, 50, 2.00), 0.0);                 // 0.393 - 2.00: the loop stops at 0
    EXPECT_NEAR(GasTimeOf(5.00, 18, 0.30), 6.254, 1e-9);             // 5.30 * 1.18
    EXPECT_NEAR(GasTimeOf(4.00, -20, 0), 3.20, 1e-9);
    EXPECT_EQ(GasTimeOf(1.00, 20, -2.00), 0.0);
}

// A controller driven through its frames, in virtual time; live words are sampled every 50 ms.
struct Drive {
    Drive() {
        ApplyDriverCommand(s.controller.engine(), DriverCommand::Reducer(60));
        live();
    }
    LiveWords live() {
        const auto f = s.controller.onBytes(Req('V'), s.pacer.now());
        LiveWords w{};
        if (f.size() != 67) return w;
        for (std::size_t k = 0; k < w.size(); ++k)
            w[k] = static_cast<std::uint16_t>(f[63 - 2 * k] << 8 | f[64 - 2 * k]);
        return w;
    }
    void command(const char* line) {
        auto c = ParseDriverCommand(line);
        ASSERT_TRUE(c) << c.error().detail;
        ApplyDriverCommand(s.controller.engine(), *c);
    }
    void frame(char code) { s.controller.onBytes(Req(code), s.pacer.now()); }
    void param(std::uint8_t index, std::uint16_t value) { link::WriteParamSequence(s.link, index, value); }
    std::uint16_t param(std::uint8_t index) { return s.controller.running().params[index]; }
    // Runs for `ms`; returns the largest and smallest word k seen.
    std::pair<std::uint16_t, std::uint16_t> run(int ms, std::size_t k = 12) {
        std::uint16_t hi = 0, lo = 0xFFFF;
        for (int t = 0; t < ms; t += 50) {
            s.pacer.advance(milliseconds(50));
            const auto w = live();
            hi = std::max(hi, w[k]);
            lo = std::min(lo, w[k]);
        }
        return {hi, lo};
    }
    double average(int ms, std::size_t k = 12) {
        double sum = 0;
        int n = 0;
        for (int t = 0; t < ms; t += 50, ++n) {
            s.pacer.advance(milliseconds(50));
            sum += live()[k];
        }
        return sum / n;
    }
    SimBench s;
};

TEST(DrivenEngine, HeldSpeedShowsAsTheIgnitionPeriodOfTheIgnitionType) {
    Drive d;
    d.command("rpm 2600");
    d.run(2000);
    // 230400 * 60 / (2600 * 2 pulses a turn with "4 Cyl.") = 2658.5
    EXPECT_NEAR(d.live()[13], 2658, 2);
    d.param(pn::IgnitionType, 5);  // "8 Cyl.": 4 pulses a turn, 1329.2
    EXPECT_NEAR(d.live()[13], 1329, 2);
    d.command("rpm 1800");
    d.run(2000);
    EXPECT_NEAR(d.live()[13], 1920, 2);  // 230400 * 60 / (1800 * 4)
    // Released, it falls back to idle and its own rev cycle, well below the held speed.
    d.command("rpm 0");
    const auto [longest, shortest] = d.run(3000, 13);
    EXPECT_GT(longest, 3000);  // below 1150 rpm at some point
    (void)shortest;
}

TEST(DrivenEngine, OnGasThePetrolTimeCarriesTheMissingCorrectionUntilTheAdaptationValuesAreSet) {
    Drive d;
    d.command("rpm 2600");
    // No map: parameter 1 alone, at 0 %, no offset, no temperature correction.
    d.param(pn::SecondFlags, static_cast<std::uint16_t>(d.param(pn::SecondFlags) & ~0x4Cu));
    d.param(pn::MixtureCorrection, 100);
    d.param(pn::IdleCorrection, 0);
    d.frame('B');
    d.run(2000);
    ASSERT_EQ(d.live()[16], 0);
    const double petrol = d.average(1000);

    d.frame('G');
    d.run(5000);
    ASSERT_EQ(d.live()[16], 1);
    // The gas system needs (B + 0.30 ms) * 1.18; 0.30 ms is 69.12 ticks at 230400 Hz.
    const double onGas = d.average(1000);
    EXPECT_NEAR(onGas, (petrol + 69.12) * 1.18, 2.0);
    EXPECT_GT(onGas, petrol * 1.18);

    // What a good adaptation writes: +18 % and 0.30 ms (69 ticks, truncated).
    d.param(pn::MixtureCorrection, 118);
    d.param(pn::IdleCorrection, 69);
    d.run(2000);
    EXPECT_NEAR(d.average(1000), petrol, 2.0);
    // The gas time word shows what is delivered: the same need as before.
    const double gas = d.average(1000, 6);
    EXPECT_NEAR(gas, (d.average(1000, 0) + 69) * 1.18, 2.0);

    // Back on petrol the commanded time is the base time again.
    d.frame('B');
    d.run(1000);
    EXPECT_NEAR(d.average(1000), petrol, 2.0);
}

TEST(DrivenEngine, PumpingThePedalDrivesThePetrolTimePeaksUp) {
    Drive d;
    d.command("rpm 2000");
    d.frame('B');
    d.run(2000);
    const auto [steadyHigh, steadyLow] = d.run(5000);
    d.command("pump on");
    const auto [pumpedHigh, pumpedLow] = d.run(5000);
    // Held at 2000 rpm the load is about 0.29 (4.2 ms); a stab takes it to 0.8..0.9 (8.8..9.7 ms), a release
    // to 0.05..0.1 (2.1..2.5 ms).
    EXPECT_LT(steadyHigh - steadyLow, 20);
    EXPECT_GT(pumpedHigh, 1.8 * steadyHigh);
    EXPECT_LT(pumpedLow, 0.7 * steadyLow);
    EXPECT_NEAR(d.live()[13], 3456, 2);  // still held: 230400 * 60 / (2000 * 2)

    // A free-running engine revs up with each stab and falls back between them.
    d.command("rpm 0");
    const auto [longest, shortest] = d.run(5000, 13);
    EXPECT_LT(shortest, 230400 * 60 / (1400 * 2));
    EXPECT_GT(longest, 230400 * 60 / (1100 * 2));
    d.command("pump off");
    d.run(1000);  // the last stab dies away
    const auto [high, low] = d.run(3000);
    EXPECT_LT(high, pumpedHigh * 0.6);
    (void)low;
}

}  // namespace
}  // namespace sequaflow::sim
