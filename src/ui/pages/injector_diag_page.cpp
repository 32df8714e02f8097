#include "ui/pages/injector_diag_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "diag/injector_test.h"
#include "live/live_frame.h"
#include "ui/configuration_model.h"
#include "ui/fields.h"
#include "ui/live_feed.h"

namespace sequaflow::ui {

namespace {

QGroupBox* TimesGroup(const char* name, const QString& caption, const char* fieldPrefix,
                      std::array<QLineEdit*, 8>& fields, QWidget* parent) {
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    auto* grid = new QGridLayout(box);
    for (int c = 0; c < 8; ++c) {
        grid->addWidget(new QLabel(QString::number(c + 1), box), 0, c);
        auto* field = MakeValueField(QStringLiteral("%1%2").arg(QLatin1String(fieldPrefix)).arg(c + 1), box);
        grid->addWidget(field, 1, c);
        fields[static_cast<std::size_t>(c)] = field;
    }
    return box;
}

}  // namespace

InjectorDiagPage::InjectorDiagPage(const ConfigurationModel& model, const LiveFeed& feed,
                                   const i18n::MessageStore& messages, QWidget* parent)
    : QWidget(parent), model_(model), feed_(feed), messages_(messages) {
    setObjectName(QStringLiteral("TabSheet10"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TimesGroup("GroupBoxInjBenz_Diag", QStringLiteral("Czas Wtrysku Benz."), "EditDiagBenz", petrol_, this));
    layout->addWidget(TimesGroup("GroupBoxOdczytyLPGInj_Diag", QStringLiteral("Czas Wtrysku LPG"), "EditDiagLpg", gas_, this));
    auto* exit = new QPushButton(QStringLiteral("Wyjscie"), this);
    exit->setObjectName(QStringLiteral("ButtonExitDiag"));
    layout->addWidget(exit, 0, Qt::AlignLeft);
    layout->addStretch(1);
    connect(exit, &QPushButton::clicked, this, &InjectorDiagPage::exitPage);
    connect(&feed_, &LiveFeed::frameAccepted, this, &InjectorDiagPage::showTimes);
}

void InjectorDiagPage::showTimes() {
    const auto& v = feed_.view();
    for (std::size_t c = 0; c < 8; ++c) {
        SetTextIfChanged(petrol_[c], QString::fromStdString(v.petrolText[c]));
        SetTextIfChanged(gas_[c], QString::fromStdString(v.gasText[c]));
    }
}

bool InjectorDiagPage::confirmLeave() {
    const auto off = diag::SwitchedOffInjectors(static_cast<std::uint16_t>(model_.words()[live::word::TestMask]));
    const std::string text = diag::LeaveWarningText(off, [this](int id) { return Text(messages_, id).toStdString(); });
    if (text.empty()) return true;
    return QMessageBox::question(this, QString(), QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void InjectorDiagPage::exitPage() {
    if (!confirmLeave()) return;
    // The window's page change that follows must not ask again.
    leaveConfirmed_ = true;
    emit exitRequested();
    leaveConfirmed_ = false;
}

bool InjectorDiagPage::canLeave() { return leaveConfirmed_ || confirmLeave(); }

}  // namespace sequaflow::ui
