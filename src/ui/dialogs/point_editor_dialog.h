#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "i18n/message_store.h"
#include "maps/map_model.h"

class QLineEdit;
class QPushButton;

namespace sequaflow::ui {

class ConfigurationModel;
class SequenceRunner;

// Dialog TForm8: the characteristic points of both maps (eleven injection times, six engine speeds) with four
// presets for common engines. Nothing is sent until "Zapisz"; texts that are not numbers or do not rise are
// refused there, with the dialog left open on the field to fix.
class PointEditorDialog final : public QDialog {
    Q_OBJECT
public:
    PointEditorDialog(ConfigurationModel& model, SequenceRunner& runner, const i18n::MessageStore& messages,
                      QWidget* parent = nullptr);

    // Edit1..Edit12 (n = 1..12) and Edit13..Edit19 (n = 13..19).
    QLineEdit* field(int n) const;
    // The 17 point texts in point order: the six speeds, then the eleven times.
    std::array<std::string, maps::kPoints> pointTexts() const;

public slots:
    // Fills the fields from the points the program holds and opens the dialog (modal to the window).
    void edit();
    // Fills the fields from preset 0..3.
    void applyPreset(int preset);
    // "Zapisz": checks the texts, then sends all 17 points. Returns whether they were sent.
    bool save();

private:
    void fill();

    ConfigurationModel& model_;
    SequenceRunner& runner_;
    const i18n::MessageStore& messages_;
    std::array<QLineEdit*, 19> fields_{};
};

}  // namespace sequaflow::ui
