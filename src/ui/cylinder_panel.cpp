#include "ui/cylinder_panel.h"

#include <QGridLayout>
#include <algorithm>
#include <tuple>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "diag/injector_test.h"
#include "live/live_frame.h"
#include "ui/configuration_model.h"
#include "ui/fields.h"
#include "ui/live_feed.h"
#include "ui/scope_selectors.h"
#include "ui/sequence_runner.h"
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

CylinderPanel::CylinderPanel(const LiveFeed& feed, ConfigurationModel& model, SequenceRunner& runner,
                             const i18n::MessageStore& messages, QWidget* parent)
    : QWidget(parent), feed_(feed), model_(model), runner_(runner), messages_(messages) {
    setObjectName(QStringLiteral("PanelPrawy"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    scope_ = new ScopeSelectors(this);
    auto* times = new QGroupBox(this);
    times->setObjectName(QStringLiteral("GroupCzasy_Diag"));
    auto* grid = new QGridLayout(times);
    grid->setHorizontalSpacing(3);
    // Column heads: a language's longer wording breaks over two lines rather than widening the panel.
    for (const auto& [name, caption, column] : {std::tuple{"CaptionInjBenz", "Benzyna", 1}, std::tuple{"CaptionOdczytyLPGInj", "Gaz", 3}}) {
        QLabel* head = MakeLabel(QString::fromLatin1(name), QString::fromLatin1(caption), times);
        head->setWordWrap(true);
        grid->addWidget(head, 0, column, 1, 2);
    }
    for (int c = 0; c < 8; ++c) {
        const auto i = static_cast<std::size_t>(c);
        grid->addWidget(new QLabel(QString::number(c + 1), times), c + 1, 0);
        petrol_[i] = MakeValueField(QStringLiteral("EditB%1_Diag").arg(c + 1), times);
        gas_[i] = MakeValueField(QStringLiteral("EditG%1_Diag").arg(c + 1), times);
        switches_[i] = new QPushButton(QStringLiteral("on"), times);
        switches_[i]->setObjectName(QStringLiteral("ButtonW%1").arg(c + 1));
        QFont font(QStringLiteral("Arial"));
        font.setBold(true);
        switches_[i]->setFont(font);
        connect(switches_[i], &QPushButton::clicked, this, [this, c] { toggleInjector(c + 1); });
        grid->addWidget(scope_->group(live::ScopeGroup::Petrol)->item(c), c + 1, 1);
        grid->addWidget(scope_->group(live::ScopeGroup::Gas)->item(c), c + 1, 3);
        grid->addWidget(petrol_[i], c + 1, 2);
        grid->addWidget(gas_[i], c + 1, 4);
        grid->addWidget(switches_[i], c + 1, 5);
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
    RadioGroup* temperature = scope_->group(live::ScopeGroup::Temperature);
    values->addWidget(scope_->group(live::ScopeGroup::Rpm)->item(0), 0, 2);
    values->addWidget(scope_->group(live::ScopeGroup::Pressure)->item(0), 1, 2);
    values->addWidget(temperature->item(1), row - 2, 2);  // reducer
    values->addWidget(temperature->item(0), row - 1, 2);  // gas
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
    // Each probe's selector lives in its group, so it is hidden with the probe.
    auto* probe1 = LambdaGroup(1, this, lambda1_);
    auto* probe2 = LambdaGroup(2, this, lambda2_);
    static_cast<QGridLayout*>(probe1->layout())->addWidget(scope_->group(live::ScopeGroup::Lambda1)->item(0), 0, 2);
    static_cast<QGridLayout*>(probe2->layout())->addWidget(scope_->group(live::ScopeGroup::Lambda2)->item(0), 0, 2);
    lambdas->addWidget(probe1);
    lambdas->addWidget(probe2);
    layout->addLayout(lambdas);
    layout->addStretch(1);
    // The design's width, wider only when a language's captions need more (a fixed width would cut them).
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);

    connect(&feed_, &LiveFeed::frameAccepted, this, &CylinderPanel::showReadings);
    showSwitches();
}

QSize CylinderPanel::sizeHint() const {
    return {std::max(kWidth, minimumSizeHint().width()), QWidget::sizeHint().height()};
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
    // The controller's own mask, so a switch never shows an injector on that the controller has off.
    maskKnown_ = true;
    showSwitches();
}

void CylinderPanel::toggleInjector(int injector) {
    auto word = static_cast<std::uint16_t>(model_.words()[live::word::TestMask]);
    bool sent = false;
    (void)runner_.exchange(
        [&](link::ControllerLink& line) { sent = diag::ToggleInjectorTest(line.link(), word, injector); });
    if (!sent) return;
    // The tool's copy until the next frame brings the controller's value.
    model_.liveWords()[live::word::TestMask] = word;
    maskKnown_ = true;
    showSwitches();
}

void CylinderPanel::showSwitches() {
    const auto word = static_cast<std::uint16_t>(model_.words()[live::word::TestMask]);
    for (int n = 1; n <= diag::kTestInjectors; ++n) {
        QPushButton* button = switches_[static_cast<std::size_t>(n - 1)];
        const bool off = diag::InjectorSwitchedOff(word, n);
        const QString caption = maskKnown_ ? Text(messages_, diag::SwitchCaptionId(off)) : QStringLiteral("on");
        if (button->text() != caption) button->setText(caption);
        QPalette p = button->palette();
        const QColor colour = off ? QColor(Qt::black) : QColor(Qt::red);
        if (p.color(QPalette::ButtonText) != colour) {
            p.setColor(QPalette::ButtonText, colour);
            button->setPalette(p);
        }
    }
}

void CylinderPanel::setLambdaTypes(int type1, int type2, const QString& absentText) {
    lambda1_.setType(type1, absentText);
    lambda2_.setType(type2, absentText);
}

}  // namespace sequaflow::ui
