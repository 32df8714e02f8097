#pragma once

#include <QObject>
#include <QTimer>
#include <memory>

#include "i18n/message_store.h"
#include "live/live_log.h"

class QLabel;
class QStatusBar;
class QWidget;

namespace sequaflow::link {
class Pacer;
}

namespace sequaflow::ui {

class ConfigurationModel;
class LiveFeed;
class MainMenu;

// File > "ZapisLogu1": every accepted live frame into a CSV file in `logs/` of the start directory, with
// the indicator `LabelLog` in the status bar while it runs. A log that cannot be opened or written is
// reported and dropped; the readings go on either way.
class LiveLogController final : public QObject {
    Q_OBJECT
public:
    LiveLogController(const ConfigurationModel& model, const LiveFeed& feed, const i18n::MessageStore& messages,
                      MainMenu& menu, link::Pacer& pacer, QStatusBar* bar, QWidget* window, QString startDir);
    ~LiveLogController() override;

    bool running() const { return log_ != nullptr; }
    // The file of the running log, or of the last one.
    QString path() const { return path_; }
    QLabel* indicator() { return indicator_; }
    QTimer* flushTimer() { return &flushTimer_; }

    // False (and said in a box and the status bar) when the file could not be made.
    bool start();
    void stop();
    // The indicator's text in the language now chosen.
    void showTexts();

private:
    void writeFrame();
    void lineChanged(bool lost);
    void flushIfDue();
    // A write failed: the log is gone, the window says why and goes on.
    void writeFailed(const std::string& reason);
    void showRunning(bool on);

    const ConfigurationModel& model_;
    const i18n::MessageStore& messages_;
    MainMenu& menu_;
    link::Pacer& pacer_;
    QStatusBar* bar_;
    QWidget* window_;
    QString startDir_;
    QLabel* indicator_ = nullptr;
    QTimer flushTimer_;
    std::unique_ptr<live::LiveLog> log_;
    QString path_;
};

}  // namespace sequaflow::ui
