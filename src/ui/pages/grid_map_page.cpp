#include "ui/pages/grid_map_page.h"

namespace sequaflow::ui {

GridMapPage::GridMapPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabSheet6"));
}

}  // namespace sequaflow::ui
