#include "ui/pages/parameters_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "i18n/message_ids.h"
#include "params/parameter_numbers.h"
#include "params/parameter_settings.h"
#include "ui/configuration_model.h"
#include "ui/dialogs/idle_correction_dialog.h"
#include "ui/dialogs/injector_settings_dialog.h"
#include "ui/dialogs/turbo_dialog.h"
#include "ui/fields.h"
#include "ui/parameter_controls.h"

namespace sequaflow::ui {

namespace msg = i18n::msg;
using params::Setting;

namespace {

// Runs `f` when Enter is pressed in the watched control (and swallows the key).
template <typename F>
class EnterAction final : public QObject {
public:
    EnterAction(F f, QObject* parent) : QObject(parent), f_(std::move(f)) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        f_();
        return true;
    }

private:
    F f_;
};

QStringList Items(std::initializer_list<const char*> texts) {
    QStringList out;
    for (const char* t : texts) out << QString::fromUtf8(t);
    return out;
}

QGroupBox* Section(const QString& name, QWidget* parent, QFormLayout*& form) {
    auto* box = new QGroupBox(parent);
    box->setObjectName(name);
    form = new QFormLayout(box);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    form->setContentsMargins(8, 4, 8, 4);
    form->setVerticalSpacing(2);
    return box;
}

// A field with its button beside it, as one form row.
QWidget* WithButton(QWidget* field, QPushButton* button, QWidget* parent) {
    auto* pair = new QWidget(parent);
    auto* row = new QHBoxLayout(pair);
    row->setContentsMargins(0, 0, 0, 0);
    field->setParent(pair);
    button->setParent(pair);
    row->addWidget(field, 1);
    row->addWidget(button);
    return pair;
}

}  // namespace

ParametersPage::ParametersPage(ParameterControls& controls, const i18n::MessageStore& messages, QWidget* parent)
    : QWidget(parent), controls_(controls), messages_(messages) {
    setObjectName(QStringLiteral("TabSheet3"));
    using live::KeyFilter;

    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName(QStringLiteral("MemoOpisParametru"));
    memo_->setReadOnly(true);
    memo_->setPlainText(Text(messages_, msg::ChooseParameter));
    memo_->hide();

    const auto help = [this](QWidget* control, int id) { ShowHelpOnFocus(control, memo_, messages_, id); };
    const auto edit = [this](int param, const char* name, KeyFilter filter, bool leaveOnly, QWidget* owner) {
        auto* e = MakeParameterEdit(controls_, param, QString::fromLatin1(name), filter, true, leaveOnly, owner);
        e->setMaximumWidth(110);
        return e;
    };
    const auto list = [this](Setting setting, const char* name, ListEvents events, QWidget* owner) {
        auto* l = MakeSettingList(controls_, setting, QString::fromLatin1(name), events, owner);
        l->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        l->setMinimumContentsLength(14);
        return l;
    };
    // Labels do not wrap by themselves: the language controller breaks a translation that no longer fits.
    const auto label = [](const char* name, const char* text, QWidget* owner) {
        return MakeLabel(QString::fromLatin1(name), QString::fromUtf8(text), owner);
    };
    const auto button = [](const char* name, const char* text, QWidget* owner) {
        auto* b = new QPushButton(QString::fromUtf8(text), owner);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    constexpr ListEvents kAll{};
    constexpr ListEvents kChangeOnly{true, false, false};

    // Switch-over from petrol to gas and back.
    QFormLayout* sw = nullptr;
    auto* switchBox = Section(QStringLiteral("GroupBoxPrzelaczanie"), this, sw);
    auto* minTemp = edit(params::pn::SwitchTemperature, "EditMinTempPrzel", KeyFilter::Digit, false, switchBox);
    help(minTemp, msg::HelpSwitchTemperature);
    sw->addRow(label("LabelMinTempPrzel", "Temperatura przełączenia", switchBox), minTemp);
    auto* switchSpeed = edit(params::pn::SwitchSpeed, "EditRPMprzelNaLPG", KeyFilter::Digit, false, switchBox);
    help(switchSpeed, msg::HelpSwitchSpeed);
    sw->addRow(label("LabelRPMprzelNaLPG", "Obroty przełączenia", switchBox), switchSpeed);
    auto* cycles = edit(params::pn::CommonCycles, "EditWspolneCykle", KeyFilter::Digit, false, switchBox);
    help(cycles, msg::HelpCommonCycles);
    sw->addRow(label("LabelWspolneCykle", "Wspólne cykle", switchBox), cycles);
    auto* gasDelay = edit(params::pn::GasOnDelay, "EditOnTimeToInjTime", KeyFilter::Decimal, true, switchBox);
    advancedHelp_ << gasDelay;
    sw->addRow(label("LabelOnTimeToInjTime", "Opóźnienie załączenia gazu", switchBox), gasDelay);
    auto* pressure =
        edit(params::pn::ReturnPressure, "EditCisnienieWylaczenia", KeyFilter::Decimal, false, switchBox);
    advancedHelp_ << pressure;
    sw->addRow(label("LabelCisnienieWylaczenia", "Ciśnienie powrotu na benzynę", switchBox), pressure);
    auto* returnDelay = edit(params::pn::ReturnDelay, "EditCzasPowrotuNaBenz", KeyFilter::Decimal, false, switchBox);
    advancedHelp_ << returnDelay;
    sw->addRow(label("LabelCzasPowrotuNaBenz", "Opóźnienie powrotu na benzynę", switchBox), returnDelay);
    switchingSequence_ = list(Setting::SwitchingSequence, "ComboBoxSekPrzelPrzek", kChangeOnly, switchBox);
    switchingSequence_->setEnabled(false);  // until a read says the hardware has it
    sw->addRow(label("LabelSekPrzelPrzek", "Przełączanie sekwencyjne", switchBox), switchingSequence_);
    buzzer_ = new QCheckBox(switchBox);
    buzzer_->setObjectName(QStringLiteral("CheckBuzzer"));
    MoveOnEnter(buzzer_);
    advancedHelp_ << buzzer_;
    smooth_ = new QCheckBox(QStringLiteral("Smooth switching"), switchBox);
    smooth_->setObjectName(QStringLiteral("CheckBoxInjHeat"));
    SetTextId(smooth_, i18n::msg::SmoothSwitching);
    auto* checks = new QWidget(switchBox);
    auto* checkRow = new QHBoxLayout(checks);
    checkRow->setContentsMargins(0, 0, 0, 0);
    buzzer_->setParent(checks);
    smooth_->setParent(checks);
    checkRow->addWidget(buzzer_);
    checkRow->addSpacing(16);
    checkRow->addWidget(smooth_);
    checkRow->addStretch(1);
    sw->addRow(label("LabelBoxBuzzer", "Brzęczyk przełączenia", switchBox), checks);

    // Gas injectors and the petrol injection.
    QFormLayout* inj = nullptr;
    auto* injectorBox = Section(QStringLiteral("GroupBoxWtryskiwacze"), this, inj);
    injectorType_ = list(Setting::InjectorType, "ComboBoxRodzajWtrysku", {false, true, false},
                         injectorBox);
    help(injectorType_, msg::HelpInjectorType);
    ownInjector_ = button("ButtonRodzajWtryskiwaczy", "USTAW", injectorBox);
    inj->addRow(label("LabelRodzajWtrysku", "Rodzaj wtryskiwaczy", injectorBox),
                WithButton(injectorType_, ownInjector_, injectorBox));
    auto* minOpening =
        edit(params::pn::MinGasOpening, "EditMinimalnyCzasWtrysku", KeyFilter::Decimal, false, injectorBox);
    advancedHelp_ << minOpening;
    // No caption of its own in the language files: it follows the same field's label in the injector dialog.
    minOpeningLabel_ = label("LabelMinimalnyCzas", "Minimalne otwarcie wtrysku gazu", injectorBox);
    inj->addRow(minOpeningLabel_, minOpening);
    auto* petrolType = list(Setting::PetrolInjectionType, "EditCzasWtryskuPrzyObciazeniu",
                            {true, false, true}, injectorBox);
    help(petrolType, msg::HelpPetrolInjectionType);
    inj->addRow(label("LabelCzasWtryskuPrzyObciazeniu", "Rodzaj wtrysku benzyny", injectorBox), petrolType);
    auto* signal = MakeParameterEdit(controls_, params::pn::PetrolSignalFilter, QStringLiteral("EditSignalInj"),
                                     KeyFilter::Digit, false, true, injectorBox);
    signal->setMaximumWidth(110);
    signal->installEventFilter(new EnterAction(
        [this] {
            if (auto* tabs = qobject_cast<QTabWidget*>(parentWidget() ? parentWidget()->parentWidget() : nullptr))
                tabs->setCurrentWidget(this);
            injectorType_->setFocus(Qt::OtherFocusReason);
        },
        signal));
    advancedHelp_ << signal;
    QLabel* signalLabel = label("LabelSignalInj", "Filtr sygnału wtryskiwaczy", injectorBox);
    SetTextId(signalLabel, msg::PetrolSignalFilter);
    inj->addRow(signalLabel, signal);
    auto* correction = button("PoprawkiButton", "Korekta na wtryskiwacz", injectorBox);
    inj->addRow(correction);

    // Engine and sensors.
    QFormLayout* eng = nullptr;
    auto* engineBox = Section(QStringLiteral("GroupBoxSilnik"), this, eng);
    auto* ignition = list(Setting::IgnitionType, "ComboBoxCewka", kAll,
                          engineBox);
    ShowHelpOnFocus(ignition, nullptr, messages_, msg::HelpIgnition);  // its own hint, not a memo
    eng->addRow(label("LabelCewka", "Układ zapłonowy", engineBox), ignition);
    auto* signalLevel = list(Setting::SpeedSignalLevel, "ComboBoxSygnalObrotow", kChangeOnly, engineBox);
    eng->addRow(label("LabelSygnalObrotow", "Sygnał obrotów", engineBox), signalLevel);
    auto* speedLimit = edit(params::pn::SpeedLimit, "EditMaxRpm", KeyFilter::Digit, false, engineBox);
    help(speedLimit, msg::HelpSpeedLimit);
    eng->addRow(label("LabelMaxRPM", "Maksymalne obroty", engineBox), speedLimit);
    turbo_ = list(Setting::Turbo, "ComboBoxTURBO", kAll, engineBox);
    help(turbo_, msg::HelpTurbo);
    turboButton_ = button("ButtonTURBO", "USTAW", engineBox);
    eng->addRow(label("LabelTurbo", "Turbo", engineBox), WithButton(turbo_, turboButton_, engineBox));
    auto* lambda1 = list(Setting::Lambda1, "ComboBoxSondaLambda1", kAll, engineBox);
    help(lambda1, msg::HelpLambda1);
    eng->addRow(label("LabelSondaLambda1", "Sonda lambda 1", engineBox), lambda1);
    auto* lambda2 = list(Setting::Lambda2, "ComboBoxSondaLambda2", kAll, engineBox);
    help(lambda2, msg::HelpLambda2);
    eng->addRow(label("LabelSondaLambda2", "Sonda lambda 2", engineBox), lambda2);
    auto* tank = list(Setting::TankSensorType, "ComboBoxSzkielkoRezerwy", kAll,
                      engineBox);
    help(tank, msg::HelpTankSensor);
    auto* tankButton = button("ButtonSzkielkoDefiniuj", "USTAW", engineBox);
    eng->addRow(label("LabelSzkielkoRezerwy", "Czujnik poziomu gazu", engineBox),
                WithButton(tank, tankButton, engineBox));
    reducerSensor_ = list(Setting::ReducerSensor, "ComboBoxRodzajCzTemp", kChangeOnly, engineBox);
    reducerSensorLabel_ = label("LambaRodzajCzTemp", "Czujnik temp. reduktora", engineBox);
    eng->addRow(reducerSensorLabel_, reducerSensor_);
    reducerSensor_->hide();
    reducerSensorLabel_->hide();

    // Kept hidden, as the readings page keeps them: their settings still travel with every read and file.
    auto* hidden = new QWidget(this);
    hidden->setObjectName(QStringLiteral("PanelUkryte"));
    auto* hiddenForm = new QFormLayout(hidden);
    auto* mixture =
        edit(params::pn::MixtureCorrection, "EditWzbogacanieMieszanki", KeyFilter::SignedDigit, false, hidden);
    help(mixture, msg::HelpMixtureCorrection);
    hiddenForm->addRow(label("LabelWzbogacanie", "Korekta mieszanki", hidden), mixture);
    auto* idle = edit(params::pn::IdleCorrection, "EditPrzesuniecie", KeyFilter::SignedDecimal, false, hidden);
    help(idle, msg::HelpIdleCorrection);
    hiddenForm->addRow(label("LabelPrzesuniecieChar", "Korekta czasu wtrysku biegu jalowego", hidden), idle);
    auto* limitOn = list(Setting::SpeedLimitOn, "ComboBoxMaxRpm", kAll, hidden);
    help(limitOn, msg::HelpSpeedLimitOn);
    hiddenForm->addRow(label("LabelMaxRPM2", "Ogranicznik obrotów", hidden), limitOn);
    switchMode_ = list(Setting::SwitchMode, "ComboBoxDeltaObrotow",
                       kChangeOnly, hidden);
    help(switchMode_, msg::HelpSwitchingMode);
    hiddenForm->addRow(label("LabelDeltaObrotow", "Tryb przełączenia", hidden), switchMode_);
    auto* fuel = list(Setting::Fuel, "ComboBoxCNGLPG", kChangeOnly, hidden);
    hiddenForm->addRow(label("LabelCNGLPG", "Rodzaj paliwa", hidden), fuel);
    // The buzzer list says "on" at item 0: it is not a view of the setting's items, it only repeats the box.
    buzzerList_ = new QComboBox(hidden);
    buzzerList_->setObjectName(QStringLiteral("ComboBoxBuzzer"));
    buzzerList_->addItems(Items({"Włączony", "Wyłączony"}));
    advancedHelp_ << buzzerList_;
    hiddenForm->addRow(buzzerList_);
    hidden->hide();

    // One column: the page shares a 1024-pixel screen with the gauges and the cylinder panel.
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    column->addWidget(switchBox);
    column->addWidget(injectorBox);
    column->addWidget(engineBox);
    column->addWidget(memo_);
    column->addWidget(hidden);
    column->addStretch(1);

    for (QGroupBox* box : {switchBox, injectorBox, engineBox})
        for (QLabel* l : box->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) labels_ << l;
    alignLabels();

    // Start-up: the last injector item with its button, until a read shows the controller's type.
    ParameterControls::SelectQuietly(injectorType_, 5);
    ownInjector_->setVisible(injectorType_->currentIndex() == injectorType_->count() - 1);

    connect(injectorType_, &QComboBox::activated, this, &ParametersPage::injectorTypeSelected);
    connect(turbo_, &QComboBox::activated, this, &ParametersPage::turboSelected);
    connect(switchMode_, &QComboBox::currentIndexChanged, this, &ParametersPage::switchModeShown);
    connect(buzzer_, &QCheckBox::clicked, this,
            [this](bool on) { controls_.applySetting(Setting::Buzzer, on ? 1 : 0); });
    const auto buzzerFromList = [this] { controls_.applySetting(Setting::Buzzer, buzzer_->isChecked() ? 1 : 0); };
    connect(buzzerList_, &QComboBox::currentIndexChanged, this, buzzerFromList);
    connect(buzzerList_, &QComboBox::activated, this, buzzerFromList);
    connect(smooth_, &QCheckBox::clicked, this,
            [this](bool on) { controls_.applySetting(Setting::SmoothSwitching, on ? 1 : 0); });
    connect(ownInjector_, &QPushButton::clicked, this, &ParametersPage::openInjectorSettings);
    connect(turboButton_, &QPushButton::clicked, this, &ParametersPage::openTurbo);
    connect(correction, &QPushButton::clicked, this, &ParametersPage::openIdleCorrection);
    connect(tankButton, &QPushButton::clicked, this, &ParametersPage::tankDialogRequested);

    ConfigurationModel& model = controls_.model();
    connect(&model, &ConfigurationModel::readFinished, this, &ParametersPage::showReadState);
    connect(&model, &ConfigurationModel::parameterChanged, this, [this](int slot) {
        if (slot == params::pn::FirstFlags || slot == params::pn::SecondFlags || slot == params::kFlags1Shadow || slot == params::kFlags2Shadow)
            showFlags();
    });
}

void ParametersPage::setDialogs(InjectorSettingsDialog* injectors, IdleCorrectionDialog* idleCorrection,
                                TurboDialog* turbo) {
    injectorDialog_ = injectors;
    idleDialog_ = idleCorrection;
    turboDialog_ = turbo;
}

void ParametersPage::setAdvancedMemo(QWidget* memo) {
    if (memo == nullptr) return;
    static constexpr struct {
        const char* control;
        int id;
    } kAdvanced[] = {
        {"EditMinimalnyCzasWtrysku", msg::HelpMinGasOpening}, {"EditCisnienieWylaczenia", msg::HelpReturnPressure},
        {"EditCzasPowrotuNaBenz", msg::HelpReturnDelay},      {"EditOnTimeToInjTime", msg::HelpGasOnDelay},
        {"EditSignalInj", msg::HelpPetrolSignalFilter},       {"CheckBuzzer", msg::HelpSwitchBuzzer},
        {"ComboBoxBuzzer", msg::HelpSwitchBuzzer},
    };
    for (QWidget* control : advancedHelp_)
        for (const auto& entry : kAdvanced)
            if (control->objectName() == QLatin1String(entry.control))
                ShowHelpOnFocus(control, memo, messages_, entry.id);
    advancedHelp_.clear();
}

void ParametersPage::languageChanged() {
    if (injectorDialog_ != nullptr)
        if (auto* source = injectorDialog_->findChild<QLabel*>(QStringLiteral("LabelMinimalnyCzasWtrysku")))
            minOpeningLabel_->setText(source->text());
    alignLabels();
}

void ParametersPage::alignLabels() {
    // The three groups read as one form when their fields start at one line.
    // A label's own preferred width (its text's bounding box) is what the form gives it; the bare advance
    // can be a pixel short of it, and the field beside would lose that pixel.
    int widest = 0;
    for (QLabel* l : labels_) {
        l->setMinimumWidth(0);
        widest = std::max(widest, l->sizeHint().width());
    }
    for (QLabel* l : labels_) l->setMinimumWidth(widest);
}

void ParametersPage::injectorTypeSelected(int) {
    ownInjector_->setVisible(params::OwnInjectorButtonVisible(controls_.model().image()));
}

void ParametersPage::turboSelected(int item) { turboButton_->setVisible(item > 0); }

void ParametersPage::showFlags() {
    const params::ProgramState& state = controls_.model().state();
    const params::SpeedTexts texts = params::SpeedTextsOf(state);
    const bool buzzerOn = params::ShownItemOf(state, Setting::Buzzer, texts) == 1;
    {
        const QSignalBlocker quiet(buzzer_);
        buzzer_->setChecked(buzzerOn);
    }
    ParameterControls::SelectQuietly(buzzerList_, buzzerOn ? 0 : 1);
    const QSignalBlocker quiet(smooth_);
    smooth_->setChecked(params::ShownItemOf(state, Setting::SmoothSwitching, texts) == 1);
}

void ParametersPage::showReadState() {
    const ConfigurationModel& model = controls_.model();
    ownInjector_->setVisible(params::OwnInjectorButtonVisible(model.image()));
    turboButton_->setVisible(params::TurboButtonVisible(model.image()));
    switchingSequence_->setEnabled(params::SwitchingSequenceEnabled(model.hardware()));
    const bool sensor = params::ReducerSensorVisible(model.hardware(), model.software());
    reducerSensor_->setVisible(sensor);
    reducerSensorLabel_->setVisible(sensor);
    showFlags();
    switchModeShown();
}

void ParametersPage::switchModeShown() {
    // The speed drop lives on the advanced page; only the falling mode gives it a meaning.
    const bool falling = switchMode_->currentIndex() > 0;
    if (QWidget* top = window())
        for (const char* name : {"ComboBoxDeltaRpm", "LabelDeltaRpm"})
            if (auto* w = top->findChild<QWidget*>(QString::fromLatin1(name))) w->setEnabled(falling);
}

void ParametersPage::openInjectorSettings() {
    if (injectorDialog_ != nullptr) injectorDialog_->edit();
}

void ParametersPage::openIdleCorrection() {
    if (idleDialog_ != nullptr) idleDialog_->edit();
}

void ParametersPage::openTurbo() {
    if (turboDialog_ != nullptr) turboDialog_->edit();
}

}  // namespace sequaflow::ui
