#include "ui/pages/injector_diag_page.h"

#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace sequaflow::ui {

InjectorDiagPage::InjectorDiagPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabSheet10"));
    auto* layout = new QVBoxLayout(this);
    auto* petrol = new QGroupBox(QStringLiteral("Wtryskiwacze benzynowe"), this);
    petrol->setObjectName(QStringLiteral("GroupBoxInjBenz_Diag"));
    auto* gas = new QGroupBox(QStringLiteral("Wtryskiwacze gazowe"), this);
    gas->setObjectName(QStringLiteral("GroupBoxOdczytyLPGInj_Diag"));
    auto* exit = new QPushButton(QStringLiteral("Wyjście"), this);
    exit->setObjectName(QStringLiteral("ButtonExitDiag"));
    layout->addWidget(petrol);
    layout->addWidget(gas);
    layout->addWidget(exit, 0, Qt::AlignLeft);
    layout->addStretch(1);
}

}  // namespace sequaflow::ui
