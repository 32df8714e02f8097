#pragma once

#include <QDialog>
#include <array>

class QLineEdit;

namespace sequaflow::ui {

class ParameterControls;

// Dialog TForm10 ("Ustawienie wtryskiwaczy"): the five settings of an injector the catalogue does not
// hold. It edits the main window's injector editors: a field left is copied there at once (nothing sent);
// OK writes all five, Cancel sends nothing.
class InjectorSettingsDialog final : public QDialog {
    Q_OBJECT
public:
    explicit InjectorSettingsDialog(ParameterControls& controls, QWidget* parent = nullptr);

    // Fills the fields from the main window's editors, shows the dialog and writes on OK.
    void edit();
    // What OK does: the fields into the main window's editors, then the five settings written.
    void save();
    QLineEdit* field(int param) const;

private:
    void copyOut(int index);

    ParameterControls& controls_;
    std::array<QLineEdit*, 5> fields_{};
};

}  // namespace sequaflow::ui
