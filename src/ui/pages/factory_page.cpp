#include "ui/pages/factory_page.h"

#include "ui/session.h"

namespace sequaflow::ui {

FactoryPage::FactoryPage(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("TabSheet8"));
}

}  // namespace sequaflow::ui
