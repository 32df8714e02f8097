#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <tuple>
#include <vector>

#include "i18n/caption_table.h"
#include "params/setting_keys.h"
#include "support/virtual_link.h"

using namespace sequaflow;
using namespace sequaflow::params;
using testing_support::VirtualLink;

namespace {

const SettingKey& Key(std::string_view name) {
    const SettingKey* k = FindSettingKey(name);
    EXPECT_NE(k, nullptr) << name;
    static const SettingKey kMissing{"missing", -1, KeyKind::Carried, Setting::InjectorType};
    return k ? *k : kMissing;
}

// Every frame that is not a read, as (code, argument, 16-bit value).
using Sent = std::tuple<char, int, int>;
std::vector<Sent> Writes(const VirtualLink& v) {
    std::vector<Sent> out;
    for (const auto& f : v.port.written())
        out.emplace_back(static_cast<char>(f[0]), f[1], f[2] << 8 | f[3]);
    return out;
}

std::vector<Sent> ParamWrite(int n, int value) { return {{'K', n, 0}, {'E', n, value}, {'D', n, value}}; }

// ---- The registry itself ----

TEST(SettingKeys, KeysAreUniqueSnakeCaseAndEveryParameterIsThereOnce) {
    const std::regex snake("[a-z][a-z0-9]*(_[a-z0-9]+)*");
    std::set<std::string_view> keys;
    std::map<int, int> numbers;
    std::set<Setting> settings;
    for (const auto& k : SettingKeys()) {
        EXPECT_TRUE(std::regex_match(std::string(k.key), snake)) << k.key;
        EXPECT_TRUE(keys.insert(k.key).second) << "duplicate key " << k.key;
        if (k.number >= 0) ++numbers[k.number];
        if (k.number < 0) {
            EXPECT_EQ(k.kind, KeyKind::List) << k.key << " has no number and must be a setting";
        }
        if (k.kind == KeyKind::List) {
            EXPECT_TRUE(settings.insert(k.setting).second) << "second key of " << k.key;
        }
    }
    for (int n = 0; n < 64; ++n) EXPECT_EQ(numbers[n], 1) << "parameter " << n;
    EXPECT_EQ(numbers.size(), 64u);
    EXPECT_EQ(static_cast<int>(settings.size()), kSettingCount) << "every list setting has a key";
}

TEST(SettingKeys, FoundByKeyOrNumber) {
    EXPECT_EQ(Key("min_switch_temperature_c").number, 5);
    EXPECT_EQ(Key("switch_speed_rpm").number, 14);
    EXPECT_EQ(Key("return_pressure_bar").number, 18);
    EXPECT_EQ(Key("param_9").kind, KeyKind::Carried);
    EXPECT_EQ(Key("21").key, "ignition_type");
    EXPECT_EQ(Key("0").key, "programmed_marker");
    EXPECT_EQ(Key("63").key, "param_63");
    EXPECT_EQ(Key("injector_type").number, -1);
    for (const char* bad : {"64", "-1", "", "1x", "100", "Ignition_Type", " 5"})
        EXPECT_EQ(FindSettingKey(bad), nullptr) << bad;
}

TEST(SettingKeys, ItemTextsCoverEveryListAndBuildTheNumberedOnes) {
    for (int s = 0; s < kSettingCount; ++s) {
        const auto setting = static_cast<Setting>(s);
        EXPECT_EQ(SettingItemTextCount(setting), SettingItemCount(setting)) << "setting " << s;
    }
    EXPECT_EQ(SettingItemText(Setting::GasCutoff, 0), "Brak");
    EXPECT_EQ(SettingItemText(Setting::GasCutoff, 1), "0 °C");
    EXPECT_EQ(SettingItemText(Setting::GasCutoff, 21), "-20 °C");
    EXPECT_EQ(SettingItemText(Setting::ReducerCutoff, 1), "+10 °C");
    EXPECT_EQ(SettingItemText(Setting::ReducerCutoff, 11), "0 °C");
    EXPECT_EQ(SettingItemText(Setting::ReducerCutoff, 21), "-10 °C");
    EXPECT_EQ(SettingItemText(Setting::PetrolInjectionType, 7), "7 ms");
    EXPECT_EQ(SettingItemText(Setting::TurboBoost, 65), "65");
    EXPECT_EQ(SettingItemText(Setting::TurboBoost, 66), std::nullopt);
    EXPECT_EQ(SettingItemText(Setting::InjectorType, 8), std::nullopt);
    EXPECT_EQ(SettingItemText(Setting::TankSensorType, -1), std::nullopt);
}

// The default texts live here and in the caption table; a language file replaces the table's, so the two
// must name the same items.
TEST(SettingKeys, ItemTextsAgreeWithTheCaptionTable) {
    const std::map<std::string_view, Setting> controls = {
        {"ComboBoxRodzajWtrysku", Setting::InjectorType},
        {"ComboBoxSzkielkoRezerwy", Setting::TankSensorType},
        {"ComboBoxSzkloRosMal", Setting::TankDirection},
        {"ComboBoxCewka", Setting::IgnitionType},
        {"ComboBoxTURBO", Setting::Turbo},
        {"ComboBoxCNGLPG", Setting::Fuel},
        {"ComboBoxRodzajCzTemp", Setting::ReducerSensor},
        {"ComboBoxSygnalObrotow", Setting::SpeedSignalLevel},
        {"ComboBoxMaxRpm", Setting::SpeedLimitOn},
        {"ComboBoxPodcisnienieReduktora", Setting::ReducerVacuum},
        {"ComboBoxRozgrzewanieWtryskiwacza", Setting::InjectorHeating},
        {"ComboBoxSilaRozgrzewaniaWtrysku", Setting::HeatingStrength},
        {"ComboBoxDeltaObrotow", Setting::SwitchMode},
        {"ComboBoxDeltaRpm", Setting::SpeedDrop},
        {"ComboBoxSekPrzelPrzek", Setting::SwitchingSequence},
        {"ComboBoxSondaLambda1", Setting::Lambda1},
        {"ComboBoxSondaLambda2", Setting::Lambda2},
        {"ComboBoxMrozGaz", Setting::GasCutoff},
        {"ComboBoxMrozRed", Setting::ReducerCutoff},
        {"ComboBoxFiltrowanieCisnienia", Setting::PressureFilter},
        {"ComboBoxAlgorytm", Setting::ControlAlgorithm},
        {"ComboBoxMocnoZaawansowane", Setting::ControlSettings},
        {"EditCzasWtryskuPrzyObciazeniu", Setting::PetrolInjectionType},
    };
    int compared = 0;
    for (const auto& row : i18n::CaptionTable()) {
        for (const auto& t : row.targets()) {
            if (t.kind != i18n::TargetKind::ListEntry || t.form != i18n::kMainForm) continue;
            const auto it = controls.find(t.control);
            if (it == controls.end()) continue;
            EXPECT_EQ(SettingItemText(it->second, t.entry), std::string(row.polish)) << t.control << " " << t.entry;
            ++compared;
        }
    }
    EXPECT_GE(compared, 40);
}

// ---- Texts in ----

TEST(SettingKeys, ListTextIsAnIndexOrAnItem) {
    const auto item = [](std::string_view key, std::string_view text) {
        const auto r = ParseSettingText(Key(key), text);
        return r.ok() ? r->item : -100;
    };
    EXPECT_EQ(item("injector_type", "2"), 2);
    EXPECT_EQ(item("injector_type", "Kestra new 2 ohm"), 2);
    EXPECT_EQ(item("injector_type", "  kestra NEW 2 OHM "), 2);
    EXPECT_EQ(item("ignition_type", "3"), 3);
    EXPECT_EQ(item("ignition_type", "DIS"), 1);
    EXPECT_EQ(item("gas_cutoff_temperature", "-5 °C"), 6);
    EXPECT_EQ(item("49", "Brak"), 0);
    EXPECT_EQ(item("reducer_cutoff_temperature", "+1 °C"), 10);
    EXPECT_EQ(item("switching_sequence", "0.4"), 3);
    EXPECT_EQ(item("switching_sequence", "1"), 1);  // a whole number is always the index
    EXPECT_EQ(item("speed_drop", "300 obr./min"), 3);
    EXPECT_EQ(item("turbo_boost", "65"), 65);
    EXPECT_EQ(item("buzzer", "off"), 0);

    for (const auto& [key, text] : std::vector<std::pair<std::string_view, std::string_view>>{
             {"injector_type", "6"},  // a type the list does not hold
             {"injector_type", "-1"},
             {"tank_sensor_type", "3"},
             {"gas_cutoff_temperature", "+5 °C"},
             {"turbo_boost", "66"},
             {"ignition_type", ""},
             {"turbo", "yes"}}) {
        const auto r = ParseSettingText(Key(key), text);
        ASSERT_FALSE(r.ok()) << key << " " << text;
        EXPECT_EQ(r.error().code, SettingError::BadItem) << key << " " << text;
        EXPECT_NE(r.error().detail.find(key), std::string::npos) << r.error().detail;
    }
}

TEST(SettingKeys, EditorSelectionAndCarriedTexts) {
    EXPECT_EQ(ParseSettingText(Key("min_gas_opening_ms"), "2,6")->text, "2,6");
    for (const char* bad : {"", "abc", "2,6x"}) {
        const auto r = ParseSettingText(Key("min_gas_opening_ms"), bad);
        ASSERT_FALSE(r.ok()) << bad;
        EXPECT_EQ(r.error().code, SettingError::NotANumber);
    }
    EXPECT_EQ(ParseSettingText(Key("extra_correction_injectors"), "10100001")->selection, 0x85);
    EXPECT_FALSE(ParseSettingText(Key("extra_correction_injectors"), "1010").ok());
    EXPECT_FALSE(ParseSettingText(Key("extra_correction_injectors"), "10100002").ok());
    const auto carried = ParseSettingText(Key("first_flags"), "5");
    ASSERT_FALSE(carried.ok());
    EXPECT_EQ(carried.error().code, SettingError::NoEditor);
}

// ---- Texts out ----

struct Shown : ::testing::Test {
    ProgramState state;
    void SetUp() override {
        state.decimalSeparator = '.';
        state.readStatus = ReadStatus::Complete;
        state.image.setSlot(pn::IgnitionType, 2);
        state.image.setSlot(pn::SwitchSpeed, 11520);
    }
    ShownSetting Show(std::string_view key) { return ShowSetting(state, Key(key), SpeedTextsOf(state)); }
};

TEST_F(Shown, SignedParametersStaySigned) {
    state.image.storeWord(pn::GasCutoffTemperature, 0xFFEC);
    state.image.storeWord(pn::IdleCorrection, static_cast<std::uint16_t>(-92));
    auto s = Show("gas_cutoff_temperature");
    EXPECT_EQ(s.raw, -20);
    EXPECT_EQ(s.index, 0);
    EXPECT_EQ(s.text, "Brak");
    s = Show("idle_correction_ms");
    EXPECT_EQ(s.raw, -92);
    EXPECT_EQ(s.text, "-0.40");
    EXPECT_EQ(s.index, std::nullopt);
}

TEST_F(Shown, ListsGiveTheirItemAndCarriedWordsNoText) {
    state.image.setSlot(pn::GasCutoffTemperature, -5);
    state.image.setField(field::GasCutoff, 1);
    state.image.setField(field::InjectorType, 8);
    state.image.setSlot(pn::TurboBoost, 135);
    auto s = Show("gas_cutoff_temperature");
    EXPECT_EQ(s.index, 6);
    EXPECT_EQ(s.text, "-5 °C");
    s = Show("injector_type");
    EXPECT_EQ(s.raw, std::nullopt);
    EXPECT_EQ(s.index, 8);
    EXPECT_EQ(s.text, std::nullopt) << "type 8 has no item in the list";
    s = Show("turbo_boost");
    EXPECT_EQ(s.raw, 135);
    EXPECT_EQ(s.text, "35");
    EXPECT_EQ(Show("switch_speed_rpm").text, "600");
    s = Show("second_flags");
    EXPECT_EQ(s.raw, state.image.slot(pn::SecondFlags));
    EXPECT_EQ(s.text, std::nullopt);
}

TEST_F(Shown, InjectorSelectionIsEightCheckBoxesFirstFirst) {
    state.image.setSlot(pn::ExtraCorrectionInjectors, 0x85);
    state.image.refreshShadow(FlagsWord::InjectorSelection);
    EXPECT_EQ(Show("extra_correction_injectors").text, "10100001");
}

// ---- The operations, frame by frame ----

struct SetText : ::testing::Test {
    VirtualLink v;
    ProgramState state;
    void SetUp() override {
        state.decimalSeparator = '.';
        state.readStatus = ReadStatus::Complete;
        state.image.storeWord(pn::IgnitionType, 2);
        state.image.storeWord(pn::FirstFlags, 0x0250);  // injector type 5, tank type 2
        state.image.refreshShadow(FlagsWord::First);
        state.image.storeWord(pn::SwitchSpeed, 11520);  // 600 rpm on "4 Cyl."
        state.image.storeWord(pn::SpeedLimit, 1152);    // 6000 rpm
        // Breakpoints 1000..6000 rpm on "4 Cyl.": 6912000 / rpm.
        const std::uint32_t periods[6] = {6912, 3456, 2304, 1728, 1382, 1152};
        for (int k = 0; k < 6; ++k) state.maps.setPoint(k, periods[k]);
    }
    SettingResult Set(std::string_view key, std::string_view text) {
        return SetSettingText(v.link, state, Key(key), text, SpeedTextsOf(state));
    }
};

TEST_F(SetText, InjectorTypeTwoWritesTheTypeThenItsCatalogueSettings) {
    ASSERT_TRUE(Set("injector_type", "2").ok());
    std::vector<Sent> expected;
    for (const auto& [n, value] : std::vector<std::pair<int, int>>{
             {22, 0x0220},  // type 2 in bits 4..7, the tank bits kept
             {13, 184},     // 0.8 ms x 230.4 = 184.3
             {6, 300},      // 16 % raised to 20 %: 0.2 x 1500
             {7, 576},      // 2.5 ms x 230.4 = 576 exactly
             {2, 529}}) {   // 2.3 ms x 230.4 = 529.9
        const auto w = ParamWrite(n, value);
        expected.insert(expected.end(), w.begin(), w.end());
    }
    EXPECT_EQ(Writes(v), expected);
}

TEST_F(SetText, AnItemGivenByItsTextSendsTheSameAsItsIndex) {
    ASSERT_TRUE(Set("injector_type", "Kestra new 2 ohm").ok());
    const auto byText = Writes(v);
    VirtualLink other;
    ProgramState again = state;
    again.image.storeWord(pn::FirstFlags, 0x0250);
    again.image.refreshShadow(FlagsWord::First);
    ASSERT_TRUE(SetSettingText(other.link, again, Key("injector_type"), "2", SpeedTextsOf(again)).ok());
    EXPECT_EQ(byText, Writes(other));
    ASSERT_FALSE(byText.empty());
    EXPECT_EQ(byText[2], (Sent{'D', 22, 0x0220}));
}

TEST_F(SetText, IgnitionTypeThreeReencodesThePointsAndBothSpeeds) {
    ASSERT_TRUE(Set("ignition_type", "3").ok());
    // "5 Cyl.": period = 230400 / (rpm / 60 x 2.5) = 5529600 / rpm, truncated.
    std::vector<Sent> expected = ParamWrite(21, 3);
    const int periods[6] = {5529, 2764, 1843, 1382, 1105, 921};  // 1000 .. 6000 rpm
    for (int k = 0; k < 6; ++k) {
        expected.push_back({']', k, periods[k]});
        expected.push_back({'>', k, 0});
        expected.push_back({'_', k, periods[k]});
    }
    for (const auto& w : {ParamWrite(14, 9216), ParamWrite(44, 921)}) expected.insert(expected.end(), w.begin(), w.end());
    EXPECT_EQ(Writes(v), expected);
    EXPECT_EQ(state.image.slot(pn::IgnitionType), 3);
    EXPECT_EQ(state.maps.point(0), 5529u);
}

TEST_F(SetText, SignedEditorAndCoupledPressure) {
    ASSERT_TRUE(Set("idle_correction_ms", "-0.4").ok());
    // -0.4 ms x 230.4 = -92.16 -> -92, sent as its 16-bit pattern.
    EXPECT_EQ(Writes(v), ParamWrite(3, 0xFFA4));
    const auto before = v.port.written().size();
    ASSERT_TRUE(Set("return_pressure_bar", "1.15").ok());
    // (1.15 x 1.3438 - 0.202) / 0.00122 = 1101.1 -> 1101; the buzzer pressure 1.20 -> 1156.2 -> 1156.
    const auto all = Writes(v);
    const std::vector<Sent> pressures(all.begin() + static_cast<long>(before), all.end());
    std::vector<Sent> expected = ParamWrite(18, 1101);
    const auto buzzer = ParamWrite(24, 1156);
    expected.insert(expected.end(), buzzer.begin(), buzzer.end());
    EXPECT_EQ(pressures, expected);
}

TEST_F(SetText, RefusedTextsSendNothingAndChangeNothing) {
    const ParameterImage before = state.image;
    for (const auto& [key, text] : std::vector<std::pair<std::string_view, std::string_view>>{
             {"min_gas_opening_ms", "abc"},
             {"injector_type", "9"},
             {"ignition_type", "Cewka"},
             {"first_flags", "1"},
             {"extra_correction_injectors", "12"}}) {
        EXPECT_FALSE(Set(key, text).ok()) << key;
    }
    EXPECT_TRUE(v.port.written().empty());
    for (int n = 0; n < kSlotCount; ++n) EXPECT_EQ(state.image.slot(n), before.slot(n)) << "slot " << n;
}

TEST_F(SetText, GasCutoffItemWritesTheTemperatureThenTheSecondFlagsWord) {
    state.image.storeWord(pn::SecondFlags, 0x0008);
    state.image.refreshShadow(FlagsWord::Second);
    ASSERT_TRUE(Set("gas_cutoff_temperature", "-5 °C").ok());
    const auto w = Writes(v);
    ASSERT_EQ(w.size(), 6u);
    EXPECT_EQ(w[2], (Sent{'D', 49, 0xFFFB}));  // -5
    EXPECT_EQ(w[5], (Sent{'D', 47, 0x000A}));  // bit 1 set beside map mode 2
}

}  // namespace
