#pragma once

#include <QDialog>

namespace sequaflow::ui {

// Dialog TForm7; created at start-up with the main window, filled by the work on its part of the program.
class MapValueDialog final : public QDialog {
    Q_OBJECT
public:
    explicit MapValueDialog(QWidget* parent = nullptr);
};

}  // namespace sequaflow::ui
