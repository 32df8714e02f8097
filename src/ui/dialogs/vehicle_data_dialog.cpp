#include "ui/dialogs/vehicle_data_dialog.h"

namespace sequaflow::ui {

VehicleDataDialog::VehicleDataDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm5"));
}

}  // namespace sequaflow::ui
