#pragma once

#include <QDialog>

namespace sequaflow::ui {

// Dialog TForm12; created at start-up with the main window, filled by the work on its part of the program.
class TankSensorDialog final : public QDialog {
    Q_OBJECT
public:
    explicit TankSensorDialog(QWidget* parent = nullptr);
};

}  // namespace sequaflow::ui
