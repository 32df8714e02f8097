#include "ui/pages/factory_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "diag/work_time.h"
#include "link/commands.h"
#include "link/connection.h"
#include "params/parameter_settings.h"
#include "ui/configuration_model.h"
#include "ui/fields.h"
#include "ui/parameter_controls.h"
#include "ui/sequence_runner.h"

namespace sequaflow::ui {

namespace {

// The text of the same button in the tank dialog (TForm12), which a language file gives.
constexpr int kTankSaveCaption = 10936;

using params::Setting;

QString FromStd(const std::string& s) { return QString::fromStdString(s); }

QPushButton* MakeButton(const char* name, const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QLineEdit* MakeThresholdField(const char* name, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(4);
    e->setMaximumWidth(70);
    return e;
}
}  // namespace

FactoryPage::FactoryPage(ParameterControls& controls, QWidget* parent)
    : QWidget(parent), controls_(controls), model_(controls.model()), runner_(controls.runner()) {
    setObjectName(QStringLiteral("TabSheet8"));
    auto* page = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    page->addLayout(left);
    page->addLayout(right);
    page->addStretch(1);

    // Controller data: what the identification and the serial number read said.
    auto* dataBox = new QGroupBox(QStringLiteral("Dane Sterownika"), this);
    dataBox->setObjectName(QStringLiteral("GroupBox5"));
    auto* dataGrid = new QGridLayout(dataBox);
    device_ = MakeValueField(QStringLiteral("EditUrzadzenie"), dataBox);
    software_ = MakeValueField(QStringLiteral("EditOprogramowanie"), dataBox);
    cylinders_ = MakeValueField(QStringLiteral("EditLiczbaCyl"), dataBox);
    serial_ = MakeValueField(QStringLiteral("EditSerialNumber"), dataBox);
    dataGrid->addWidget(MakeLabel(QStringLiteral("Label5"), QStringLiteral("Urządzenie:"), dataBox), 0, 0);
    dataGrid->addWidget(device_, 0, 1);
    dataGrid->addWidget(MakeLabel(QStringLiteral("Label6"), QStringLiteral("Oprogramowanie:"), dataBox), 1, 0);
    dataGrid->addWidget(software_, 1, 1);
    dataGrid->addWidget(MakeLabel(QStringLiteral("Label7"), QStringLiteral("Liczba cylindrów:"), dataBox), 2, 0);
    dataGrid->addWidget(cylinders_, 2, 1);
    dataGrid->addWidget(MakeLabel(QStringLiteral("Label8"), QStringLiteral("Numer seryjny:"), dataBox), 3, 0);
    dataGrid->addWidget(serial_, 3, 1);
    QPushButton* multi = MakeButton("ButtonMulti", QStringLiteral("Multi"), dataBox);
    multi->hide();
    left->addWidget(dataBox);

    auto* serialBox = new QGroupBox(QStringLiteral("Serial Changer:"), this);
    serialBox->setObjectName(QStringLiteral("GroupBox2"));
    auto* serialRow = new QHBoxLayout(serialBox);
    serialEntry_ = new QLineEdit(QStringLiteral("10101"), serialBox);
    serialEntry_->setObjectName(QStringLiteral("EditMulti"));
    serialEntry_->setMaxLength(5);
    serialEntry_->setMaximumWidth(80);
    QPushButton* writeSerial = MakeButton("ButtonWprowadzSer", QStringLiteral("Wprowadz"), serialBox);
    // The work-time counters are set back to zero from here (a controller going to a new car).
    QPushButton* resetGasTime = MakeButton("ButtonResetLPGT", QStringLiteral("Reset LPG T"), serialBox);
    QPushButton* resetPetrolTime = MakeButton("Button12", QStringLiteral("Reset PET T"), serialBox);
    serialRow->addWidget(serialEntry_);
    serialRow->addWidget(writeSerial);
    serialRow->addWidget(resetGasTime);
    serialRow->addWidget(resetPetrolTime);
    serialRow->addStretch(1);
    left->addWidget(serialBox);

    // The signal filter strengths are written by their editors; these groups stay hidden.
    auto* rpmPower = new QGroupBox(QStringLiteral("Moc Sygnalu Obrotów:"), this);
    rpmPower->setObjectName(QStringLiteral("GroupBox1"));
    auto* rpmRow = new QHBoxLayout(rpmPower);
    QPushButton* sendRpmPower = MakeButton("Button9", QStringLiteral("Wprowadz"), rpmPower);
    rpmRow->addWidget(sendRpmPower);
    rpmPower->hide();
    left->addWidget(rpmPower);
    auto* injPower = new QGroupBox(QStringLiteral("Moc Sygnalu INJ"), this);
    injPower->setObjectName(QStringLiteral("GroupBox6"));
    auto* injRow = new QHBoxLayout(injPower);
    QPushButton* sendInjPower = MakeButton("Button11", QStringLiteral("Wprowadz"), injPower);
    injRow->addWidget(sendInjPower);
    injPower->hide();
    left->addWidget(injPower);
    left->addStretch(1);

    // Tank thresholds: each field between the two levels it separates, full at the top.
    auto* tank = new QGroupBox(QStringLiteral("Ustawienia Szkielka Rezerwy"), this);
    tank->setObjectName(QStringLiteral("GroupBox4"));
    auto* tankGrid = new QGridLayout(tank);
    tankGrid->addWidget(MakeLabel(QStringLiteral("LabelPoziomy"), QStringLiteral("(Poziomy od 0 do 4096)"), tank), 0, 0, 1, 2);
    const char* levelNames[] = {"LabelSzkloFull", "LabelSzklo34", "LabelSzklo12", "LabelSzklo14", "LabelSzkloRez"};
    const char* levelTexts[] = {"Full", "3/4", "1/2", "1/4", "Rez."};
    // Top to bottom: 33, 32, 31, 30.
    const char* fieldNames[] = {"EditRez34", "EditRez12", "EditRez14", "EditSzkloR"};
    for (int i = 0; i < 5; ++i) {
        tankGrid->addWidget(MakeLabel(QString::fromLatin1(levelNames[i]), QString::fromLatin1(levelTexts[i]), tank),
                            1 + 2 * i, 0);
        if (i == 4) break;
        QLineEdit* field = MakeThresholdField(fieldNames[i], tank);
        tankGrid->addWidget(field, 2 + 2 * i, 1);
        const int param = params::pn::FirstTankThreshold + 3 - i;
        thresholds_[static_cast<std::size_t>(param - params::pn::FirstTankThreshold)] = field;
        // Shown by reads and by the sensor type; written only by the save button.
        controls_.addEditor(param, field);
    }
    direction_ = new QComboBox(tank);
    direction_->setObjectName(QStringLiteral("ComboBoxSzkloRosMal"));
    direction_->addItems(SettingItems(Setting::TankDirection));
    controls_.addList(Setting::TankDirection, direction_);
    tankGrid->addWidget(direction_, 10, 0, 1, 2);
    QPushButton* saveTank = MakeButton("ButtonSzkielko", QStringLiteral("Zapisz Zmiany !"), tank);
    SetTextId(saveTank, kTankSaveCaption);
    tankGrid->addWidget(saveTank, 11, 0, 1, 2);
    right->addWidget(tank);

    // The extra idle correction per injector, kept here for its dialog.
    auto* extra = new QGroupBox(QStringLiteral("Poprawka Dodatkowa"), this);
    extra->setObjectName(QStringLiteral("GroupBoxPoprawka2"));
    auto* extraGrid = new QGridLayout(extra);
    extraGrid->addWidget(
        MakeLabel(QStringLiteral("LabelPrzesuniecieDodatkowe"), QStringLiteral("Przesuniecie Dodatkowe:"), extra), 0, 0, 1, 2);
    extraCorrection_ = new QLineEdit(extra);
    extraCorrection_->setObjectName(QStringLiteral("EditPrzesuniecie2"));
    controls_.addEditor(params::pn::ExtraCorrectionTime, extraCorrection_);
    extraGrid->addWidget(extraCorrection_, 0, 2, 1, 2);
    for (int k = 0; k < 8; ++k) {
        auto* box = new QCheckBox(QStringLiteral("Wtrysk%1").arg(k + 1), extra);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(k + 1));
        injectors_[static_cast<std::size_t>(k)] = box;
        extraGrid->addWidget(box, 1 + k / 4, k % 4);
    }
    QPushButton* applyExtra = MakeButton("ButtonPrzesuniecie2", QStringLiteral("Wprowadz"), extra);
    extraGrid->addWidget(applyExtra, 3, 0, 1, 2);
    extra->hide();
    right->addWidget(extra);

    // Parameter 34 is edited in the tank dialog; this copy only shows it.
    QLabel* refreshLabel = MakeLabel(QStringLiteral("LabelOdswiezanieOczka"), QStringLiteral("Odswiezanie oczka"), this);
    refreshLabel->hide();
    auto* refresh = new QLineEdit(this);
    refresh->setObjectName(QStringLiteral("EditOdswiezanieOczka"));
    refresh->hide();
    controls_.addEditor(params::pn::TankRefresh, refresh);
    right->addStretch(1);

    connect(multi, &QPushButton::clicked, this, &FactoryPage::refreshControllerData);
    connect(writeSerial, &QPushButton::clicked, this, &FactoryPage::writeSerialNumber);
    connect(resetGasTime, &QPushButton::clicked, this, [this] { resetWorkTime(true); });
    connect(resetPetrolTime, &QPushButton::clicked, this, [this] { resetWorkTime(false); });
    connect(sendRpmPower, &QPushButton::clicked, this, [this] { sendFilterStrength(params::pn::SpeedSignalFilter); });
    connect(sendInjPower, &QPushButton::clicked, this, [this] { sendFilterStrength(params::pn::PetrolSignalFilter); });
    connect(saveTank, &QPushButton::clicked, this, &FactoryPage::saveTankThresholds);
    connect(applyExtra, &QPushButton::clicked, this, &FactoryPage::applyExtraCorrection);
    connect(&model_, &ConfigurationModel::readFinished, this, [this] {
        const auto status = model_.state().readStatus;
        // A file viewed without a controller says nothing about the controller's data.
        if (status == params::ReadStatus::Complete || status == params::ReadStatus::Partial) showControllerData();
        showExtraCorrection();
    });
}

void FactoryPage::shown() { showExtraCorrection(); }

void FactoryPage::resetWorkTime(bool gas) {
    (void)runner_.exchange([gas](link::ControllerLink& line) {
        diag::ResetWorkTime(line.link(), gas ? diag::WorkTimeCounter::Gas : diag::WorkTimeCounter::Petrol);
    });
}

void FactoryPage::refreshControllerData() {
    const bool ran = runner_.exchange([this](link::ControllerLink& line) {
        model_.change([&](params::ProgramState& state) { (void)link::ReadSerialNumber(line.link(), state.serial); });
    });
    if (ran) showControllerData();
}

void FactoryPage::showControllerData() {
    device_->setText(FromStd(link::DeviceText(model_.hardware())));
    software_->setText(FromStd(link::SoftwareText(model_.software())));
    cylinders_->setText(FromStd(link::CylinderText(model_.hardware())));
    const QString serial = QString::number(model_.state().serial);
    serial_->setText(serial);
    serialEntry_->setText(serial);
}

void FactoryPage::writeSerialNumber() {
    const std::string text = serialEntry_->text().toStdString();
    std::optional<std::uint16_t> written;
    const bool ran = runner_.exchange([&](link::ControllerLink& line) {
        written = model_.change(
            [&](params::ProgramState& state) { return params::WriteSerialNumberText(line.link(), state, text); });
    });
    if (!ran) return;
    if (!written) {
        runner_.say(QStringLiteral("'%1' is not a valid integer value").arg(serialEntry_->text()));
        return;
    }
    // Both fields show what the controller holds now (the serial was read back).
    showControllerData();
}

void FactoryPage::sendFilterStrength(int param) {
    if (QLineEdit* editor = controls_.editor(param)) controls_.writeEditor(param, editor, params::EditorEvent::Leave);
}

bool FactoryPage::saveTankThresholds() {
    std::array<std::string, 4> volts;
    for (std::size_t i = 0; i < 4; ++i) volts[i] = thresholds_[i]->text().toStdString();
    const bool rising = direction_->currentIndex() == 1;
    return controls_.run([&](link::Link& link, params::ProgramState& state) {
        return params::SaveTankThresholds(link, state.image, volts, rising);
    });
}

void FactoryPage::applyExtraCorrection() {
    const std::string text = extraCorrection_->text().toStdString();
    std::uint8_t selection = 0;
    for (std::size_t k = 0; k < 8; ++k)
        if (injectors_[k]->isChecked()) selection = static_cast<std::uint8_t>(selection | (1u << k));
    const char sep = controls_.separator();
    (void)controls_.run([&](link::Link& link, params::ProgramState& state) {
        return params::ApplyExtraCorrection(link, state.image, text, selection, sep);
    });
}

void FactoryPage::showExtraCorrection() {
    extraCorrection_->setText(FromStd(params::ExtraCorrectionText(model_.image(), model_.decimalSeparator())));
    const std::uint8_t selection = params::ExtraCorrectionSelection(model_.image());
    for (std::size_t k = 0; k < 8; ++k) injectors_[k]->setChecked((selection >> k) & 1u);
}

}  // namespace sequaflow::ui
