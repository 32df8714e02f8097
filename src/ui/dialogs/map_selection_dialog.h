#pragma once

#include <QDialog>

namespace sequaflow::ui {

// Dialog TForm9; created at start-up with the main window, filled by the work on its part of the program.
class MapSelectionDialog final : public QDialog {
    Q_OBJECT
public:
    explicit MapSelectionDialog(QWidget* parent = nullptr);
};

}  // namespace sequaflow::ui
