#pragma once

#include <QWidget>

#include "ui/page.h"

namespace sequaflow::ui {

// Page TabSheet8 ("Fabr.[F12]"); its editors arrive with the work on its part of the program.
class FactoryPage final : public QWidget, public Page {
    Q_OBJECT
public:
    explicit FactoryPage(QWidget* parent = nullptr);
};

}  // namespace sequaflow::ui
