#include "ui/pages/standard_map_page.h"

#include "ui/session.h"

namespace sequaflow::ui {

StandardMapPage::StandardMapPage(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("TabSheet7"));
}

}  // namespace sequaflow::ui
