#include "ui/dialogs/form7_dialog.h"

namespace sequaflow::ui {

Form7Dialog::Form7Dialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm7"));
}

}  // namespace sequaflow::ui
