#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diag/error_list.h"
#include "diag/injector_test.h"
#include "diag/work_time.h"
#include "i18n/message_ids.h"
#include "i18n/message_store.h"
#include "link/commands.h"
#include "params/parameter_numbers.h"
#include "params/fake_ecu.h"
#include "support/transcript.h"
#include "support/virtual_link.h"

using namespace sequaflow;
using namespace sequaflow::diag;
namespace msg = i18n::msg;

namespace {

diag::TextLookup Polish() {
    static const i18n::MessageStore store;
    return [](int id) { return std::string(store.text(id)); };
}

std::vector<std::string> Lines(std::uint16_t current, std::uint16_t stored, std::uint16_t injectors) {
    return MemoLines(BuildErrorMemo(BuildErrorList(current, stored, injectors)), Polish());
}

std::vector<int> Numbers(const std::vector<FaultEntry>& entries) {
    std::vector<int> n;
    for (const auto& e : entries) n.push_back(e.number);
    return n;
}

}  // namespace

// ---- The fault list ----

TEST(ErrorList, TextIdsAreTheSystemTexts) {
    const int current[] = {msg::FaultPressureLow, msg::FaultPressureHigh, msg::FaultPressureSensorShorted,
                           msg::FaultPressureSensorOpen, msg::FaultReducerSensorShorted, msg::FaultReducerSensorOpen,
                           msg::FaultGasSensorShorted, msg::FaultGasSensorOpen, msg::FaultGasTooCold,
                           msg::FaultReducerTooCold, msg::FaultGasInjector, msg::FaultNoPetrolSignal};
    for (std::size_t i = 0; i < kFaults.size(); ++i) {
        EXPECT_EQ(kFaults[i].number, static_cast<int>(i) + 1);
        EXPECT_EQ(kFaults[i].currentTextId, current[i]) << "fault " << i + 1;
    }
    EXPECT_EQ(kFaults[11].storedTextId, msg::FaultPetrolInjector);
    EXPECT_EQ(kFaults[10].storedTextId, msg::FaultGasInjector);
    EXPECT_EQ(text::Status, msg::StatusHeading);
    EXPECT_EQ(text::ErrorsPresent, msg::ErrorsPresent);
    EXPECT_EQ(text::StoredErrors, msg::StoredErrors);
    EXPECT_EQ(text::NoErrors, msg::NoErrors);
    EXPECT_EQ(LampCaptionId(true), msg::Fault);
    EXPECT_EQ(LampCaptionId(false), msg::Healthy);
    EXPECT_EQ(text::PetrolWorkTime, msg::PetrolWorkTime);
    EXPECT_EQ(text::Days, msg::Days);
    EXPECT_EQ(text::Hours, msg::Hours);
    EXPECT_EQ(text::Minutes, msg::Minutes);
    EXPECT_EQ(text::Seconds, msg::Seconds);
    EXPECT_EQ(text::GasShare, msg::GasTimePercent);
    EXPECT_EQ(text::PetrolShare, msg::PetrolTimePercent);
    EXPECT_EQ(SwitchCaptionId(false), msg::InjectorOn);
    EXPECT_EQ(SwitchCaptionId(true), msg::InjectorOff);
    EXPECT_EQ(text::InjectorsWarning, msg::InjectorsWarning);
    EXPECT_EQ(text::InjectorsSwitchedOff, msg::InjectorsSwitchedOff);
}

TEST(ErrorList, BitsEightAndNineAreSwappedAndListedInFaultOrder) {
    EXPECT_EQ(Lines(0x0100, 0, 0)[4], "10: Zbyt niska temperatura reduktora");
    EXPECT_EQ(Lines(0x0200, 0, 0)[4], "9: Zbyt niska temperatura gazu");
    const auto both = BuildErrorList(0x0300, 0x0301, 0);
    EXPECT_EQ(Numbers(both.current), (std::vector<int>{9, 10}));
    EXPECT_EQ(Numbers(both.stored), (std::vector<int>{1, 9, 10}));
}

TEST(ErrorList, InjectorNumbersStandBelowThePresentFaultOnly) {
    // Fault 11 with gas injectors 1 and 3, fault 12 with petrol injector 8; the stored list names none.
    EXPECT_EQ(Lines(0x0C00, 0x0C00, 0x8005),
              (std::vector<std::string>{"Status", "", "Wystąpiły Błędy ! :", "", "11: Wtryskiwacz Gazowy Uszkodzony:",
                                        "1", "3", "", "12: Brak Sygnału wtryskiwacza Benzynowego:", "8", "",
                                        "Stare Zapamiętane BŁĘDY:", "", "11: Wtryskiwacz Gazowy Uszkodzony:", "",
                                        "12: Wtryskiwacz Benzynowy Uszkodzony:", ""}));
    // Without damaged injectors the text stands alone.
    EXPECT_EQ(Lines(0x0400, 0, 0),
              (std::vector<std::string>{"Status", "", "Wystąpiły Błędy ! :", "", "11: Wtryskiwacz Gazowy Uszkodzony:",
                                        "", "Stare Zapamiętane BŁĘDY:", ""}));
    const auto list = BuildErrorList(0, 0, 0x8005);
    EXPECT_EQ(list.gasInjectors, (std::vector<int>{1, 3}));
    EXPECT_EQ(list.petrolInjectors, (std::vector<int>{8}));
    EXPECT_FALSE(list.any) << "injector bits alone are no fault";
}

TEST(ErrorList, StoredOnlyAndUnusedBitsStillMakeARedList) {
    const auto memo = BuildErrorMemo(BuildErrorList(0, 0x0002, 0));
    EXPECT_TRUE(memo.red);
    EXPECT_EQ(MemoLines(memo, Polish()),
              (std::vector<std::string>{"Status", "", "Wystąpiły Błędy ! :", "", "Stare Zapamiętane BŁĘDY:", "",
                                        "2: Za wysokie cisnienie reduktora", ""}));
    for (std::uint16_t bits : {std::uint16_t{0x1000}, std::uint16_t{0x8000}}) {
        const auto unused = BuildErrorMemo(BuildErrorList(bits, 0, 0));
        EXPECT_TRUE(unused.red);
        EXPECT_EQ(MemoLines(unused, Polish()),
                  (std::vector<std::string>{"Status", "", "Wystąpiły Błędy ! :", "", "Stare Zapamiętane BŁĘDY:", ""}));
        EXPECT_TRUE(BuildErrorList(0, bits, 0).any);
    }
}

TEST(ErrorList, NoFaultsAndTheClearedListAreBlack) {
    const std::vector<std::string> none = {"Status", "", "Brak Błędów", ""};
    const auto memo = BuildErrorMemo(BuildErrorList(0, 0, 0x0F0F));
    EXPECT_FALSE(memo.red);
    EXPECT_EQ(MemoLines(memo, Polish()), none);
    EXPECT_FALSE(ClearedErrorMemo().red);
    EXPECT_EQ(MemoLines(ClearedErrorMemo(), Polish()), none);
}

TEST(ErrorList, TakesTheWordsOfTheLiveFrame) {
    live::LiveWords w{};
    w[22] = 0x0001;
    w[27] = 0x0080;
    w[31] = 0x0200;
    w[21] = 0xFFFF;  // a neighbour that must not be taken for one of them
    const auto list = BuildErrorList(w);
    EXPECT_EQ(Numbers(list.current), std::vector<int>{1});
    EXPECT_EQ(Numbers(list.stored), std::vector<int>{8});
    EXPECT_EQ(list.petrolInjectors, std::vector<int>{2});
    EXPECT_TRUE(list.gasInjectors.empty());
}

TEST(ErrorList, ClearErrorsIsOneFixedFrame) {
    testing_support::VirtualLink v;
    link::ClearErrors(v.link);
    ASSERT_EQ(v.port.written().size(), 1u);
    EXPECT_EQ(v.port.written()[0], (link::Frame{0x58, 0x00, 0x00, 0x00, 0x58, 0x3A}));
}

// ---- Work time ----

TEST(WorkTime, SplitsIntoDaysHoursMinutesSeconds) {
    const auto one = SplitSeconds(90061);
    EXPECT_EQ(one.days, 1u);
    EXPECT_EQ(one.hours, 1u);
    EXPECT_EQ(one.minutes, 1u);
    EXPECT_EQ(one.seconds, 1u);
    const auto most = SplitSeconds(4294967295u);
    EXPECT_EQ(most.days, 49710u);
    EXPECT_EQ(most.hours, 6u);
    EXPECT_EQ(most.minutes, 28u);
    EXPECT_EQ(most.seconds, 15u);
    const auto zero = SplitSeconds(0);
    EXPECT_EQ(zero.days + zero.hours + zero.minutes + zero.seconds, 0u);
    const auto justUnder = SplitSeconds(86399);
    EXPECT_EQ(justUnder.days, 0u);
    EXPECT_EQ(justUnder.hours, 23u);
    EXPECT_EQ(justUnder.minutes, 59u);
    EXPECT_EQ(justUnder.seconds, 59u);
}

TEST(WorkTime, SharesWithoutDivisionByZero) {
    const auto w = ComputeWorkTime(1, 3);
    EXPECT_FLOAT_EQ(w.gasShare, 75.0f);
    EXPECT_FLOAT_EQ(w.petrolShare, 25.0f);
    // Nothing counted: the counts as they are and no share for either fuel.
    const auto none = ComputeWorkTime(0, 0);
    EXPECT_EQ(none.petrol.seconds, 0u);
    EXPECT_EQ(none.gas.seconds, 0u);
    EXPECT_EQ(none.gasShare, 0.0f);
    EXPECT_EQ(none.petrolShare, 0.0f);
    // Never on petrol: all of it on gas.
    const auto gasOnly = ComputeWorkTime(0, 500);
    EXPECT_FLOAT_EQ(gasOnly.gasShare, 100.0f);
    EXPECT_EQ(gasOnly.petrolShare, 0.0f);
    // Both counts at their largest: the sum does not overflow.
    const auto full = ComputeWorkTime(4294967295u, 4294967295u);
    EXPECT_FLOAT_EQ(full.gasShare, 50.0f);
}

TEST(WorkTime, BoxTextWithItsSpacesAndTheDecimalSeparator) {
    const auto text = WorkTimeText(ComputeWorkTime(90061, 30020), Polish(), ',');
    EXPECT_EQ(text,
              "Czas pracy na benzynie:\nDoby: 1\nGodziny: 1\nMinuty: 1\nSekundy: 1\n\n"
              "Procentowy czas pracy na gazie: \nDoby: 0\nGodziny: 8\nMinuty: 20\nSekundy: 20\n\n"
              "Procentowy czas pracy na gazie:       25,00%\n\n"
              "Procentowy czas pracy na benzynie:  75,00%");
    const auto zero = WorkTimeText(ComputeWorkTime(0, 0), Polish(), '.');
    EXPECT_NE(zero.find("Sekundy: 0\n\nProcentowy czas pracy na gazie: \n"), std::string::npos) << zero;
    EXPECT_NE(zero.find("gazie:       0.00%\n\nProcentowy czas pracy na benzynie:  0.00%"), std::string::npos) << zero;
    EXPECT_EQ(ShareText(2.0f / 3.0f * 100.0f, ','), "66,67");
}

namespace {

struct WorkTimeRig {
    testing_support::VirtualLink v;
    testing_support::FakeEcu ecu;
    WorkTimeRig() { ecu.attach(v.port); }
};

}  // namespace

TEST(WorkTime, ReadTakesOnlyValidAnswersAndMatchesItsTranscript) {
    WorkTimeRig rig;
    rig.ecu.params[35] = 0x0001;
    rig.ecu.params[36] = 0x5F91;  // 90001
    rig.ecu.params[37] = 0x0000;
    rig.ecu.params[38] = 0x0E10;  // 3600
    params::ParameterImage image;
    testing_support::Transcript t(rig.v.link);
    const auto read = ReadWorkTime(rig.v.link, image);
    EXPECT_TRUE(read.complete());
    testing_support::ExpectMatchesGolden("diag_work_time_read", t.str());
    const auto w = WorkTimeOf(image);
    EXPECT_EQ(w.petrol.totalSeconds, 90001u);
    EXPECT_EQ(w.gas.totalSeconds, 3600u);

    // A reply naming another parameter and a silent one leave the image's values as they were.
    rig.ecu.params[36] = 0x0002;
    rig.ecu.params[37] = 0x0007;
    rig.ecu.wrongEcho.insert(36);
    rig.ecu.silent.insert({link::code::ParamRead, 37});
    const auto second = ReadWorkTime(rig.v.link, image);
    EXPECT_EQ(second.answered, 2);
    EXPECT_EQ(image.wire(36), 0x5F91);
    EXPECT_EQ(image.wire(37), 0x0000);
}

TEST(WorkTime, ResetsSelectAndStoreBothWordsBeforeSettingEither) {
    WorkTimeRig rig;
    rig.ecu.params[37] = 9;
    rig.ecu.params[38] = 9;
    params::ParameterImage image;
    image.storeWord(37, 5);
    testing_support::Transcript t(rig.v.link);
    ResetWorkTime(rig.v.link, WorkTimeCounter::Gas);
    testing_support::ExpectMatchesGolden("diag_work_time_reset_gas", t.str());
    EXPECT_EQ(rig.ecu.params[37], 0);
    EXPECT_EQ(rig.ecu.params[38], 0);
    EXPECT_EQ(image.wire(37), 5) << "the reset leaves the tool's copy alone";

    rig.v.port.setResponder({});
    const auto before = rig.v.port.written().size();
    ResetWorkTime(rig.v.link, WorkTimeCounter::Petrol);
    const auto& w = rig.v.port.written();
    ASSERT_EQ(w.size(), before + 6);
    const std::vector<link::Frame> petrol = {
        {0x4B, 35, 0, 0, 0x6E, 0x3A}, {0x45, 35, 0, 0, 0x68, 0x3A}, {0x4B, 36, 0, 0, 0x6F, 0x3A},
        {0x45, 36, 0, 0, 0x69, 0x3A}, {0x44, 35, 0, 0, 0x67, 0x3A}, {0x44, 36, 0, 0, 0x68, 0x3A}};
    for (std::size_t i = 0; i < petrol.size(); ++i) EXPECT_EQ(w[before + i], petrol[i]) << i;
}

// ---- Injector test ----

TEST(InjectorTest, ToggleSendsTheWholeWordWithItsHighByte) {
    testing_support::VirtualLink v;
    v.link.setConnected(true);
    std::uint16_t word = 0xA500;
    ASSERT_TRUE(ToggleInjectorTest(v.link, word, 3));
    EXPECT_EQ(word, 0xA504);
    EXPECT_TRUE(InjectorSwitchedOff(word, 3));
    ASSERT_TRUE(ToggleInjectorTest(v.link, word, 3));
    EXPECT_EQ(word, 0xA500);
    EXPECT_FALSE(InjectorSwitchedOff(word, 3));
    ASSERT_EQ(v.port.written().size(), 2u);
    EXPECT_EQ(v.port.written()[0], (link::Frame{0x4F, 0x00, 0xA5, 0x04, 0xF8, 0x3A}));
    EXPECT_EQ(v.port.written()[1], (link::Frame{0x4F, 0x00, 0xA5, 0x00, 0xF4, 0x3A}));

    // Injector 8 is the top bit of the low byte; no number outside 1..8 touches the word.
    word = 0;
    ASSERT_TRUE(ToggleInjectorTest(v.link, word, 8));
    EXPECT_EQ(word, 0x0080);
    EXPECT_FALSE(ToggleInjectorTest(v.link, word, 9));
    EXPECT_FALSE(ToggleInjectorTest(v.link, word, 0));
    EXPECT_EQ(word, 0x0080);
}

TEST(InjectorTest, NothingSentAndNothingChangedWithoutAController) {
    testing_support::VirtualLink v;  // port open, nobody identified
    std::uint16_t word = 0x0004;
    EXPECT_FALSE(ToggleInjectorTest(v.link, word, 1));
    EXPECT_EQ(word, 0x0004);
    EXPECT_TRUE(v.port.written().empty());
}

TEST(InjectorTest, LeaveWarningKeepsItsSpaces) {
    EXPECT_EQ(SwitchedOffInjectors(0xFF12), (std::vector<int>{2, 5}));
    EXPECT_EQ(LeaveWarningText(SwitchedOffInjectors(0x0012), Polish()),
              "Uwaga wtryskiwacz(e) 2 5  zostały wyłączone, kontynuować");
    EXPECT_EQ(LeaveWarningText(SwitchedOffInjectors(0xFF00), Polish()), "");
}
