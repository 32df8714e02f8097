#pragma once

#include <QDialog>

namespace sequaflow::ui {

// Dialog TForm8; created at start-up with the main window, filled by the work on its part of the program.
class PointEditorDialog final : public QDialog {
    Q_OBJECT
public:
    explicit PointEditorDialog(QWidget* parent = nullptr);
};

}  // namespace sequaflow::ui
