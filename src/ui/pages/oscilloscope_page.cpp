#include "ui/pages/oscilloscope_page.h"

namespace sequaflow::ui {

OscilloscopePage::OscilloscopePage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabSheet2"));
}

}  // namespace sequaflow::ui
