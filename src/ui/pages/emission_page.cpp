#include "ui/pages/emission_page.h"

#include "ui/session.h"

namespace sequaflow::ui {

EmissionPage::EmissionPage(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("TabSheetEmisja"));
}

}  // namespace sequaflow::ui
