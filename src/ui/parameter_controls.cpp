#include "ui/parameter_controls.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSignalBlocker>
#include <QTextEdit>

#include "i18n/message_ids.h"
#include "params/setting_keys.h"
#include "ui/fields.h"
#include "ui/key_filters.h"
#include "ui/language_controller.h"

namespace sequaflow::ui {
namespace {

// Leaving a control is the focus going to another control: not a popup over it (its own list, a context
// menu) and not another window coming to the front.
bool IsLeaving(const QFocusEvent* event) {
    return event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason;
}

// Focus-out and the release of Enter, the two moments an editor writes.
// The watched control as its own class, or nullptr while it is being destroyed (a focused control loses
// the focus in its base destructor, when it is no longer a QLineEdit or a QComboBox).
template <typename W>
W* Alive(QObject* watched) {
    return qobject_cast<W*>(watched);
}

class EditorWriteFilter final : public QObject {
public:
    EditorWriteFilter(ParameterControls& controls, int param, bool leaveOnly, QObject* parent)
        : QObject(parent), controls_(controls), param_(param), leaveOnly_(leaveOnly) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* edit = Alive<QLineEdit>(watched);
        if (edit == nullptr) return false;
        if (event->type() == QEvent::FocusOut && IsLeaving(static_cast<QFocusEvent*>(event))) {
            controls_.writeEditor(param_, edit, params::EditorEvent::Leave);
        } else if (!leaveOnly_ && event->type() == QEvent::KeyRelease) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter)
                controls_.writeEditor(param_, edit, params::EditorEvent::EnterReleased);
        }
        return false;
    }

private:
    ParameterControls& controls_;
    int param_;
    bool leaveOnly_;
};

class ListLeaveFilter final : public QObject {
public:
    ListLeaveFilter(ParameterControls& controls, params::Setting setting, QObject* parent)
        : QObject(parent), controls_(controls), setting_(setting) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* list = Alive<QComboBox>(watched);
        if (list != nullptr && event->type() == QEvent::FocusOut && IsLeaving(static_cast<QFocusEvent*>(event)))
            controls_.applySetting(setting_, list->currentIndex());
        return false;
    }

private:
    ParameterControls& controls_;
    params::Setting setting_;
};

class EnterMovesOn final : public QObject {
public:
    explicit EnterMovesOn(QObject* parent) : QObject(parent) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        if (auto* list = qobject_cast<QComboBox*>(watched)) list->hidePopup();
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(watched, &tab);
        return true;
    }
};

class HelpFilter final : public QObject {
public:
    HelpFilter(QWidget* memo, const i18n::MessageStore& messages, int id, QObject* parent)
        : QObject(parent), memo_(memo), hasMemo_(memo != nullptr), messages_(messages), id_(id) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::FocusIn) return false;
        const QString text = Text(messages_, id_);
        if (!hasMemo_) {
            static_cast<QWidget*>(watched)->setToolTip(text);
        } else if (memo_ != nullptr) {  // a memo already destroyed with its page is left alone
            if (auto* plain = qobject_cast<QPlainTextEdit*>(memo_)) plain->setPlainText(text);
            else if (auto* rich = qobject_cast<QTextEdit*>(memo_)) rich->setPlainText(text);
            memo_->setProperty(kShowsDescriptionProperty, true);
        }
        return false;
    }

private:
    QPointer<QWidget> memo_;
    bool hasMemo_;
    const i18n::MessageStore& messages_;
    int id_;
};

}  // namespace

ParameterControls::ParameterControls(SequenceRunner& runner, ConfigurationModel& model,
                                     const i18n::MessageStore& messages, QObject* parent)
    : QObject(parent), runner_(runner), model_(model), messages_(messages) {
    connect(&model_, &ConfigurationModel::readFinished, this, &ParameterControls::showState);
}

void ParameterControls::addEditor(int param, QLineEdit* edit) { editors_.emplace(param, edit); }
void ParameterControls::addList(params::Setting setting, QComboBox* list) { lists_.emplace(setting, list); }

QLineEdit* ParameterControls::editor(int param) const {
    const auto it = editors_.find(param);
    return it == editors_.end() ? nullptr : it->second;
}

QComboBox* ParameterControls::list(params::Setting setting) const {
    const auto it = lists_.find(setting);
    return it == lists_.end() ? nullptr : it->second;
}

void ParameterControls::writeEditor(int param, QLineEdit* edit, params::EditorEvent event) {
    const std::string text = edit->text().toStdString();
    const char sep = separator();
    bool refused = false;
    (void)run([&](link::Link& link, params::ProgramState& state) {
        auto result = params::WriteEditor(link, state.image, param, text, sep, event);
        refused = !result && result.error().code == params::SettingError::NotANumber;
        return result;
    });
    // Nothing was sent: the field goes back to the value the controller holds, the status bar says why.
    if (refused) {
        if (auto shown = params::DecodeParameter(model_.image(), param, sep)) {
            const QSignalBlocker quiet(edit);
            edit->setText(QString::fromStdString(*shown));
        }
    }
}

void ParameterControls::applySetting(params::Setting setting, int item) {
    const params::SpeedTexts texts = speedTexts();
    const char sep = separator();
    (void)run([&](link::Link& link, params::ProgramState& state) {
        return params::ApplySetting(link, state, setting, item, texts, sep);
    });
}

void ParameterControls::SelectQuietly(QComboBox* list, int item) {
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(item < list->count() ? item : -1);
}

void ParameterControls::show(const params::SettingOutcome& outcome) {
    for (const auto& shown : outcome.texts) {
        const auto [from, to] = editors_.equal_range(shown.param);
        for (auto it = from; it != to; ++it) {
            const QSignalBlocker quiet(it->second);
            it->second->setText(QString::fromStdString(shown.text));
        }
    }
    for (const auto& shown : outcome.items) {
        const auto [from, to] = lists_.equal_range(shown.setting);
        for (auto it = from; it != to; ++it) SelectQuietly(it->second, shown.item);
        emit itemShown(shown.setting, shown.item);
    }
}

void ParameterControls::showState() {
    params::SettingOutcome all;
    const char sep = separator();
    for (const auto& [param, edit] : editors_) {
        if (auto text = params::DecodeParameter(model_.image(), param, sep)) all.texts.push_back({param, *text});
    }
    const params::SpeedTexts texts = params::SpeedTextsOf(model_.state());
    // A viewed file says nothing about the controller's wiring: the signal level and the switching
    // sequence keep what the last read showed.
    const bool viewed = model_.state().readStatus == params::ReadStatus::File;
    for (const auto& [setting, list] : lists_) {
        if (viewed && (setting == params::Setting::SpeedSignalLevel || setting == params::Setting::SwitchingSequence ||
                       setting == params::Setting::SmoothSwitching))
            continue;
        all.items.push_back({setting, params::ShownItemOf(model_.state(), setting, texts)});
    }
    show(all);
}

params::SpeedTexts ParameterControls::speedTexts() const {
    params::SpeedTexts texts = params::SpeedTextsOf(model_.state());
    const auto editorText = [this](int param, std::string& into) {
        const auto it = editors_.find(param);
        if (it != editors_.end()) into = it->second->text().toStdString();
    };
    editorText(params::pn::SwitchSpeed, texts.switchSpeed);
    editorText(params::pn::SpeedLimit, texts.speedLimit);
    return texts;
}

void ParameterControls::sayFailure(const std::string& detail) {
    // Nothing was sent after the failing text; the editor keeps what the user typed so it can be corrected.
    runner_.say(QString::fromStdString(detail));
}

void ParameterControls::sayOffline() {
    runner_.say(Text(messages_, i18n::msg::NotConnected));
}

QLineEdit* MakeParameterEdit(ParameterControls& controls, int param, const QString& name, live::KeyFilter filter,
                             bool enterMovesOn, bool leaveOnly, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->installEventFilter(new NumberKeyFilter(filter, controls.separator(), edit));
    if (enterMovesOn) edit->installEventFilter(new FocusKeyFilter(edit));
    edit->installEventFilter(new EditorWriteFilter(controls, param, leaveOnly, edit));
    controls.addEditor(param, edit);
    return edit;
}

QStringList SettingItems(params::Setting setting) {
    QStringList items;
    for (int i = 0; i < params::SettingItemTextCount(setting); ++i)
        items << QString::fromStdString(params::SettingItemText(setting, i).value_or(std::string()));
    return items;
}

QComboBox* MakeSettingList(ParameterControls& controls, params::Setting setting, const QString& name,
                           ListEvents events, QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->addItems(SettingItems(setting));
    if (events.change)
        QObject::connect(list, &QComboBox::currentIndexChanged, list,
                         [&controls, setting](int item) { controls.applySetting(setting, item); });
    if (events.selection)
        QObject::connect(list, &QComboBox::activated, list,
                         [&controls, setting](int item) { controls.applySetting(setting, item); });
    if (events.leave) list->installEventFilter(new ListLeaveFilter(controls, setting, list));
    MoveOnEnter(list);
    controls.addList(setting, list);
    return list;
}

void MoveOnEnter(QWidget* control) { control->installEventFilter(new EnterMovesOn(control)); }

void ShowHelpOnFocus(QWidget* control, QWidget* memo, const i18n::MessageStore& messages, int messageId) {
    control->installEventFilter(new HelpFilter(memo, messages, messageId, control));
}

}  // namespace sequaflow::ui
