#pragma once

#include <QWidget>

#include "ui/page.h"

namespace sequaflow::ui {

// Page TabSheet9 ("Odczyt konfiguracji (F10)"); its editors arrive with the work on its part of the program.
class ReportPage final : public QWidget, public Page {
    Q_OBJECT
public:
    explicit ReportPage(QWidget* parent = nullptr);
};

}  // namespace sequaflow::ui
