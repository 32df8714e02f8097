#pragma once

#include <QObject>
#include <QString>
#include <map>
#include <utility>
#include <vector>

#include "i18n/message_store.h"
#include "link/offline_link.h"
#include "live/key_filter.h"
#include "params/parameter_settings.h"
#include "ui/configuration_model.h"
#include "ui/sequence_runner.h"

class QComboBox;
class QLineEdit;
class QWidget;

namespace sequaflow::ui {

// The parameter controls of every page and dialog, by parameter and by setting, and the one way they
// write: a page hands its editor's text or its list's item here, the core operation encodes and sends it
// through the runner, and every control the operation changed (on any page) shows its new text or item.
// Showing never counts as the user's change: nothing is written by it.
class ParameterControls final : public QObject {
    Q_OBJECT
public:
    ParameterControls(SequenceRunner& runner, ConfigurationModel& model, const i18n::MessageStore& messages,
                      QObject* parent = nullptr);

    // Registers a control; several controls may show one parameter (a page field and its dialog's copy).
    void addEditor(int param, QLineEdit* edit);
    void addList(params::Setting setting, QComboBox* list);
    // The first control registered for a parameter or setting (the main window's), or nullptr.
    QLineEdit* editor(int param) const;
    QComboBox* list(params::Setting setting) const;

    // An editor's write (leaving it or releasing Enter).
    void writeEditor(int param, QLineEdit* edit, params::EditorEvent event);
    // A list's write with its current item.
    void applySetting(params::Setting setting, int item);
    // Any other operation: f(link::Link&, params::ProgramState&) -> params::SettingResult. A failure is said
    // in the status bar (nothing was sent after it); the outcome's texts and items are shown. Returns
    // whether it succeeded.
    template <typename F>
    bool run(F&& f);

    // Puts texts and items into the registered controls without writing anything.
    void show(const params::SettingOutcome& outcome);
    // Every registered control from the state (after a read, a load, a file view).
    void showState();

    // The texts the speed-dependent operations read: the switch-over speed and the speed limit from their
    // editors, the breakpoints from the maps.
    params::SpeedTexts speedTexts() const;
    char separator() const { return model_.decimalSeparator(); }
    ConfigurationModel& model() { return model_; }
    SequenceRunner& runner() { return runner_; }

    // The window is closing: from now on no control writes anything.
    void shutDown() { shutDown_ = true; }

    // Sets a list's item with its signals blocked.
    static void SelectQuietly(QComboBox* list, int item);

signals:
    // An operation's outcome gives a setting an item: controls that are not lists (a scroll bar, a check
    // box) follow it from here.
    void itemShown(params::Setting setting, int item);

private:
    void sayFailure(const std::string& detail);
    void sayOffline();

    SequenceRunner& runner_;
    ConfigurationModel& model_;
    const i18n::MessageStore& messages_;
    link::OfflineLink offline_;
    bool shutDown_ = false;
    std::multimap<int, QLineEdit*> editors_;
    std::multimap<params::Setting, QComboBox*> lists_;
};

template <typename F>
bool ParameterControls::run(F&& f) {
    std::optional<params::SettingResult> result;
    const auto apply = [&](link::Link& link) {
        result.emplace(model_.change([&](params::ProgramState& state) { return f(link, state); }));
    };
    if (shutDown_ || runner_.busy()) return false;
    if (runner_.connected()) {
        (void)runner_.exchange([&](link::ControllerLink& line) { apply(line.link()); });
    } else {
        // No controller: the edit shows on screen and in the image, and nothing goes to the port.
        apply(offline_.link());
        if (result && *result) sayOffline();
    }
    if (!result) return false;
    if (!*result) {
        sayFailure(result->error().detail);
        return false;
    }
    show(**result);
    return true;
}

// A text editor of a parameter page as they all behave: the key filter, Enter / Page Down / Page Up
// moving the focus when `enterMovesOn`, and the writes on leaving and on releasing Enter (`leaveOnly`:
// on leaving alone).
QLineEdit* MakeParameterEdit(ParameterControls& controls, int param, const QString& name, live::KeyFilter filter,
                             bool enterMovesOn, bool leaveOnly, QWidget* parent);
// The default (Polish) items of a setting's list, one source with the command line's item texts; a language
// file replaces them by the list's objectName.
QStringList SettingItems(params::Setting setting);

// A drop-down list of a setting with its items; the events named write its item (activated = the user's
// selection).
struct ListEvents {
    bool change = true;     // the current item changed (by the user)
    bool selection = true;  // the user picked an item
    bool leave = true;      // the list lost the focus
};
QComboBox* MakeSettingList(ParameterControls& controls, params::Setting setting, const QString& name,
                           ListEvents events, QWidget* parent);

// Enter in the control (a drop-down list, a check box) closes its list if open and moves the focus on, as
// Tab would. Every list made by MakeSettingList has it.
void MoveOnEnter(QWidget* control);

// When `control` gets the focus, `memo` shows help text `messageId` and is marked as showing a description
// (so a language change does not put the placeholder back); without a memo the text becomes the control's
// own hint.
void ShowHelpOnFocus(QWidget* control, QWidget* memo, const i18n::MessageStore& messages, int messageId);

}  // namespace sequaflow::ui
