#include "ui/cylinder_panel.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/fields.h"
#include "ui/live_feed.h"
#include "ui/widgets/thermometer.h"
#include "ui/widgets/vertical_bar.h"

namespace sequaflow::ui {

namespace {

QGroupBox* LambdaGroup(int n, QWidget* parent, LambdaDisplay& display) {
    // The caption is the probe's label, so a language file reaches it.
    auto* box = new QGroupBox(parent);
    box->setObjectName(QStringLiteral("GroupLambda%1").arg(n));
    auto* caption = MakeLabel(QStringLiteral("LabelSonda%1").arg(n), QStringLiteral("Sonda %1").arg(n), box);
    display.bar = new VerticalBar(box);
    display.bar->setObjectName(QStringLiteral("LambdaBar%1").arg(n));
    display.bar->setRange(0, 5);
    display.bar->setMinimumHeight(60);
    display.text = MakeValueField(QStringLiteral("EditSonda%1").arg(n), box, 5);
    display.shownWhenFitted = {box};
    auto* l = new QGridLayout(box);
    l->addWidget(caption, 0, 0, 1, 2);
    l->addWidget(display.bar, 1, 0);
    l->addWidget(display.text, 1, 1);
    return box;
}

}  // namespace

CylinderPanel::CylinderPanel(const LiveFeed& feed, QWidget* parent) : QWidget(parent), feed_(feed) {
    setObjectName(QStringLiteral("PanelPrawy"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* times = new QGroupBox(this);
    times->setObjectName(QStringLiteral("GroupCzasy_Diag"));
    auto* grid = new QGridLayout(times);
    grid->addWidget(MakeLabel(QStringLiteral("CaptionInjBenz"), QStringLiteral("Benzyna"), times), 0, 1);
    grid->addWidget(MakeLabel(QStringLiteral("CaptionOdczytyLPGInj"), QStringLiteral("Gaz"), times), 0, 2);
    for (int c = 0; c < 8; ++c) {
        const auto i = static_cast<std::size_t>(c);
        grid->addWidget(new QLabel(QString::number(c + 1), times), c + 1, 0);
        petrol_[i] = MakeValueField(QStringLiteral("EditB%1_Diag").arg(c + 1), times);
        gas_[i] = MakeValueField(QStringLiteral("EditG%1_Diag").arg(c + 1), times);
        switches_[i] = new QPushButton(QStringLiteral("on"), times);
        switches_[i]->setObjectName(QStringLiteral("ButtonW%1").arg(c + 1));
        switches_[i]->setEnabled(false);  // the injector test arrives with its page
        switches_[i]->setMaximumWidth(36);
        grid->addWidget(petrol_[i], c + 1, 1);
        grid->addWidget(gas_[i], c + 1, 2);
        grid->addWidget(switches_[i], c + 1, 3);
    }
    switches_[0]->setToolTip(QStringLiteral("Wylaczenie Wtrysku GAZOWEGO"));
    layout->addWidget(times);

    auto* values = new QGridLayout;
    int row = 0;
    auto addRow = [&](const QString& labelName, const QString& caption, QLineEdit*& field, const QString& fieldName) {
        values->addWidget(MakeLabel(labelName, caption, this), row, 0);
        field = MakeValueField(fieldName, this);
        values->addWidget(field, row++, 1);
    };
    addRow(QStringLiteral("LabelRPM"), QStringLiteral("Obroty"), rpm_, QStringLiteral("EditRPM"));
    addRow(QStringLiteral("LabelCisnienie"), QStringLiteral("Ciśnienie"), pressure_, QStringLiteral("EditCisnienie"));
    addRow(QStringLiteral("LabelInBenz"), QStringLiteral("Wtrysk benz."), injPetrol_, QStringLiteral("EditInjBenz"));
    addRow(QStringLiteral("LabelTLpg"), QStringLiteral("Wtrysk gazu"), injGas_, QStringLiteral("EditInjLpg"));
    addRow(QStringLiteral("LabelKorekta"), QStringLiteral("Korekta"), correction_, QStringLiteral("EditKorekta"));
    addRow(QStringLiteral("LabelTR"), QStringLiteral("Temp. reduktora"), reducer_, QStringLiteral("EditTR"));
    addRow(QStringLiteral("LabelTG"), QStringLiteral("Temp. gazu"), gasTemp_, QStringLiteral("EditTG"));
    layout->addLayout(values);

    auto* thermos = new QHBoxLayout;
    reducerThermo_ = new Thermometer(this);
    reducerThermo_->setObjectName(QStringLiteral("AbThermometerRed"));
    reducerThermo_->setRange(-20, 120);
    gasThermo_ = new Thermometer(this);
    gasThermo_->setObjectName(QStringLiteral("AbThermometerLPG"));
    gasThermo_->setRange(-20, 120);
    thermos->addWidget(reducerThermo_);
    thermos->addWidget(gasThermo_);
    layout->addLayout(thermos);

    auto* lambdas = new QHBoxLayout;
    lambdas->addWidget(LambdaGroup(1, this, lambda1_));
    lambdas->addWidget(LambdaGroup(2, this, lambda2_));
    layout->addLayout(lambdas);
    layout->addStretch(1);
    setFixedWidth(260);

    connect(&feed_, &LiveFeed::frameAccepted, this, &CylinderPanel::showReadings);
}

void CylinderPanel::showReadings() {
    const auto& v = feed_.view();
    for (std::size_t c = 0; c < 8; ++c) {
        SetTextIfChanged(petrol_[c], QString::fromStdString(v.petrolText[c]));
        SetTextIfChanged(gas_[c], QString::fromStdString(v.gasText[c]));
    }
    SetTextIfChanged(rpm_, QString::fromStdString(v.rpmText));
    SetTextIfChanged(pressure_, QString::fromStdString(v.pressureText));
    SetTextIfChanged(injPetrol_, QString::fromStdString(v.petrolText[0]));
    SetTextIfChanged(injGas_, QString::fromStdString(v.gasText[0]));
    SetTextIfChanged(correction_, QString::fromStdString(v.correctionText));
    SetTextIfChanged(reducer_, QString::fromStdString(v.reducerText));
    SetTextIfChanged(gasTemp_, QString::fromStdString(v.gasTempText));
    reducerThermo_->setValue(v.reducerC);
    gasThermo_->setValue(v.gasC);
    lambda1_.show(v.lambda1, v.lambda1V, v.lambda1Text);
    lambda2_.show(v.lambda2, v.lambda2V, v.lambda2Text);
}

void CylinderPanel::setLambdaTypes(int type1, int type2, const QString& absentText) {
    lambda1_.setType(type1, absentText);
    lambda2_.setType(type2, absentText);
}

}  // namespace sequaflow::ui
