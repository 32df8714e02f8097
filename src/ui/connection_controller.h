#pragma once

#include <QObject>
#include <QTimer>
#include <string>

#include "i18n/message_store.h"
#include "link/port_inventory.h"

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
    // Where the devices are looked for: "/" in the program, a tree of its own in a test.
    void setDeviceRoot(std::string root) { deviceRoot_ = std::move(root); }
    // Reads the devices again: each port item's caption (entry, adapter name or "not present") and the
    // adapters that no entry leads to. Also when the Port menu opens and after a language change.
    void scanPorts();
    // An adapter of the "other adapters" list chosen: offered the first entry without a device, saved as
    // Ports/COMn and connected to.
    void mapAdapter(const QString& byIdLink);
    const link::PortInventory& lastScan() const { return scan_; }
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
    void showPortError(int index, const link::PortError& error);
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
    std::string deviceRoot_ = "/";
    link::PortInventory scan_;
};

}  // namespace sequaflow::ui
