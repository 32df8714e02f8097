#pragma once

#include <QWidget>
#include <array>

#include "ui/page.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace sequaflow::ui {

class ConfigurationModel;
class ParameterControls;
class SequenceRunner;

// Page TabSheet8 ("Fabr.[F12]"): the controller data with the serial number entry, the tank thresholds
// and direction, and the hidden groups of the signal filter strengths and of the extra idle correction per
// injector (the correction dialog copies from and to that group's fields).
class FactoryPage final : public QWidget, public Page {
    Q_OBJECT
public:
    explicit FactoryPage(ParameterControls& controls, QWidget* parent = nullptr);

    void shown() override;

    // The four threshold fields in the order of parameters 30..33 (EditSzkloR, EditRez14, EditRez12, EditRez34).
    const std::array<QLineEdit*, 4>& thresholdFields() const { return thresholds_; }
    QComboBox* directionList() const { return direction_; }
    QLineEdit* extraCorrectionField() const { return extraCorrection_; }
    const std::array<QCheckBox*, 8>& injectorBoxes() const { return injectors_; }

public slots:
    // ButtonMulti: reads the serial number again and shows the controller data.
    void refreshControllerData();
    // The controller's identification and serial number, the thresholds and direction, from the state.
    void showControllerData();
    // ButtonWprowadzSer: writes the serial number typed in EditMulti.
    void writeSerialNumber();
    // ButtonSzkielko: thresholds and direction; false when a text is not a number (nothing was sent).
    bool saveTankThresholds();
    // ButtonPrzesuniecie2: the extra idle correction and its injectors.
    void applyExtraCorrection();
    // The extra-correction fields from the state.
    void showExtraCorrection();
    // ButtonResetLPGT (gas) and Button12 (petrol): one work-time count back to zero.
    void resetWorkTime(bool gas);

private:
    void sendFilterStrength(int param);

    ParameterControls& controls_;
    ConfigurationModel& model_;
    SequenceRunner& runner_;
    QLineEdit* device_ = nullptr;
    QLineEdit* software_ = nullptr;
    QLineEdit* cylinders_ = nullptr;
    QLineEdit* serial_ = nullptr;
    QLineEdit* serialEntry_ = nullptr;
    std::array<QLineEdit*, 4> thresholds_{};
    QComboBox* direction_ = nullptr;
    QLineEdit* extraCorrection_ = nullptr;
    std::array<QCheckBox*, 8> injectors_{};
};

}  // namespace sequaflow::ui
