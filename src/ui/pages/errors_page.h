#pragma once

#include <QWidget>

#include "ui/page.h"

namespace sequaflow::ui {

// Page TabSheet11 ("Błędy"); its editors arrive with the work on its part of the program.
class ErrorsPage final : public QWidget, public Page {
    Q_OBJECT
public:
    explicit ErrorsPage(QWidget* parent = nullptr);
};

}  // namespace sequaflow::ui
