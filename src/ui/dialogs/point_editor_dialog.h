#pragma once

#include <QDialog>

namespace sequaflow::ui {

// Dialog TForm8; created at start-up with the main window, filled by the work on its part of the program.
class MapModeDialog final : public QDialog {
    Q_OBJECT
public:
    explicit MapModeDialog(QWidget* parent = nullptr);
};

}  // namespace sequaflow::ui
