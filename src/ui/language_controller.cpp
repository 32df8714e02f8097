#include "ui/language_controller.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QMetaProperty>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QTranslator>
#include <algorithm>
#include <filesystem>

#include "i18n/language_table.h"
#include "i18n/message_ids.h"
#include "i18n/message_store.h"
#include "i18n/parameter_hints.h"
#include "i18n/preferences.h"
#include "live/live_frame.h"
#include "ui/fields.h"
#include "ui/help_viewer.h"
#include "ui/main_menu.h"
#include "ui/page.h"

namespace sequaflow::ui {
namespace {

using i18n::CaptionTarget;
using i18n::TargetKind;

namespace msg = i18n::msg;

// A list that did not exist when the selections were saved.
constexpr int kNoList = -2;
constexpr int kHintMilliseconds = 30000;

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::filesystem::path ToPath(const QString& dir) { return std::filesystem::path(QFile::encodeName(dir).toStdString()); }

// Breadth first, so the shallowest widget of that name wins; a child window (dialog, popup) is a form of
// its own and is not searched, so a dialog's Label5 never stands in for the main window's.
QWidget* FindInForm(QWidget* root, const QString& name) {
    QList<QWidget*> queue{root};
    while (!queue.isEmpty()) {
        QWidget* w = queue.takeFirst();
        for (QObject* child : w->children()) {
            auto* c = qobject_cast<QWidget*>(child);
            if (c == nullptr || c->isWindow()) continue;
            if (c->objectName() == name) return c;
            queue.push_back(c);
        }
    }
    return nullptr;
}

bool HasWritableProperty(const QObject* o, const char* name) {
    const int i = o->metaObject()->indexOfProperty(name);
    return i >= 0 && o->metaObject()->property(i).isWritable();
}

// The tab widget that shows `page` as one of its tabs, or nullptr.
QTabWidget* TabsOf(QWidget* page) {
    auto* stack = qobject_cast<QStackedWidget*>(page->parentWidget());
    if (stack == nullptr) return nullptr;
    auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget());
    return tabs != nullptr && tabs->indexOf(page) >= 0 ? tabs : nullptr;
}

void SetMemoText(QWidget* memo, const QString& text) {
    if (auto* plain = qobject_cast<QPlainTextEdit*>(memo)) plain->setPlainText(text);
    else if (auto* rich = qobject_cast<QTextEdit*>(memo)) rich->setPlainText(text);
}

// The buttons Qt makes itself (message boxes' Yes and No, a button box's Close) in the language chosen: Qt
// asks the installed translators for them, and this one answers from the message store.
class StandardButtonTexts final : public QTranslator {
public:
    StandardButtonTexts(const i18n::MessageStore& messages, QObject* parent) : QTranslator(parent), messages_(messages) {}

    QString translate(const char* context, const char* source, const char* disambiguation, int n) const override {
        (void)disambiguation;
        (void)n;
        if (context == nullptr || source == nullptr || qstrcmp(context, "QPlatformTheme") != 0) return {};
        static constexpr struct {
            const char* source;
            int id;
        } kButtons[] = {{"OK", msg::Ok}, {"&OK", msg::Ok},       {"Cancel", msg::Cancel}, {"&Cancel", msg::Cancel},
                        {"&Yes", msg::Yes}, {"&No", msg::No},    {"Close", msg::Close},   {"&Close", msg::Close},
                        {"Abort", msg::Cancel}};
        for (const auto& b : kButtons)
            if (qstrcmp(source, b.source) == 0) return FromView(messages_.text(b.id));
        return {};
    }
    bool isEmpty() const override { return false; }

private:
    const i18n::MessageStore& messages_;
};

}  // namespace

LanguageController::LanguageController(QMainWindow& window, MainMenu& menu, i18n::MessageStore& messages,
                                       QString startDir)
    : QObject(&window), window_(window), menu_(menu), messages_(messages), startDir_(std::move(startDir)) {
    help_ = new HelpViewer(startDir_, messages_, &window_);
    QCoreApplication::installTranslator(new StandardButtonTexts(messages_, this));

    for (const auto& language : i18n::kLanguages) {
        QAction* item = menu_.action(FromView(language.menuItem));
        if (item == nullptr) continue;
        item->setVisible(language.visibleAtStart);
        const int number = language.number;
        connect(item, &QAction::triggered, this, [this, number] { (void)selectLanguage(number); });
    }
    for (const auto& size : i18n::kWindowSizes) {
        QAction* item = menu_.action(FromView(size.menuItem));
        if (item == nullptr) continue;
        if (size.preferenceByte < 0) {
            // The 640x480 item has no action and keeps the check mark it got at start-up.
            connect(item, &QAction::triggered, item, [item] { item->setChecked(true); });
        } else {
            const auto* s = &size;
            connect(item, &QAction::triggered, this, [this, s] { setWindowSize(s->width, s->height, s->preferenceByte); });
        }
    }
    if (QAction* helpItem = menu_.action(QStringLiteral("Help1")))
        connect(helpItem, &QAction::triggered, this, [this] { (void)help_->show(); });
}

LanguageController::~LanguageController() = default;

QString LanguageController::message(int id) const { return FromView(messages_.text(id)); }

QString LanguageController::languageRoot() const {
    if (QDir(startDir_).exists(QStringLiteral("lang"))) return startDir_;
    const QString installed = QStringLiteral(SEQUAFLOW_DATA_DIR);
    if (QDir(installed).exists(QStringLiteral("lang"))) return installed;
    return startDir_;  // the error then names the path the installer expects
}

i18n::LanguageResult LanguageController::selectLanguage(int number) {
    missing_.clear();
    auto result = i18n::SelectLanguage(number, ToPath(startDir_), ToPath(languageRoot()), messages_, *this);
    if (i18n::findLanguage(number) != nullptr) current_ = number;
    // Once the layouts have taken the new texts in.
    QTimer::singleShot(0, this, &LanguageController::fitClippedTexts);
    emit languageChanged(number);
    return result;
}

void LanguageController::applyStartupLanguage() {
    const auto number = i18n::StartupLanguage(ToPath(startDir_));
    if (!number) return;  // the built-in texts stay and jezyk.txt is left as it is
    const i18n::Language* language = i18n::findLanguage(*number);
    // Polish is built in: at start-up, before any other language, a missing Polish file changes nothing
    // on screen, so a start without the "lang" folder is not greeted with an error box.
    quietMissingFile_ = *number == i18n::kPolish &&
                        !QFileInfo(QDir(languageRoot()).filePath(FromView(language->fileName))).isReadable();
    if (QAction* item = language != nullptr ? menu_.action(FromView(language->menuItem)) : nullptr) item->trigger();
    else (void)selectLanguage(*number);
    quietMissingFile_ = false;
}

int LanguageController::applyCurrentTexts() {
    missing_.clear();
    int targets = 0;
    for (const auto& row : i18n::CaptionTable()) {
        for (const auto& target : row.targets()) {
            if (target.isStoredText()) continue;
            ++targets;
            applyTarget(target, messages_.text(row.id));
        }
    }
    applyOwnTexts();
    return targets - static_cast<int>(missing_.size());
}

void LanguageController::applyOwnTexts() {
    for (QWidget* w : window_.findChildren<QWidget*>()) {
        const QVariant id = w->property(kTextIdProperty);
        if (!id.isValid()) continue;
        const QString text = message(id.toInt());
        if (auto* button = qobject_cast<QAbstractButton*>(w)) button->setText(text);
        else if (auto* label = qobject_cast<QLabel*>(w)) label->setText(text);
        else if (auto* group = qobject_cast<QGroupBox*>(w)) group->setTitle(text);
    }
}

QWidget* LanguageController::formRoot(std::string_view form) const {
    if (form.empty() || form == i18n::kMainForm) return &window_;
    const QString name = FromView(form);
    for (QWidget* w : window_.findChildren<QWidget*>(name))
        if (w->isWindow()) return w;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name) return w;
    return nullptr;
}

QWidget* LanguageController::findControl(std::string_view form, std::string_view control) const {
    QWidget* root = formRoot(form);
    if (root == nullptr) return nullptr;
    if (control == form) return root;
    return FindInForm(root, FromView(control));
}

QObject* LanguageController::findTarget(const CaptionTarget& target) const {
    if (target.isStoredText()) return nullptr;
    if (target.kind != TargetKind::MenuCaption) return findControl(target.form, target.control);
    const QString name = FromView(target.control);
    if (QAction* item = menu_.findAction(name)) return item;
    return menu_.findMenu(name);
}

void LanguageController::noteMissing(const CaptionTarget& target) {
    QString where = FromView(target.form) + QLatin1Char('/') + FromView(target.control);
    if (target.kind == TargetKind::ListEntry) where += QStringLiteral("[%1]").arg(target.entry);
    missing_.push_back(where);
}

bool LanguageController::applyCaption(QWidget* widget, const QString& text, bool isWindowCaption) {
    if (isWindowCaption) {
        widget->setWindowTitle(text);
        return true;
    }
    if (QTabWidget* tabs = TabsOf(widget)) {
        tabs->setTabText(tabs->indexOf(widget), text);
        return true;
    }
    // Painted widgets (colour buttons, lamps, bars) draw their own caption.
    if (HasWritableProperty(widget, "caption")) return widget->setProperty("caption", text);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        // A caption is no user entry: nothing that reacts to typing may see it.
        const QSignalBlocker quiet(edit);
        edit->setText(text);
    } else if (HasWritableProperty(widget, "text")) {
        return widget->setProperty("text", text);
    } else if (HasWritableProperty(widget, "title")) {
        return widget->setProperty("title", text);
    } else {
        return false;
    }
    return true;
}

void LanguageController::applyTarget(const CaptionTarget& target, std::string_view text) {
    const QString value = FromView(text);
    switch (target.kind) {
        case TargetKind::MenuCaption: {
            QObject* found = findTarget(target);
            if (auto* item = qobject_cast<QAction*>(found)) item->setText(value);
            else if (auto* menu = qobject_cast<QMenu*>(found)) menu->setTitle(value);
            else noteMissing(target);
            return;
        }
        case TargetKind::ControlCaption:
        case TargetKind::ColourButtonCaption: {
            QWidget* w = findControl(target.form, target.control);
            if (w == nullptr || !applyCaption(w, value, target.isWindowCaption())) noteMissing(target);
            return;
        }
        case TargetKind::ListEntry: {
            auto* combo = qobject_cast<QComboBox*>(findControl(target.form, target.control));
            if (combo == nullptr || target.entry < 0 || target.entry >= combo->count()) {
                noteMissing(target);
                return;
            }
            // Replaced in place: the list keeps its length and its selection, and no change is reported.
            const QSignalBlocker quiet(combo);
            combo->setItemText(target.entry, value);
            return;
        }
        case TargetKind::WidgetText: {
            QWidget* w = findControl(target.form, target.control);
            const char* property = target.part == i18n::WidgetPart::UnitText ? "unitText" : "signalName";
            if (w == nullptr || !HasWritableProperty(w, property)) noteMissing(target);
            else w->setProperty(property, value);
            return;
        }
        case TargetKind::Message:
        case TargetKind::FixedText:
            return;  // kept by the message store
    }
}

void LanguageController::fitClippedTexts() {
    if (!window_.isVisible()) return;
    for (QWidget* w : window_.findChildren<QWidget*>()) {
        // A button on a page not shown now is cut all the same when that page is opened later.
        if (auto* button = qobject_cast<QPushButton*>(w); button != nullptr && !HasWritableProperty(button, "caption")) {
            const int needed = button->sizeHint().width();
            if (button->maximumWidth() < needed) button->setMaximumWidth(needed);
            continue;
        }
        if (!w->isVisible() || w->width() <= 0) continue;
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (label->wordWrap() && label->textFormat() != Qt::RichText) {
                // A word is not broken: the label is never narrower than its longest one.
                if (!label->property("designMinimumWidth").isValid())
                    label->setProperty("designMinimumWidth", label->minimumWidth());
                int widest = 0;
                for (const QString& word : label->text().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
                    widest = std::max(widest, label->fontMetrics().horizontalAdvance(word));
                const int frame = label->width() - label->contentsRect().width() + 2 * label->margin();
                label->setMinimumWidth(std::max(label->property("designMinimumWidth").toInt(), widest + frame));
            }
            if (label->textFormat() == Qt::RichText) continue;
            const bool fittedBefore = label->property("fittedToLanguage").toBool();
            if (label->wordWrap() && !fittedBefore) continue;  // wraps by its own design
            const bool cut = label->fontMetrics().horizontalAdvance(label->text()) > label->contentsRect().width();
            if (!cut && !fittedBefore) continue;
            // A longer translation in a column of fixed width: break it over lines rather than cut it, and
            // keep the whole text at hand.
            if (cut && label->text().contains(QLatin1Char(' '))) label->setWordWrap(true);
            label->setProperty("fittedToLanguage", true);
            label->setToolTip(cut ? label->text() : QString());
        }
    }
}

void LanguageController::saveComboIndices() {
    combos_.save([this](const i18n::ComboRef& ref) {
        auto* combo = qobject_cast<QComboBox*>(findControl(ref.form, ref.control));
        return combo != nullptr ? combo->currentIndex() : kNoList;
    });
}

void LanguageController::restoreComboIndices() {
    combos_.restore([this](const i18n::ComboRef& ref, int index) {
        auto* combo = qobject_cast<QComboBox*>(findControl(ref.form, ref.control));
        if (combo == nullptr || index == kNoList || index >= combo->count()) return;
        // Selecting again is no change of the user's: nothing may be written to the controller.
        const QSignalBlocker quiet(combo);
        combo->setCurrentIndex(index);
    });
}

void LanguageController::checkLanguageItem(int number) {
    for (const auto& language : i18n::kLanguages)
        if (QAction* item = menu_.action(FromView(language.menuItem))) item->setChecked(language.number == number);
}

void LanguageController::applyCharset(int charset) {
    // Qt keeps every text in Unicode and the file was decoded from its code page when it was read, so
    // there is no font character set to switch; the number is only remembered.
    charset_ = charset;
}

void LanguageController::showError(std::string_view text, std::string_view detail) {
    if (quietMissingFile_) return;
    if (errorSink_) {
        errorSink_(FromView(text), FromView(detail));
        return;
    }
    // Nothing waits for an answer and the steps of the change go on, so the box neither stops the event
    // loop nor takes the keyboard from the window: it stays on top of the window until closed.
    auto* box = new QMessageBox(QMessageBox::Critical, QString(), FromView(text), QMessageBox::Ok, &window_);
    box->setObjectName(QStringLiteral("LanguageErrorBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setAttribute(Qt::WA_ShowWithoutActivating);
    box->setWindowModality(Qt::NonModal);
    if (!detail.empty()) box->setDetailedText(FromView(detail));
    box->show();
}

void LanguageController::refreshAfterLanguage() {
    applyOwnTexts();
    for (Page* page : pages_) page->languageChanged();
    // The description memos belong to pages still to come; until they own this rule, the window keeps it.
    // The injector switches follow the language on their own panel.
    for (const char* name : {"MemoOpisParametru", "MemoOpisZaawansowanych"}) {
        QWidget* memo = findControl(i18n::kMainForm, name);
        if (memo != nullptr && !memo->property(kShowsDescriptionProperty).toBool())
            SetMemoText(memo, message(msg::ChooseParameter));
    }
    // Layouts size the adaptation labels and the progress bar to their texts; this label is the one that
    // must keep its width whatever the text.
    if (QWidget* label = findControl("TForm11", "LabelDodPrzesuniecie")) label->setMinimumWidth(230);
}

void LanguageController::buildParameterHints() {
    for (const auto& hint : i18n::kParameterHints) {
        QWidget* control = findControl(i18n::kMainForm, hint.control);
        if (control == nullptr) continue;
        control->setToolTip(QString::fromStdString(i18n::BuildParameterHint(hint, messages_)));
        control->setToolTipDuration(kHintMilliseconds);
    }
}

void LanguageController::setWindowSize(int width, int height, int index) {
    window_.setWindowState(window_.windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
    // The size chosen is the outer size: take the frame off (none before the window is first shown).
    const QSize frame = window_.frameGeometry().size() - window_.geometry().size();
    window_.resize(std::max(1, width - frame.width()), std::max(1, height - frame.height()));
    for (const auto& size : i18n::kWindowSizes) {
        if (size.preferenceByte < 0) continue;
        if (QAction* item = menu_.action(FromView(size.menuItem))) item->setChecked(size.preferenceByte == index);
    }
    if (QScreen* screen = window_.screen()) {
        QRect placed = window_.frameGeometry();
        placed.moveCenter(screen->availableGeometry().center());
        window_.move(placed.topLeft());
        if (screen->geometry().width() == width) window_.setWindowState(window_.windowState() | Qt::WindowMaximized);
    }
    // A preference that cannot be written holds until the program ends; nothing to report.
    (void)i18n::WriteWindowSizePreference(ToPath(startDir_), index);
}

}  // namespace sequaflow::ui
