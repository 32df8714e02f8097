#include "ui/help_viewer.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "i18n/message_ids.h"
#include "i18n/message_store.h"

namespace sequaflow::ui {
namespace {

constexpr const char* kHelpFile = "help.txt";
// help.txt files are UTF-8; anything bigger than this is not a help text.
constexpr qint64 kMaxHelpBytes = 4 * 1024 * 1024;

}  // namespace

HelpViewer::HelpViewer(QString startDir, const i18n::MessageStore& messages, QWidget* window, Opener opener)
    : QObject(window), startDir_(std::move(startDir)), messages_(messages), window_(window), opener_(std::move(opener)) {
    if (!opener_) opener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

QStringList HelpViewer::candidates() const {
    const QDir start(startDir_);
    return {start.filePath(QString::fromLatin1(kHelpFile)),
            start.filePath(QStringLiteral("lang/") + QString::fromLatin1(kHelpFile)),
            QDir(QStringLiteral(SEQUAFLOW_DATA_DIR)).filePath(QString::fromLatin1(kHelpFile))};
}

QString HelpViewer::locate() const {
    for (const QString& path : candidates())
        if (QFileInfo(path).isFile()) return path;
    return {};
}

bool HelpViewer::show() {
    const QString path = locate();
    // The viewer is started and not waited for; only when it cannot be started do we show the text.
    if (!path.isEmpty() && opener_(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()))) return true;
    showOwnWindow(path);
    return false;
}

QWidget* HelpViewer::fallbackWindow() const { return own_.data(); }

void HelpViewer::showOwnWindow(const QString& path) {
    if (!own_) {
        auto* dialog = new QDialog(window_);
        dialog->setObjectName(QStringLiteral("HelpWindow"));
        dialog->setModal(false);
        dialog->resize(720, 560);
        text_ = new QPlainTextEdit(dialog);
        text_->setObjectName(QStringLiteral("HelpText"));
        text_->setReadOnly(true);
        text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        auto* layout = new QVBoxLayout(dialog);
        layout->setContentsMargins(4, 4, 4, 4);
        layout->addWidget(text_);
        own_ = dialog;
    }
    QString content;
    QFile file(path);
    if (!path.isEmpty() && file.open(QIODevice::ReadOnly)) {
        content = QString::fromUtf8(file.read(kMaxHelpBytes));
        own_->setWindowTitle(QFileInfo(path).absoluteFilePath());
    } else {
        const std::string_view failure = messages_.text(i18n::msg::FileError);
        content = QString::fromUtf8(failure.data(), static_cast<qsizetype>(failure.size())) + QStringLiteral(":\n") +
                  candidates().join(QLatin1Char('\n'));
        own_->setWindowTitle(QString::fromLatin1(kHelpFile));
    }
    text_->setPlainText(content);
    own_->show();
    own_->raise();
    own_->activateWindow();
}

}  // namespace sequaflow::ui
