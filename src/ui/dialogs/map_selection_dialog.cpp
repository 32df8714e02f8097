#include "ui/dialogs/map_selection_dialog.h"

namespace sequaflow::ui {

MapSelectionDialog::MapSelectionDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm9"));
}

}  // namespace sequaflow::ui
