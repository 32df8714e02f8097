#include "ui/side_panel.h"

#include <QGridLayout>
#include <algorithm>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "i18n/message_ids.h"
#include "ui/fields.h"
#include "ui/readings_controller.h"
#include "ui/configuration_model.h"
#include "ui/live_feed.h"
#include "ui/widgets/colour_button.h"
#include "ui/widgets/led_lamp.h"
#include "ui/widgets/round_meter.h"
#include "ui/widgets/tank_gauge.h"

namespace sequaflow::ui {

namespace {
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);
const QColor kOrange(255, 128, 0);
const QColor kBlue(0, 0, 255);

namespace msg = i18n::msg;
}  // namespace

SidePanel::SidePanel(const LiveFeed& feed, const ConfigurationModel& model, const i18n::MessageStore& messages,
                     ReadingsController& readings, QWidget* parent)
    : QWidget(parent), feed_(feed), model_(model), messages_(messages) {
    setObjectName(QStringLiteral("Panel1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    rpm_ = new RoundMeter(this);
    rpm_->setObjectName(QStringLiteral("Ab270MeterRPM"));
    rpm_->setRange(0, 8);
    rpm_->setSignalName(QStringLiteral("Obroty"));
    rpm_->setUnitText(QStringLiteral("x1000"));
    rpm_->setZones({{6.0, 8.0, QColor(220, 60, 50)}});
    rpmText_ = MakeValueField(QStringLiteral("EditAb270MeterRPM"), this);
    pressure_ = new RoundMeter(this);
    pressure_->setObjectName(QStringLiteral("ManometrPsys"));
    pressure_->setRange(0, 3);
    pressure_->setSignalName(QStringLiteral("Ciśnienie"));
    pressure_->setUnitText(QStringLiteral("Bar"));
    pressure_->setMajorTicks(6);
    pressure_->setValueDecimals(2);
    pressureText_ = MakeValueField(QStringLiteral("EditManometrPsys"), this);
    for (auto* w : {static_cast<QWidget*>(rpm_), static_cast<QWidget*>(rpmText_), static_cast<QWidget*>(pressure_),
                    static_cast<QWidget*>(pressureText_)})
        layout->addWidget(w);

    fuel_ = new ColourButton(this);
    fuel_->setObjectName(QStringLiteral("ColorButtonPaliwo"));
    fuel_->setOnText(Text(messages_, msg::Petrol));
    layout->addWidget(fuel_);

    auto* buttons = new QGridLayout;
    petrol_ = new ColourButton(this);
    petrol_->setObjectName(QStringLiteral("ButtonBenzyna"));
    petrol_->setText(QStringLiteral("benzyna"));
    automatic_ = new ColourButton(this);
    automatic_->setObjectName(QStringLiteral("ButtonAutomat"));
    automatic_->setText(QStringLiteral("automat"));
    gas_ = new ColourButton(this);
    gas_->setObjectName(QStringLiteral("ButtonLPG"));
    gas_->setText(QStringLiteral("gaz"));
    for (auto* b : {petrol_, automatic_, gas_}) {
        QFont f = b->font();
        f.setPointSizeF(f.pointSizeF() * 0.85);  // three captions side by side in the panel
        b->setFont(f);
        b->setMinimumHeight(30);
    }
    buttons->setSpacing(3);
    buttons->addWidget(petrol_, 0, 0);
    buttons->addWidget(automatic_, 0, 1);
    buttons->addWidget(gas_, 0, 2);
    layout->addLayout(buttons);
    connect(petrol_, &ColourButton::clicked, &readings, &ReadingsController::switchToPetrol);
    connect(automatic_, &ColourButton::clicked, &readings, &ReadingsController::switchToAuto);
    connect(gas_, &ColourButton::clicked, this, [this, &readings] {
        readings.switchToGas();
        if (model_.words()[live::word::FuelState] == 1) setFuelFaces(2);
    });

    status_ = MakeValueField(QStringLiteral("EditStatus"), this);
    status_->setAlignment(Qt::AlignCenter);
    statusLabelId_ = msg::NotConnected;
    statusLabel_ = MakeLabel(QStringLiteral("LabelStatusVAL"), Text(messages_, statusLabelId_), this);
    statusLabel_->setWordWrap(true);
    layout->addWidget(MakeLabel(QStringLiteral("LabelStatus"), QStringLiteral("Status"), this));
    layout->addWidget(status_);
    layout->addWidget(statusLabel_);

    tank_ = new TankGauge(this);
    tank_->setObjectName(QStringLiteral("ImageClips"));
    layout->addWidget(tank_);
    connect(tank_, &TankGauge::clicked, &readings, &ReadingsController::toggleFuel);

    errorLamp_ = new LedLamp(this);
    errorLamp_->setObjectName(QStringLiteral("AbLEDError"));
    errorLamp_->setCaption(Text(messages_, msg::Healthy));
    errorLamp_->hide();  // created hidden; its state is kept current all the same
    connect(errorLamp_, &LedLamp::clicked, this, &SidePanel::errorLampClicked);
    layout->addWidget(errorLamp_);
    layout->addStretch(1);
    // Which map the controller works with: choosing one also opens its page.
    auto* mapStd = new QPushButton(QStringLiteral("Mapa standardowa"), this);
    mapStd->setObjectName(QStringLiteral("sbMapStd"));
    auto* mapAdv = new QPushButton(QStringLiteral("Mapa zaawansowana"), this);
    mapAdv->setObjectName(QStringLiteral("sbMapAdv"));
    connect(mapStd, &QPushButton::clicked, this, [this] { emit mapChosen(2); });
    connect(mapAdv, &QPushButton::clicked, this, [this] { emit mapChosen(1); });
    layout->addWidget(mapStd);
    layout->addWidget(mapAdv);
    // The design's width, wider only when a language's captions need more (a fixed width would cut them).
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);

    connect(&feed_, &LiveFeed::frameAccepted, this, &SidePanel::showReadings);
}

QSize SidePanel::sizeHint() const {
    return {std::max(kWidth, minimumSizeHint().width()), QWidget::sizeHint().height()};
}

void SidePanel::showReadings() {
    const auto& v = feed_.view();
    rpm_->setValue(v.rpmGauge);
    SetTextIfChanged(rpmText_, QString::fromStdString(v.rpmPlain));
    pressure_->setValue(v.pressureBar);
    SetTextIfChanged(pressureText_, QString::fromStdString(v.pressurePlain));
    SetTextIfChanged(status_, Text(messages_, v.onGas ? msg::OnGas : msg::OnPetrol));
    setFuelFaces(v.onGas ? 2 : 0);
    fuel_->setOnText(Text(messages_, v.onGas ? msg::Gas : msg::Petrol));
    fuel_->setFaceColour(v.onGas ? kGreen : kRed);
    tank_->setLevel(v.tankPicture);
    errorLamp_->setOn(v.errors);
    errorLamp_->setFlashing(v.errors);
    errorLamp_->setCaption(Text(messages_, v.errors ? msg::Fault : msg::Healthy));
}

void SidePanel::showStatus(int editStatus, int label, bool connectedColour) {
    if (editStatus != 0) SetTextIfChanged(status_, Text(messages_, editStatus));
    statusLabelId_ = label;
    SetTextIfChanged(statusLabel_, Text(messages_, label));
    statusLabel_->setStyleSheet(connectedColour ? QStringLiteral("color: rgb(0,0,255);")
                                                : QStringLiteral("color: rgb(255,0,0);"));
}

void SidePanel::languageChanged() {
    // Until the first frame nothing else would put these texts in the new language.
    const auto& v = feed_.view();
    fuel_->setOnText(Text(messages_, v.onGas ? msg::Gas : msg::Petrol));
    errorLamp_->setCaption(Text(messages_, v.errors ? msg::Fault : msg::Healthy));
    SetTextIfChanged(statusLabel_, Text(messages_, statusLabelId_));
}

void SidePanel::setFuelFaces(int face) {
    const QColor neutral = palette().color(QPalette::Button);
    petrol_->setFaceColour(face == 0 ? kRed : neutral);
    automatic_->setFaceColour(face == 1 ? kOrange : neutral);
    gas_->setFaceColour(face == 2 ? kGreen : neutral);
}

}  // namespace sequaflow::ui
