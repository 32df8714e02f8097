#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "maps/map_transfer.h"
#include "params/factory_reset.h"
#include "params/fake_ecu.h"
#include "params/parameter_file.h"
#include "params/parameter_reader.h"
#include "params/parameter_writer.h"
#include "params/read_everything.h"

using namespace sequaflow;
using namespace sequaflow::params;
using namespace std::chrono_literals;
using testing_support::FakeEcu;
using testing_support::ScriptedPort;
using testing_support::VirtualLink;

namespace {

// A controller whose adapter is pulled out after it has taken `lostAfter` frames.
struct Unplugged : ::testing::Test, VirtualLink {
    FakeEcu ecu;
    ProgramState state;
    std::size_t lostAfter = SIZE_MAX;
    std::size_t framesAtLoss = 0;
    std::chrono::microseconds timeAtLoss{0};

    void SetUp() override {
        ecu.params[0] = kProgrammedMarker;
        port.setResponder([this](ScriptedPort& p, const link::Frame& f) {
            ecu.respond(p, f);
            if (p.written().size() == lostAfter) {
                p.loseDevice();
                framesAtLoss = p.written().size();
                timeAtLoss = pacer.now();
            }
        });
    }
    std::size_t framesAfterLoss() const { return port.written().size() - framesAtLoss; }
    bool sent(char code, std::uint8_t a) const {
        return std::any_of(port.written().begin(), port.written().end(),
                           [&](const link::Frame& f) { return f[0] == code && f[1] == a; });
    }
};

TEST_F(Unplugged, ReadOfEverythingStopsAtOnceAndSaysHowFarItGot) {
    lostAfter = 10;  // during the parameter set
    state.image.setSlot(40, 1234);
    const auto r = ReadEverything(link, state, {});
    ASSERT_FALSE(r.sequence.completed());
    EXPECT_EQ(*r.sequence.stopped, StopReason::LineLost);
    EXPECT_EQ(r.sequence.phase, "Param.");
    EXPECT_EQ(r.sequence.steps, 9);  // the tenth read went out as the line went
    EXPECT_LE(framesAfterLoss(), 1u);
    // No run of empty receive waits: the whole rest takes less than one reply's worth of polls.
    EXPECT_LT(pacer.now() - timeAtLoss, 50ms);
    EXPECT_EQ(state.image.slot(40), 1234);  // not reached: kept
    EXPECT_EQ(state.readStatus, ReadStatus::Partial);
    EXPECT_FALSE(CanSaveConfiguration(state.readStatus));
}

TEST_F(Unplugged, ReadStopsInTheMapsAndRecordPhasesToo) {
    for (const std::size_t at : {64u + 4u + 30u, 64u + 4u + 17u + 84u + 12u + 2u + 20u}) {
        VirtualLink fresh;
        FakeEcu ecu2;
        ecu2.params[0] = kProgrammedMarker;
        std::size_t lossFrames = 0;
        fresh.port.setResponder([&](ScriptedPort& p, const link::Frame& f) {
            ecu2.respond(p, f);
            if (p.written().size() == at) {
                p.loseDevice();
                lossFrames = p.written().size();
            }
        });
        ProgramState s;
        const auto r = ReadEverything(fresh.link, s, {});
        EXPECT_EQ(r.sequence.stopped, StopReason::LineLost) << at;
        EXPECT_LE(fresh.port.written().size() - lossFrames, 2u) << at;
        EXPECT_FALSE(r.complete()) << at;
    }
}

TEST_F(Unplugged, CompleteReadMarksTheImageSaveable) {
    const auto r = ReadEverything(link, state, {});
    EXPECT_TRUE(r.sequence.completed());
    EXPECT_TRUE(r.complete());
    EXPECT_EQ(state.readStatus, ReadStatus::Complete);
    EXPECT_TRUE(CanSaveConfiguration(state.readStatus));
    EXPECT_FALSE(CanSaveConfiguration(ReadStatus::None));
    EXPECT_TRUE(CanSaveConfiguration(ReadStatus::File));
}

TEST_F(Unplugged, UnansweredItemsMakeTheReadPartialEvenWhenItRanToTheEnd) {
    ecu.silent.insert({link::code::GridCellRead, 3});
    const auto r = ReadEverything(link, state, {});
    EXPECT_TRUE(r.sequence.completed());
    EXPECT_EQ(state.readStatus, ReadStatus::Partial);
}

TEST_F(Unplugged, WriteAllNeverSendsTheMarkerAfterTheLineWent) {
    ParameterImage image;
    lostAfter = 3 * 20;  // twenty parameters in
    const auto r = WriteAllParameters(link, image);
    EXPECT_EQ(r.stopped, StopReason::LineLost);
    EXPECT_TRUE(r.sentSomething);
    EXPECT_EQ(r.steps, 19);
    EXPECT_EQ(framesAfterLoss(), 0u);
    EXPECT_FALSE(sent(link::code::ParamSelect, pn::Marker));
}

TEST_F(Unplugged, FactoryResetLostInTheMapsStopsThere) {
    ParameterImage image;
    maps::MapModel model;
    lostAfter = 5 * 3 + 64 * 3 + 10 * 5;  // tank settings, the set, then ten advanced cells
    const auto r = FactoryReset(link, image, model, 6);
    EXPECT_EQ(r.stopped, StopReason::LineLost);
    EXPECT_EQ(r.phase, "Mapa 1p");
    EXPECT_TRUE(r.sentSomething);
    EXPECT_LE(framesAfterLoss(), 2u);
    EXPECT_LT(pacer.now() - timeAtLoss, 100ms);
}

TEST_F(Unplugged, FactorySettingsFromTheMenuLeaveNoOldSpeedDropWhateverTheReadAfterMisses) {
    ParameterImage image;
    maps::MapModel model;
    image.setSlot(53, 700);
    ecu.params[53] = 700;
    ecu.silent.insert({link::code::ParamRead, 53});  // the read that follows gets no answer for it
    EXPECT_TRUE(RestoreFactorySettings(link, image, model, 6).completed());
    EXPECT_TRUE(ReadParameterSet(link, image).sequence.completed());
    EXPECT_EQ(image.slot(53), 0);

    // Without a line nothing was reset, so the image keeps its value.
    link::VirtualPacer p;
    ScriptedPort closedPort(p);
    link::Link closed(closedPort, p);
    image.setSlot(53, 700);
    EXPECT_EQ(RestoreFactorySettings(closed, image, model, 6).stopped, StopReason::NotConnected);
    EXPECT_EQ(image.slot(53), 700);
}

TEST(SequenceStop, CancelEndsAWriteBetweenTwoItemsAndCountsWholeOnes) {
    VirtualLink v;
    ParameterImage image;
    int asked = 0;
    const SequenceControl control({}, [&] { return ++asked > 10; });
    const auto r = WriteAllParameters(v.link, image, control);
    EXPECT_EQ(r.stopped, StopReason::Cancelled);
    EXPECT_EQ(r.steps, 10);
    EXPECT_EQ(v.port.written().size(), 30u);  // ten whole parameter writes, nothing of the eleventh
    EXPECT_EQ(v.port.written().back()[0], link::code::ParamSet);
}

TEST(SequenceStop, NothingStartsWithoutAnOpenPort) {
    link::VirtualPacer pacer;
    ScriptedPort port(pacer);
    link::Link closed(port, pacer);
    ParameterImage image;
    maps::MapModel model;
    image.setSlot(30, 77);
    ParameterFileContent content;
    content.parameters[30] = 5;

    const auto load = LoadParameterFile(closed, image, model, content);
    EXPECT_EQ(load.stopped, StopReason::NotConnected);
    EXPECT_FALSE(load.sentSomething);
    EXPECT_EQ(image.slot(30), 77);  // the screens keep the controller's values

    EXPECT_EQ(maps::UploadMaps(closed, model).stopped, StopReason::NotConnected);
    EXPECT_EQ(FactoryReset(closed, image, model, 6).stopped, StopReason::NotConnected);
    EXPECT_TRUE(port.written().empty());
    EXPECT_TRUE(pacer.pauses().empty());
}

TEST(SequenceStop, ReceiveWaitOnAClosedPortReturnsWithoutPolling) {
    link::VirtualPacer pacer;
    ScriptedPort port(pacer);
    link::Link closed(port, pacer);
    EXPECT_EQ(closed.receiveWait(6), 0u);
    EXPECT_FALSE(closed.replyComplete());
    EXPECT_TRUE(pacer.pauses().empty());
}

TEST(SequenceStop, ReceiveWaitEndsOnTheLossItself) {
    VirtualLink v;
    v.port.loseDevice();
    EXPECT_EQ(v.link.receiveWait(6), 0u);
    EXPECT_FALSE(v.link.portOpen());
    EXPECT_TRUE(v.link.lostReason().has_value());
    EXPECT_EQ(v.pacer.pauses().size(), 1u);  // the first poll found it
}

TEST(SequenceStop, ProgressReachesTheCallerThroughTheControl) {
    VirtualLink v;
    maps::MapModel model;
    std::vector<std::string> phases;
    const auto r = maps::UploadMaps(v.link, model, [&](const ProgressStep& s) {
        if (phases.empty() || phases.back() != s.phase) phases.emplace_back(s.phase);
    });
    EXPECT_TRUE(r.completed());
    EXPECT_EQ(r.steps, 17 + 12 + 84 + 17);
    EXPECT_EQ(phases, (std::vector<std::string>{"Mapa 1", "Mapa 2", "Mapa 1p", "Mapa 1"}));
}

}  // namespace
