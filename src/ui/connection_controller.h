#pragma once

#include <QObject>
#include <QTimer>

#include "i18n/message_store.h"

class QPushButton;
class QWidget;

namespace sequaflow::ui {

class AppSettings;
class ConfigurationModel;
class LiveFeed;
class MainMenu;
class ParameterControls;
class SequenceRunner;
class StatusWindow;

// Finding the controller: the port items, the automatic detection with its status window, the saved port,
// the read of everything that follows a connection, and the way back after the line was lost.
class ConnectionController final : public QObject {
    Q_OBJECT
public:
    ConnectionController(SequenceRunner& runner, ConfigurationModel& model, LiveFeed& feed,
                         const i18n::MessageStore& messages, AppSettings& settings, MainMenu& menu,
                         ParameterControls& controls, QWidget* window);

    QTimer* autoconnectTimer() { return &timer_; }
    QTimer* reconnectTimer() { return &reconnect_; }
    StatusWindow* statusWindow() { return status_; }

    // A click of the port item of entry index 0..24.
    void portItemClicked(int index);
    // Menu item `AutodetekcjaCTRLD1`.
    void startAutoDetect();
    // First activation: reconnect to the port saved as "ComNr".
    void restoreSavedPort();
    // The read of everything from the controller (also the hidden button `ButtonOdczytajParam`).
    void readEverything();
    // The line went away: show the readings as stale and try the same port again until it answers.
    void lineLost();
    void stop();

signals:
    void windowCaptionChanged(const QString& caption);
    // A read of everything ran (whole or not: the state's read status says).
    void everythingRead();

private:
    void autoConnectTick();
    void reconnectTick();
    void connected(int index);
    void showPortError(const QString& detail);
    void showMessage(int id);
    // A controller without vehicle data: the data now and the first-run settings, or the program ends.
    void askForVehicleData();

    SequenceRunner& runner_;
    ConfigurationModel& model_;
    LiveFeed& feed_;
    const i18n::MessageStore& messages_;
    AppSettings& settings_;
    MainMenu& menu_;
    ParameterControls& controls_;
    QWidget* window_;
    QPushButton* readButton_;
    StatusWindow* status_;
    QTimer timer_;
    QTimer reconnect_;
    int lastIndex_ = -1;  // the entry the controller answered on last
};

}  // namespace sequaflow::ui
