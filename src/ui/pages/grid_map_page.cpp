#include "ui/pages/grid_map_page.h"

#include "ui/session.h"

namespace sequaflow::ui {

GridMapPage::GridMapPage(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("TabSheet6"));
}

}  // namespace sequaflow::ui
