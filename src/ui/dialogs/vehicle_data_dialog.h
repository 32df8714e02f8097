#pragma once

#include <QDialog>
#include <array>

#include "i18n/message_store.h"
#include "record/vehicle_record.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace sequaflow::ui {

class ConfigurationModel;
class SequenceRunner;

// Dialog TForm5: the vehicle record the controller keeps. It shows the record of the program state; the
// checks and the record bytes are the core's (record/vehicle_entry.h), the writes go through the runner.
class VehicleDataDialog final : public QDialog {
    Q_OBJECT
public:
    enum class Mode {
        Show,          // everything disabled, no Zapisz, nothing sent
        Installation,  // only the four lists; Zapisz writes words 62 and 63
        Enter,         // everything; Zapisz writes words 62/63, then the text
    };

    VehicleDataDialog(ConfigurationModel& model, SequenceRunner& runner, const i18n::MessageStore& messages,
                      QWidget* parent = nullptr);

    // The three ways in, each modal. The last two return whether the data was saved.
    void showVehicleData();
    bool editInstallationData();
    bool enterVehicleData();

    // Fills the fields from the record and enables them as `mode` wants, without showing the dialog.
    void prepare(Mode mode);
    // What Zapisz does: a refused field is named in a message and the dialog stays open; otherwise the
    // record is sent and the dialog closes with OK.
    bool save();
    Mode mode() const { return mode_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill();
    void focusNext(QWidget* from);
    void refuse(const record::FieldProblem& problem);
    QLineEdit* textEdit(record::TextField f) const { return texts_[static_cast<std::size_t>(f)]; }
    QComboBox* list(record::ListField f) const { return lists_[static_cast<std::size_t>(f)]; }

    ConfigurationModel& model_;
    SequenceRunner& runner_;
    const i18n::MessageStore& messages_;
    Mode mode_ = Mode::Show;
    std::array<QLineEdit*, record::kTextFieldCount> texts_{};
    std::array<QLabel*, record::kTextFieldCount> textLabels_{};
    std::array<QComboBox*, record::kListFieldCount> lists_{};
    std::array<QLabel*, record::kListFieldCount> listLabels_{};
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace sequaflow::ui
