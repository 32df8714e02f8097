#include "ui/connection_controller.h"

#include <QApplication>
#include <algorithm>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>

#include "link/commands.h"
#include "params/read_everything.h"
#include "ui/app_settings.h"
#include "ui/dialogs/status_window.h"
#include "ui/main_menu.h"
#include "ui/session.h"

namespace sequaflow::ui {

namespace msg {
constexpr int NoController = 10081;
constexpr int PortBusy = 10082;
constexpr int NotProgrammed = 13008;
constexpr int ResetTitle = 13009;
}  // namespace msg

ConnectionController::ConnectionController(Session& session, AppSettings& settings, MainMenu& menu, QWidget* window,
                                           QProgressBar* progress)
    : QObject(window), session_(session), settings_(settings), menu_(menu), window_(window), progress_(progress) {
    timer_.setObjectName(QStringLiteral("TimerAutoconnect"));
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, &ConnectionController::autoConnectTick);

    readButton_ = new QPushButton(QStringLiteral("Odczytaj"), window);
    readButton_->setObjectName(QStringLiteral("ButtonOdczytajParam"));
    readButton_->hide();
    connect(readButton_, &QPushButton::clicked, this, &ConnectionController::readEverything);

    status_ = new StatusWindow([this] { return session_.link().connected(); }, window);
    connect(status_, &StatusWindow::detectionStopRequested, this, [this] { timer_.stop(); });

    for (int i = 0; i < link::kPortCount; ++i) {
        QAction* item = menu_.portItem(i);
        item->setToolTip(QString::fromStdString(session_.ports().path(i)));
        connect(item, &QAction::triggered, this, [this, i] { portItemClicked(i); });
    }
    connect(menu_.action(QStringLiteral("AutodetekcjaCTRLD1")), &QAction::triggered, this,
            &ConnectionController::startAutoDetect);
}

void ConnectionController::showMessage(int id) {
    QMessageBox::warning(window_, QString(), session_.message(id));
}

void ConnectionController::showPortError(const QString& detail) {
    QMessageBox box(QMessageBox::Warning, QString(), session_.message(msg::PortBusy), QMessageBox::Ok, window_);
    box.setObjectName(QStringLiteral("PortBusyMessage"));
    box.setInformativeText(detail);
    box.exec();
}

void ConnectionController::portItemClicked(int index) {
    if (session_.busy()) return;
    timer_.stop();
    if (status_->isVisible()) status_->hide();
    link::ConnectResult result;
    {
        Session::Busy busy(session_);
        result = session_.connection().ConnectToPort(index);
    }
    menu_.uncheckAllPorts();
    switch (result.outcome) {
        case link::ConnectOutcome::PortBusy:
            session_.publishConnection();
            showPortError(result.portError ? QString::fromStdString(result.portError->detail) : QString());
            return;
        case link::ConnectOutcome::NoController:
            session_.publishConnection();
            showMessage(msg::NoController);
            return;
        case link::ConnectOutcome::Connected: break;
    }
    emit windowCaptionChanged(QString::fromStdString(session_.connection().caption()));
    session_.publishConnection();
    readButton_->click();
    menu_.checkPort(index + 1);
    settings_.setComNr(index + 1);
}

void ConnectionController::startAutoDetect() {
    session_.connection().StartAutoDetect();
    session_.publishConnection();
    if (timer_.isActive()) timer_.stop();
    else timer_.start();
    status_->show();
    status_->raise();
}

void ConnectionController::autoConnectTick() {
    if (session_.busy()) return;
    link::DetectTick tick;
    {
        Session::Busy busy(session_);
        tick = session_.connection().AutoConnectTick();
    }
    if (tick.status) status_->setStatus(QString::fromStdString(*tick.status));
    menu_.uncheckAllPorts();
    menu_.checkPort(tick.checkedPort + 1);
    if (tick.connected) {
        timer_.stop();
        status_->hide();
        emit windowCaptionChanged(QString::fromStdString(session_.connection().caption()));
        session_.publishConnection();
        readButton_->click();
    }
}

void ConnectionController::restoreSavedPort() {
    const auto saved = settings_.comNr();
    if (!saved || *saved < 1 || *saved > link::kPortCount) return;
    menu_.portItem(*saved - 1)->trigger();
}

void ConnectionController::readEverything() {
    if (session_.busy()) return;
    Session::Busy busy(session_);
    auto& link = session_.link();
    auto& state = session_.state();
    // Each phase reports its own range; the bar shows the phase's progress.
    progress_->setRange(0, 100);
    progress_->setValue(0);
    params::ReadEverythingHooks hooks;
    hooks.progress = [this](const params::ProgressStep& step) {
        const int max = step.maximum > 0 ? step.maximum : 1;
        progress_->setValue(100 * std::min(step.position, max) / max);
    };
    hooks.offerFactoryReset = [this] {
        return QMessageBox::question(window_, session_.message(msg::ResetTitle), session_.message(msg::NotProgrammed),
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    params::ReadEverything(link, state, hooks);
    progress_->setValue(0);  // done: an empty bar, not one that looks stuck at the end
    state.hardware = session_.connection().hardware();
    state.software = session_.connection().software();
    session_.publishReadFinished();
}

void ConnectionController::stop() {
    timer_.stop();
    status_->hide();
}

}  // namespace sequaflow::ui
