#pragma once

#include <QObject>
#include <QTimer>

class QProgressBar;
class QPushButton;
class QWidget;

namespace sequaflow::ui {

class AppSettings;
class MainMenu;
class Session;
class StatusWindow;

// Finding the controller: the port items, the automatic detection with its status window, the saved port,
// and the read of everything that follows a connection (the hidden button `ButtonOdczytajParam`).
class ConnectionController final : public QObject {
    Q_OBJECT
public:
    ConnectionController(Session& session, AppSettings& settings, MainMenu& menu, QWidget* window,
                         QProgressBar* progress);

    QTimer* autoconnectTimer() { return &timer_; }
    StatusWindow* statusWindow() { return status_; }
    QPushButton* readButton() { return readButton_; }

    // A click of the port item of entry index 0..24.
    void portItemClicked(int index);
    // Menu item `AutodetekcjaCTRLD1`.
    void startAutoDetect();
    // First activation: reconnect to the port saved as "ComNr".
    void restoreSavedPort();
    void stop();

signals:
    void windowCaptionChanged(const QString& caption);

private:
    void autoConnectTick();
    void readEverything();
    void showPortError(const QString& detail);
    void showMessage(int id);

    Session& session_;
    AppSettings& settings_;
    MainMenu& menu_;
    QWidget* window_;
    QProgressBar* progress_;
    QPushButton* readButton_;
    StatusWindow* status_;
    QTimer timer_;
};

}  // namespace sequaflow::ui
