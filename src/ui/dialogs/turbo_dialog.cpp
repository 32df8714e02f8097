#include "ui/dialogs/turbo_dialog.h"

namespace sequaflow::ui {

TurboDialog::TurboDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm15"));
}

}  // namespace sequaflow::ui
