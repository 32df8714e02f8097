#pragma once

#include <QWidget>

#include "i18n/message_store.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace sequaflow::ui {

class ColourButton;
class LedLamp;
class ReadingsController;
class RoundMeter;
class ConfigurationModel;
class LiveFeed;
class TankGauge;

// Panel1: the always-visible side panel with the engine-speed and pressure gauges, the fuel state and its
// buttons, the connection status and the tank picture.
class SidePanel final : public QWidget {
    Q_OBJECT
public:
    SidePanel(const LiveFeed& feed, const ConfigurationModel& model, const i18n::MessageStore& messages,
              ReadingsController& readings, QWidget* parent);

    QSize sizeHint() const override;

public slots:
    void showReadings();
    // Message ids; editStatus 0 leaves the field as it is (a valid frame sets it from the fuel state).
    void showStatus(int editStatus, int label, bool connectedColour);
    // The texts the panel composes itself, again in the language now chosen.
    void languageChanged();
    void setFuelFaces(int face);  // 0 petrol, 1 automatic, 2 gas

signals:
    // AbLEDError was clicked (once it is shown).
    void errorLampClicked();
    // sbMapStd (2) or sbMapAdv (1): the map mode chosen.
    void mapChosen(int mode);

private:
    static constexpr int kWidth = 230;

    const LiveFeed& feed_;
    const ConfigurationModel& model_;
    const i18n::MessageStore& messages_;
    RoundMeter* rpm_;
    QLineEdit* rpmText_;
    RoundMeter* pressure_;
    QLineEdit* pressureText_;
    ColourButton* fuel_;
    ColourButton* petrol_;
    ColourButton* automatic_;
    ColourButton* gas_;
    QLineEdit* status_;
    QLabel* statusLabel_;
    TankGauge* tank_;
    LedLamp* errorLamp_;
    int statusLabelId_;
};

}  // namespace sequaflow::ui
