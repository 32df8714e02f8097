#pragma once

#include <QDialog>

namespace sequaflow::ui {

// Dialog TForm6; created at start-up with the main window, filled by the work on its part of the program.
class SignalNoiseDialog final : public QDialog {
    Q_OBJECT
public:
    explicit SignalNoiseDialog(QWidget* parent = nullptr);
};

}  // namespace sequaflow::ui
