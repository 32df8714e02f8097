#include <QFile>
#include <QSet>
#include <QStringList>
#include <QtTest>

#include "i18n/caption_table.h"
#include "ui/language_controller.h"
#include "ui/main_window.h"
#include "ui_rig.h"

using namespace sequaflow;

namespace {

const QString kListPath = QStringLiteral(SEQUAFLOW_SOURCE_DIR "/tests/ui/missing_caption_targets.txt");

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The main window's controls go by their bare objectName, a dialog's by "TFormN/name".
QString TargetName(const i18n::CaptionTarget& t) {
    if (t.form.empty() || t.form == i18n::kMainForm) return FromView(t.control);
    return FromView(t.form) + QLatin1Char('/') + FromView(t.control);
}

// One name a line; '#' starts a comment, blank lines are skipped.
bool ReadList(const QString& path, QSet<QString>& names, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        error = path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    int number = 0;
    while (!file.atEnd()) {
        ++number;
        QString line = QString::fromUtf8(file.readLine());
        if (const auto hash = line.indexOf(QLatin1Char('#')); hash >= 0) line.truncate(hash);
        line = line.trimmed();
        if (line.isEmpty()) continue;
        if (line.contains(QLatin1Char(' ')) || names.contains(line)) {
            error = QStringLiteral("%1:%2: '%3' is not one new name").arg(path).arg(number).arg(line);
            return false;
        }
        names.insert(line);
    }
    return true;
}

// Test messages are cut short, so the names go to the log one a line and the failure says how many.
QByteArray Report(const char* what, QStringList names) {
    names.sort();
    for (const QString& name : names) qWarning("%s: %s", what, qPrintable(name));
    return QByteArray::number(names.size()) + ' ' + what;
}

}  // namespace

class CaptionTargetsTest : public QObject {
    Q_OBJECT
private slots:
    void everyTargetIsInTheWindowOrListedAsMissing();
};

// The caption table reaches controls by objectName, so a misspelt name in the table or in the window
// silently loses a translation. Every target must exist, unless the list of pages still to come names it;
// a listed target that has since arrived must leave the list, so the list only shrinks.
void CaptionTargetsTest::everyTargetIsInTheWindowOrListedAsMissing() {
    QSet<QString> listed;
    QString error;
    QVERIFY2(ReadList(kListPath, listed, error), qPrintable(error));

    testing_support::VirtualRig rig(testing_support::Behind::Nothing);
    const ui::LanguageController& languages = rig.window->languages();

    QSet<QString> targets;
    QStringList missingUnlisted;
    QStringList presentButListed;
    for (const auto& row : i18n::CaptionTable()) {
        for (const auto& target : row.targets()) {
            if (target.isStoredText()) continue;
            const QString name = TargetName(target);
            if (targets.contains(name)) continue;
            targets.insert(name);
            const bool present = languages.findTarget(target) != nullptr;
            if (!present && !listed.contains(name)) missingUnlisted << name;
            if (present && listed.contains(name)) presentButListed << name;
        }
    }
    QStringList notTargets;
    for (const QString& name : listed)
        if (!targets.contains(name)) notTargets << name;

    QVERIFY2(missingUnlisted.isEmpty(),
             Report("missing from the window (misspelt on either side, or list it while its page is to come)",
                    missingUnlisted)
                 .constData());
    QVERIFY2(presentButListed.isEmpty(),
             Report("now in the window: remove from the list", presentButListed).constData());
    QVERIFY2(notTargets.isEmpty(), Report("listed but no caption target", notTargets).constData());
}

QTEST_MAIN(CaptionTargetsTest)
#include "caption_targets_test.moc"
