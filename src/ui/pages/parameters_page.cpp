#include "ui/pages/parameters_page.h"

namespace sequaflow::ui {

ParametersPage::ParametersPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabSheet3"));
}

}  // namespace sequaflow::ui
