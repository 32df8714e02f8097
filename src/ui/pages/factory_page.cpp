#include "ui/pages/factory_page.h"

namespace sequaflow::ui {

FactoryPage::FactoryPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabSheet8"));
}

}  // namespace sequaflow::ui
