#pragma once

#include <QDialog>

namespace sequaflow::ui {

// Dialog TForm15; created at start-up with the main window, filled by the work on its part of the program.
class TurboDialog final : public QDialog {
    Q_OBJECT
public:
    explicit TurboDialog(QWidget* parent = nullptr);
};

}  // namespace sequaflow::ui
