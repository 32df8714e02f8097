#include "ui/dialogs/tank_sensor_dialog.h"

namespace sequaflow::ui {

TankSensorDialog::TankSensorDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm12"));
}

}  // namespace sequaflow::ui
