#pragma once

#include <QObject>
#include <QTimer>

class QWidget;

namespace sequaflow::ui {

class AppSettings;
class MainMenu;
class Session;

// The 25 ms readings tick (`TimerVizualizacja`) and the fuel commands from buttons, menu, space bar and
// the tank picture.
class ReadingsController final : public QObject {
    Q_OBJECT
public:
    ReadingsController(Session& session, AppSettings& settings, MainMenu& menu, QObject* parent);

    QTimer* timer() { return &timer_; }

    void tick();
    void switchToPetrol();
    void switchToAuto();
    // `ClearErrorsIfStored`, then `SwitchToGas`.
    void switchToGas();
    // Space bar and tank picture: petrol when on gas, else gas.
    void toggleFuel();

signals:
    // Status field and status label texts, with the label's colour (true = connected, blue).
    void statusChanged(const QString& editStatus, const QString& label, bool connectedColour);
    void fuelFacesRequested(int face);  // 0 petrol red, 1 automatic orange, 2 gas green

private:
    Session& session_;
    AppSettings& settings_;
    MainMenu& menu_;
    QTimer timer_;
};

}  // namespace sequaflow::ui
