#include "ui/dialogs/turbo_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "params/parameter_numbers.h"
#include "params/parameter_settings.h"
#include "ui/configuration_model.h"
#include "ui/fields.h"
#include "ui/parameter_controls.h"

namespace sequaflow::ui {

namespace {
constexpr int kBoostOffset = 100;  // parameter 12 = position + 100
constexpr int kStartPosition = 35;
constexpr int kMaxPosition = 65;
}  // namespace

TurboDialog::TurboDialog(ParameterControls& controls, QWidget* parent) : QDialog(parent), controls_(controls) {
    setObjectName(QStringLiteral("TForm15"));
    setWindowTitle(QStringLiteral("Turbo"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeLabel(QStringLiteral("LabelDoladowanieUstal"),
                                QString::fromUtf8("Ustal ciśnienie doładowania Turbiny:"), this));
    scroll_ = new QScrollBar(Qt::Horizontal, this);
    scroll_->setObjectName(QStringLiteral("ScrollBarTurbo"));
    scroll_->setRange(0, kMaxPosition);
    scroll_->setPageStep(5);
    scroll_->setValue(kStartPosition);
    scroll_->setMinimumWidth(320);
    layout->addWidget(scroll_);
    auto* scale = new QHBoxLayout;
    scale->addWidget(MakeLabel(QStringLiteral("LabelTurbo0"), QStringLiteral("0 [Bar]"), this));
    scale->addStretch(1);
    scale->addWidget(MakeLabel(QStringLiteral("LabelTurbo05"), QStringLiteral("0,5 [Bar]"), this));
    scale->addStretch(1);
    scale->addWidget(MakeLabel(QStringLiteral("LabelTurbo1"), QStringLiteral("1 [Bar]"), this));
    layout->addLayout(scale);
    auto* buttons = new QHBoxLayout;
    auto* cancel = new QPushButton(QStringLiteral("ANULUJ"), this);
    cancel->setObjectName(QStringLiteral("ButAnuluj"));
    auto* save = new QPushButton(QStringLiteral("Zapisz zmiany"), this);
    save->setObjectName(QStringLiteral("ButtonTURBO"));
    save->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(save, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    ConfigurationModel& model = controls_.model();
    connect(&model, &ConfigurationModel::readFinished, this, &TurboDialog::showBoost);
    connect(&model, &ConfigurationModel::parameterChanged, this, [this](int slot) {
        if (slot == params::pn::TurboBoost) showBoost();
    });
    // Switching the turbo off puts the boost back to 0 even when parameter 12 already said so.
    connect(&controls_, &ParameterControls::itemShown, this, [this](params::Setting setting, int item) {
        if (setting == params::Setting::TurboBoost) scroll_->setValue(std::clamp(item, 0, kMaxPosition));
    });
}

void TurboDialog::showBoost() {
    const int position = controls_.model().image().slot(params::pn::TurboBoost) - kBoostOffset;
    scroll_->setValue(std::clamp(position, scroll_->minimum(), scroll_->maximum()));
}

void TurboDialog::edit() {
    if (exec() == QDialog::Accepted) save();
}

void TurboDialog::save() {
    const int position = scroll_->value();
    (void)controls_.run([&](link::Link& link, params::ProgramState& state) {
        return params::WriteTurboBoost(link, state.image, position);
    });
}

}  // namespace sequaflow::ui
