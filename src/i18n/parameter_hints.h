#pragma once

#include <array>
#include <string>
#include <string_view>

#include "i18n/message_ids.h"

namespace sequaflow::i18n {

class MessageStore;

// A parameter control whose hint is its help text, some with an advisory range in front.
struct ParameterHint {
    std::string_view control;  // objectName on the main window
    std::string_view low;      // empty: no range
    std::string_view high;
    int textId;
};

inline constexpr std::array<ParameterHint, 16> kParameterHints{{
    {"EditMinTempPrzel", "-20", "+80", msg::HelpSwitchTemperature},
    {"EditRPMprzelNaLPG", "500", "3000", msg::HelpSwitchSpeed},
    {"EditOnTimeToInjTime", "1", "1000", msg::HelpGasOnDelay},
    {"EditWspolneCykle", "0", "50", msg::HelpCommonCycles},
    {"EditMaxRpm", "3000", "8000", msg::HelpSpeedLimit},
    {"EditCisnienieWylaczenia", "0.6", "1.8", msg::HelpReturnPressure},
    {"EditCzasPowrotuNaBenz", "0.1", "5.0", msg::HelpReturnDelay},
    {"ComboBoxCewka", "", "", msg::HelpIgnition},
    {"ComboBoxTURBO", "", "", msg::HelpTurbo},
    {"ComboBoxSygnalObrotow", "", "", msg::HelpSpeedSignalLevel},
    {"EditCzasWtryskuPrzyObciazeniu", "", "", msg::HelpPetrolInjectionType},
    {"ComboBoxSondaLambda1", "", "", msg::HelpLambda1},
    {"ComboBoxSondaLambda2", "", "", msg::HelpLambda2},
    {"ComboBoxRodzajWtrysku", "", "", msg::HelpInjectorType},
    {"ComboBoxSzkielkoRezerwy", "", "", msg::HelpTankSensor},
    {"ComboBoxMaxRpm", "", "", msg::HelpSpeedLimitOn},
}};

inline constexpr int kHintWidth = 40;

// Breaks the text at the first space after column `width`, counting characters; the column restarts only
// at such a break, not at a line break already in the text.
[[nodiscard]] std::string WrapHintText(std::string_view text, int width);

// The finished hint of one control from the current texts: "[low -:- high]", a line break and the help
// text, or the help text alone, wrapped at kHintWidth.
[[nodiscard]] std::string BuildParameterHint(const ParameterHint& hint, const MessageStore& store);

}  // namespace sequaflow::i18n
