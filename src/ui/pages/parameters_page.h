#pragma once

#include <QWidget>

#include "i18n/message_store.h"
#include "ui/page.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace sequaflow::ui {

class InjectorSettingsDialog;
class IdleCorrectionDialog;
class ParameterControls;
class TurboDialog;

// Page TabSheet3 ("Parametry"): the switch-over, injector, engine and sensor settings, each written the
// moment it is left or chosen; with them the hidden controls of the readings page whose settings the
// program keeps (mixture correction, speed limit switch, switch mode, reducer sensor, fuel).
class ParametersPage final : public QWidget, public Page {
    Q_OBJECT
public:
    ParametersPage(ParameterControls& controls, const i18n::MessageStore& messages, QWidget* parent = nullptr);

    // The dialogs the page's buttons open (they are created with the window, after the pages).
    void setDialogs(InjectorSettingsDialog* injectors, IdleCorrectionDialog* idleCorrection, TurboDialog* turbo);
    // The advanced page's memo, where some of this page's editors put their help text.
    void setAdvancedMemo(QWidget* memo);

    void languageChanged() override;

signals:
    // "USTAW" beside the tank sensor: the window opens the tank dialog.
    void tankDialogRequested();

public slots:
    // After a read or a file view: what the screen fill shows beside the values.
    void showReadState();

private:
    void injectorTypeSelected(int item);
    void turboSelected(int item);
    void showFlags();
    void openInjectorSettings();
    void openIdleCorrection();
    void openTurbo();
    void switchModeShown();
    void alignLabels();

    ParameterControls& controls_;
    const i18n::MessageStore& messages_;
    QPlainTextEdit* memo_ = nullptr;
    QComboBox* injectorType_ = nullptr;
    QPushButton* ownInjector_ = nullptr;
    QComboBox* turbo_ = nullptr;
    QPushButton* turboButton_ = nullptr;
    QComboBox* switchingSequence_ = nullptr;
    QComboBox* reducerSensor_ = nullptr;
    QLabel* reducerSensorLabel_ = nullptr;
    QComboBox* switchMode_ = nullptr;
    QCheckBox* buzzer_ = nullptr;
    QComboBox* buzzerList_ = nullptr;
    QCheckBox* smooth_ = nullptr;
    QLabel* minOpeningLabel_ = nullptr;
    QList<QWidget*> advancedHelp_;
    QList<QLabel*> labels_;
    InjectorSettingsDialog* injectorDialog_ = nullptr;
    IdleCorrectionDialog* idleDialog_ = nullptr;
    TurboDialog* turboDialog_ = nullptr;
};

}  // namespace sequaflow::ui
