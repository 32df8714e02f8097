#include "ui/dialogs/point_editor_dialog.h"

namespace sequaflow::ui {

PointEditorDialog::PointEditorDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm8"));
}

}  // namespace sequaflow::ui
