#include "ui/pages/advanced_page.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "i18n/message_ids.h"
#include "params/number_text.h"
#include "params/parameter_settings.h"
#include "ui/configuration_model.h"
#include "ui/fields.h"
#include "ui/key_filters.h"
#include "ui/parameter_controls.h"
#include "ui/sequence_runner.h"

namespace sequaflow::ui {

namespace {
namespace msg = i18n::msg;
using params::Setting;

// The application's standard conversion failure, naming the first text that is not a number.
QString NotANumberText(std::initializer_list<QLineEdit*> edits) {
    for (QLineEdit* e : edits)
        if (!params::ParseDecimal(e->text().toStdString()))
            return QStringLiteral("'%1' is not a valid floating point value").arg(e->text());
    return QString();
}

QLineEdit* FilterEdit(const QString& name, QWidget* parent, char separator) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaximumWidth(120);
    e->installEventFilter(new NumberKeyFilter(live::KeyFilter::Decimal, separator, e));
    e->installEventFilter(new FocusKeyFilter(e));
    return e;
}

}  // namespace

AdvancedPage::AdvancedPage(ConfigurationModel& model, SequenceRunner& runner, ParameterControls& controls,
                           const i18n::MessageStore& messages, QWidget* parent)
    : QWidget(parent), model_(model), runner_(runner), controls_(controls), messages_(messages) {
    setObjectName(QStringLiteral("TabSheet4"));
    const char sep = model_.decimalSeparator();
    // The editors across the top, the filters and the description side by side below: the page stays
    // narrow enough for the window to fit a 1024 x 768 screen beside the gauges.
    auto* page = new QVBoxLayout(this);
    auto* bottom = new QHBoxLayout;
    auto* left = new QVBoxLayout;

    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName(QStringLiteral("MemoOpisZaawansowanych"));
    memo_->setReadOnly(true);
    memo_->setFocusPolicy(Qt::NoFocus);
    memo_->setMinimumWidth(150);
    memo_->setPlainText(Text(messages_, msg::ChooseParameter));

    auto* editors = new QWidget(this);
    editors->setObjectName(QStringLiteral("PanelZaawansowane"));
    buildEditors(editors);
    page->addWidget(editors);
    page->addLayout(bottom, 1);
    bottom->addLayout(left);

    group_ = new QGroupBox(QStringLiteral("Mazda/Jalowy"), this);
    group_->setObjectName(QStringLiteral("GroupBoxFiltrLowRpm"));
    SetTextId(group_, i18n::msg::FilterGroup);
    auto* form = new QFormLayout(group_);
    rpm_ = FilterEdit(QStringLiteral("EditFiltrRPM"), group_, sep);
    injTime_ = FilterEdit(QStringLiteral("EditFiltrInjTime"), group_, sep);
    dt_ = FilterEdit(QStringLiteral("EditFiltrDt"), group_, sep);
    form->addRow(MakeLabel(QStringLiteral("LabelFiltrRPM"), QStringLiteral("Filtr obrotów"), group_), rpm_);
    form->addRow(MakeLabel(QStringLiteral("LabelFiltrInjTime"), QStringLiteral("Filtr czasu wtrysku"), group_),
                 injTime_);
    form->addRow(MakeLabel(QStringLiteral("LabelFiltrDt"), QStringLiteral("Filtr zmian"), group_), dt_);
    auto* save = new QPushButton(QStringLiteral("Zapisz"), group_);
    save->setObjectName(QStringLiteral("ButtonFiltrZapis"));
    form->addRow(save);
    left->addWidget(group_, 0, Qt::AlignLeft);

    kindLabel_ = MakeLabel(QStringLiteral("LabelFiltr"), QStringLiteral("Filtr niskich obrotów"), this);
    kind_ = new QComboBox(this);
    kind_->setObjectName(QStringLiteral("ComboBoxFiltr"));
    kind_->addItems({QStringLiteral("Brak"), QStringLiteral("Jałowy"), QStringLiteral("Mazda 99-01")});
    left->addWidget(kindLabel_);
    left->addWidget(kind_, 0, Qt::AlignLeft);
    left->addStretch(1);
    bottom->addWidget(memo_, 1);

    connect(save, &QPushButton::clicked, this, &AdvancedPage::applyFilters);
    connect(kind_, &QComboBox::activated, this, &AdvancedPage::applyFilters);
    connect(&model_, &ConfigurationModel::readFinished, this, &AdvancedPage::showParameters);
}

void AdvancedPage::buildEditors(QWidget* box) {
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setColumnStretch(2, 1);
    int row = 0;
    const auto help = [this](QWidget* control, int id) { ShowHelpOnFocus(control, memo_, messages_, id); };
    const auto addRow = [&](QLabel* label, QWidget* control) {
        grid->addWidget(label, row, 0);
        grid->addWidget(control, row, 1);
        ++row;
    };
    const auto list = [&](Setting setting, const char* name, ListEvents events, int helpId) {
        QComboBox* l = MakeSettingList(controls_, setting, QString::fromLatin1(name), events, box);
        l->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        help(l, helpId);
        return l;
    };
    const auto edit = [&](int param, const char* name, live::KeyFilter filter, bool enterMovesOn, bool leaveOnly,
                          int helpId) {
        QLineEdit* e = MakeParameterEdit(controls_, param, QString::fromLatin1(name), filter, enterMovesOn, leaveOnly, box);
        e->setMaximumWidth(110);
        help(e, helpId);
        return e;
    };

    addRow(MakeLabel(QStringLiteral("LabelPodcisnienieReduktora"), QStringLiteral("Podciśnienie reduktora"), box),
           list(Setting::ReducerVacuum, "ComboBoxPodcisnienieReduktora", {}, msg::HelpReducerVacuum));

    // The heating list's selection first enables or disables the strength, then writes.
    QComboBox* heating = list(Setting::InjectorHeating, "ComboBoxRozgrzewanieWtryskiwacza",
                              ListEvents{true, false, true}, msg::HelpInjectorHeating);
    connect(heating, &QComboBox::activated, this, [this](int item) {
        enableHeatingStrength(item != 0);
        controls_.applySetting(Setting::InjectorHeating, item);
    });
    addRow(MakeLabel(QStringLiteral("LabelRozgrzewanieWtryskiwacza"), QStringLiteral("Rozgrzewanie wtryskiwaczy"), box),
           heating);
    strengthLabel_ = MakeLabel(QStringLiteral("LabelSilaRozgrzewaniaWtrysku"), QStringLiteral("Siła rozgrzewania"), box);
    strength_ = list(Setting::HeatingStrength, "ComboBoxSilaRozgrzewaniaWtrysku",
                     {}, msg::HelpHeatingStrength);
    addRow(strengthLabel_, strength_);

    addRow(MakeLabel(QStringLiteral("LabelWylOdTemp"), QStringLiteral("Wyłączenie od temperatury"), box),
           list(Setting::GasCutoff, "ComboBoxMrozGaz", {}, msg::HelpGasCutoff));
    addRow(MakeLabel(QStringLiteral("LabelWylOdTemp2"), QStringLiteral("Wyłączenie od temp. reduktora"), box),
           list(Setting::ReducerCutoff, "ComboBoxMrozRed", {}, msg::HelpReducerCutoff));
    addRow(MakeLabel(QStringLiteral("LabelFiltrowanieCisnienia"), QStringLiteral("Filtrowanie ciśnienia"), box),
           list(Setting::PressureFilter, "ComboBoxFiltrowanieCisnienia",
                {}, msg::HelpPressureFilter));
    addRow(MakeLabel(QStringLiteral("LabelDeltaRpm"), QStringLiteral("Spadek obrotów"), box),
           list(Setting::SpeedDrop, "ComboBoxDeltaRpm", ListEvents{true, false, false},
                msg::HelpSpeedDrop));
    addRow(MakeLabel(QStringLiteral("LabelMultiRpmPower"), QStringLiteral("Siła sygnału obrotów"), box),
           edit(params::pn::SpeedSignalFilter, "EditMultiRpmPower", live::KeyFilter::Digit, true, true, msg::HelpSpeedSignalFilter));

    // Carried but not shown: the buzzer pressure follows the return pressure of the parameters page, the
    // injector settings are edited in their dialogs, which copy from and to these editors.
    QLabel* beepLabel = MakeLabel(QStringLiteral("LabelCisnienieBeep"), QStringLiteral("Ciśnienie sygnału brzęczyka"), box);
    QLineEdit* beep = edit(params::pn::BuzzerPressure, "EditCisnienieBeep", live::KeyFilter::Decimal, true, false, msg::HelpBuzzerPressure);
    addRow(beepLabel, beep);
    beepLabel->hide();
    beep->hide();
    const std::initializer_list<QWidget*> hidden = {
        edit(params::pn::MaxGasTime, "EditParametryMaxInj", live::KeyFilter::Digit, true, false, msg::HelpMaxGasTime),
        edit(params::pn::FullOpeningTime, "EditPelneOtwarcie", live::KeyFilter::Decimal, false, false, msg::HelpFullCurrentTime),
        edit(params::pn::HoldingCurrent, "EditProcentowePodtrzymanie", live::KeyFilter::Digit, false, false, msg::HelpHoldingCurrent),
        edit(params::pn::GasInjectionDelay, "EditOpoznienieWtryskiwaczy", live::KeyFilter::Decimal, false, false, msg::HelpInjectionDelay),
        list(Setting::ControlAlgorithm, "ComboBoxAlgorytm",
             {}, msg::HelpControlAlgorithm),
        list(Setting::ControlSettings, "ComboBoxMocnoZaawansowane", {}, msg::HelpInjectorControl),
    };
    for (QWidget* w : hidden) w->hide();
}

void AdvancedPage::enableHeatingStrength(bool on) {
    strengthLabel_->setEnabled(on);
    strength_->setEnabled(on);
}

void AdvancedPage::showFilterTexts(const params::FilterTexts& texts) {
    showing_ = true;
    rpm_->setText(QString::fromStdString(texts.rpm));
    injTime_->setText(QString::fromStdString(texts.injTime));
    dt_->setText(QString::fromStdString(texts.dt));
    kind_->setCurrentIndex(texts.item);
    showing_ = false;
}

void AdvancedPage::showParameters() {
    const bool hasFilters = params::HasMeasurementFilters(model_.software());
    group_->setVisible(hasFilters);
    kindLabel_->setVisible(hasFilters);
    kind_->setVisible(hasFilters);
    showFilterTexts(params::FilterTextsOf(model_.image(), model_.decimalSeparator()));
    enableHeatingStrength(params::HeatingStrengthEnabled(model_.image()));
}

void AdvancedPage::applyFilters() {
    if (showing_) return;
    std::optional<params::FilterTexts> texts;
    const bool ran = runner_.exchange([&](link::ControllerLink& line) {
        texts = model_.change([&](params::ProgramState& state) {
            return params::ApplyMeasurementFilters(line.link(), state.image, rpm_->text().toStdString(),
                                                   injTime_->text().toStdString(), dt_->text().toStdString(),
                                                   kind_->currentIndex(), state.decimalSeparator);
        });
    });
    if (!ran) return;
    if (!texts) {
        QMessageBox::warning(this, QString(), NotANumberText({rpm_, injTime_, dt_}));
        return;
    }
    showFilterTexts(*texts);
}

void AdvancedPage::writeDefaultFilters() {
    params::FilterTexts texts;
    const bool ran = runner_.exchange([&](link::ControllerLink& line) {
        texts = model_.change([&](params::ProgramState& state) {
            return params::SetDefaultMeasurementFilters(line.link(), state.image, state.decimalSeparator);
        });
    });
    if (ran) showFilterTexts(texts);
}

}  // namespace sequaflow::ui
