#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <string_view>
#include <vector>

#include "i18n/combo_index_memory.h"
#include "i18n/language_table.h"
#include "i18n/language_switch.h"
#include "i18n/message_store.h"

class QMainWindow;
class QWidget;

namespace sequaflow::ui {

class HelpViewer;
class MainMenu;
class Page;

// A memo that shows a parameter's description carries this property set to true; a language change then
// leaves its text alone instead of putting the placeholder back.
inline constexpr char kShowsDescriptionProperty[] = "showsDescription";

// The interface language over the window: the language menu, the start-up choice from jezyk.txt, every
// entry of a language file set on the widget it names, the lists' selections kept across a change, the
// parameter hints; also the window-size menu and the help command, the other preferences of the window.
class LanguageController final : public QObject, public i18n::LanguageHost {
    Q_OBJECT
public:
    using ErrorSink = std::function<void(const QString& text, const QString& detail)>;

    // `startDir` is the start directory: home of jezyk.txt, rozdz.txt, help.txt and "lang".
    LanguageController(QMainWindow& window, MainMenu& menu, i18n::MessageStore& messages, QString startDir);
    ~LanguageController() override;

    // The language change of the language menu; `number` 1..9 (anything else loads nothing).
    i18n::LanguageResult selectLanguage(int number);
    // At the first activation: the language that jezyk.txt names, as if its menu item were clicked.
    void applyStartupLanguage();
    // Sets every interface target of the caption table to the current text of its id (at start-up the
    // built-in Polish texts). Targets the window does not have are skipped and listed in missingTargets().
    int applyCurrentTexts();
    QStringList missingTargets() const { return missing_; }

    // The window-size menu: normal state, the outer size, the check marks, centred, maximised when the
    // screen is exactly that wide, rozdz.txt written with `index`.
    void setWindowSize(int width, int height, int index);

    // Where language changes report a missing or broken file. By default a message box that does not
    // stop the window; tests collect the texts instead.
    void setErrorSink(ErrorSink sink) { errorSink_ = std::move(sink); }
    // The pages told after every change, for the texts each composes itself.
    void setPages(std::vector<Page*> pages) { pages_ = std::move(pages); }

    QString startDirectory() const { return startDir_; }
    // The folder below which "lang/..." is read: the start directory, or the installed data directory
    // when the start directory has no "lang" folder.
    QString languageRoot() const;
    int currentLanguage() const { return current_; }
    int charset() const { return charset_; }
    HelpViewer& help() { return *help_; }

    // The widget named `control` in the form `form` ("TForm1" is the main window; a dialog's own window
    // for control == form), or nullptr. Controls of the main window are never looked up inside dialogs.
    QWidget* findControl(std::string_view form, std::string_view control) const;
    // What an interface target of the caption table names: the menu item or menu of a menu caption, the
    // widget of any other target; nullptr for a stored text or an object the window does not have.
    QObject* findTarget(const i18n::CaptionTarget& target) const;

    // Lets shown labels and buttons that cut their new text short show it whole (labels wrap at spaces,
    // buttons grow past a narrow maximum width).
    void fitClippedTexts();
    // The texts of the controls that carry kTextIdProperty.
    void applyOwnTexts();

    // LanguageHost
    void saveComboIndices() override;
    void checkLanguageItem(int number) override;
    void applyCharset(int charset) override;
    void applyTarget(const i18n::CaptionTarget& target, std::string_view text) override;
    void showError(std::string_view text, std::string_view detail) override;
    void refreshAfterLanguage() override;
    void restoreComboIndices() override;
    void buildParameterHints() override;

signals:
    // After every language change, for views that compose texts of their own from the message store.
    void languageChanged(int number);

private:
    QWidget* formRoot(std::string_view form) const;
    bool applyCaption(QWidget* widget, const QString& text, bool isWindowCaption);
    void noteMissing(const i18n::CaptionTarget& target);
    QString message(int id) const;

    QMainWindow& window_;
    MainMenu& menu_;
    i18n::MessageStore& messages_;
    std::vector<Page*> pages_;
    QString startDir_;
    HelpViewer* help_ = nullptr;
    i18n::ComboIndexMemory combos_;
    ErrorSink errorSink_;
    QStringList missing_;
    bool quietMissingFile_ = false;
    int current_ = i18n::kPolish;
    int charset_ = 1;
};

}  // namespace sequaflow::ui
