#pragma once

#include <QWidget>

#include "diag/error_list.h"
#include "i18n/message_store.h"
#include "ui/page.h"

class QPlainTextEdit;

namespace sequaflow::ui {

class ColourButton;
class ConfigurationModel;
class SequenceRunner;

// Page TabSheet11 ("Błędy"): the faults of the last accepted live frame as a numbered list (red while any is
// present or stored), and the request that makes the controller forget its stored faults.
class ErrorsPage final : public QWidget, public Page {
    Q_OBJECT
public:
    ErrorsPage(const ConfigurationModel& model, SequenceRunner& runner, const i18n::MessageStore& messages,
               QWidget* parent = nullptr);

    void languageChanged() override;

    QPlainTextEdit* memo() const { return memo_; }

public slots:
    // ButtonsERRORSshow, the lamp and the read item of the menu: the list from the last live frame.
    void showErrors();
    // ButtonsERRORS: the clear request, then the no-faults list.
    void clearAndShow();
    // The clear item of the menu: the request only, the list stays as it is. Whether it went out.
    bool sendClear();

private:
    void showMemo(const diag::ErrorMemo& memo);

    const ConfigurationModel& model_;
    SequenceRunner& runner_;
    const i18n::MessageStore& messages_;
    QPlainTextEdit* memo_;
    ColourButton* show_;
    ColourButton* clear_;
    diag::ErrorMemo shown_;
};

}  // namespace sequaflow::ui
