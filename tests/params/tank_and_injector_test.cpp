#include <gtest/gtest.h>

#include "params/fake_ecu.h"
#include "params/injector_catalogue.h"
#include "params/parameter_codec.h"
#include "params/tank_sensor.h"

using namespace sequaflow;
using namespace sequaflow::params;
using testing_support::FakeEcu;
using testing_support::VirtualLink;

namespace {

ParameterImage WithTankType(int type) {
    VirtualLink v;
    ParameterImage image;
    ApplyTankSensorType(v.link, image, type);
    return image;
}

TEST(TankLevel, PresetsClassifyByTheirDirection) {
    const auto rising = WithTankType(1);  // "90R"
    EXPECT_EQ(ClassifyTankLevel(150, rising), 3);
    EXPECT_EQ(ClassifyTankLevel(57, rising), 1);
    EXPECT_EQ(ClassifyTankLevel(58, rising), 2);
    EXPECT_EQ(ClassifyTankLevel(287, rising), 5);
    EXPECT_EQ(ClassifyTankLevel(286, rising), 4);

    const auto falling = WithTankType(0);  // "20kR"
    EXPECT_EQ(ClassifyTankLevel(4000, falling), 1);
    EXPECT_EQ(ClassifyTankLevel(3983, falling), 1);
    EXPECT_EQ(ClassifyTankLevel(3982, falling), 2);
    EXPECT_EQ(ClassifyTankLevel(3775, falling), 3);
    EXPECT_EQ(ClassifyTankLevel(3416, falling), 4);
    EXPECT_EQ(ClassifyTankLevel(1000, falling), 5);
}

TEST(TankLevel, ThresholdsOutOfOrderStillGiveALevelByTheTestOrder) {
    ParameterImage image;
    for (int i = 0; i < 4; ++i) image.setSlot(30 + i, 100);  // all equal, falling
    EXPECT_EQ(ClassifyTankLevel(100, image), 5);  // the last true test wins over "reserve"
    EXPECT_EQ(ClassifyTankLevel(101, image), 1);
    image.setField(field::TankRising, 1);
    image.setSlot(30, 300);
    image.setSlot(31, 200);  // inverted
    image.setSlot(32, 100);
    EXPECT_EQ(ClassifyTankLevel(250, image), 5);  // below 300 is reserve, but at least 100 is full and comes later
    EXPECT_EQ(ClassifyTankLevel(50, image), 1);
}

TEST(TankSensor, TypeSetsBitsThresholdsAndWritesFiveParameters) {
    VirtualLink v;
    FakeEcu ecu;
    ecu.attach(v.port);
    ParameterImage image;
    image.setSlot(kFlags1Shadow, 0x0450);  // rising set before
    ApplyTankSensorType(v.link, image, 2);
    EXPECT_EQ(image.slot(pn::FirstFlags), 0x0250);
    EXPECT_EQ(ecu.params[22], 0x0250);
    EXPECT_EQ(ecu.params[33], 3366);
    EXPECT_EQ(v.port.written().size(), 15u);

    image.setSlot(30, 1234);
    ApplyTankSensorType(v.link, image, 7);  // low two bits: own thresholds, nothing else changes
    EXPECT_EQ(image.field(field::TankSensorType), 3u);
    EXPECT_EQ(image.slot(30), 1234);
    EXPECT_EQ(image.field(field::TankRising), 0u);
    EXPECT_EQ(ecu.params[30], 1234);
}

TEST(InjectorCatalogue, TypesLoadTheirSettingsThroughTheEncoders) {
    struct Case {
        int type;
        int holding;
        int fullOpening;
    };
    for (const Case c : {Case{0, 300, 1036}, Case{5, 569, 1036}, Case{1, 375, 1105}}) {
        VirtualLink v;
        FakeEcu ecu;
        ecu.attach(v.port);
        ParameterImage image;
        ApplyInjectorType(v.link, image, c.type);
        EXPECT_EQ(image.slot(6), c.holding) << c.type;
        EXPECT_EQ(image.slot(7), c.fullOpening) << c.type;
        EXPECT_EQ(ecu.params[6], c.holding);
        EXPECT_EQ(image.field(field::InjectorType), static_cast<std::uint32_t>(c.type));
        // 22 first, then 13, 6, 7, 2.
        ASSERT_EQ(v.port.written().size(), 15u);
        const int order[] = {22, 13, 6, 7, 2};
        for (int i = 0; i < 5; ++i) EXPECT_EQ(v.port.written()[static_cast<std::size_t>(3 * i)][1], order[i]);
    }
    EXPECT_EQ(DecodeParameter([] {
        ParameterImage i;
        i.setSlot(6, 569);
        return i;
    }(), 6, ','), "37,9");
}

TEST(InjectorCatalogue, TypesWithoutAnEntryWriteOnlyTheFlagsWord) {
    for (int type : {7, 10, 15}) {
        VirtualLink v;
        ParameterImage image;
        image.setSlot(6, 111);
        ApplyInjectorType(v.link, image, type);
        EXPECT_EQ(v.port.written().size(), 3u);
        EXPECT_EQ(image.slot(6), 111);
    }
    EXPECT_FALSE(InjectorEntryOf(7));
    EXPECT_EQ(InjectorText(InjectorEntryOf(9)->delayMs, ','), "1,50");
}

}  // namespace
