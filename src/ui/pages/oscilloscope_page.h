#pragma once

#include <QWidget>

#include "ui/page.h"

namespace sequaflow::ui {

// Page TabSheet2 ("Oscyloskopy"); its editors arrive with the work on its part of the program.
class OscilloscopePage final : public QWidget, public Page {
    Q_OBJECT
public:
    explicit OscilloscopePage(QWidget* parent = nullptr);
};

}  // namespace sequaflow::ui
