#pragma once

#include <QWidget>

#include "ui/page.h"

#include "i18n/message_store.h"
#include "params/measurement_filters.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace sequaflow::ui {

class ConfigurationModel;
class ParameterControls;
class SequenceRunner;

// Page TabSheet4 ("Zaawansowane[F5]"): the advanced editors and lists (they write through the parameter
// controls), the hidden injector editors that the injector dialogs copy from and to, the description memo,
// and the low-speed measurement filters.
class AdvancedPage final : public QWidget, public Page {
    Q_OBJECT
public:
    AdvancedPage(ConfigurationModel& model, SequenceRunner& runner, ParameterControls& controls,
                 const i18n::MessageStore& messages, QWidget* parent = nullptr);

    // The defaults written at the first activation of the window.
    void writeDefaultFilters();
    // The memo that shows the description of the focused editor; editors of other pages may use it too.
    QPlainTextEdit* descriptionMemo() const { return memo_; }

public slots:
    // After a read: the editors show the parameters; controllers before software 37 have no filters.
    void showParameters();
    void applyFilters();

private:
    void buildEditors(QWidget* box);
    void showFilterTexts(const params::FilterTexts& texts);
    void enableHeatingStrength(bool on);

    ConfigurationModel& model_;
    SequenceRunner& runner_;
    ParameterControls& controls_;
    const i18n::MessageStore& messages_;
    QGroupBox* group_;
    QLineEdit* rpm_;
    QLineEdit* injTime_;
    QLineEdit* dt_;
    QComboBox* kind_;
    QLabel* kindLabel_;
    QPlainTextEdit* memo_ = nullptr;
    QLabel* strengthLabel_ = nullptr;
    QComboBox* strength_ = nullptr;
    bool showing_ = false;
};

}  // namespace sequaflow::ui
