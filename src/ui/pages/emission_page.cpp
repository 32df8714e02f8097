#include "ui/pages/emission_page.h"

namespace sequaflow::ui {

EmissionPage::EmissionPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabSheetEmisja"));
}

}  // namespace sequaflow::ui
