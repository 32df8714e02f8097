#include <gtest/gtest.h>

#include "params/factory_defaults.h"
#include "sim/controller.h"
#include "sim/engine_model.h"

namespace sequaflow::sim {
namespace {

using std::chrono::milliseconds;
using std::chrono::microseconds;

// An engine with the factory stores, driven in virtual time.
struct Car {
    Car() : values(PowerUp(FactoryStores())), engine(1, 4) { engine.advanceTo(microseconds{0}, values); }
    void run(milliseconds ms) {
        now += ms;
        engine.advanceTo(now, values);
    }
    LiveWords live() const { return engine.liveWords(values); }

    RunningValues values;
    EngineModel engine;
    microseconds now{0};
};

TEST(FuelStateMachine, AutomaticWaitsForReducerTemperatureAndSpeedThenTheDelay) {
    Car car;
    car.engine.holdRpm(900);
    car.engine.setAmbient(5);
    car.values.params[5] = 25;     // reducer must reach 25 C
    car.values.params[16] = 3000;  // 3 s from valves open to gas
    car.run(milliseconds(2000));
    EXPECT_EQ(car.engine.supply(), Supply::Petrol);  // cold reducer
    car.engine.setReducerTemperature(30);
    car.run(milliseconds(10));
    EXPECT_EQ(car.engine.supply(), Supply::Opening);
    car.run(milliseconds(2900));
    EXPECT_EQ(car.live()[16], 0);
    car.run(milliseconds(200));
    EXPECT_EQ(car.engine.supply(), Supply::Gas);
    EXPECT_EQ(car.live()[16], 1);
}

TEST(FuelStateMachine, SwitchOverSpeedFollowsParameter14AndIgnitionType) {
    Car car;
    car.engine.setReducerTemperature(60);
    car.engine.holdRpm(1400);
    car.values.params[14] = 4608;  // 1500 rpm with "4 Cyl.", 750 rpm with "8 Cyl."
    car.run(milliseconds(3000));
    EXPECT_EQ(car.engine.supply(), Supply::Petrol);
    car.values.params[21] = 5;
    car.run(milliseconds(100));
    EXPECT_NE(car.engine.supply(), Supply::Petrol);
}

TEST(FuelStateMachine, CommandsPetrolAndGas) {
    Car car;
    car.engine.holdRpm(800);
    car.engine.setReducerTemperature(60);
    car.engine.command(FuelCommand::Petrol);
    car.run(milliseconds(5000));
    EXPECT_EQ(car.engine.supply(), Supply::Petrol);
    car.engine.command(FuelCommand::Gas);  // forced gas: no temperature or speed condition, only the delay
    car.run(milliseconds(3100));
    EXPECT_EQ(car.engine.supply(), Supply::Gas);
    car.engine.command(FuelCommand::Petrol);
    car.run(milliseconds(5));
    EXPECT_EQ(car.live()[16], 0);
}

TEST(FuelStateMachine, EmptyTankReturnsToPetrolAndBlocksGasUntilCleared) {
    Car car;
    car.engine.holdRpm(800);
    car.engine.setReducerTemperature(60);
    car.run(milliseconds(3500));
    ASSERT_EQ(car.engine.supply(), Supply::Gas);
    EXPECT_EQ(car.live()[22], 0);
    car.engine.setTankLevel(0);
    car.run(milliseconds(3000));
    EXPECT_EQ(car.engine.supply(), Supply::Petrol);
    EXPECT_TRUE(car.live()[27] & fault::LowPressure);
    EXPECT_TRUE(car.live()[22] & fault::LowPressure);
    car.engine.command(FuelCommand::Gas);
    car.run(milliseconds(5000));
    EXPECT_EQ(car.engine.supply(), Supply::Petrol);  // the stored fault holds it on petrol

    car.engine.setTankLevel(0.5);  // refilled
    car.engine.clearErrors();
    car.run(milliseconds(10));
    EXPECT_EQ(car.live()[27], 0);
    car.run(milliseconds(3500));
    EXPECT_EQ(car.engine.supply(), Supply::Gas);
}

TEST(FuelStateMachine, TemperatureCutOffsApplyOnlyWhenEnabled) {
    Car car;
    car.engine.holdRpm(800);
    car.engine.setAmbient(-15);
    car.engine.command(FuelCommand::Gas);
    car.run(milliseconds(3500));
    ASSERT_EQ(car.engine.supply(), Supply::Gas);  // parameter 49 is -20 but its bit is clear
    car.values.params[49] = static_cast<std::uint16_t>(-5);
    car.values.params[47] |= 1u << 1;
    car.run(milliseconds(10));
    EXPECT_EQ(car.engine.supply(), Supply::Petrol);
    EXPECT_TRUE(car.live()[27] & fault::GasTempTooLow);
}

TEST(GasInjection, FollowsTheActiveMapCell) {
    Car car;
    car.engine.holdRpm(800);
    car.engine.setReducerTemperature(60);
    car.values.params[3] = 0;  // no idle correction for now
    car.run(milliseconds(4000));
    ASSERT_EQ(car.engine.supply(), Supply::Gas);

    auto ratio = [&] {
        const auto w = car.live();
        return static_cast<double>(w[6]) / w[0];
    };
    // Standard map (factory mode 2): +15 % in every cell.
    EXPECT_NEAR(ratio(), 1.15, 0.005);
    // Advanced map: only the cell of this operating point counts.
    car.values.params[47] = (car.values.params[47] & ~0x0Cu) | (1u << 2);
    car.values.grid.fill(100);
    const auto w = car.live();
    std::size_t row = 0;
    while (row < 11 && w[0] > car.values.points[6 + row]) ++row;
    std::size_t col = 0;
    while (col < 6 && w[13] < car.values.points[col]) ++col;
    car.values.grid[7 * row + col] = 130;
    EXPECT_NEAR(ratio(), 1.30, 0.005);
    // No map: parameter 1.
    car.values.params[47] &= ~0x0Cu;
    car.values.params[1] = 90;
    EXPECT_NEAR(ratio(), 0.90, 0.005);
    // Parameter 3 adds its time to every gas injection at once; the petrol computer's loop then takes it
    // back off its own commanded time, so the gas delivered is again what the engine needs.
    car.run(milliseconds(2000));
    const auto gasBefore = car.live()[6];
    const auto petrolBefore = car.live()[0];
    car.values.params[3] = 92;
    EXPECT_NEAR(car.live()[6], gasBefore + 92 * 0.90, 1.0);  // scaled by the -10 % of parameter 1
    car.run(milliseconds(3000));
    EXPECT_NEAR(car.live()[6], gasBefore, 1.0);
    EXPECT_NEAR(car.live()[0], petrolBefore - 92, 1.0);
    car.values.params[3] = static_cast<std::uint16_t>(-92);
    car.run(milliseconds(3000));
    EXPECT_NEAR(car.live()[6], gasBefore, 1.0);
    EXPECT_NEAR(car.live()[0], petrolBefore + 92, 1.0);
}

TEST(GasInjection, TestMaskSwitchesMaskedInjectorsOff) {
    Car car;
    car.engine.holdRpm(800);
    car.engine.setReducerTemperature(60);
    car.run(milliseconds(4000));
    car.engine.setTestMask(0x0005);
    const auto w = car.live();
    EXPECT_EQ(w[28], 0x0005);
    EXPECT_EQ(w[6], 0);
    EXPECT_NE(w[7], 0);
    EXPECT_EQ(w[8], 0);
    EXPECT_NE(w[9], 0);
    // Four cylinders: 5..8 have neither petrol nor gas times.
    for (int k : {4, 5, 23, 24, 10, 11, 25, 26}) EXPECT_EQ(w[static_cast<std::size_t>(k)], 0) << k;
}

TEST(GasInjection, ClockFlagScalesTicks) {
    Car car;
    car.engine.holdRpm(800);
    car.run(milliseconds(2000));
    const auto slow = car.live()[0];
    car.values.params[22] |= 1u << 12;
    const auto fast = car.live()[0];
    EXPECT_NEAR(static_cast<double>(fast) / slow, 8.0, 0.02);
    // The ignition period always counts at 230400 Hz: 800 rpm with "4 Cyl." is 8640.
    EXPECT_NEAR(car.live()[13], 8640, 250);
}

TEST(EngineReadings, WarmUpTankAndErrorsClearedByCommand) {
    Car car;
    car.engine.setAmbient(10);
    car.engine.setInjectorFaults(0x02, 0x00);
    car.run(milliseconds(60000));
    const auto w = car.live();
    EXPECT_GT(static_cast<std::int16_t>(w[14]), 30);  // reducer warmed by the coolant
    EXPECT_LT(static_cast<std::int16_t>(w[14]), 80);
    EXPECT_GE(static_cast<std::int16_t>(w[15]), 10);
    EXPECT_TRUE(w[22] & fault::GasInjector);
    EXPECT_EQ(w[31], 0x0002);
    car.engine.setInjectorFaults(0, 0);
    car.engine.clearErrors();
    car.run(milliseconds(10));
    EXPECT_EQ(car.live()[27], 0);
    EXPECT_EQ(car.live()[31], 0);

    // A tank full to the brim reads past the full threshold, a nearly empty one past the reserve threshold
    // (factory sensor falls as the tank fills).
    car.engine.setTankLevel(1.0);
    EXPECT_LT(car.live()[17], car.values.params[33]);
    car.engine.setTankLevel(0.05);
    EXPECT_GT(car.live()[17], car.values.params[30]);
    // Lambda probe 2 is disconnected in the factory set, probe 1 moves within 0..1 V.
    EXPECT_EQ(car.live()[19], 0);
    EXPECT_LE(car.live()[20], 1 * 4095 / 5);
}

TEST(EngineReadings, SameSeedSameFrames) {
    auto frames = [](std::uint32_t seed) {
        Controller c({.seed = seed});
        std::vector<std::uint8_t> all;
        const std::uint8_t v[6] = {'V', 0, 0, 0, 'V', ':'};
        for (int i = 0; i < 400; ++i) {
            auto r = c.onBytes(v, microseconds{i * 25000});
            all.insert(all.end(), r.begin(), r.end());
        }
        return all;
    };
    EXPECT_EQ(frames(3), frames(3));
    EXPECT_NE(frames(3), frames(4));
}

TEST(EngineReadings, WorkTimeCountersAdvanceInParameters35To38) {
    Controller c({});
    const std::uint8_t v[6] = {'V', 0, 0, 0, 'V', ':'};
    c.onBytes(v, microseconds{0});
    c.onBytes(v, std::chrono::seconds(90));
    const auto& p = c.running().params;
    const std::uint32_t petrol = static_cast<std::uint32_t>(p[35]) << 16 | p[36];
    const std::uint32_t gas = static_cast<std::uint32_t>(p[37]) << 16 | p[38];
    EXPECT_GE(petrol + gas, 89u);
    EXPECT_LE(petrol + gas, 90u);
    EXPECT_GT(gas, 0u);  // the demo car goes over to gas by itself once warm
    EXPECT_EQ(c.stores().params[38], p[38]);
    EXPECT_TRUE(c.takeStoresChanged());
}

}  // namespace
}  // namespace sequaflow::sim
