#include "ui/dialogs/map_mode_dialog.h"

namespace sequaflow::ui {

MapModeDialog::MapModeDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm8"));
}

}  // namespace sequaflow::ui
