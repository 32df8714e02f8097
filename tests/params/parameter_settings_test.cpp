#include <gtest/gtest.h>

#include <string>

#include "live/conversions.h"
#include "params/fake_ecu.h"
#include "params/parameter_settings.h"
#include "support/transcript.h"

using namespace sequaflow;
using namespace sequaflow::params;
using testing_support::FakeEcu;
using testing_support::Transcript;
using testing_support::VirtualLink;

namespace {

// A controller as a read leaves it: slow clock, "4 Cyl." ignition, flags words in their shadows.
struct Settings : ::testing::Test, VirtualLink {
    FakeEcu ecu;
    ProgramState state;
    ParameterImage& image = state.image;

    void SetUp() override {
        ecu.attach(port);
        image.setSlot(pn::SwitchTemperature, 25);
        image.setSlot(pn::IgnitionType, 2);
        image.setSlot(pn::SwitchSpeed, live::RpmToPeriod(600, 2));
        image.setSlot(pn::SpeedLimit, live::RpmToPeriod(6000, 2));
        image.setSlot(pn::FirstFlags, 0x4000);
        image.setSlot(pn::SecondFlags, 0x0008);
        image.setSlot(pn::ThirdFlags, 0x0000);
        image.setSlot(pn::ExtraCorrectionInjectors, 0);
        for (auto w : {FlagsWord::First, FlagsWord::Second, FlagsWord::Third, FlagsWord::InjectorSelection})
            image.refreshShadow(w);
        const int rpm[6] = {1000, 1500, 2000, 3000, 4000, 5000};
        for (int k = 0; k < 6; ++k) state.maps.setPoint(k, static_cast<std::uint32_t>(live::RpmToPeriod(rpm[k], 2)));
    }

    SettingResult apply(Setting s, int item) { return ApplySetting(link, state, s, item, SpeedTextsOf(state), ','); }
    SettingResult edit(int param, std::string_view text, EditorEvent e = EditorEvent::Leave) {
        return WriteEditor(link, image, param, text, ',', e);
    }
    std::string transcriptOf(const std::function<void()>& f) {
        Transcript t(link);
        f();
        return t.str();
    }
    std::size_t sent() const { return link.framesSent(); }
};

std::string TextOf(const SettingOutcome& out, int param) {
    for (const auto& t : out.texts)
        if (t.param == param) return t.text;
    return "<none>";
}

TEST(TickConversion, WholeNumbersOfTicksAreNotLost) {
    EXPECT_EQ(live::MsToTicks(3.75f, false), 864);
    EXPECT_EQ(live::MsToTicks(15.0f, false), 3456);
    EXPECT_EQ(live::MsToTicks(30.0f, false), 6912);
    EXPECT_EQ(live::MsToTicks(15.0f, true), 27648);
    EXPECT_EQ(live::MsToTicks(5.0f, false), 1152);
    EXPECT_EQ(live::MsToTicks(0.25f, false), 57);    // 57.6 truncated
    EXPECT_EQ(live::MsToTicks(-0.25f, false), -57);  // toward zero
    EXPECT_EQ(live::MsToTicks(4.8f, false), 1105);   // 1105.92
    // 600 rpm on "6 Cyl." is 230400 / 30 = 7680 ticks, and reads back as 600, not 550.
    EXPECT_EQ(live::RpmToPeriod(600, 4), 7680);
    EXPECT_EQ(live::PeriodToRpm(7680, 4), 600u);
    EXPECT_EQ(live::PeriodToRpm(7681, 4), 550u);
}

TEST_F(Settings, MultiParameterWritesMatchTheirGoldenTranscripts) {
    testing_support::ExpectMatchesGolden("settings_injector_type", transcriptOf([&] { (void)apply(Setting::InjectorType, 1); }));
    testing_support::ExpectMatchesGolden("settings_tank_type", transcriptOf([&] { (void)apply(Setting::TankSensorType, 0); }));
    testing_support::ExpectMatchesGolden("settings_ignition", transcriptOf([&] { (void)apply(Setting::IgnitionType, 4); }));
    testing_support::ExpectMatchesGolden("settings_smooth_switching",
                                         transcriptOf([&] { (void)apply(Setting::SmoothSwitching, 1); }));
    testing_support::ExpectMatchesGolden("settings_first_run",
                                         transcriptOf([&] { (void)ApplyFirstRunDefaults(link, state, ','); }));
}

TEST_F(Settings, InjectorCatalogueLimitsAndOwnType) {
    auto out = apply(Setting::InjectorType, 0);
    ASSERT_TRUE(out);
    EXPECT_EQ(ecu.params[6], 300);  // 16 % raised to 20 %
    EXPECT_EQ(TextOf(*out, pn::HoldingCurrent), "16,0");
    EXPECT_EQ(ecu.params[22] >> 4 & 0xF, 0);
    ASSERT_TRUE(apply(Setting::InjectorType, 5));
    EXPECT_EQ(ecu.params[6], 569);  // 38 % in single precision
    ASSERT_TRUE(apply(Setting::InjectorType, 1));
    EXPECT_EQ(ecu.params[7], 1105);
    EXPECT_FALSE(OwnInjectorButtonVisible(image));

    image.setSlot(pn::ControlSettings, 1);
    out = apply(Setting::InjectorType, 8);
    ASSERT_TRUE(out);
    EXPECT_EQ(ecu.params[22] >> 4 & 0xF, 8);
    EXPECT_EQ(ecu.params[58], 0);
    EXPECT_EQ(ecu.params[2], live::MsToTicks(3.2f, false));
    EXPECT_TRUE(OwnInjectorButtonVisible(image));

    // Type 7 has no catalogue entry: only the flags word goes.
    const auto before = sent();
    ASSERT_TRUE(apply(Setting::InjectorType, 7));
    EXPECT_EQ(sent() - before, 3u);
}

TEST_F(Settings, EditorsLimitCoupleAndRefuse) {
    auto out = edit(pn::ReturnPressure, "1,45");
    ASSERT_TRUE(out);
    EXPECT_EQ(TextOf(*out, pn::BuzzerPressure), "1,50");
    EXPECT_EQ(ecu.params[18], static_cast<std::uint16_t>(live::BarToRaw(1.45f)));
    EXPECT_EQ(ecu.params[24], static_cast<std::uint16_t>(live::BarToRaw(1.5f)));
    out = edit(pn::BuzzerPressure, "2,00");
    ASSERT_TRUE(out);
    EXPECT_EQ(TextOf(*out, pn::ReturnPressure), "1,95");
    // Enter released writes the value alone.
    const auto before = sent();
    ASSERT_TRUE(edit(pn::ReturnPressure, "1,20", EditorEvent::EnterReleased));
    EXPECT_EQ(sent() - before, 3u);

    out = edit(pn::ReturnDelay, "0,05");
    ASSERT_TRUE(out);
    EXPECT_EQ(TextOf(*out, pn::ReturnDelay), "0,1");
    EXPECT_EQ(ecu.params[20], 10);
    ASSERT_TRUE(edit(pn::ReturnDelay, "0,05", EditorEvent::EnterReleased));
    EXPECT_EQ(ecu.params[20], 5);

    out = edit(pn::MinGasOpening, "12");  // above 10 ms
    ASSERT_TRUE(out);
    EXPECT_EQ(TextOf(*out, pn::MinGasOpening), "10,0");
    EXPECT_EQ(ecu.params[2], 2304);

    ASSERT_TRUE(edit(pn::SwitchTemperature, "30"));
    EXPECT_EQ(ecu.params[5], 30);
    EXPECT_EQ(ecu.params[41], 29);

    // The low-speed filter step shows two decimals, as its field does: 0.05 ms is 11 ticks (0.0477 ms).
    image.setSlot(pn::FilterTimeStep, 11);
    EXPECT_EQ(DecodeParameter(image, pn::FilterTimeStep, ','), "0,05");

    for (int param : {pn::SpeedSignalFilter, pn::PetrolSignalFilter}) {
        ASSERT_TRUE(edit(param, "1500"));
        EXPECT_EQ(ecu.params[static_cast<std::size_t>(param)], 1000);
        ASSERT_TRUE(edit(param, "7,9"));
        EXPECT_EQ(ecu.params[static_cast<std::size_t>(param)], 7);
        ASSERT_TRUE(edit(param, "-3"));
        EXPECT_EQ(ecu.params[static_cast<std::size_t>(param)], 1);
        ASSERT_TRUE(edit(param, "0"));
        EXPECT_EQ(ecu.params[static_cast<std::size_t>(param)], 0);
    }

    const auto quiet = sent();
    const auto image44 = image.slot(pn::SpeedLimit);
    EXPECT_EQ(edit(pn::SpeedLimit, "").error().code, SettingError::NotANumber);
    EXPECT_EQ(edit(pn::IdleCorrection, "abc").error().code, SettingError::NotANumber);
    EXPECT_EQ(edit(pn::Marker, "1").error().code, SettingError::NoEditor);
    EXPECT_EQ(sent(), quiet);
    EXPECT_EQ(image.slot(pn::SpeedLimit), image44);
}

TEST_F(Settings, ListsWriteTheirBitsAndCompanions) {
    ASSERT_TRUE(apply(Setting::HeatingStrength, 2));
    EXPECT_EQ(ecu.params[57], 2);
    EXPECT_EQ(ecu.params[43], 400);
    EXPECT_EQ(ecu.params[42], 35);

    ASSERT_TRUE(apply(Setting::Turbo, 1));
    EXPECT_EQ(state.maps.cellMaximum(), 90);
    EXPECT_TRUE(TurboButtonVisible(image));
    auto out = apply(Setting::Turbo, 0);
    ASSERT_TRUE(out);
    EXPECT_EQ(ecu.params[47] & 0x4000, 0);
    EXPECT_EQ(ecu.params[12], 100);
    EXPECT_EQ(state.maps.cellMaximum(), 50);
    ASSERT_EQ(out->items.size(), 1u);
    EXPECT_EQ(out->items[0].setting, Setting::TurboBoost);
    EXPECT_EQ(out->items[0].item, 0);
    ASSERT_TRUE(WriteTurboBoost(link, image, 35));
    EXPECT_EQ(ecu.params[12], 135);

    ASSERT_TRUE(apply(Setting::Buzzer, 0));  // not ticked: buzzer off, bit 4 set
    EXPECT_EQ(ecu.params[47] & 0x10, 0x10);
    ASSERT_TRUE(apply(Setting::GasCutoff, 3));
    EXPECT_EQ(static_cast<std::int16_t>(ecu.params[49]), -2);
    EXPECT_EQ(ecu.params[47] & 0x12, 0x12);  // both bits: the buzzer's survives in the shadow
    ASSERT_TRUE(apply(Setting::ReducerCutoff, 0));
    EXPECT_EQ(static_cast<std::int16_t>(ecu.params[48]), -20);
    EXPECT_EQ(ecu.params[47] & 0x01, 0);

    ASSERT_TRUE(apply(Setting::SwitchingSequence, 5));
    EXPECT_EQ(ecu.params[54] & 0x70, 0x50);

    const auto quiet = sent();
    EXPECT_EQ(apply(Setting::Lambda1, 7).error().code, SettingError::BadItem);
    EXPECT_EQ(apply(Setting::SpeedSignalLevel, -1).error().code, SettingError::BadItem);
    EXPECT_EQ(sent(), quiet);
}

TEST_F(Settings, SmoothSwitchingAndTheSpeedDrop) {
    ASSERT_TRUE(apply(Setting::SmoothSwitching, 1));
    EXPECT_EQ(ecu.params[41], 24);
    EXPECT_EQ(ecu.params[42], 400);
    EXPECT_EQ(ecu.params[43], 1152);
    EXPECT_EQ(ecu.params[22] & 0x2000, 0x2000);
    ASSERT_TRUE(apply(Setting::SmoothSwitching, 0));
    EXPECT_EQ(ecu.params[22] & 0x2000, 0);

    SpeedTexts texts = SpeedTextsOf(state);
    EXPECT_EQ(texts.switchSpeed, "600");
    auto out = ApplySetting(link, state, Setting::SwitchMode, 1, texts, ',');
    ASSERT_TRUE(out);
    EXPECT_EQ(ecu.params[53], 5760);  // 17280 - 11520
    EXPECT_EQ(ShownItemOf(state, Setting::SpeedDrop, texts), 2);
    texts.switchSpeed = "500";
    ASSERT_TRUE(ApplySetting(link, state, Setting::SwitchMode, 1, texts, ','));
    EXPECT_EQ(ecu.params[53], 0);
    ASSERT_TRUE(ApplySetting(link, state, Setting::SpeedDrop, 1, texts, ','));  // no r > 500 test here
    EXPECT_EQ(ecu.params[53], live::RpmToPeriod(400, 2) - live::RpmToPeriod(500, 2));
    // A drop below the switch-over speed itself would send a wrapped period.
    const auto quiet = sent();
    EXPECT_EQ(ApplySetting(link, state, Setting::SpeedDrop, 9, texts, ',').error().code, SettingError::BadItem);
    texts.switchSpeed = "6,5";
    EXPECT_EQ(ApplySetting(link, state, Setting::SpeedDrop, 1, texts, ',').error().code, SettingError::NotANumber);
    EXPECT_EQ(sent(), quiet);
}

TEST_F(Settings, IgnitionChangeReencodesSpeedsKeepingTheirTexts) {
    const SpeedTexts before = SpeedTextsOf(state);
    ASSERT_TRUE(apply(Setting::IgnitionType, 4));  // "6 Cyl."
    EXPECT_EQ(ecu.params[21], 4);
    EXPECT_EQ(ecu.params[14], static_cast<std::uint16_t>(live::RpmToPeriod(600, 4)));
    EXPECT_EQ(ecu.params[44], static_cast<std::uint16_t>(live::RpmToPeriod(6000, 4)));
    EXPECT_EQ(ecu.points[0], static_cast<std::uint16_t>(live::RpmToPeriod(1000, 4)));
    EXPECT_NE(ecu.points[0], static_cast<std::uint16_t>(live::RpmToPeriod(1000, 2)));
    const SpeedTexts after = SpeedTextsOf(state);
    EXPECT_EQ(after.switchSpeed, before.switchSpeed);
    EXPECT_EQ(after.breakpoints, before.breakpoints);
}

TEST_F(Settings, ExtraCorrectionTextsAndSelection) {
    ASSERT_TRUE(ApplyExtraCorrection(link, image, "0,25", 0x11, ','));
    EXPECT_EQ(ecu.params[52], 57);
    EXPECT_EQ(ecu.params[51] & 0xFF, 0x11);
    ASSERT_TRUE(ApplyExtraCorrection(link, image, "-0,25", 0x11, ','));
    EXPECT_EQ(ecu.params[52], 0xFFC7);
    auto out = ApplyExtraCorrection(link, image, "9", 0, ',');
    ASSERT_TRUE(out);
    EXPECT_EQ(ecu.params[52], 921);  // 4 ms
    EXPECT_EQ(TextOf(*out, pn::ExtraCorrectionTime), "+4,00");
    image.setSlot(pn::ExtraCorrectionTime, -115);
    EXPECT_EQ(ExtraCorrectionText(image, ','), "-0,50");
    image.setSlot(pn::ExtraCorrectionTime, 0);
    EXPECT_EQ(ExtraCorrectionText(image, ','), "+0,00");
    const auto quiet = sent();
    EXPECT_FALSE(ApplyExtraCorrection(link, image, "x", 1, ','));
    EXPECT_EQ(sent(), quiet);
}

TEST_F(Settings, TankThresholdsSerialAndDialogLimits) {
    ASSERT_TRUE(SaveTankThresholds(link, image, {"4,78", "1", "2", "3"}, true));
    EXPECT_EQ(ecu.params[30], 3983);
    EXPECT_EQ(ecu.params[31], 833);
    EXPECT_EQ(ecu.params[22] & 0x0400, 0x0400);
    const auto quiet = sent();
    const auto t31 = image.slot(31);
    EXPECT_FALSE(SaveTankThresholds(link, image, {"1", "x", "2", "3"}, false));
    EXPECT_EQ(sent(), quiet);
    EXPECT_EQ(image.slot(31), t31);  // nothing half-stored

    // One threshold from its own editor leaves the others at their stored levels (0.17 V would read back 141).
    image.setSlot(31, 140);
    ASSERT_TRUE(WriteEditor(link, image, 32, "0,3", ',', EditorEvent::Leave));
    EXPECT_EQ(ecu.params[31], 140);
    EXPECT_EQ(ecu.params[32], 250);

    EXPECT_EQ(LimitTankDialogText(3, "0", ','), "0,01");
    EXPECT_EQ(LimitTankDialogText(1, "7", ','), "5,00");
    EXPECT_EQ(LimitTankDialogText(0, "-1", '.'), "0.00");
    EXPECT_EQ(LimitTankDialogText(2, "2,5", ','), "2,5");

    EXPECT_EQ(WriteSerialNumberText(link, state, "12345"), 12345);
    EXPECT_EQ(ecu.record[61], 0x3039);
    EXPECT_EQ(WriteSerialNumberText(link, state, "99999"), 34463);
    EXPECT_EQ(WriteSerialNumberText(link, state, "-1"), 65535);
    const auto before = sent();
    EXPECT_FALSE(WriteSerialNumberText(link, state, "12a"));
    EXPECT_FALSE(WriteSerialNumberText(link, state, ""));
    EXPECT_EQ(sent(), before);
}

TEST_F(Settings, FirstRunDefaultsAndWhatAReadShows) {
    auto out = ApplyFirstRunDefaults(link, state, ',');
    ASSERT_TRUE(out);
    EXPECT_EQ(ecu.params[22] >> 8 & 3, 2);
    EXPECT_EQ(ecu.params[22] >> 4 & 0xF, 1);
    EXPECT_EQ(ecu.params[14], static_cast<std::uint16_t>(live::RpmToPeriod(600, 2)));
    EXPECT_EQ(ecu.params[44], static_cast<std::uint16_t>(live::RpmToPeriod(6000, 2)));
    EXPECT_EQ(ecu.params[4], 4);
    EXPECT_EQ(ecu.params[16], 3000);
    EXPECT_EQ(TextOf(*out, pn::SpeedLimit), "6000");

    const SpeedTexts texts = SpeedTextsOf(state);
    EXPECT_EQ(ShownItemOf(state, Setting::TankSensorType, texts), 2);
    EXPECT_EQ(ShownItemOf(state, Setting::SwitchMode, texts), 1);
    EXPECT_EQ(ShownItemOf(state, Setting::Buzzer, texts), 1);
    // A viewed file without a drop shows the rising mode and no drop; with one, as a read does.
    state.readStatus = ReadStatus::File;
    image.setSlot(pn::SpeedDrop, 0);
    EXPECT_EQ(ShownItemOf(state, Setting::SwitchMode, texts), 0);
    EXPECT_EQ(ShownItemOf(state, Setting::SpeedDrop, texts), -1);
    image.setSlot(pn::SpeedDrop, live::RpmToPeriod(300, 2) - live::RpmToPeriod(600, 2));
    EXPECT_EQ(ShownItemOf(state, Setting::SwitchMode, texts), 1);
    EXPECT_EQ(ShownItemOf(state, Setting::SpeedDrop, texts), 3);
    image.setSlot(pn::HeatingStrength, 9);
    EXPECT_EQ(ShownItemOf(state, Setting::HeatingStrength, texts), -1);

    EXPECT_TRUE(SwitchingSequenceEnabled(0x44));
    EXPECT_FALSE(SwitchingSequenceEnabled(0x53));
    EXPECT_TRUE(ReducerSensorVisible(0x02, 21));
    EXPECT_FALSE(ReducerSensorVisible(0x02, 20));
    EXPECT_FALSE(ReducerSensorVisible(0x01, 40));
    const auto reversed = LambdaDisplayOf(5);
    EXPECT_TRUE(reversed.shown);
    EXPECT_DOUBLE_EQ(reversed.highVolts, 1.1);
    EXPECT_FALSE(reversed.greenAtLow);
    EXPECT_FALSE(LambdaDisplayOf(0).shown);
}

}  // namespace
