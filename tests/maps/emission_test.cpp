#include <gtest/gtest.h>

#include <string>

#include "link/commands.h"
#include "maps/emission.h"
#include "params/parameter_writer.h"
#include "sim/controller.h"
#include "sim/sim_port.h"
#include "support/transcript.h"
#include "support/virtual_link.h"

using namespace sequaflow;
using namespace sequaflow::maps;
using testing_support::Transcript;
using testing_support::VirtualLink;

namespace {

params::ParameterImage Image(int ignition, bool fastClock) {
    params::ParameterImage image;
    image.setSlot(params::pn::IgnitionType, ignition);
    image.setField(params::field::FastClock, fastClock ? 1u : 0u);
    return image;
}

std::uint16_t Word(int index, const std::string& text, const params::ParameterImage& image) {
    const auto w = LambdaWordFromText(index, text, image);
    EXPECT_TRUE(w.has_value()) << index << " '" << text << "'";
    return w.value_or(0xDEAD);
}

// The reset values as an installer would type them.
LambdaSaveInput ResetTexts() {
    LambdaSaveInput in;
    in.texts = {"0,75", "0,4", "10100", "10000", "100", "100", "100", "100", "2", "12", "2000", "5000"};
    in.switches = {1, 1, 1, 1, 0};
    return in;
}

struct Emission : ::testing::Test, VirtualLink {
    params::ProgramState state;
    void SetUp() override {
        state.image = Image(2, false);
        state.image.storeWord(params::pn::SecondFlags, 0x0008);  // map mode 2, nothing else
        state.image.refreshShadow(params::FlagsWord::Second);
    }
};

// The in-process simulator, for what the controller keeps and answers.
struct EmissionOnSimulator : ::testing::Test {
    link::VirtualPacer pacer;
    sim::Controller controller{sim::ControllerOptions{}};
    sim::SimPort port{controller, pacer};
    link::Link link{port, pacer};
    params::ProgramState state;
    void SetUp() override {
        link.setPortName("/dev/simulated");
        ASSERT_TRUE(link.openPort().ok());
        state.image = Image(2, false);
        state.image.storeWord(params::pn::SecondFlags, 0x0008);
        state.image.refreshShadow(params::FlagsWord::Second);
    }
};

}  // namespace

TEST(LambdaConversion, ThresholdVoltsAreWrittenAt819Point2AndShownAt4095Per5Volts) {
    const auto image = Image(2, false);
    EXPECT_EQ(Word(0, "0,75", image), 614);  // 614.4 truncated
    EXPECT_EQ(Word(1, "0.4", image), 327);   // 327.68 truncated
    EXPECT_EQ(Word(0, "1", image), 819);
    EXPECT_EQ(Word(0, "0", image), 0);
    EXPECT_EQ(LambdaTextFromWord(0, 614, image, ','), "0,75");  // 0.74969
    EXPECT_EQ(LambdaTextFromWord(1, 327, image, ','), "0,40");  // 0.39927
    EXPECT_EQ(LambdaTextFromWord(0, 4095, image, '.'), "5.00");
    EXPECT_EQ(LambdaTextFromWord(0, 409, image, ','), "0,50");  // 0.49939
}

TEST(LambdaConversion, WholeNumbersAreSignedWordsAsTyped) {
    const auto image = Image(2, false);
    EXPECT_EQ(Word(2, "10100", image), 10100);
    EXPECT_EQ(Word(7, " 100 ", image), 100);
    EXPECT_EQ(Word(3, "-5", image), 0xFFFB);
    EXPECT_EQ(LambdaTextFromWord(3, 0xFFFB, image, ','), "-5");
    EXPECT_EQ(LambdaTextFromWord(2, 10100, image, ','), "10100");
    EXPECT_EQ(Word(4, "32767", image), 0x7FFF);
    EXPECT_EQ(Word(4, "-32768", image), 0x8000);
}

TEST(LambdaConversion, InjectionTimesFollowTheClockAndShowOneDecimal) {
    EXPECT_EQ(Word(8, "2", Image(2, false)), 460);     // 460.8 ticks of 230400 Hz
    EXPECT_EQ(Word(9, "12", Image(2, false)), 2764);   // 2764.8
    EXPECT_EQ(Word(8, "2", Image(2, true)), 3686);     // 3686.4 ticks of 1843200 Hz
    EXPECT_EQ(Word(9, "2,5", Image(2, false)), 576);   // 576.0
    EXPECT_EQ(LambdaTextFromWord(8, 460, Image(2, false), ','), "2,0");    // 1.9965 ms
    EXPECT_EQ(LambdaTextFromWord(9, 2764, Image(2, false), ','), "12,0");  // 11.9965 ms
    EXPECT_EQ(LambdaTextFromWord(8, 3686, Image(2, true), ','), "2,0");    // 1.99978 ms
}

TEST(LambdaConversion, EngineSpeedsAreTruncatedThenTurnedIntoPeriodsOfTheIgnitionType) {
    // Type 2 (4 cylinders): period = 230400 x 60 / (2 x rpm).
    EXPECT_EQ(Word(10, "2000", Image(2, false)), 3456);
    EXPECT_EQ(Word(10, "2000,9", Image(2, false)), 3456);
    EXPECT_EQ(Word(11, "5000", Image(2, false)), 1382);  // 1382.4
    // Type 1: period = 230400 x 60 / rpm.
    EXPECT_EQ(Word(10, "2000", Image(1, false)), 6912);
    EXPECT_EQ(LambdaTextFromWord(10, 3456, Image(2, false), ','), "2000");
    EXPECT_EQ(LambdaTextFromWord(11, 1382, Image(2, false), ','), "5000");
    EXPECT_EQ(LambdaTextFromWord(10, 6912, Image(1, false), ','), "2000");
    EXPECT_EQ(LambdaTextFromWord(11, 0, Image(2, false), ','), "0");  // the start-up zero, never read
}

TEST(LambdaConversion, TextsThatAreNoNumberOrDoNotFitAWordAreRefusedWithTheReason) {
    const auto image = Image(2, false);
    FieldFailure f;
    EXPECT_FALSE(LambdaWordFromText(0, "abc", image, &f));
    EXPECT_EQ(f.error, FieldError::NotANumber);
    EXPECT_EQ(f.message, "'abc' is not a valid floating point value");
    EXPECT_FALSE(LambdaWordFromText(2, "1,5", image, &f));
    EXPECT_EQ(f.message, "'1,5' is not a valid integer value");
    EXPECT_FALSE(LambdaWordFromText(4, "", image, &f));
    EXPECT_EQ(f.error, FieldError::NotANumber);
    // 40000 would come back as -25536; 100 rpm on four cylinders is a period of 69120.
    EXPECT_FALSE(LambdaWordFromText(2, "40000", image, &f));
    EXPECT_EQ(f.error, FieldError::OutOfRange);
    EXPECT_FALSE(LambdaWordFromText(10, "100", image, &f));
    EXPECT_EQ(f.error, FieldError::OutOfRange);
    EXPECT_EQ(f.message, "'100' gives 69120, which does not fit the controller's word (0..65535)");
    EXPECT_FALSE(LambdaWordFromText(0, "-1", image, &f));
    EXPECT_EQ(f.error, FieldError::OutOfRange);
    EXPECT_FALSE(LambdaWordFromText(0, "90", image, &f));  // 73728 counts
    EXPECT_EQ(f.error, FieldError::OutOfRange);
    // Numbers far beyond any word (found by fuzzing): they overflowed on the way to the range check, and the
    // message turned a huge positive number negative.
    EXPECT_FALSE(LambdaWordFromText(0, "99999999999999999999991200", image, &f));
    EXPECT_EQ(f.error, FieldError::OutOfRange);
    EXPECT_EQ(f.message.find("gives -"), std::string::npos) << f.message;
    EXPECT_FALSE(LambdaWordFromText(10, "1e38", image, &f));
    EXPECT_EQ(f.error, FieldError::OutOfRange);
    EXPECT_EQ(f.message.find("gives -"), std::string::npos) << f.message;
    EXPECT_FALSE(LambdaWordFromText(0, "-1e38", image, &f));
    EXPECT_EQ(f.error, FieldError::OutOfRange);
    EXPECT_NE(f.message.find("gives -"), std::string::npos) << f.message;
}

TEST_F(Emission, SaveLambdaSettingsTranscript) {
    Transcript t(link);
    const auto r = SaveLambdaSettings(link, state, ResetTexts(), t.progress());
    EXPECT_TRUE(r.sequence.completed());
    EXPECT_EQ(r.sent, 12);
    EXPECT_TRUE(r.flagsWritten);
    // Bits 7..10 set, bit 11 clear, map mode kept.
    EXPECT_EQ(state.image.wire(params::pn::SecondFlags), 0x0788);
    EXPECT_EQ(state.corrections.lambda, params::kDefaultLambda);
    testing_support::ExpectMatchesGolden("emission_lambda_save", t.str());
}

TEST_F(Emission, SaveStopsAtATextThatIsNoNumberAndKeepsWhatWasSent) {
    auto in = ResetTexts();
    in.texts[3] = "10k";
    const auto r = SaveLambdaSettings(link, state, in);
    ASSERT_TRUE(r.failure.has_value());
    EXPECT_EQ(r.failure->field, 3);
    EXPECT_EQ(r.failure->message, "'10k' is not a valid integer value");
    EXPECT_EQ(r.sent, 3);
    EXPECT_FALSE(r.flagsWritten);
    EXPECT_EQ(state.image.wire(params::pn::SecondFlags), 0x0008);
    // Settings 0..2, three frames each, and nothing else.
    ASSERT_EQ(port.written().size(), 9u);
    EXPECT_EQ(port.written()[6][0], link::code::LambdaSet);
    EXPECT_EQ(port.written()[6][1], 2);
    EXPECT_EQ(state.corrections.lambda[2], 10100);
    EXPECT_EQ(state.corrections.lambda[3], 0);
}

TEST_F(Emission, SwitchItemsOtherThanZeroOrOneLeaveTheirBit) {
    state.image.storeWord(params::pn::SecondFlags, 0x0408);  // bit 10 set
    state.image.refreshShadow(params::FlagsWord::Second);
    auto in = ResetTexts();
    in.switches = {0, 1, 0, 2, -1};  // the empty third item of the injection limit, no choice for bit 11
    ASSERT_TRUE(SaveLambdaSettings(link, state, in).flagsWritten);
    EXPECT_EQ(state.image.wire(params::pn::SecondFlags), 0x0508);
    EXPECT_EQ(LambdaSwitchItems(state.image), (std::array<int, 5>{0, 1, 0, 1, 0}));
}

TEST_F(Emission, AFlagsWordNeverReadIsNotSentOverTheControllersOne) {
    params::ProgramState fresh;
    fresh.image = Image(2, false);
    const auto r = SaveLambdaSettings(link, fresh, ResetTexts());
    EXPECT_EQ(r.sent, 12);
    EXPECT_TRUE(r.flagsUnknown);
    EXPECT_FALSE(r.flagsWritten);
    for (const auto& f : port.written()) EXPECT_NE(f[0], link::code::ParamSet);
    const auto t = SaveTemperatureMap(link, fresh, TemperatureMapTextsOf(fresh));
    EXPECT_TRUE(t.flagsUnknown);
    EXPECT_EQ(t.breakpointsSent, 5);
    for (const auto& f : port.written()) EXPECT_NE(f[0], link::code::ParamSet);
}

TEST_F(Emission, SaveTemperatureMapLimitsAndCorrectsTheFields) {
    TemperatureMapTexts in;
    in.activation = 1;
    in.enrichments = {"0", "10", "150", "-60", "5", "-5"};
    in.breakpoints = {"0", "-5", "30", "40", "120"};
    Transcript t(link);
    const auto r = SaveTemperatureMap(link, state, in, t.progress());
    EXPECT_TRUE(r.sequence.completed());
    EXPECT_TRUE(r.flagsWritten);
    EXPECT_EQ(state.image.wire(params::pn::SecondFlags), 0x0048);
    EXPECT_EQ(r.shown.enrichments, (std::array<std::string, 6>{"0", "10", "100", "-50", "5", "-5"}));
    EXPECT_EQ(r.shown.breakpoints, (std::array<std::string, 5>{"0", "0", "30", "40", "100"}));
    EXPECT_EQ(state.corrections.tempCorr, (std::array<std::uint8_t, 6>{100, 110, 200, 50, 105, 95}));
    EXPECT_EQ(state.corrections.tempPoints, (std::array<std::uint8_t, 5>{0, 0, 30, 40, 100}));
    testing_support::ExpectMatchesGolden("emission_temperature_save", t.str());
}

TEST_F(Emission, TemperatureSaveStopsAtABadFieldAfterTheOnesBefore) {
    TemperatureMapTexts in = TemperatureMapTextsOf(state);
    in.breakpoints[1] = "x";
    const auto r = SaveTemperatureMap(link, state, in);
    ASSERT_TRUE(r.failure.has_value());
    EXPECT_EQ(r.failure->field, kFirstBreakpointField + 1);
    EXPECT_EQ(r.failure->message, "'x' is not a valid integer value");
    EXPECT_EQ(r.enrichmentsSent, 6);
    EXPECT_EQ(r.breakpointsSent, 1);
    // Six enrichments and the first breakpoint went out.
    std::size_t maps = 0;
    for (const auto& f : port.written())
        if (f[0] == link::code::TempCorrSet || f[0] == link::code::TempPointSet) ++maps;
    EXPECT_EQ(maps, 7u);
}

TEST_F(Emission, ResetTranscriptClearsTheSwitchesThenWritesTheMapActivation) {
    state.image.storeWord(params::pn::SecondFlags, 0xFF88);
    state.image.refreshShadow(params::FlagsWord::Second);
    Transcript t(link);
    const auto r = ResetLambdaAndTemperature(link, state, 1, t.progress());
    EXPECT_TRUE(r.sequence.completed());
    EXPECT_TRUE(r.flagsWritten);
    // 0xFF88 without bits 7..11 is 0xF008; with bit 6 0xF048.
    EXPECT_EQ(state.image.wire(params::pn::SecondFlags), 0xF048);
    EXPECT_EQ(state.corrections.lambda, params::kDefaultLambda);
    EXPECT_EQ(state.corrections.tempPoints, params::kDefaultTempPoints);
    testing_support::ExpectMatchesGolden("emission_reset", t.str());
}

TEST_F(Emission, ReadsWithoutAnswerKeepEveryValue) {
    state.corrections.lambda[4] = 77;
    state.corrections.tempPoints[2] = 33;
    state.corrections.tempCorr[5] = 120;
    const auto a = ReadLambdaSettings(link, state);
    const auto b = ReadTemperatureMap(link, state);
    EXPECT_EQ(a.failures(), 12);
    EXPECT_EQ(b.failures(), 11);
    EXPECT_EQ(state.corrections.lambda[4], 77);
    EXPECT_EQ(state.corrections.tempPoints[2], 33);
    EXPECT_EQ(state.corrections.tempCorr[5], 120);
    // One attempt each: 12 + 5 + 6 requests.
    EXPECT_EQ(port.written().size(), 23u);
}

TEST_F(EmissionOnSimulator, AfterAResetTheReadShowsTheResetValues) {
    ASSERT_TRUE(ResetLambdaAndTemperature(link, state, 0).sequence.completed());
    // The read starts from zeros, as the page's state does after start-up.
    params::ProgramState reader;
    reader.image = state.image;
    const auto a = ReadLambdaSettings(link, reader);
    const auto b = ReadTemperatureMap(link, reader);
    EXPECT_EQ(a.failures(), 0);
    EXPECT_EQ(b.failures(), 0);
    EXPECT_EQ(LambdaTextsOf(reader), (std::array<std::string, 12>{"0,75", "0,40", "10100", "10000", "100", "100", "100",
                                                                 "100", "2,0", "12,0", "2000", "5000"}));
    const auto map = TemperatureMapTextsOf(reader);
    EXPECT_EQ(map.breakpoints, (std::array<std::string, 5>{"1", "6", "11", "16", "21"}));
    EXPECT_EQ(map.enrichments, (std::array<std::string, 6>{"0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(map.activation, 0);
    // The lasting store words hold the same, so a power cycle keeps them.
    for (std::size_t i = 0; i < 12; ++i) EXPECT_EQ(controller.stores().corrWords[27 + i], params::kDefaultLambda[i]) << i;
    for (std::size_t n = 0; n < 5; ++n) EXPECT_EQ(controller.stores().corrWords[16 + n], 5 * n + 1) << n;
    for (std::size_t m = 0; m < 6; ++m) EXPECT_EQ(controller.stores().corrWords[21 + m], 100) << m;
    EXPECT_EQ(controller.running().params[47], 0x0008);
}

TEST_F(EmissionOnSimulator, TypedValuesComeBackAsTyped) {
    auto in = ResetTexts();
    in.texts = {"0,75", "0,5", "-20", "9000", "250", "50", "30", "40", "3,5", "8", "1500", "6000"};
    ASSERT_EQ(SaveLambdaSettings(link, state, in).sent, 12);
    TemperatureMapTexts map;
    map.activation = 1;
    map.enrichments = {"-50", "-10", "0", "15", "40", "100"};
    map.breakpoints = {"5", "20", "35", "60", "90"};
    ASSERT_EQ(SaveTemperatureMap(link, state, map).breakpointsSent, 5);

    params::ProgramState reader;
    reader.image = state.image;
    (void)ReadLambdaSettings(link, reader);
    (void)ReadTemperatureMap(link, reader);
    // 0.5 V is 409 counts, shown as 0.49939 V.
    EXPECT_EQ(LambdaTextsOf(reader), (std::array<std::string, 12>{"0,75", "0,50", "-20", "9000", "250", "50", "30", "40",
                                                                 "3,5", "8,0", "1500", "6000"}));
    const auto shown = TemperatureMapTextsOf(reader);
    EXPECT_EQ(shown.enrichments, map.enrichments);
    EXPECT_EQ(shown.breakpoints, map.breakpoints);
    EXPECT_EQ(shown.activation, 1);
    EXPECT_EQ(controller.running().params[47], 0x07C8);  // bits 6..10 and map mode 2
}
