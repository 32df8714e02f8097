#pragma once

#include <QWidget>
#include <array>

#include "i18n/message_store.h"
#include "maps/emission.h"
#include "ui/page.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace sequaflow::ui {

class ConfigurationModel;
class SequenceRunner;

// Page TabSheetEmisja ("Emisja"): the twelve lambda-correction settings with their five switches and the
// gas-temperature enrichment map, each read, written and reset on request only (nothing here is part of the
// parameter read or of a parameter file).
class EmissionPage final : public QWidget, public Page {
    Q_OBJECT
public:
    EmissionPage(ConfigurationModel& model, SequenceRunner& runner, const i18n::MessageStore& messages,
                 QWidget* parent = nullptr);

    QPlainTextEdit* memo() const { return memo_; }

public slots:
    void saveAll();     // Button38
    void readAll();     // Button39
    void resetAll();    // Button42
    void saveMap();     // Button16
    void readMap();     // ButtonOdczytMapy

private:
    QWidget* buildLambdaGroups();
    QWidget* buildTemperatureMap();
    void showLambda();
    void showMap();
    void refuse(const maps::FieldFailure& failure, QLineEdit* field);
    void tellFlagsUnknown();

    ConfigurationModel& model_;
    SequenceRunner& runner_;
    const i18n::MessageStore& messages_;
    std::array<QLineEdit*, maps::kLambdaSettings> settings_{};
    std::array<QComboBox*, maps::kLambdaSwitches> switches_{};
    std::array<QLineEdit*, maps::kTempPoints> breakpoints_{};
    std::array<QLineEdit*, maps::kTempEnrichments> enrichments_{};
    QComboBox* mapActive_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
};

}  // namespace sequaflow::ui
