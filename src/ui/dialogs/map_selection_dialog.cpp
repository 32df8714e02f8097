#include "ui/dialogs/form9_dialog.h"

namespace sequaflow::ui {

Form9Dialog::Form9Dialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm9"));
}

}  // namespace sequaflow::ui
