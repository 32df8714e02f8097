#include "ui/readings_controller.h"

#include <QAction>

#include "link/commands.h"
#include "ui/app_settings.h"
#include "ui/main_menu.h"
#include "ui/session.h"

namespace sequaflow::ui {

namespace msg {
constexpr int ComError = 12052;
constexpr int EcuError = 12053;
constexpr int Connected = 13014;
constexpr int NotConnected = 13015;
}  // namespace msg

ReadingsController::ReadingsController(Session& session, AppSettings& settings, MainMenu& menu, QObject* parent)
    : QObject(parent), session_(session), settings_(settings), menu_(menu) {
    timer_.setObjectName(QStringLiteral("TimerVizualizacja"));
    timer_.setInterval(live::kReadingsTickMs);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &ReadingsController::tick);

    connect(menu_.action(QStringLiteral("PrzecznaBenzyn1")), &QAction::triggered, this,
            &ReadingsController::switchToPetrol);
    connect(menu_.action(QStringLiteral("PrzecznaAutomat1")), &QAction::triggered, this, [this] {
        if (session_.busy()) return;
        link::SwitchToAuto(session_.link());
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
    if (session_.busy()) return;  // never between the frames of a running sequence
    live::TickOutcome outcome;
    {
        Session::Busy busy(session_);
        outcome = session_.readingsCycle().Tick(session_.link(), session_.state().words);
    }
    switch (outcome) {
        case live::TickOutcome::NotConnected:
        case live::TickOutcome::MissedShowError:
            emit statusChanged(session_.message(msg::ComError), session_.message(msg::NotConnected), false);
            break;
        case live::TickOutcome::NotIdentified:
            emit statusChanged(session_.message(msg::EcuError), session_.message(msg::NotConnected), false);
            break;
        case live::TickOutcome::Accepted:
            emit statusChanged(QString(), session_.message(msg::Connected), true);
            session_.publishReadings();
            break;
        case live::TickOutcome::BadChecksum:
        case live::TickOutcome::Missed: break;
    }
}

void ReadingsController::switchToPetrol() {
    if (session_.busy()) return;
    link::SwitchToPetrol(session_.link());
}

void ReadingsController::switchToAuto() {
    if (session_.busy()) return;
    link::SwitchToAuto(session_.link());
    emit fuelFacesRequested(1);
}

void ReadingsController::switchToGas() {
    if (session_.busy()) return;
    auto& link = session_.link();
    if (session_.state().words[live::word::ErrorsStored] & 1u) link::ClearErrors(link);
    link::SwitchToGas(link);
}

void ReadingsController::toggleFuel() {
    if (session_.view().onGas) switchToPetrol();
    else switchToGas();
}

}  // namespace sequaflow::ui
