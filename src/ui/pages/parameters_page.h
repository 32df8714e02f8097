#pragma once

#include <QWidget>

#include "ui/page.h"

namespace sequaflow::ui {

// Page TabSheet3 ("Parametry"); its editors arrive with the work on its part of the program.
class ParametersPage final : public QWidget, public Page {
    Q_OBJECT
public:
    explicit ParametersPage(QWidget* parent = nullptr);
};

}  // namespace sequaflow::ui
