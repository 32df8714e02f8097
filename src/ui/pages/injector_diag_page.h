#pragma once

#include <QWidget>

#include "ui/page.h"

namespace sequaflow::ui {

// TabSheet10: injector diagnostics; the switches and times sit on the right-hand panel beside it.
class InjectorDiagPage final : public QWidget, public Page {
    Q_OBJECT
public:
    explicit InjectorDiagPage(QWidget* parent = nullptr);
};

}  // namespace sequaflow::ui
