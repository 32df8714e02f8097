#include "ui/pages/errors_page.h"

#include "ui/session.h"

namespace sequaflow::ui {

ErrorsPage::ErrorsPage(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("TabSheet11"));
}

}  // namespace sequaflow::ui
