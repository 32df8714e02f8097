#include "ui/dialogs/form14_dialog.h"

namespace sequaflow::ui {

Form14Dialog::Form14Dialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm14"));
}

}  // namespace sequaflow::ui
