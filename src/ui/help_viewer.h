#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

class QPlainTextEdit;
class QWidget;

namespace sequaflow::i18n {
class MessageStore;
}

namespace sequaflow::ui {

// The help command: help.txt opens in the desktop's text viewer; when none can be started, the text is
// shown in a read-only window of our own, so the installer always gets to read it.
class HelpViewer final : public QObject {
    Q_OBJECT
public:
    using Opener = std::function<bool(const QUrl&)>;

    // `opener` hands a file to the desktop (QDesktopServices::openUrl when empty). `messages` gives the
    // file-failure text shown when help.txt is nowhere to be found.
    HelpViewer(QString startDir, const i18n::MessageStore& messages, QWidget* window, Opener opener = {});

    // Where help.txt is looked for, in order: the start directory, its "lang" folder (a source tree),
    // the installed data directory.
    QStringList candidates() const;
    // The first candidate that exists, or empty.
    QString locate() const;

    // Opens help.txt. Returns true when the desktop viewer took it, false when our own window shows it
    // (or says that the file is missing).
    bool show();

    // Another way to hand the file to the desktop (tests count the calls instead of starting a viewer).
    void setOpener(Opener opener) { opener_ = std::move(opener); }

    // Our own window, once it has been needed.
    QWidget* fallbackWindow() const;

private:
    void showOwnWindow(const QString& path);

    QString startDir_;
    const i18n::MessageStore& messages_;
    QPointer<QWidget> window_;
    Opener opener_;
    QPointer<QWidget> own_;
    QPointer<QPlainTextEdit> text_;
};

}  // namespace sequaflow::ui
