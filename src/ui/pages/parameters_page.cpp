#include "ui/pages/parameters_page.h"

#include "ui/session.h"

namespace sequaflow::ui {

ParametersPage::ParametersPage(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("TabSheet3"));
}

}  // namespace sequaflow::ui
