#pragma once

#include <QWidget>

#include "ui/page.h"

#include "params/measurement_filters.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace sequaflow::ui {

class ConfigurationModel;
class SequenceRunner;

// Page TabSheet4 ("Zaawansowane[F5]"): the low-speed measurement filters; the other advanced editors
// arrive with the work on the parameter pages.
class AdvancedPage final : public QWidget, public Page {
    Q_OBJECT
public:
    AdvancedPage(ConfigurationModel& model, SequenceRunner& runner, QWidget* parent = nullptr);

    // The defaults written at the first activation of the window.
    void writeDefaultFilters();

public slots:
    // After a read: the editors show the parameters; controllers before software 37 have no filters.
    void showParameters();
    void applyFilters();

private:
    void showFilterTexts(const params::FilterTexts& texts);

    ConfigurationModel& model_;
    SequenceRunner& runner_;
    QGroupBox* group_;
    QLineEdit* rpm_;
    QLineEdit* injTime_;
    QLineEdit* dt_;
    QComboBox* kind_;
    QLabel* kindLabel_;
    bool showing_ = false;
};

}  // namespace sequaflow::ui
