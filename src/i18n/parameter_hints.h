#pragma once

#include <array>
#include <string>
#include <string_view>

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
    {"EditMinTempPrzel", "-20", "+80", 11004},
    {"EditRPMprzelNaLPG", "500", "3000", 11005},
    {"EditOnTimeToInjTime", "1", "1000", 11027},
    {"EditWspolneCykle", "0", "50", 11006},
    {"EditMaxRpm", "3000", "8000", 11009},
    {"EditCisnienieWylaczenia", "0.6", "1.8", 11022},
    {"EditCzasPowrotuNaBenz", "0.1", "5.0", 11023},
    {"ComboBoxCewka", "", "", 11001},
    {"ComboBoxTURBO", "", "", 11016},
    {"ComboBoxSygnalObrotow", "", "", 11017},
    {"EditCzasWtryskuPrzyObciazeniu", "", "", 11021},
    {"ComboBoxSondaLambda1", "", "", 11013},
    {"ComboBoxSondaLambda2", "", "", 11014},
    {"ComboBoxRodzajWtrysku", "", "", 11000},
    {"ComboBoxSzkielkoRezerwy", "", "", 11011},
    {"ComboBoxMaxRpm", "", "", 11010},
}};

inline constexpr int kHintWidth = 40;

// Breaks the text at the first space after column `width`, counting characters; the column restarts only
// at such a break, not at a line break already in the text.
[[nodiscard]] std::string WrapHintText(std::string_view text, int width);

// The finished hint of one control from the current texts: "[low -:- high]", a line break and the help
// text, or the help text alone, wrapped at kHintWidth.
[[nodiscard]] std::string BuildParameterHint(const ParameterHint& hint, const MessageStore& store);

}  // namespace sequaflow::i18n
