#pragma once

#include <QDialog>

namespace sequaflow::ui {

// Dialog TForm10; created at start-up with the main window, filled by the work on its part of the program.
class InjectorSettingsDialog final : public QDialog {
    Q_OBJECT
public:
    explicit InjectorSettingsDialog(QWidget* parent = nullptr);
};

}  // namespace sequaflow::ui
