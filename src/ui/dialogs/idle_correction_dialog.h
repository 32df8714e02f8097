#pragma once

#include <QDialog>

namespace sequaflow::ui {

// Dialog TForm11; created at start-up with the main window, filled by the work on its part of the program.
class IdleCorrectionDialog final : public QDialog {
    Q_OBJECT
public:
    explicit IdleCorrectionDialog(QWidget* parent = nullptr);
};

}  // namespace sequaflow::ui
