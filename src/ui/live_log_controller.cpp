#include "ui/live_log_controller.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStatusBar>
#include <functional>

#include "i18n/message_ids.h"
#include "link/pacer.h"
#include "params/program_state.h"
#include "ui/configuration_model.h"
#include "ui/fields.h"
#include "ui/live_feed.h"
#include "ui/main_menu.h"
#include "ui/widgets/left_click.h"

namespace sequaflow::ui {
namespace {

namespace msg = i18n::msg;

// Runs often enough that a second is never much exceeded; the log itself decides whether a flush is due.
constexpr int kFlushCheckMs = 250;

class ClickableLabel final : public QLabel {
public:
    ClickableLabel(std::function<void()> clicked, QWidget* parent) : QLabel(parent), clicked_(std::move(clicked)) {}

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (!click_.press(event)) QLabel::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        bool inside = false;
        if (!click_.release(event, rect(), inside)) return QLabel::mouseReleaseEvent(event);
        if (inside) clicked_();
    }

private:
    std::function<void()> clicked_;
    LeftClick click_;
};

live::LocalTime Now() {
    const QDateTime t = QDateTime::currentDateTime();
    return {t.date().year(), t.date().month(), t.date().day(), t.time().hour(), t.time().minute(), t.time().second()};
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

LiveLogController::LiveLogController(const ConfigurationModel& model, const LiveFeed& feed,
                                     const i18n::MessageStore& messages, MainMenu& menu, link::Pacer& pacer,
                                     QStatusBar* bar, QWidget* window, QString startDir)
    : QObject(window),
      model_(model),
      messages_(messages),
      menu_(menu),
      pacer_(pacer),
      bar_(bar),
      window_(window),
      startDir_(std::move(startDir)) {
    indicator_ = new ClickableLabel([this] { stop(); }, bar_);
    indicator_->setObjectName(QStringLiteral("LabelLog"));
    indicator_->setStyleSheet(QStringLiteral("QLabel { color: #b00000; font-weight: bold; padding: 0 6px; }"));
    indicator_->setCursor(Qt::PointingHandCursor);
    bar_->addPermanentWidget(indicator_);
    indicator_->hide();

    flushTimer_.setParent(this);  // a child, so the tests find and freeze it with the window's other timers
    flushTimer_.setObjectName(QStringLiteral("TimerLog"));
    flushTimer_.setInterval(kFlushCheckMs);
    connect(&flushTimer_, &QTimer::timeout, this, &LiveLogController::flushIfDue);

    connect(menu_.action(QStringLiteral("ZapisLogu1")), &QAction::toggled, this, [this](bool on) {
        if (on) (void)start();
        else stop();
    });
    connect(&feed, &LiveFeed::frameAccepted, this, &LiveLogController::writeFrame);
    connect(&feed, &LiveFeed::staleChanged, this, &LiveLogController::lineChanged);
}

// The menu and the status bar may be gone already; the log's own destructor still hands over its buffer.
LiveLogController::~LiveLogController() = default;

bool LiveLogController::start() {
    if (log_) return true;
    auto started = live::LiveLog::Start(QDir(startDir_).filePath(QStringLiteral("logs")).toStdString(), Now(),
                                        pacer_.now());
    if (!started.log) {
        showRunning(false);
        const QString text = Text(messages_, msg::LogOpenFailed).arg(Q(started.path), Q(started.error));
        bar_->showMessage(text);
        QMessageBox::warning(window_, window_->windowTitle(), text);
        return false;
    }
    log_ = std::move(started.log);
    path_ = Q(log_->path());
    showRunning(true);
    return true;
}

void LiveLogController::stop() {
    if (!log_) return;
    const auto closed = log_->close();
    log_.reset();
    showRunning(false);
    if (!closed) {
        bar_->showMessage(Text(messages_, msg::LogStopped).arg(Q(closed.error().detail)));
        return;
    }
    bar_->showMessage(Text(messages_, msg::LogClosed).arg(QDir::toNativeSeparators(path_)));
}

void LiveLogController::writeFrame() {
    if (!log_) return;
    const live::ReadingsInputs in = params::ReadingsInputsOf(model_.state());
    if (auto ok = log_->frame(model_.words(), in.ignitionType, in.fastClock, pacer_.now()); !ok)
        writeFailed(ok.error().detail);
}

void LiveLogController::lineChanged(bool lost) {
    if (!log_) return;
    const auto now = pacer_.now();
    if (auto ok = lost ? log_->lineLost(now) : log_->lineBack(now); !ok) writeFailed(ok.error().detail);
}

void LiveLogController::flushIfDue() {
    if (!log_) return;
    if (auto ok = log_->flushIfDue(pacer_.now()); !ok) writeFailed(ok.error().detail);
}

void LiveLogController::writeFailed(const std::string& reason) {
    log_.reset();
    showRunning(false);
    const QString text = Text(messages_, msg::LogStopped).arg(QDir::toNativeSeparators(path_) + QStringLiteral(": ") + Q(reason));
    bar_->showMessage(text);
    // Not modal: this may run inside a sequence's frame handling, which must not wait for a click.
    auto* box = new QMessageBox(QMessageBox::Warning, window_->windowTitle(), text, QMessageBox::Ok, window_);
    box->setObjectName(QStringLiteral("LogStoppedBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

void LiveLogController::showRunning(bool on) {
    {
        const QSignalBlocker quiet(menu_.action(QStringLiteral("ZapisLogu1")));
        menu_.action(QStringLiteral("ZapisLogu1"))->setChecked(on);
    }
    if (on) {
        showTexts();
        indicator_->setToolTip(QDir::toNativeSeparators(path_));
        flushTimer_.start();
    } else {
        flushTimer_.stop();
    }
    indicator_->setVisible(on);
}

void LiveLogController::showTexts() {
    if (log_) indicator_->setText(Text(messages_, msg::LogRunning).arg(QFileInfo(path_).fileName()));
}

}  // namespace sequaflow::ui
