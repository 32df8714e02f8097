#include "ui/connection_controller.h"

#include <algorithm>

#include <QMenu>
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
    // Cheap enough for every opening: a look at each device path and at serial/by-id, no /proc walk.
    connect(menu_.menu(QStringLiteral("Port1")), &QMenu::aboutToShow, this, &ConnectionController::scanPorts);
    connect(menu_.action(QStringLiteral("SkanujPorty1")), &QAction::triggered, this, &ConnectionController::scanPorts);
    menu_.action(QStringLiteral("SkanujPorty1"))->setText(Text(messages_, msg::ScanPorts));
    menu_.menu(QStringLiteral("InneAdaptery1"))->setTitle(Text(messages_, msg::OtherAdapters));
    menu_.menu(QStringLiteral("InneAdaptery1"))->menuAction()->setEnabled(false);
    for (const auto& ignored : settings_.ignoredPortSettings()) {
        const QString text = Text(messages_, msg::PortSettingIgnored).arg(ignored.entry, ignored.value);
        qWarning("%s", qPrintable(text));
        runner_.say(text);
    }
    connect(menu_.action(QStringLiteral("AutodetekcjaCTRLD1")), &QAction::triggered, this,
            &ConnectionController::startAutoDetect);
    connect(&runner_, &SequenceRunner::lineLost, this, &ConnectionController::lineLost);
}

void ConnectionController::showMessage(int id) { QMessageBox::warning(window_, QString(), Text(messages_, id)); }

void ConnectionController::showPortError(int index, const link::PortError& error) {
    const QString path = QString::fromStdString(runner_.line().ports().path(index));
    QString text;
    switch (error.code) {
        case link::PortErrorCode::NotFound: text = Text(messages_, msg::PortMissing).arg(path); break;
        case link::PortErrorCode::NotSerial: text = Text(messages_, msg::PortNotSerial).arg(path); break;
        case link::PortErrorCode::PermissionDenied: text = Text(messages_, msg::PortNoPermission).arg(path); break;
        case link::PortErrorCode::Busy: {
            // Name the holder when the system tells us; otherwise the plain busy text.
            const QString who =
                QString::fromStdString(link::DescribeHolders(link::FindHolders(deviceRoot_, path.toStdString())));
            text = who.isEmpty() ? Text(messages_, msg::PortBusy) : Text(messages_, msg::PortInUseBy).arg(path, who);
            break;
        }
        case link::PortErrorCode::Io:
        case link::PortErrorCode::Lost: text = QString::fromStdString(error.detail); break;
    }
    QMessageBox box(QMessageBox::Warning, QString(), text, QMessageBox::Ok, window_);
    box.setObjectName(error.code == link::PortErrorCode::Busy ? QStringLiteral("PortBusyMessage")
                                                              : QStringLiteral("PortErrorMessage"));
    // The system's own words stay at hand.
    if (text != QString::fromStdString(error.detail)) box.setInformativeText(QString::fromStdString(error.detail));
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
        case link::ConnectOutcome::PortFailed:
            showPortError(index, result.portError ? *result.portError : link::PortError{link::PortErrorCode::Io, {}});
            return;
        case link::ConnectOutcome::NoController: showMessage(msg::NoController); return;
        case link::ConnectOutcome::Connected: break;
    }
    connected(index);
    menu_.checkPort(index + 1);
    // A path given for this run only (--map) must not become the port the next start opens.
    if (!runner_.line().ports().oneRun(index)) settings_.setComNr(index + 1);
}

void ConnectionController::scanPorts() {
    scan_ = link::TakeInventory(runner_.line().ports(), deviceRoot_, {.access = false});
    for (const auto& entry : scan_.entries) {
        QString caption = QString::fromStdString(entry.caption);
        switch (entry.presence) {
            case link::PortPresence::Present:
                if (!entry.adapter.empty()) caption += QStringLiteral(" — ") + QString::fromStdString(entry.adapter);
                break;
            case link::PortPresence::NotSerial:
                caption += QStringLiteral(" — ") + Text(messages_, msg::PortNotSerial).arg(QString::fromStdString(entry.path));
                break;
            case link::PortPresence::Missing:
                caption += QStringLiteral(" — ") + Text(messages_, msg::PortNotPresent);
                break;
        }
        QAction* item = menu_.portItem(entry.index);
        item->setText(caption);
        item->setToolTip(QString::fromStdString(entry.path));
    }
    menu_.action(QStringLiteral("SkanujPorty1"))->setText(Text(messages_, msg::ScanPorts));
    QMenu* others = menu_.menu(QStringLiteral("InneAdaptery1"));
    others->setTitle(Text(messages_, msg::OtherAdapters));
    others->clear();
    for (const auto& adapter : scan_.others) {
        const QString link = QString::fromStdString(adapter.link);
        QAction* item = others->addAction(QString::fromStdString(adapter.name) + QStringLiteral(" — ") +
                                          QString::fromStdString(adapter.device));
        item->setToolTip(link);
        connect(item, &QAction::triggered, this, [this, link] { mapAdapter(link); });
    }
    others->menuAction()->setEnabled(!scan_.others.empty());
}

void ConnectionController::mapAdapter(const QString& byIdLink) {
    // What the menu showed may be gone: look again before offering anything.
    const auto now = link::TakeInventory(runner_.line().ports(), deviceRoot_, {.access = false});
    const auto adapter = std::find_if(now.others.begin(), now.others.end(),
                                      [&](const link::OtherAdapter& a) { return a.link == byIdLink.toStdString(); });
    if (adapter == now.others.end()) {
        QMessageBox::warning(window_, QString(), Text(messages_, msg::PortMissing).arg(byIdLink));
        scanPorts();
        return;
    }
    const auto free = std::find_if(now.entries.begin(), now.entries.end(),
                                   [](const link::PortStatus& e) { return e.presence == link::PortPresence::Missing; });
    if (free == now.entries.end()) {
        showMessage(msg::NoFreePortEntry);
        return;
    }
    const int index = free->index;
    const QString question = Text(messages_, msg::MapAdapterQuestion)
                                 .arg(QString::fromStdString(adapter->name), QString::fromStdString(adapter->device),
                                      QString::fromStdString(free->caption));
    if (QMessageBox::question(window_, Text(messages_, msg::MapAdapterTitle), question,
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    // The by-id link, not the ttyUSB number: it stays with this adapter whatever order they are plugged in.
    if (!runner_.exchange([&](link::ControllerLink& line) { line.ports().setPath(index, adapter->link); })) return;
    settings_.setPortPath(index, byIdLink);
    scanPorts();
    portItemClicked(index);
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
