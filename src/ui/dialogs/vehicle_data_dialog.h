#pragma once

#include <QDialog>

namespace sequaflow::ui {

// Dialog TForm5; created at start-up with the main window, filled by the work on its part of the program.
class VehicleDataDialog final : public QDialog {
    Q_OBJECT
public:
    explicit VehicleDataDialog(QWidget* parent = nullptr);
};

}  // namespace sequaflow::ui
