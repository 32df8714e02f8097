#include "ui/dialogs/injector_settings_dialog.h"

namespace sequaflow::ui {

InjectorSettingsDialog::InjectorSettingsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm10"));
}

}  // namespace sequaflow::ui
