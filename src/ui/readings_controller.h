#pragma once

#include <QObject>
#include <QTimer>

#include "i18n/message_store.h"
#include "live/readings.h"

namespace sequaflow::ui {

class AppSettings;
class ConfigurationModel;
class LiveFeed;
class MainMenu;
class SequenceRunner;

// The 25 ms readings tick (`TimerVizualizacja`) and the fuel commands from buttons, menu, space bar and
// the tank picture.
class ReadingsController final : public QObject {
    Q_OBJECT
public:
    ReadingsController(SequenceRunner& runner, ConfigurationModel& model, LiveFeed& feed,
                       const i18n::MessageStore& messages, AppSettings& settings, MainMenu& menu, QObject* parent);

    QTimer* timer() { return &timer_; }

    void tick();
    // What an accepted frame in the live words does to the screens; also for the auto-adaptation, which
    // reads the frames itself while this timer is stopped.
    void showAccepted();
    void switchToPetrol();
    // The button: the command, then the automatic face. The menu item sends the command alone.
    void switchToAuto();
    // `ClearErrorsIfStored`, then `SwitchToGas`.
    void switchToGas();
    // Space bar and tank picture: petrol when on gas, else gas.
    void toggleFuel();

signals:
    // Status field and status label texts, with the label's colour (true = connected, blue).
    // Message ids, so the texts can follow a later language change; editStatus 0 leaves the field alone.
    void statusChanged(int editStatus, int label, bool connectedColour);
    void fuelFacesRequested(int face);  // 0 petrol red, 1 automatic orange, 2 gas green

private:
    SequenceRunner& runner_;
    ConfigurationModel& model_;
    LiveFeed& feed_;
    const i18n::MessageStore& messages_;
    AppSettings& settings_;
    MainMenu& menu_;
    live::ReadingsCycle cycle_;
    QTimer timer_;
};

}  // namespace sequaflow::ui
