#include "ui/dialogs/map_value_dialog.h"

namespace sequaflow::ui {

MapValueDialog::MapValueDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm7"));
}

}  // namespace sequaflow::ui
