#pragma once

#include <QDialog>
#include <array>
#include <cstdint>

class QCheckBox;
class QLineEdit;

namespace sequaflow::ui {

class ParameterControls;

// Dialog TForm11: the extra idle correction for the injectors ticked (V engines). It starts from what the
// controller holds; "Wprowadź" writes the correction and the selection, then the five injector settings
// again; "Anuluj" sends nothing.
class IdleCorrectionDialog final : public QDialog {
    Q_OBJECT
public:
    explicit IdleCorrectionDialog(ParameterControls& controls, QWidget* parent = nullptr);

    // Fills the dialog from the parameter set and shows it.
    void edit();
    // "Wprowadź": true when it was written (the dialog then closes with OK).
    bool apply();

    QLineEdit* correction() const { return correction_; }
    QCheckBox* injector(int k) const { return boxes_[static_cast<std::size_t>(k)]; }

private:
    std::uint8_t selection() const;

    ParameterControls& controls_;
    QLineEdit* correction_;
    std::array<QCheckBox*, 8> boxes_{};
};

}  // namespace sequaflow::ui
