#pragma once

#include <array>
#include <functional>
#include <string_view>

namespace sequaflow::i18n {

struct ComboRef {
    std::string_view form;
    std::string_view control;
};

// The drop-down lists whose selected entry must survive a language change (their entries are replaced).
inline constexpr std::array<ComboRef, 33> kKeptComboBoxes{{
    {"TForm1", "ComboBoxOscyloskopWtryskBenzynowy"}, {"TForm1", "ComboBoxOscyloskopWtryskGazowy"},
    {"TForm1", "ComboBoxOscyloskopParametry"},       {"TForm1", "ComboBoxMapa"},
    {"TForm1", "ComboBoxSzkielkoRezerwy"},           {"TForm1", "ComboBoxSondaLambda1"},
    {"TForm1", "ComboBoxSondaLambda2"},              {"TForm1", "ComboBoxRodzajWtrysku"},
    {"TForm1", "ComboBoxCewka"},                     {"TForm1", "EditCzasWtryskuPrzyObciazeniu"},
    {"TForm1", "ComboBoxDeltaObrotow"},              {"TForm1", "ComboBoxMaxRpm"},
    {"TForm1", "ComboBoxRodzajCzTemp"},              {"TForm1", "ComboBoxTURBO"},
    {"TForm1", "ComboBoxCNGLPG"},                    {"TForm1", "ComboBoxSygnalObrotow"},
    {"TForm1", "ComboBoxPodcisnienieReduktora"},     {"TForm1", "ComboBoxRozgrzewanieWtryskiwacza"},
    {"TForm1", "ComboBoxSilaRozgrzewaniaWtrysku"},   {"TForm1", "ComboBoxMrozGaz"},
    {"TForm1", "ComboBoxMrozRed"},                   {"TForm1", "ComboBoxFiltrowanieCisnienia"},
    {"TForm1", "ComboBoxBuzzer"},                    {"TForm1", "ComboBoxDeltaRpm"},
    {"TForm1", "ComboBoxFiltr"},                     {"TForm5", "ComboBox2"},
    {"TForm12", "ComboBoxSzkloRosMal"},              {"TForm1", "ComboBoxMapaTemp"},
    {"TForm1", "ComboBoxFiltrIner"},                 {"TForm1", "ComboBoxInercLambda"},
    {"TForm1", "ComboBoxWolnozmienna"},              {"TForm1", "ComboBoxInercRPM"},
    {"TForm1", "ComboBoxObcKorekt"},
}};

// Remembers the selected index of each kept list across a language change. Restoring only selects;
// the caller must not treat it as a user change (nothing is written to the controller).
class ComboIndexMemory {
public:
    using Reader = std::function<int(const ComboRef&)>;
    using Selector = std::function<void(const ComboRef&, int index)>;

    void save(const Reader& currentIndex);
    void restore(const Selector& select) const;
    [[nodiscard]] int saved(std::size_t i) const { return indices_[i]; }

private:
    std::array<int, kKeptComboBoxes.size()> indices_{};
    bool saved_ = false;
};

}  // namespace sequaflow::i18n
