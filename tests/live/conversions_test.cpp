#include <gtest/gtest.h>

#include "live/conversions.h"
#include "live/live_frame.h"

using namespace sequaflow::live;

namespace {

TEST(LiveFrameTest, DecodesWordsInDescendingOrderAndChecksTheFrame) {
    std::array<std::uint8_t, 67> f{};
    f[0] = 'V';
    f[66] = ':';
    LiveWords w{};
    w.fill(7);
    EXPECT_TRUE(DecodeLiveFrame(f, true, w));  // all-zero data has checksum 0
    EXPECT_EQ(w[0], 0u);

    f[63] = 0x01;
    f[64] = 0x2C;
    f[1] = 0xAB;
    f[2] = 0xCD;
    f[65] = static_cast<std::uint8_t>(0x01 + 0x2C + 0xAB + 0xCD);
    ASSERT_TRUE(DecodeLiveFrame(f, true, w));
    EXPECT_EQ(w[0], 300u);
    EXPECT_EQ(w[31], 0xABCDu);
    EXPECT_NEAR(TicksToMs(w[0], false), 1.302f, 0.0005f);
    EXPECT_NEAR(TicksToMs(w[0], true), 0.163f, 0.0005f);

    const LiveWords before = w;
    auto bad = f;
    bad[65] ^= 1;
    EXPECT_FALSE(DecodeLiveFrame(bad, true, w));
    bad = f;
    bad[66] = ';';
    EXPECT_FALSE(DecodeLiveFrame(bad, true, w));
    bad = f;
    bad[0] = 'v';
    EXPECT_FALSE(DecodeLiveFrame(bad, true, w));
    EXPECT_FALSE(DecodeLiveFrame(f, false, w));
    EXPECT_EQ(w, before);
}

TEST(LiveFrameTest, EncodeIsTheInverseOfDecode) {
    LiveWords w{};
    for (std::size_t i = 0; i < w.size(); ++i) w[i] = static_cast<std::uint32_t>(i * 2053 % 65536);
    LiveWords back{};
    ASSERT_TRUE(DecodeLiveFrame(EncodeLiveFrame(w), true, back));
    EXPECT_EQ(back, w);
    EXPECT_EQ(PetrolTimeWord(6), 23);
    EXPECT_EQ(GasTimeWord(7), 26);
    EXPECT_EQ(GasTimeWord(0), 6);
}

TEST(ConversionsTest, EngineSpeedFromPeriod) {
    EXPECT_EQ(PeriodToRpm(4608, 0), 6000u);
    EXPECT_EQ(PeriodToRpm(4608, 1), 3000u);
    EXPECT_EQ(PeriodToRpm(4608, 2), 1500u);
    EXPECT_EQ(PeriodToRpm(4608, 3), 1200u);
    EXPECT_EQ(PeriodToRpm(4608, 4), 1000u);
    EXPECT_EQ(PeriodToRpm(4608, 5), 750u);
    EXPECT_EQ(PeriodToRpm(4608, 6), 2000u);
    EXPECT_EQ(PeriodToRpm(65500, 0), 0u);
    EXPECT_EQ(PeriodToRpm(65535, 2), 0u);
    EXPECT_EQ(PeriodToRpm(4608, 7), 0u);
    // 849.9 rpm shows as 800 (type 2: rpm = 6912000 / period).
    EXPECT_EQ(PeriodToRpm(8133, 2), 800u);
    EXPECT_EQ(PeriodToRpm(8131, 2), 850u);
    // Period 0 is treated as 1e-07 s: a huge speed, still a multiple of 50 and no fault.
    EXPECT_EQ(PeriodToRpm(0, 2) % 50, 0u);
    EXPECT_GT(PeriodToRpm(0, 2), 1'000'000u);
}

TEST(ConversionsTest, PeriodFromEngineSpeed) {
    EXPECT_EQ(RpmToPeriod(600, 2), 11520);
    EXPECT_EQ(RpmToPeriod(620, 2), 11520);
    EXPECT_EQ(RpmToPeriod(2000, 6), 4608);
    EXPECT_EQ(PeriodToRpm(static_cast<std::uint32_t>(RpmToPeriod(2000, 6)), 6), 2000u);
    EXPECT_EQ(RpmToPeriod(49, 2), 0);  // below 50 rpm: no division by zero
    EXPECT_EQ(RpmToPeriod(0, 0), 0);
    EXPECT_EQ(RpmToPeriod(1500, 9), 0);
    for (int type = 0; type < kIgnitionTypeCount; ++type) {
        for (std::uint32_t rpm = 400; rpm <= 8000; rpm += 50) {
            const auto period = RpmToPeriod(rpm, type);
            if (period >= 65500) continue;  // too slow for a 16-bit period: shown as a stopped engine
            const auto back = PeriodToRpm(static_cast<std::uint32_t>(period), type);
            // Inverse up to the rounding to 50 rpm and the truncations.
            EXPECT_LE(back > rpm ? back - rpm : rpm - back, 50u) << "type " << type << " rpm " << rpm;
        }
    }
}

TEST(ConversionsTest, TimesPressureVoltsAndTemperatures) {
    EXPECT_EQ(MsToTicks(1.0f, false), 230);
    EXPECT_EQ(MsToTicks(1.0f, true), 1843);
    EXPECT_EQ(MsToTicks(-1.0f, false), -230);
    EXPECT_NEAR(SignedTicksToMs(-2304, false), -10.0f, 1e-5f);
    EXPECT_NEAR(RawToBar(0), 0.150f, 0.0005f);
    EXPECT_EQ(BarToRaw(1.45f), 1431);
    EXPECT_NEAR(LambdaVolts(4095), 5.0f, 1e-6f);
    EXPECT_NEAR(TankVolts(3750), 4.5f, 1e-6f);
    EXPECT_EQ(RawToCelsius(0xFFF6), -10);
    EXPECT_EQ(RawToCelsius(0x0050), 80);
    EXPECT_EQ(TankVoltsText(3750), "4.50 V");
}

TEST(ConversionsTest, GasCorrectionText) {
    EXPECT_EQ(GasCorrectionText(1100, 1000, '.'), "+10.0%");
    EXPECT_EQ(GasCorrectionText(950, 1000, ','), "-5,0%");
    EXPECT_EQ(GasCorrectionText(1000, 1000, '.'), "+0.0%");
    EXPECT_EQ(GasCorrectionText(5, 0, '.'), "00.0%");
}

TEST(FormatFixedTest, SignificantDigitsDecimalsAndSeparator) {
    EXPECT_EQ(FormatFixed(1.302083, 4, 2, '.'), "1.30");
    EXPECT_EQ(FormatFixed(1.302083, 4, 2, ','), "1,30");
    EXPECT_EQ(FormatFixed(0.15032, 3, 2, '.'), "0.15");
    EXPECT_EQ(FormatFixed(12.345678, 3, 2, '.'), "12.30");   // three significant digits, then two decimals
    EXPECT_EQ(FormatFixed(123.456, 4, 2, '.'), "123.50");
    EXPECT_EQ(FormatFixed(0.0, 3, 2, '.'), "0.00");
    EXPECT_EQ(FormatFixed(-2.5, 3, 1, '.'), "-2.5");
    EXPECT_EQ(FormatFixed(-0.001, 3, 2, '.'), "0.00");
    EXPECT_EQ(FormatFixed(9.996, 3, 2, '.'), "10.00");
    EXPECT_EQ(FormatFixed(42.0, 4, 0, '.'), "42");
    EXPECT_EQ(FormatFixed(0.0625, 4, 2, '.'), "0.06");
}

TEST(FormatFixedTest, ScientificWhenTheIntegerPartIsTooLong) {
    EXPECT_EQ(FormatFixed(12345.0, 3, 2, '.'), "1.23E4");
    EXPECT_EQ(FormatFixed(-120000.0, 3, 1, ','), "-1,2E5");
    EXPECT_EQ(FormatFixed(999.6, 3, 0, '.'), "1E3");
    EXPECT_EQ(FormatFixed(999.0, 3, 2, '.'), "999.00");
}

}  // namespace
