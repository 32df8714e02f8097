#include "ui/dialogs/about_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "i18n/message_ids.h"
#include "i18n/message_store.h"
#include "params/build_info.h"
#include "ui/fields.h"

namespace sequaflow::ui {

namespace msg = i18n::msg;

AboutDialog::AboutDialog(const i18n::MessageStore& messages, std::function<AboutPaths()> paths, QWidget* parent)
    : QDialog(parent), messages_(messages), paths_(std::move(paths)) {
    setObjectName(QStringLiteral("AboutDialog"));
    body_ = new QLabel(this);
    body_->setObjectName(QStringLiteral("AboutText"));
    body_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    body_->setTextFormat(Qt::PlainText);
    ok_ = new QPushButton(this);
    ok_->setObjectName(QStringLiteral("AboutOk"));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(body_);
    layout->addLayout(buttons);
}

void AboutDialog::showAbout() {
    const AboutPaths p = paths_ ? paths_() : AboutPaths{};
    auto line = [this](int id, const QString& value) { return Text(messages_, id).arg(value); };
    const QString help = p.helpFile.isEmpty() ? Text(messages_, msg::NotPresent) : p.helpFile;
    QStringList lines{QStringLiteral("sequaflow"),
                      line(msg::AboutVersion, QString::fromUtf8(params::kVersion.data(),
                                                                static_cast<qsizetype>(params::kVersion.size()))),
                      line(msg::AboutBuild, QString::fromUtf8(params::kBuild.data(),
                                                              static_cast<qsizetype>(params::kBuild.size()))),
                      QStringLiteral("Qt %1").arg(QString::fromLatin1(qVersion())),
                      QString(),
                      line(msg::AboutDataFolder, p.dataFolder),
                      line(msg::AboutLanguageFolder, p.languageFolder),
                      line(msg::AboutHelpFile, help),
                      line(msg::AboutSettingsFile, p.settingsFile)};
    body_->setText(lines.join(QLatin1Char('\n')));
    setWindowTitle(Text(messages_, msg::AboutTitle));
    ok_->setText(Text(messages_, msg::Ok));
    adjustSize();
    show();
    raise();
    activateWindow();
}

QString AboutDialog::text() const { return body_->text(); }

}  // namespace sequaflow::ui
