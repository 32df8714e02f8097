#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>

#include "link/commands.h"
#include "link/posix_serial_port.h"
#include "live/live_frame.h"
#include "sim/pty_server.h"
#include "ui_rig.h"
#include "support/scripted_port.h"
#include "ui/app_settings.h"
#include "ui/connection_controller.h"
#include "ui/dialogs/status_window.h"
#include "ui/key_filters.h"
#include "ui/main_menu.h"
#include "ui/main_window.h"
#include "ui/readings_controller.h"

using namespace sequaflow;

using sequaflow::testing_support::Peer;
using sequaflow::testing_support::Rig;
using sequaflow::testing_support::kNoDevice;

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startUpConnectsToTheSimulatorWithItsCaption();
    void eleventhMissedFrameShowsComError();
    void functionKeyFiveFollowsTheMapMode();
    void decimalFieldsTurnThePointIntoTheLocaleSeparator();
    void spaceBarSendsNothingWhenTheOptionIsOff();
    void gasButtonClearsStoredErrorsFirst();
    void noLiveFrameRequestInsideTheReadOfEverything();
    void everyPageAndMenuItemIsThereByName();
    void detectionFindsTheControllerOnTheThirdPort();
};

void MainWindowTest::startUpConnectsToTheSimulatorWithItsCaption() {
    auto sim = sim::PtyServer::Start(sim::Controller(sim::ControllerOptions{}), sim::PtyServerOptions{});
    QVERIFY(sim.ok());
    Rig rig((*sim)->slavePath());
    rig.window->show();
    QTRY_VERIFY_WITH_TIMEOUT(rig.window->windowTitle().endsWith(QStringLiteral(" H.67 S.37")), 10000);
    QCOMPARE(rig.window->windowTitle(), QStringLiteral("Kestra sequaflow system - V 2.20 (16.02.2010) H.67 S.37"));
    QVERIFY(rig.link().connected());
    QVERIFY(rig.window->menu().portItem(0)->isChecked());
    // Live frames arrive and are shown.
    QTRY_VERIFY_WITH_TIMEOUT(!rig.window->findChild<QLineEdit*>(QStringLiteral("EditRPM"))->text().isEmpty(), 5000);
    rig.window->close();
    (*sim)->stop();
}

void MainWindowTest::eleventhMissedFrameShowsComError() {
    Peer peer;
    Rig rig(peer.pty.slavePath());
    rig.window->show();
    QTRY_VERIFY_WITH_TIMEOUT(rig.link().connected(), 5000);
    rig.window->readings().timer()->stop();
    rig.window->readings().tick();
    QCOMPARE(rig.status(), QStringLiteral("BENZYNA"));
    peer.answerLive = false;
    for (int i = 0; i < 10; ++i) rig.window->readings().tick();
    QCOMPARE(rig.status(), QStringLiteral("BENZYNA"));
    rig.window->readings().tick();
    QCOMPARE(rig.status(), QStringLiteral("Com błąd"));
    peer.answerLive = true;
    rig.window->readings().tick();
    QCOMPARE(rig.status(), QStringLiteral("BENZYNA"));
}

void MainWindowTest::functionKeyFiveFollowsTheMapMode() {
    Rig rig(kNoDevice);
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
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
    Peer peer;
    Rig rig(peer.pty.slavePath());
    rig.window->show();
    QTRY_VERIFY_WITH_TIMEOUT(rig.link().connected(), 5000);
    rig.window->readings().timer()->stop();
    QAction* option = rig.window->menu().action(QStringLiteral("spacjaprzelaczabg1"));
    if (option->isChecked()) option->trigger();
    QVERIFY(!option->isChecked());
    QTest::qWait(100);  // the first activation's last frames reach the peer's thread
    const auto before = peer.codes().size();
    QTest::keyClick(rig.window.get(), Qt::Key_Space);
    QTest::qWait(100);
    QCOMPARE(peer.codes().size(), before);
    option->trigger();
    QTest::keyClick(rig.window.get(), Qt::Key_Space);
    QTRY_COMPARE(peer.codes().size(), before + 1);
    QCOMPARE(peer.codes().back(), 'G');
}

void MainWindowTest::gasButtonClearsStoredErrorsFirst() {
    Peer peer;
    peer.storedErrors = 1;
    Rig rig(peer.pty.slavePath());
    rig.window->show();
    QTRY_VERIFY_WITH_TIMEOUT(rig.link().connected(), 5000);
    rig.window->readings().timer()->stop();
    rig.window->readings().tick();
    QTest::qWait(100);  // the first activation's last frames reach the peer's thread
    const auto before = peer.codes().size();
    rig.window->findChild<QWidget*>(QStringLiteral("ButtonLPG"))->metaObject()->invokeMethod(
        rig.window->findChild<QWidget*>(QStringLiteral("ButtonLPG")), "click");
    QTRY_COMPARE(peer.codes().size(), before + 2);
    QCOMPARE(peer.codes()[before], 'X');
    QCOMPARE(peer.codes()[before + 1], 'G');
}

void MainWindowTest::noLiveFrameRequestInsideTheReadOfEverything() {
    Peer peer;
    Rig rig(peer.pty.slavePath());
    rig.window->show();
    QTRY_VERIFY_WITH_TIMEOUT(rig.link().connected(), 5000);
    // The readings timer keeps running: its ticks during the read must not send anything.
    QTest::qWait(100);  // the first activation's last frames reach the peer's thread
    const auto before = peer.codes().size();
    rig.window->connection().readEverything();
    const auto codes = peer.codes();
    auto first = std::find(codes.begin() + static_cast<long>(before), codes.end(), 'd');
    QVERIFY(first != codes.end());
    auto last = std::find(codes.rbegin(), codes.rend(), 'P').base();
    QVERIFY(last > first);
    QVERIFY(std::count(first, last, 'V') == 0);
    QVERIFY(std::count(first, last, 'd') == 64);
}

void MainWindowTest::everyPageAndMenuItemIsThereByName() {
    Rig rig(kNoDevice);
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
    QVERIFY(!rig.window->menu().action(QStringLiteral("Polski1"))->isVisible());
    QVERIFY(rig.window->menu().action(QStringLiteral("Polski1"))->isChecked());
    QVERIFY(rig.window->menu().action(QStringLiteral("Turecki1"))->isVisible());
}

void MainWindowTest::detectionFindsTheControllerOnTheThirdPort() {
    Peer peer;
    Rig rig(peer.pty.slavePath(), 2, false);
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    rig.window->menu().action(QStringLiteral("AutodetekcjaCTRLD1"))->trigger();
    auto* status = rig.window->findChild<QWidget*>(QStringLiteral("TForm13"));
    QVERIFY(status && status->isVisible());
    // Two unopenable entries are skipped at once, the third answers in the tick that opens it.
    QTRY_VERIFY_WITH_TIMEOUT(rig.link().connected(), 3000);
    QCOMPARE(rig.window->windowTitle(),
             QStringLiteral("Kestra sequaflow system - V 2.20 (16.02.2010)v.7.3.0D Meridian H.67 S.37"));
    QVERIFY(rig.window->menu().portItem(2)->isChecked());
    QVERIFY(!rig.window->menu().portItem(0)->isChecked());
    QTRY_VERIFY(!status->isVisible());
    QVERIFY(!rig.window->connection().autoconnectTimer()->isActive());
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
