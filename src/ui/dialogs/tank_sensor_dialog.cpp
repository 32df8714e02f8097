#include "ui/dialogs/tank_sensor_dialog.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "live/live_frame.h"
#include "params/parameter_settings.h"
#include "params/tank_sensor.h"
#include "ui/configuration_model.h"
#include "ui/fields.h"
#include "ui/live_feed.h"
#include "ui/pages/factory_page.h"
#include "ui/parameter_controls.h"
#include "ui/widgets/led_lamp.h"

namespace sequaflow::ui {

namespace {
constexpr std::uint32_t kOnGas = 1;

// A threshold field keeps a text within the dialog's limits when it is left.
class ThresholdLimitFilter final : public QObject {
public:
    ThresholdLimitFilter(int index, char separator, QLineEdit* edit)
        : QObject(edit), index_(index), separator_(separator) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        // A field being destroyed is no QLineEdit any more: nothing to limit.
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (edit != nullptr && event->type() == QEvent::FocusOut) {
            const std::string limited = params::LimitTankDialogText(index_, edit->text().toStdString(), separator_);
            edit->setText(QString::fromStdString(limited));
        }
        return false;
    }

private:
    int index_;
    char separator_;
};

// Releasing Enter in the refresh period writes it, then goes to the top threshold.
class RefreshEnterFilter final : public QObject {
public:
    RefreshEnterFilter(ParameterControls& controls, QLineEdit* edit, QLineEdit* next)
        : QObject(edit), controls_(controls), edit_(edit), next_(next) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyRelease) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        controls_.writeEditor(params::pn::TankRefresh, edit_, params::EditorEvent::EnterReleased);
        next_->setFocus(Qt::TabFocusReason);
        return true;
    }

private:
    ParameterControls& controls_;
    QLineEdit* edit_;
    QLineEdit* next_;
};
}  // namespace

TankSensorDialog::TankSensorDialog(ParameterControls& controls, LiveFeed& feed, FactoryPage& factory, QWidget* parent)
    : QDialog(parent), controls_(controls), feed_(feed), factory_(factory) {
    setObjectName(QStringLiteral("TForm12"));
    setWindowTitle(QStringLiteral("Ustawienia Szkiełka Rezerwy"));
    const char sep = controls_.separator();
    auto* layout = new QVBoxLayout(this);

    auto* group = new QGroupBox(QStringLiteral("Ustawienia Szkiełka Rezerwy"), this);
    group->setObjectName(QStringLiteral("GroupBox4"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(MakeLabel(QStringLiteral("Label17"), QStringLiteral("Volt"), group), 0, 2);
    const char* levelNames[] = {"LabelSzkloFull", "LabelSzklo34", "LabelSzklo12", "LabelSzklo14", "LabelSzkloRez"};
    const char* levelTexts[] = {"Full", "3/4", "1/2", "1/4", "Rez."};
    const char* fieldNames[] = {"EditRez34", "EditRez12", "EditRez14", "EditSzkloR"};
    for (int i = 0; i < 5; ++i) {
        // Full at the top with lamp 5, the reserve at the bottom with lamp 1.
        auto* lamp = new LedLamp(group);
        lamp->setObjectName(QStringLiteral("AbLEDSzkielko%1").arg(5 - i));
        lamp->setColour(QColor(0, 200, 0));
        lamps_[static_cast<std::size_t>(4 - i)] = lamp;
        grid->addWidget(lamp, 1 + 2 * i, 0);
        grid->addWidget(MakeLabel(QString::fromLatin1(levelNames[i]), QString::fromLatin1(levelTexts[i]), group),
                        1 + 2 * i, 1);
        if (i == 4) break;
        auto* field = new QLineEdit(group);
        field->setObjectName(QString::fromLatin1(fieldNames[i]));
        field->setMaxLength(4);
        field->setMaximumWidth(70);
        const int index = 3 - i;  // parameter 30 + index
        field->installEventFilter(new ThresholdLimitFilter(index, sep, field));
        thresholds_[static_cast<std::size_t>(index)] = field;
        grid->addWidget(field, 2 + 2 * i, 2);
    }
    grid->addWidget(MakeLabel(QStringLiteral("Label16"), QStringLiteral("Kierunek:"), group), 10, 0, 1, 2);
    direction_ = new QComboBox(group);
    direction_->setObjectName(QStringLiteral("ComboBoxSzkloRosMal"));
    direction_->addItems({QStringLiteral("Szkiełko Malejące"), QStringLiteral("Szkiełko Rosnące")});
    grid->addWidget(direction_, 10, 2);
    layout->addWidget(group);

    auto* voltageRow = new QHBoxLayout;
    voltageRow->addWidget(MakeLabel(QStringLiteral("Label12"), QStringLiteral("Napięcie czujnika:"), this));
    voltage_ = new QLabel(this);
    voltage_->setObjectName(QStringLiteral("EditPoziomLPG"));
    voltage_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    voltage_->setAlignment(Qt::AlignCenter);
    voltage_->setMinimumWidth(80);
    voltageRow->addWidget(voltage_);
    voltageRow->addStretch(1);
    layout->addLayout(voltageRow);

    auto* refreshBox = new QGroupBox(this);
    refreshBox->setObjectName(QStringLiteral("GroupBox1"));
    auto* refreshRow = new QHBoxLayout(refreshBox);
    refreshRow->addWidget(MakeLabel(QStringLiteral("LabelOdswiezanieOczka"), QStringLiteral("Odswiezanie oczka"), refreshBox));
    QLineEdit* refresh = MakeParameterEdit(controls_, params::pn::TankRefresh, QStringLiteral("EditOdswiezanieOczka"), live::KeyFilter::Decimal,
                                           false, false, refreshBox);
    refresh->setMaximumWidth(70);
    refresh->installEventFilter(new RefreshEnterFilter(controls_, refresh, thresholds_[3]));
    refreshRow->addWidget(refresh);
    refreshRow->addStretch(1);
    layout->addWidget(refreshBox);

    auto* buttons = new QHBoxLayout;
    auto* saveButton = new QPushButton(QStringLiteral("Zapisz Zmiany !"), this);
    saveButton->setObjectName(QStringLiteral("Button10"));
    saveButton->setAutoDefault(false);
    auto* cancel = new QPushButton(QStringLiteral("Anuluj"), this);
    cancel->setObjectName(QStringLiteral("BitBtn1"));
    cancel->setAutoDefault(false);
    buttons->addWidget(saveButton);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(saveButton, &QPushButton::clicked, this, &TankSensorDialog::save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(&feed_, &LiveFeed::frameAccepted, this, [this](const live::ReadingsView& view) {
        if (isVisible()) showVoltage(QString::fromStdString(view.tankVoltsText));
    });
}

void TankSensorDialog::prepare() {
    for (LedLamp* lamp : lamps_) lamp->setOn(false);
    const ConfigurationModel& model = controls_.model();
    const live::LiveWords& words = model.words();
    if (words[live::word::FuelState] == kOnGas) {
        const int level = params::ClassifyTankLevel(words[live::word::Tank], model.image());
        for (int n = 0; n < level && n < 5; ++n) lamps_[static_cast<std::size_t>(n)]->setOn(true);
    }
    for (std::size_t i = 0; i < 4; ++i) thresholds_[i]->setText(factory_.thresholdFields()[i]->text());
    direction_->setCurrentIndex(factory_.directionList()->currentIndex());
    showVoltage(QString::fromStdString(feed_.view().tankVoltsText));
}

int TankSensorDialog::edit() {
    prepare();
    return exec();
}

void TankSensorDialog::save() {
    for (std::size_t i = 0; i < 4; ++i) factory_.thresholdFields()[i]->setText(thresholds_[i]->text());
    ParameterControls::SelectQuietly(factory_.directionList(), direction_->currentIndex());
    // A text that is not a number sent nothing: the dialog stays open to correct it.
    if (factory_.saveTankThresholds()) accept();
}

void TankSensorDialog::showVoltage(const QString& text) { SetTextIfChanged(voltage_, text); }

}  // namespace sequaflow::ui
