#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>
#include <algorithm>

#include "sim/pty_server.h"
#include "params/build_info.h"
#include "ui/app_settings.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/connection_controller.h"
#include "ui/key_filters.h"
#include "ui/main_menu.h"
#include "ui/language_controller.h"
#include "ui/main_window.h"
#include "ui/readings_controller.h"
#include "ui_rig.h"

using namespace sequaflow;

using testing_support::Behind;
using testing_support::PtyRig;
using testing_support::VirtualRig;

namespace {
using Lines = QStringList;
const QString kCaption = QStringLiteral("Kestra sequaflow system - V 2.20 (16.02.2010)");
}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void smokeStartUpOverPtyConnectsToTheSimulatorWithItsCaption();
    void startUpConnectsReadsAndShowsLiveValues();
    void firstShowActivatesOnceAfterTheWindowIsUp();
    void eleventhMissedFrameShowsComError();
    void functionKeyFiveFollowsTheMapMode();
    void decimalFieldsTurnThePointIntoTheLocaleSeparator();
    void spaceBarSendsNothingWhenTheOptionIsOff();
    void gasButtonClearsStoredErrorsFirst();
    void noLiveFrameRequestInsideTheReadOfEverything();
    void everyPageAndMenuItemIsThereByName();
    void detectionFindsTheControllerOnTheThirdPort();
    void portItemIsSavedAsComNrAndUsedAtTheNextStart();
    void portItemWithoutControllerSavesNothing();
    void aboutShowsVersionBuildAndThePathsInUse();
};

// The real serial port and the window's pacer against the simulator on a pseudo-terminal, once.
void MainWindowTest::smokeStartUpOverPtyConnectsToTheSimulatorWithItsCaption() {
    auto sim = sim::PtyServer::Start(sim::Controller(sim::ControllerOptions{}), sim::PtyServerOptions{});
    QVERIFY(sim.ok());
    PtyRig rig((*sim)->slavePath());
    rig.window->readings().timer()->stop();
    rig.window->firstActivation();  // connects and reads everything before it returns
    QCOMPARE(rig.dialogs.texts, QStringList{});
    QCOMPARE(rig.window->windowTitle(), kCaption + QStringLiteral(" H.67 S.37"));
    QVERIFY(rig.link().connected());
    QVERIFY(rig.window->menu().portItem(0)->isChecked());
    // A reply crosses another thread and the kernel: a few ticks may pass before the first frame is in.
    auto* rpm = rig.window->findChild<QLineEdit*>(QStringLiteral("EditRPM"));
    for (int i = 0; i < 50 && rpm->text().isEmpty(); ++i) rig.window->readings().tick();
    QVERIFY(!rpm->text().isEmpty());
    rig.window->close();
    (*sim)->stop();
}

void MainWindowTest::startUpConnectsReadsAndShowsLiveValues() {
    VirtualRig rig(Behind::Simulator);
    rig.activate();
    QCOMPARE(rig.window->windowTitle(), kCaption + QStringLiteral(" H.67 S.37"));
    QVERIFY(rig.link().connected());
    QVERIFY(rig.window->menu().portItem(0)->isChecked());
    QCOMPARE(rig.state.readStatus, params::ReadStatus::Complete);
    // The simulator's engine idles: one tick shows its speed.
    auto* rpm = rig.find<QLineEdit>("EditRPM");
    QVERIFY(rpm->text().isEmpty());
    rig.window->readings().tick();
    QVERIFY(!rpm->text().isEmpty());
    QVERIFY(rig.dialogs.texts.isEmpty());
}

void MainWindowTest::firstShowActivatesOnceAfterTheWindowIsUp() {
    VirtualRig rig(Behind::Script);
    rig.window->show();
    // Not inside the show: the window is painted before the first frame goes out.
    QVERIFY(!rig.link().connected());
    QCoreApplication::processEvents();
    QVERIFY(rig.link().connected());
    const auto connected = rig.wire.mark();
    rig.window->hide();
    rig.window->show();
    QCoreApplication::processEvents();
    QCOMPARE(rig.wire.commandsSince(connected), QStringList{});
}

void MainWindowTest::eleventhMissedFrameShowsComError() {
    VirtualRig rig(Behind::Script);
    rig.activate();
    rig.window->readings().tick();
    QCOMPARE(rig.status(), QStringLiteral("BENZYNA"));
    rig.script.answerLive = false;
    for (int i = 0; i < 10; ++i) rig.window->readings().tick();
    QCOMPARE(rig.status(), QStringLiteral("BENZYNA"));
    rig.window->readings().tick();
    QCOMPARE(rig.status(), QStringLiteral("Com błąd"));
    rig.script.answerLive = true;
    rig.window->readings().tick();
    QCOMPARE(rig.status(), QStringLiteral("BENZYNA"));
}

void MainWindowTest::functionKeyFiveFollowsTheMapMode() {
    VirtualRig rig(Behind::Nothing);
    rig.showActive();
    rig.window->applyMapMode(1);
    QTest::keyClick(rig.window.get(), Qt::Key_F5);
    QCOMPARE(rig.window->pages()->currentWidget()->objectName(), QStringLiteral("TabSheet6"));
    QCOMPARE(rig.window->pages()->tabText(rig.window->pages()->currentIndex()), QStringLiteral("Map [F5]"));
    rig.window->applyMapMode(2);
    rig.window->showPage(rig.window->page(QStringLiteral("TabSheet3")));
    QTest::keyClick(rig.window.get(), Qt::Key_F5);
    QCOMPARE(rig.window->pages()->currentWidget()->objectName(), QStringLiteral("TabSheet7"));
    QTest::keyClick(rig.window.get(), Qt::Key_F3);
    QCOMPARE(rig.window->pages()->currentWidget()->objectName(), QStringLiteral("TabSheet2"));
}

void MainWindowTest::decimalFieldsTurnThePointIntoTheLocaleSeparator() {
    QLineEdit edit;
    edit.installEventFilter(new ui::NumberKeyFilter(live::KeyFilter::Decimal, ',', &edit));
    edit.show();
    QTest::keyClicks(&edit, QStringLiteral("1.5a-"));
    QCOMPARE(edit.text(), QStringLiteral("1,5"));
    QLineEdit digits;
    digits.installEventFilter(new ui::NumberKeyFilter(live::KeyFilter::Digit, ',', &digits));
    QTest::keyClicks(&digits, QStringLiteral("12,x3"));
    QCOMPARE(digits.text(), QStringLiteral("123"));
}

void MainWindowTest::spaceBarSendsNothingWhenTheOptionIsOff() {
    VirtualRig rig(Behind::Script);
    rig.activate();
    rig.showActive();
    QAction* option = rig.window->menu().action(QStringLiteral("spacjaprzelaczabg1"));
    if (option->isChecked()) option->trigger();
    QVERIFY(!option->isChecked());
    const auto before = rig.wire.mark();
    QTest::keyClick(rig.window.get(), Qt::Key_Space);
    QCOMPARE(rig.wire.commandsSince(before), Lines{});
    option->trigger();
    QTest::keyClick(rig.window.get(), Qt::Key_Space);
    QCOMPARE(rig.wire.commandsSince(before), Lines{"SwitchToGas"});
}

void MainWindowTest::gasButtonClearsStoredErrorsFirst() {
    VirtualRig rig(Behind::Script);
    rig.script.storedErrors = 1;
    rig.activate();
    rig.window->readings().tick();
    const auto before = rig.wire.mark();
    rig.find<QPushButton>("ButtonLPG")->click();
    QCOMPARE(rig.wire.framesAndPausesSince(before),
             (Lines{"send 58 00 00 00 58 3A  ClearErrors", "send 47 00 00 00 47 3A  SwitchToGas"}));
    // Without stored errors the button switches at once.
    rig.script.storedErrors = 0;
    rig.window->readings().tick();
    const auto second = rig.wire.mark();
    rig.find<QPushButton>("ButtonLPG")->click();
    QCOMPARE(rig.wire.framesAndPausesSince(second), Lines{"send 47 00 00 00 47 3A  SwitchToGas"});
}

void MainWindowTest::noLiveFrameRequestInsideTheReadOfEverything() {
    VirtualRig rig(Behind::Script);
    rig.activate();
    // The window's pacer runs the event loop in every pause of a sequence, so the readings timer fires
    // there: here it fires in each of them.
    int ticksDuringRead = 0;
    rig.pacer.setHook([&](std::chrono::microseconds, int) {
        ++ticksDuringRead;
        rig.window->readings().tick();
    });
    const auto before = rig.wire.mark();
    rig.window->connection().readEverything();
    rig.pacer.setHook({});
    QVERIFY(ticksDuringRead > 64);
    const auto commands = rig.wire.commandsSince(before);
    QCOMPARE(commands.count(QStringLiteral("ParamRead")), 64);
    QCOMPARE(commands.count(QStringLiteral("ReadLiveFrame")), 0);
    // Once the read has ended, a tick goes out again.
    const auto after = rig.wire.mark();
    rig.window->readings().tick();
    QCOMPARE(rig.wire.commandsSince(after), Lines{"ReadLiveFrame"});
}

void MainWindowTest::everyPageAndMenuItemIsThereByName() {
    VirtualRig rig(Behind::Nothing);
    const QStringList pages = {QStringLiteral("TabSheet1"), QStringLiteral("TabSheet3"), QStringLiteral("TabSheet2"),
                               QStringLiteral("TabSheet11"), QStringLiteral("TabSheet7"), QStringLiteral("TabSheet6"),
                               QStringLiteral("TabSheet5"), QStringLiteral("TabSheet4"), QStringLiteral("TabSheet8"),
                               QStringLiteral("TabSheet10"), QStringLiteral("TabSheet9"), QStringLiteral("TabSheetEmisja")};
    for (int i = 0; i < pages.size(); ++i) QCOMPARE(rig.window->pages()->widget(i)->objectName(), pages[i]);
    QCOMPARE(rig.window->pages()->currentWidget()->objectName(), QStringLiteral("TabSheet3"));
    QVERIFY(!rig.window->pages()->isTabVisible(0));
    QVERIFY(rig.window->pages()->isTabVisible(1));
    for (const char* name : {"TForm5", "TForm6", "TForm7", "TForm8", "TForm9", "TForm10", "TForm11", "TForm12", "TForm13",
                             "TForm14", "TForm15"})
        QVERIFY2(rig.window->findChild<QWidget*>(QString::fromLatin1(name)), name);
    QCOMPARE(rig.window->menu().portItem(0)->objectName(), QStringLiteral("COM1CTRL11"));
    QCOMPARE(rig.window->menu().portItem(8)->objectName(), QStringLiteral("COM9_"));
    QCOMPARE(rig.window->menu().portItem(24)->text(), QStringLiteral("COM25"));
    QVERIFY(rig.window->menu().action(QStringLiteral("Polski1"))->isVisible());
    QVERIFY(rig.window->menu().action(QStringLiteral("Polski1"))->isChecked());
    QVERIFY(rig.window->menu().action(QStringLiteral("Turecki1"))->isVisible());
}

void MainWindowTest::detectionFindsTheControllerOnTheThirdPort() {
    VirtualRig rig(Behind::Script, 2, false);
    rig.activate();
    QVERIFY(!rig.link().connected());
    rig.window->menu().action(QStringLiteral("AutodetekcjaCTRLD1"))->trigger();
    auto* status = rig.window->findChild<QWidget*>(QStringLiteral("TForm13"));
    QVERIFY(status && status->isVisible());
    QTimer* timer = rig.window->connection().autoconnectTimer();
    QVERIFY(timer->isActive());
    // Two entries that do not open are passed over, one a tick; the third answers in the tick that opens it.
    for (int tick = 1; tick <= 2; ++tick) {
        VirtualRig::fire(timer);
        QVERIFY2(!rig.link().connected(), qPrintable(QString::number(tick)));
        QVERIFY(rig.window->menu().portItem(tick)->isChecked());
    }
    VirtualRig::fire(timer);
    QVERIFY(rig.link().connected());
    QCOMPARE(rig.window->windowTitle(), kCaption + QStringLiteral("v.7.3.0D Meridian H.67 S.37"));
    QVERIFY(rig.window->menu().portItem(2)->isChecked());
    QVERIFY(!rig.window->menu().portItem(0)->isChecked());
    QVERIFY(!status->isVisible());
    QVERIFY(!timer->isActive());
    // The connection is followed by the read of everything.
    QCOMPARE(rig.state.readStatus, params::ReadStatus::Complete);
}

void MainWindowTest::portItemIsSavedAsComNrAndUsedAtTheNextStart() {
    VirtualRig rig(Behind::Simulator, 4, false);
    rig.activate();
    QVERIFY(!rig.link().connected());
    rig.window->menu().portItem(4)->trigger();
    QVERIFY(rig.link().connected());
    // In the settings file itself, as the next start reads it.
    const QString ini = rig.start.dir.path() + QStringLiteral("/settings.ini");
    QCOMPARE(ui::AppSettings(ini).comNr(), std::optional<int>(5));

    // What the next start does with it: the saved entry is connected again.
    rig.link().closePort();
    rig.window->menu().uncheckAllPorts();
    rig.window->connection().restoreSavedPort();
    QVERIFY(rig.link().connected());
    QCOMPARE(rig.link().portName(), VirtualRig::devicePath(4));
    QVERIFY(rig.window->menu().portItem(4)->isChecked());
}

void MainWindowTest::portItemWithoutControllerSavesNothing() {
    VirtualRig rig(Behind::Nothing, 0, false);
    rig.activate();
    const QString ini = rig.start.dir.path() + QStringLiteral("/settings.ini");
    const auto before = ui::AppSettings(ini).comNr();
    rig.window->menu().portItem(3)->trigger();
    QVERIFY(!rig.link().connected());
    QCOMPARE(rig.dialogs.texts.size(), 1);  // the port could not be opened
    QCOMPARE(ui::AppSettings(ini).comNr(), before);
    QVERIFY(!rig.window->menu().portItem(3)->isChecked());
}

// Help > About names the version, the build and each path the program works with, in the chosen language.
void MainWindowTest::aboutShowsVersionBuildAndThePathsInUse() {
    VirtualRig rig(Behind::Simulator);
    QAction* item = rig.window->menu().action(QStringLiteral("OProgramie1"));
    item->trigger();
    ui::AboutDialog& about = rig.window->about();
    QVERIFY(about.isVisible());
    const QString text = about.text();
    const QString folder = QDir::currentPath();
    QVERIFY2(text.contains(QStringLiteral("Wersja: ") + QStringLiteral(SEQUAFLOW_VERSION)), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Kompilacja: ") + QString::fromUtf8(params::kBuild.data())), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("parametry): ") + folder + QLatin1Char('\n')), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Pliki języków: ") + folder + QStringLiteral("/lang")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Ustawienia: ") + rig.settings.fileName()), qPrintable(text));
    about.close();

    QCOMPARE(rig.window->languages().selectLanguage(2).outcome, i18n::LanguageOutcome::Applied);
    item->trigger();
    QVERIFY2(rig.window->about().text().contains(QStringLiteral("Version: ") + QStringLiteral(SEQUAFLOW_VERSION)),
             qPrintable(rig.window->about().text()));
    QCOMPARE(rig.window->about().windowTitle(), QStringLiteral("About sequaflow"));
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
