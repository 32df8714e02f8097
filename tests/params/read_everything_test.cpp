#include <gtest/gtest.h>

#include "link/commands.h"
#include "params/factory_defaults.h"
#include "params/read_everything.h"
#include "sim/controller.h"
#include "sim/sim_port.h"

using namespace sequaflow;

namespace {

struct ReadFixture : ::testing::Test {
    link::VirtualPacer pacer;
    std::unique_ptr<sim::Controller> controller;
    std::unique_ptr<sim::SimPort> port;
    std::unique_ptr<link::Link> link;
    params::ProgramState state;
    int questions = 0;

    void start(bool blank) {
        sim::ControllerOptions options;
        options.blank = blank;
        controller = std::make_unique<sim::Controller>(options);
        port = std::make_unique<sim::SimPort>(*controller, pacer);
        link = std::make_unique<link::Link>(*port, pacer);
        link->setPortName("sim");
        ASSERT_TRUE(link->openPort().ok());
    }
    params::ReadEverythingReport read(bool acceptReset) {
        params::ReadEverythingHooks hooks;
        hooks.offerFactoryReset = [this, acceptReset] {
            ++questions;
            return acceptReset;
        };
        return params::ReadEverything(*link, state, hooks);
    }
};

TEST_F(ReadFixture, ProgrammedControllerIsReadWholeWithoutQuestions) {
    start(false);
    const auto r = read(true);
    EXPECT_EQ(questions, 0);
    EXPECT_FALSE(r.factoryReset);
    EXPECT_EQ(r.parameters.failures(), 0);
    EXPECT_EQ(r.maps.failures(), 0);
    EXPECT_TRUE(r.serialRead);
    EXPECT_FALSE(r.vehicleDataMissing());
    for (std::size_t w = 0; w < r.recordWords.size(); ++w) EXPECT_TRUE(r.recordWords[w]) << w;
    EXPECT_EQ(state.image.slot(params::pn::IgnitionType), params::kFactoryParameters[params::pn::IgnitionType]);
    EXPECT_EQ(state.maps.point(16), params::kDefaultPoints[16]);
    // Every read sets the engine-speed limit and reducer-vacuum bits of the first flags word and sends it.
    EXPECT_EQ(state.image.slot(params::pn::FirstFlags) & 0xC000, 0xC000);
}

TEST_F(ReadFixture, NeverProgrammedControllerIsOfferedTheReset) {
    start(true);
    auto r = read(false);
    EXPECT_EQ(questions, 1);
    EXPECT_FALSE(r.factoryReset);
    EXPECT_TRUE(r.vehicleDataMissing());

    r = read(true);
    EXPECT_EQ(questions, 2);
    EXPECT_TRUE(r.factoryReset);
    EXPECT_EQ(state.image.slot(params::pn::Marker), 43690);
    // The controller now holds the programmed marker: the next read asks nothing.
    questions = 0;
    r = read(true);
    EXPECT_EQ(questions, 0);
    EXPECT_FALSE(r.factoryReset);
}

TEST_F(ReadFixture, SilentControllerLeavesTheStateAsItWas) {
    start(false);
    read(false);
    const auto before = state.image.slot(14);
    port->unplug();
    const auto r = read(true);
    EXPECT_EQ(questions, 0);
    EXPECT_EQ(r.parameters.failures(), params::kParameterCount);
    EXPECT_FALSE(r.serialRead);
    EXPECT_EQ(state.image.slot(14), before);
}

}  // namespace
