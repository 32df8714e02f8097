#include "ui/pages/errors_page.h"

namespace sequaflow::ui {

ErrorsPage::ErrorsPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabSheet11"));
}

}  // namespace sequaflow::ui
