#include <gtest/gtest.h>

#include "live/conversions.h"
#include "params/number_text.h"
#include "params/parameter_codec.h"
#include "params/parameter_image.h"

using namespace sequaflow;
using namespace sequaflow::params;

namespace {

std::int32_t Encoded(int param, std::string_view text, bool fastClock = false) {
    ParameterImage image;
    image.setSlot(pn::IgnitionType, 2);
    image.setSlot(kFlags1Shadow, fastClock ? 1 << 12 : 0);
    auto r = EncodeText(image, param, text);
    EXPECT_TRUE(r.ok()) << "parameter " << param << " text '" << text << "'";
    return r.ok() ? *r : -1;
}

std::string Decoded(int param, std::int32_t slot, char sep = ',') {
    ParameterImage image;
    image.setSlot(pn::IgnitionType, 2);
    image.setSlot(param, slot);
    return DecodeParameter(image, param, sep).value_or("<none>");
}

TEST(ParseDecimal, AcceptsEitherSeparatorSignsBlanksAndExponents) {
    EXPECT_EQ(ParseDecimal("4,00"), 4.0f);
    EXPECT_EQ(ParseDecimal("4.5"), 4.5f);
    EXPECT_EQ(ParseDecimal("+15"), 15.0f);
    EXPECT_EQ(ParseDecimal("-120"), -120.0f);
    EXPECT_EQ(ParseDecimal("  7 "), 7.0f);
    EXPECT_EQ(ParseDecimal(",5"), 0.5f);
    EXPECT_EQ(ParseDecimal("3."), 3.0f);
    EXPECT_EQ(ParseDecimal("1e3"), 1000.0f);
}

TEST(ParseDecimal, RejectsWhatIsNotANumber) {
    for (const char* bad : {"", "   ", "abc", "1,2,3", "1.2.3", "--1", "+", ",", "12a", "1e", "0x10", "1 2", "1e40", "nan",
                            "inf"}) {
        EXPECT_FALSE(ParseDecimal(bad).has_value()) << "'" << bad << "'";
    }
}

TEST(Encoders, SinglePrecisionDecidesTheHoldingCurrent) {
    EXPECT_EQ(Encoded(6, "38"), 569);
    EXPECT_EQ(Encoded(6, "35"), 524);
    EXPECT_EQ(Encoded(6, "36"), 540);
    EXPECT_EQ(Encoded(6, "16"), 300);  // raised to 20 %
    EXPECT_EQ(Encoded(6, "95"), Encoded(6, "90"));  // lowered to 90 %
}

TEST(Encoders, TimesFollowTheClockFlagAndTruncate) {
    EXPECT_EQ(Encoded(7, "4,00"), 921);
    EXPECT_EQ(Encoded(7, "4,00", true), 7372);
    EXPECT_EQ(Encoded(7, "4,8"), 1105);
    EXPECT_EQ(Encoded(7, "-3"), 230);    // below 0 becomes 1 ms
    EXPECT_EQ(Encoded(7, "12"), 2304);   // above 10 becomes 10 ms
    EXPECT_EQ(Encoded(2, "-1"), 23);     // below 0 becomes 0.1 ms
    EXPECT_EQ(Encoded(13, "-1"), 2);     // below 0 becomes 0.01 ms
    EXPECT_EQ(Encoded(8, "250"), live::MsToTicks(200.0f, false));  // above 200 becomes 200 ms
    EXPECT_EQ(Encoded(3, "-0,4"), -92);  // signed, truncated toward zero
    EXPECT_EQ(Encoded(3, "-9"), -921);   // limited to -4 ms
    EXPECT_EQ(Encoded(52, "5"), 921);
}

TEST(Encoders, MixtureCorrectionOffsetAndLimits) {
    EXPECT_EQ(Encoded(1, "+15"), 115);
    EXPECT_EQ(Encoded(1, "-120"), 1);
    EXPECT_EQ(Encoded(1, "150"), 199);
    EXPECT_EQ(Encoded(1, "-7,9"), 93);
}

TEST(Encoders, SecondsPressureTankAndWholeNumbers) {
    EXPECT_EQ(Encoded(16, "3"), 3000);
    EXPECT_EQ(Encoded(16, "100"), 100000);  // more than 16 bits: the wire carries the low 16 bits
    EXPECT_EQ(Encoded(16, "0"), 9);         // 0.01 s in single precision is just below 0.01
    EXPECT_EQ(Encoded(20, "1"), 100);
    EXPECT_EQ(Encoded(34, "900"), 50000);
    EXPECT_EQ(Encoded(18, "1,45"), live::BarToRaw(1.45f));
    EXPECT_EQ(Encoded(18, "0,1"), live::BarToRaw(0.4f));
    EXPECT_EQ(Encoded(24, "7"), live::BarToRaw(3.0f));
    EXPECT_EQ(Encoded(30, "4,78"), 3983);
    EXPECT_EQ(Encoded(4, "4,9"), 4);
    EXPECT_EQ(Encoded(40, "-5"), 1);
    EXPECT_EQ(Encoded(50, "5000"), 1000);
}

TEST(Encoders, SpeedsUseTheIgnitionTypeAndFiftyRpmSteps) {
    EXPECT_EQ(Encoded(14, "600"), 11520);
    EXPECT_EQ(Encoded(14, "620"), 11520);
    EXPECT_EQ(Encoded(44, "6000"), 1152);
    EXPECT_EQ(Encoded(14, "-600"), 0);  // no speed, no division by zero
    EXPECT_EQ(Encoded(60, "100"), live::RpmToPeriod(400, 2));
}

TEST(Encoders, NotANumberStoresAndChangesNothing) {
    ParameterImage image;
    image.setSlot(7, 922);
    auto r = EncodeParameter(image, 7, "4,0x");
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().code, EncodeError::NotANumber);
    EXPECT_EQ(image.slot(7), 922);
    auto empty = EncodeParameter(image, 7, "");
    EXPECT_FALSE(empty.ok());
    EXPECT_EQ(EncodeParameter(image, 9, "1").error().code, EncodeError::NoEditor);
}

TEST(Encoders, ReducerTemperatureAlsoSetsTheHeatingThreshold) {
    ParameterImage image;
    ASSERT_TRUE(EncodeParameter(image, 5, "-7").ok());
    EXPECT_EQ(image.slot(5), -7);
    EXPECT_EQ(image.slot(41), -8);
    EXPECT_EQ(image.wire(5), 0xFFF9);
}

TEST(Decoders, FactoryValuesShowTheirDocumentedTexts) {
    EXPECT_EQ(Decoded(1, 115), "+15");
    EXPECT_EQ(Decoded(1, 100), "+0");
    EXPECT_EQ(Decoded(1, 93), "-7");
    EXPECT_EQ(Decoded(2, 610), "2,6");
    EXPECT_EQ(Decoded(3, 92), "+0,40");
    EXPECT_EQ(Decoded(3, -92), "-0,40");
    EXPECT_EQ(Decoded(3, 0), "+0,00");
    EXPECT_EQ(Decoded(52, 0, '.'), "+0.00");
    EXPECT_EQ(Decoded(6, 540), "36,0");
    EXPECT_EQ(Decoded(6, 569), "37,9");
    EXPECT_EQ(Decoded(6, 300), "20,0");
    EXPECT_EQ(Decoded(7, 922), "4,00");
    EXPECT_EQ(Decoded(8, 7000), "30,4");
    EXPECT_EQ(Decoded(13, 460), "2,00");
    EXPECT_EQ(Decoded(14, 11520), "600");
    EXPECT_EQ(Decoded(44, 1152), "6000");
    EXPECT_EQ(Decoded(16, 3000), "3,00");
    EXPECT_EQ(Decoded(18, 1100), "1,15");
    EXPECT_EQ(Decoded(24, 1152), "1,20");
    EXPECT_EQ(Decoded(20, 100), "1,00");
    EXPECT_EQ(Decoded(30, 3983), "4,78");
    EXPECT_EQ(Decoded(34, 1000), "10,0");
    EXPECT_EQ(Decoded(5, -20), "-20");
    EXPECT_EQ(Decoded(40, 2), "2");
    EXPECT_FALSE(DecodeParameter(ParameterImage{}, 9, ',').has_value());
}

TEST(Decoders, EveryEditorRoundTripsItsOwnText) {
    // What a decoder shows must encode back to the value (up to the display rounding).
    ParameterImage image;
    image.setSlot(pn::IgnitionType, 2);
    const std::pair<int, std::int32_t> values[] = {{1, 115}, {4, 4}, {5, 25}, {14, 11520}, {16, 3000},
                                                   {20, 100}, {34, 1000}, {40, 2}, {44, 1152}, {50, 50}};
    for (const auto& [param, value] : values) {
        image.setSlot(param, value);
        const auto text = DecodeParameter(image, param, ',');
        ASSERT_TRUE(text);
        auto back = EncodeText(image, param, *text);
        ASSERT_TRUE(back.ok()) << param;
        EXPECT_NEAR(*back, value, 1) << "parameter " << param << " text " << *text;
    }
}

TEST(ListEditors, TemperatureCutoffsSetTheirBitInTheSecondFlagsWord) {
    ParameterImage image;
    image.setSlot(kFlags2Shadow, 0x0008);
    ASSERT_TRUE(EncodeItem(image, 48, 21).ok());
    EXPECT_EQ(image.slot(48), -10);
    EXPECT_EQ(image.slot(pn::SecondFlags), 0x0009);
    EXPECT_EQ(DecodeItem(image, 48), 21);
    ASSERT_TRUE(EncodeItem(image, 48, 0).ok());
    EXPECT_EQ(image.slot(48), -20);
    EXPECT_EQ(image.slot(pn::SecondFlags), 0x0008);
    EXPECT_EQ(DecodeItem(image, 48), 0);

    ASSERT_TRUE(EncodeItem(image, 49, 21).ok());
    EXPECT_EQ(image.slot(49), -20);
    EXPECT_EQ(image.field(field::GasCutoff), 1u);
    EXPECT_EQ(DecodeItem(image, 49), 21);
    ASSERT_TRUE(EncodeItem(image, 49, 1).ok());
    EXPECT_EQ(image.slot(49), 0);
}

TEST(ListEditors, InjectionTypeScrollBarAndOutOfRangeValues) {
    ParameterImage image;
    image.setSlot(45, 921);
    EXPECT_EQ(DecodeItem(image, 45), 4);  // 931 ticks are 4.04 ms
    ASSERT_TRUE(EncodeItem(image, 45, 4).ok());
    EXPECT_EQ(image.slot(45), 921);
    ASSERT_TRUE(EncodeItem(image, 12, 65).ok());
    EXPECT_EQ(image.slot(12), 165);
    EXPECT_EQ(DecodeItem(image, 12), 65);
    image.setSlot(21, 9);
    EXPECT_EQ(DecodeItem(image, 21), -1);  // names no item: no selection rather than a wrong one
    EXPECT_EQ(EncodeItem(image, 21, 7).error().code, EncodeError::BadItem);
    EXPECT_EQ(EncodeItem(image, 7, 0).error().code, EncodeError::NoEditor);
    image.setSlot(48, 20);
    image.setField(field::ReducerCutoff, 1);
    EXPECT_EQ(DecodeItem(image, 48), -1);
}

}  // namespace
