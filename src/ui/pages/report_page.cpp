#include "ui/pages/report_page.h"

namespace sequaflow::ui {

ReportPage::ReportPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabSheet9"));
}

}  // namespace sequaflow::ui
