#include "ui/readings_controller.h"

#include <QAction>

#include "i18n/message_ids.h"
#include "link/commands.h"
#include "ui/app_settings.h"
#include "ui/configuration_model.h"
#include "ui/fields.h"
#include "ui/live_feed.h"
#include "ui/main_menu.h"
#include "ui/sequence_runner.h"

namespace sequaflow::ui {

namespace msg = i18n::msg;

ReadingsController::ReadingsController(SequenceRunner& runner, ConfigurationModel& model, LiveFeed& feed,
                                       const i18n::MessageStore& messages, AppSettings& settings, MainMenu& menu,
                                       QObject* parent)
    : QObject(parent),
      runner_(runner),
      model_(model),
      feed_(feed),
      messages_(messages),
      settings_(settings),
      menu_(menu) {
    timer_.setObjectName(QStringLiteral("TimerVizualizacja"));
    timer_.setInterval(live::kReadingsTickMs);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &ReadingsController::tick);

    connect(menu_.action(QStringLiteral("PrzecznaBenzyn1")), &QAction::triggered, this,
            &ReadingsController::switchToPetrol);
    connect(menu_.action(QStringLiteral("PrzecznaAutomat1")), &QAction::triggered, this, [this] {
        (void)runner_.exchange([](link::ControllerLink& line) { link::SwitchToAuto(line.link()); });
    });
    connect(menu_.action(QStringLiteral("PrzecznaLPG1")), &QAction::triggered, this, &ReadingsController::switchToGas);

    QAction* space = menu_.action(QStringLiteral("spacjaprzelaczabg1"));
    space->setChecked(settings_.spaceBG());
    connect(space, &QAction::triggered, this, [this](bool on) { settings_.setSpaceBG(on); });
    connect(menu_.action(QStringLiteral("przelacznikbg")), &QAction::triggered, this, [this] {
        if (menu_.action(QStringLiteral("spacjaprzelaczabg1"))->isChecked()) toggleFuel();
    });
}

void ReadingsController::tick() {
    live::TickOutcome outcome{};
    // Never between the frames of a running sequence: the runner refuses while one holds the line.
    if (!runner_.exchange([&](link::ControllerLink& line) { outcome = cycle_.Tick(line.link(), model_.liveWords()); }))
        return;
    switch (outcome) {
        case live::TickOutcome::NotConnected:
        case live::TickOutcome::MissedShowError:
            emit statusChanged(msg::ComError, msg::NotConnected, false);
            break;
        case live::TickOutcome::NotIdentified:
            emit statusChanged(msg::EcuError, msg::NotConnected, false);
            break;
        case live::TickOutcome::Accepted: showAccepted(); break;
        case live::TickOutcome::BadChecksum:
        case live::TickOutcome::Missed: break;
    }
}

void ReadingsController::showAccepted() {
    emit statusChanged(0, msg::Connected, true);
    feed_.accept(live::ComputeReadings(model_.words(), params::ReadingsInputsOf(model_.state())));
}

void ReadingsController::switchToPetrol() {
    (void)runner_.exchange([](link::ControllerLink& line) { link::SwitchToPetrol(line.link()); });
}

void ReadingsController::switchToAuto() {
    if (runner_.exchange([](link::ControllerLink& line) { link::SwitchToAuto(line.link()); }))
        emit fuelFacesRequested(1);
}

void ReadingsController::switchToGas() {
    (void)runner_.exchange([this](link::ControllerLink& line) {
        if (model_.words()[live::word::ErrorsStored] & 1u) link::ClearErrors(line.link());
        link::SwitchToGas(line.link());
    });
}

void ReadingsController::toggleFuel() {
    if (feed_.view().onGas) switchToPetrol();
    else switchToGas();
}

}  // namespace sequaflow::ui
