#include <QAction>
#include <QLabel>
#include <QtTest>
#include <sys/resource.h>

#include <csignal>

#include "i18n/message_ids.h"
#include "live/live_csv.h"
#include "ui/language_controller.h"
#include "ui/live_feed.h"
#include "ui/live_log_controller.h"
#include "ui/main_menu.h"
#include "ui/readings_controller.h"
#include "ui_rig.h"

using namespace sequaflow;
using testing_support::Behind;
using testing_support::VirtualRig;

namespace {

QStringList FileLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {QStringLiteral("<cannot open>")};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
}

QString Header() { return QString::fromStdString(live::CsvHeader()).chopped(1); }

// What the scripted controller's frame shows with ignition type 2 and 2304 petrol ticks on cylinder 1:
// 9216 / 230400 Hz = 0.04 s a period = 750 rpm, raw pressure 0 = 0.202 * 0.744158 = 0.150 bar, 10 ms.
const QString kScriptRow = QStringLiteral("750,0.150,0,0,0.000,0.000,0.00,0,0,0,0,0,10.000") +
                           QStringLiteral(",0.000").repeated(15);

struct LogRig : VirtualRig {
    LogRig() : VirtualRig(Behind::Script) {
        script.params[21] = 2;
        script.petrolTicks = 2304;
        activate();
    }
    QAction* item() { return window->menu().action(QStringLiteral("ZapisLogu1")); }
    QLabel* indicator() { return find<QLabel>("LabelLog"); }
    ui::LiveLogController& log() { return window->liveLog(); }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) window->readings().tick();
    }
};

}  // namespace

class LiveLogUiTest : public QObject {
    Q_OBJECT
private slots:
    void logsEachAcceptedFrameNotesTheGapAndStopsOnTheIndicator();
    void aFolderThatCannotBeMadeIsReportedAndTheReadingsGoOn();
    void aFailedWriteStopsTheLogAndClosingTheWindowClosesIt();
};

void LiveLogUiTest::logsEachAcceptedFrameNotesTheGapAndStopsOnTheIndicator() {
    LogRig rig;
    rig.ticks(2);  // before the log: not in it
    QVERIFY(rig.indicator()->isHidden());
    rig.item()->setChecked(true);
    QVERIFY(rig.log().running());
    const QString path = rig.log().path();
    QVERIFY2(path.startsWith(QDir::currentPath() + QStringLiteral("/logs/live_")), qPrintable(path));
    QVERIFY(!rig.indicator()->isHidden());
    QCOMPARE(rig.indicator()->text(), rig.text(i18n::msg::LogRunning).arg(QFileInfo(path).fileName()));
    QCOMPARE(FileLines(path), (QStringList{Header(), QString()}));
    // The indicator follows a language change, as the menu does.
    QCOMPARE(int(rig.window->languages().selectLanguage(4).outcome), int(i18n::LanguageOutcome::Applied));
    QCOMPARE(rig.indicator()->text(), QStringLiteral("Protokoll: ") + QFileInfo(path).fileName());

    rig.ticks(3);
    rig.script.answerLive = false;  // missed frames are no rows
    rig.ticks(2);
    rig.script.answerLive = true;
    rig.scripted->loseDevice();
    rig.ticks(1);
    QVERIFY(rig.window->feed().stale());
    VirtualRig::fire(rig.window->connection().reconnectTimer());
    QVERIFY(rig.link().connected());
    rig.ticks(2);
    QVERIFY(!rig.window->feed().stale());

    QTest::mouseClick(rig.indicator(), Qt::LeftButton);
    QVERIFY(!rig.log().running());
    QVERIFY(rig.indicator()->isHidden());
    QVERIFY(!rig.item()->isChecked());
    QCOMPARE(rig.statusBar(), rig.text(i18n::msg::LogClosed).arg(path));
    rig.ticks(2);  // after the log: not in it

    const QStringList lines = FileLines(path);
    QCOMPARE(lines.size(), 1 + 3 + 2 + 2 + 1);  // header, rows, two notes, rows, the last newline
    QCOMPARE(lines[0], Header());
    QCOMPARE(lines.last(), QString());
    double previous = -1;
    for (int i : {1, 2, 3, 6, 7}) {
        const QString time = lines[i].section(QLatin1Char(','), 0, 0);
        QCOMPARE(lines[i].section(QLatin1Char(','), 1), kScriptRow);
        QVERIFY2(time.toDouble() > previous, qPrintable(lines[i]));
        previous = time.toDouble();
    }
    QVERIFY2(lines[4].startsWith(QStringLiteral("# line lost at ")), qPrintable(lines[4]));
    QVERIFY2(lines[4].contains(QStringLiteral(", last frame at ") + lines[3].section(QLatin1Char(','), 0, 0) +
                               QStringLiteral(" s")),
             qPrintable(lines[4]));
    QVERIFY2(lines[5].startsWith(QStringLiteral("# line back at ")), qPrintable(lines[5]));
    QVERIFY(rig.dialogs.texts.isEmpty());
}

void LiveLogUiTest::aFolderThatCannotBeMadeIsReportedAndTheReadingsGoOn() {
    LogRig rig;
    {
        QFile blocker(QStringLiteral("logs"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    rig.item()->trigger();
    QVERIFY(!rig.log().running());
    QVERIFY(!rig.item()->isChecked());
    QVERIFY(rig.indicator()->isHidden());
    const QString expected = rig.text(i18n::msg::LogOpenFailed).arg(QDir::currentPath() + QStringLiteral("/logs"),
                                                                     QStringLiteral("not a folder"));
    QCOMPARE(rig.dialogs.texts, QStringList{expected});
    QCOMPARE(rig.statusBar(), expected);
    rig.ticks(1);
    QCOMPARE(rig.window->feed().view().rpm, 750u);

    // The folder put right, the next try works.
    QVERIFY(QFile::remove(QStringLiteral("logs")));
    rig.item()->trigger();
    QVERIFY(rig.log().running());
    QVERIFY(rig.item()->isChecked());
}

void LiveLogUiTest::aFailedWriteStopsTheLogAndClosingTheWindowClosesIt() {
    LogRig rig;
    rig.item()->setChecked(true);
    const QString first = rig.log().path();
    rig.ticks(3);
    rig.window->close();
    QVERIFY(!rig.log().running());
    QCOMPARE(FileLines(first).size(), 1 + 3 + 1);

    // The disk fills up: this file may grow by one row and no more.
    LogRig full;
    full.item()->setChecked(true);
    const QString path = full.log().path();
    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = static_cast<rlim_t>(QFileInfo(path).size() + 100);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    full.ticks(3);
    QVERIFY(full.log().running());  // still in the buffer
    full.pacer.advance(std::chrono::seconds(1));
    VirtualRig::fire(full.log().flushTimer());
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);

    QVERIFY(!full.log().running());
    QVERIFY(!full.item()->isChecked());
    QVERIFY(full.indicator()->isHidden());
    QCOMPARE(full.statusBar(), full.text(i18n::msg::LogStopped).arg(path + QStringLiteral(": File too large")));
    QVERIFY(full.window->findChild<QMessageBox*>(QStringLiteral("LogStoppedBox")) != nullptr);
    full.ticks(1);  // the readings go on
    QCOMPARE(full.window->feed().view().rpm, 750u);
}

QTEST_MAIN(LiveLogUiTest)
#include "live_log_ui_test.moc"
