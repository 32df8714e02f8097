#include "ui/pages/report_page.h"

#include "ui/session.h"

namespace sequaflow::ui {

ReportPage::ReportPage(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("TabSheet9"));
}

}  // namespace sequaflow::ui
