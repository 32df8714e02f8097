#include "ui/connection_controller.h"

#include <QMessageBox>
#include <QPushButton>

#include "i18n/message_ids.h"
#include "params/parameter_settings.h"
#include "params/read_everything.h"
#include "ui/app_settings.h"
#include "ui/configuration_model.h"
#include "ui/dialogs/status_window.h"
#include "ui/dialogs/vehicle_data_dialog.h"
#include "ui/fields.h"
#include "ui/live_feed.h"
#include "ui/main_menu.h"
#include "ui/parameter_controls.h"
#include "ui/sequence_runner.h"

namespace sequaflow::ui {

namespace msg = i18n::msg;

namespace {
// How often a lost line is tried again: an adapter plugged back in is found within a second.
constexpr int kReconnectMs = 1000;
}  // namespace

ConnectionController::ConnectionController(SequenceRunner& runner, ConfigurationModel& model, LiveFeed& feed,
                                           const i18n::MessageStore& messages, AppSettings& settings, MainMenu& menu,
                                           ParameterControls& controls, QWidget* window)
    : QObject(window),
      runner_(runner),
      model_(model),
      feed_(feed),
      messages_(messages),
      settings_(settings),
      menu_(menu),
      controls_(controls),
      window_(window) {
    timer_.setObjectName(QStringLiteral("TimerAutoconnect"));
    timer_.setInterval(link::kAutoConnectIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &ConnectionController::autoConnectTick);
    reconnect_.setInterval(kReconnectMs);
    connect(&reconnect_, &QTimer::timeout, this, &ConnectionController::reconnectTick);

    readButton_ = new QPushButton(QStringLiteral("Odczytaj"), window);
    readButton_->setObjectName(QStringLiteral("ButtonOdczytajParam"));
    readButton_->hide();
    connect(readButton_, &QPushButton::clicked, this, &ConnectionController::readEverything);

    status_ = new StatusWindow([this] { return runner_.connected(); }, messages_, window);
    connect(status_, &StatusWindow::detectionStopRequested, this, [this] { timer_.stop(); });

    for (int i = 0; i < link::kPortCount; ++i) {
        QAction* item = menu_.portItem(i);
        item->setToolTip(QString::fromStdString(runner_.line().ports().path(i)));
        connect(item, &QAction::triggered, this, [this, i] { portItemClicked(i); });
    }
    connect(menu_.action(QStringLiteral("AutodetekcjaCTRLD1")), &QAction::triggered, this,
            &ConnectionController::startAutoDetect);
    connect(&runner_, &SequenceRunner::lineLost, this, &ConnectionController::lineLost);
}

void ConnectionController::showMessage(int id) { QMessageBox::warning(window_, QString(), Text(messages_, id)); }

void ConnectionController::showPortError(const QString& detail) {
    QMessageBox box(QMessageBox::Warning, QString(), Text(messages_, msg::PortBusy), QMessageBox::Ok, window_);
    box.setObjectName(QStringLiteral("PortBusyMessage"));
    box.setInformativeText(detail);
    box.exec();
}

void ConnectionController::portItemClicked(int index) {
    link::ConnectResult result;
    if (!runner_.exchange([&](link::ControllerLink& line) { result = line.connection().ConnectToPort(index); }))
        return;
    timer_.stop();
    reconnect_.stop();
    if (status_->isVisible()) status_->hide();
    menu_.uncheckAllPorts();
    switch (result.outcome) {
        case link::ConnectOutcome::PortBusy:
            showPortError(result.portError ? QString::fromStdString(result.portError->detail) : QString());
            return;
        case link::ConnectOutcome::NoController: showMessage(msg::NoController); return;
        case link::ConnectOutcome::Connected: break;
    }
    connected(index);
    menu_.checkPort(index + 1);
    settings_.setComNr(index + 1);
}

void ConnectionController::connected(int index) {
    lastIndex_ = index;
    reconnect_.stop();
    emit windowCaptionChanged(QString::fromStdString(runner_.line().connection().caption()));
    readEverything();
}

void ConnectionController::startAutoDetect() {
    (void)runner_.exchange([](link::ControllerLink& line) { line.connection().StartAutoDetect(); });
    reconnect_.stop();
    if (timer_.isActive()) timer_.stop();
    else timer_.start();
    status_->show();
    status_->raise();
}

void ConnectionController::autoConnectTick() {
    link::DetectTick tick;
    if (!runner_.exchange([&](link::ControllerLink& line) { tick = line.connection().AutoConnectTick(); })) return;
    if (tick.status) status_->setStatus(QString::fromStdString(*tick.status));
    menu_.uncheckAllPorts();
    menu_.checkPort(tick.checkedPort + 1);
    if (tick.connected) {
        timer_.stop();
        status_->hide();
        connected(runner_.line().connection().portIndex());
    }
}

void ConnectionController::restoreSavedPort() {
    const auto saved = settings_.comNr();
    if (!saved || *saved < 1 || *saved > link::kPortCount) return;
    menu_.portItem(*saved - 1)->trigger();
}

void ConnectionController::readEverything() {
    params::ReadEverythingHooks hooks;
    hooks.offerFactoryReset = [this] {
        return QMessageBox::question(window_, Text(messages_, msg::MemoryResetTitle), Text(messages_, msg::NotProgrammed),
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    bool vehicleDataMissing = false;
    const auto result = runner_.run(i18n::SequenceKind::Read, [&](link::Link& link, const SequenceControl& control) {
        hooks.control = control;
        return model_.replace([&](params::ProgramState& state) {
            const params::ReadEverythingReport report = ReadEverything(link, state, hooks);
            vehicleDataMissing = report.vehicleDataMissing();
            return report.sequence;
        });
    });
    if (result) emit everythingRead();
    if (result && vehicleDataMissing) askForVehicleData();
}

void ConnectionController::askForVehicleData() {
    const auto answer = QMessageBox::question(window_, Text(messages_, msg::SaveVehicleDataTitle),
                                              Text(messages_, msg::VehicleDataNotSaved),
                                              QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes) {
        window_->close();
        return;
    }
    // The data is not optional: leaving the entry without saving ends the program as No does.
    auto* entry = window_->findChild<VehicleDataDialog*>(QStringLiteral("TForm5"));
    if (entry == nullptr || !entry->enterVehicleData()) {
        window_->close();
        return;
    }
    const char sep = controls_.separator();
    (void)controls_.run([sep](link::Link& link, params::ProgramState& state) {
        return params::ApplyFirstRunDefaults(link, state, sep);
    });
}

void ConnectionController::lineLost() {
    feed_.setStale(true);
    runner_.say(Text(messages_, msg::LineLostStale));
    if (lastIndex_ >= 0 && !timer_.isActive()) reconnect_.start();
}

void ConnectionController::reconnectTick() {
    if (runner_.connected() || timer_.isActive()) {
        reconnect_.stop();
        return;
    }
    link::ConnectResult result;
    // Quietly: the user already sees that the line is lost; a box a second would bury the window.
    if (!runner_.exchange([&](link::ControllerLink& line) { result = line.connection().ConnectToPort(lastIndex_); }))
        return;
    if (result.outcome != link::ConnectOutcome::Connected) return;
    connected(lastIndex_);
    runner_.say(Text(messages_, msg::LineBack) + QStringLiteral(" - ") + runner_.lastStatus());
}

void ConnectionController::stop() {
    timer_.stop();
    reconnect_.stop();
    status_->hide();
}

}  // namespace sequaflow::ui
