#pragma once

#include <QWidget>

#include "ui/page.h"

namespace sequaflow::ui {

// Page TabSheet6 ("Map [F5]"); its editors arrive with the work on its part of the program.
class GridMapPage final : public QWidget, public Page {
    Q_OBJECT
public:
    explicit GridMapPage(QWidget* parent = nullptr);
};

}  // namespace sequaflow::ui
