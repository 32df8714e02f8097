#include "ui/pages/advanced_page.h"

#include "ui/session.h"

namespace sequaflow::ui {

AdvancedPage::AdvancedPage(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("TabSheet4"));
}

}  // namespace sequaflow::ui
