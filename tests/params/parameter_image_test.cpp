#include <gtest/gtest.h>

#include "params/parameter_image.h"

using namespace sequaflow::params;

namespace {

TEST(ParameterImage, SignedParametersAreSignExtendedOthersAreNot) {
    ParameterImage image;
    for (int n : {3, 5, 48, 49, 52}) {
        image.storeWord(n, 0xFFEC);
        EXPECT_EQ(image.slot(n), -20) << n;
        EXPECT_EQ(image.wire(n), 0xFFEC) << n;
    }
    image.storeWord(50, 0xFFEC);
    EXPECT_EQ(image.slot(50), 65516);
    image.setSlot(16, 100000);
    EXPECT_EQ(image.wire(16), 34464);
}

TEST(ParameterImage, OutOfRangeSlotsAreIgnoredNotWritten) {
    ParameterImage image;
    image.setSlot(68, 5);
    image.setSlot(-1, 5);
    EXPECT_EQ(image.slot(68), 0);
    EXPECT_EQ(image.slot(-1), 0);
    EXPECT_FALSE(image.held(68));
}

TEST(ParameterImage, BitFieldsChangeTheShadowAndCopyItWhole) {
    ParameterImage image;
    image.setSlot(kFlags1Shadow, 0x100F);
    image.setSlot(pn::FirstFlags, 0x0000);  // the parameter lags the shadow until a field is set
    image.setField(field::InjectorType, 0x1B);  // only the low four bits fit
    EXPECT_EQ(image.slot(kFlags1Shadow), 0x10BF);
    EXPECT_EQ(image.slot(pn::FirstFlags), 0x10BF);
    EXPECT_TRUE(image.fastClock());
    image.setField(field::TankSensorType, 2);
    image.setField(field::TankRising, 1);
    EXPECT_EQ(image.field(field::TankSensorType), 2u);
    EXPECT_EQ(image.slot(pn::FirstFlags), 0x16BF);

    image.setField(field::MapMode, 2);
    image.setField(field::Turbo, 1);
    EXPECT_EQ(image.slot(pn::SecondFlags), 0x4008);
    image.setField(field::SwitchingSequence, 5);
    EXPECT_EQ(image.slot(pn::ThirdFlags), 0x50);
}

TEST(ParameterImage, ShadowSetBitByBitIsNotAWholeValue) {
    ParameterImage image;
    EXPECT_FALSE(image.held(kFlags1Shadow));
    image.setField(field::SpeedLimitOn, 1);
    EXPECT_FALSE(image.held(kFlags1Shadow));
    EXPECT_FALSE(image.held(pn::FirstFlags));
    image.storeWord(pn::FirstFlags, 0x0250);
    image.refreshShadow(FlagsWord::First);
    EXPECT_TRUE(image.held(kFlags1Shadow));
    EXPECT_EQ(image.slot(kFlags1Shadow), 0x0250);
}

}  // namespace
