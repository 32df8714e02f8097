#pragma once

#include <QWidget>

#include "ui/page.h"

namespace sequaflow::ui {

// Page TabSheetEmisja ("Emisja"); its editors arrive with the work on its part of the program.
class EmissionPage final : public QWidget, public Page {
    Q_OBJECT
public:
    explicit EmissionPage(QWidget* parent = nullptr);
};

}  // namespace sequaflow::ui
