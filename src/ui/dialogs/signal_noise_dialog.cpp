#include "ui/dialogs/form6_dialog.h"

namespace sequaflow::ui {

Form6Dialog::Form6Dialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm6"));
}

}  // namespace sequaflow::ui
