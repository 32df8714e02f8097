#include "ui/dialogs/idle_correction_dialog.h"

namespace sequaflow::ui {

IdleCorrectionDialog::IdleCorrectionDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm11"));
}

}  // namespace sequaflow::ui
