#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "live/conversions.h"
#include "ui/pages/standard_map_page.h"
#include "ui/readings_controller.h"
#include "ui_rig.h"

using namespace sequaflow;
using testing_support::Peer;
using testing_support::Rig;

class ReadingsUiTest : public QObject {
    Q_OBJECT
private slots:
    void unpluggedControllerShowsComErrorWithoutCrashing();
    void lambdaControlsFollowTheProbeTypes();
    void filterValuesAreLimitedAndSent();
    void stripMarksTheSegmentOfThePetrolTime();
};

namespace {
void Connect(Rig& rig) {
    rig.window->show();
    QTRY_VERIFY_WITH_TIMEOUT(rig.link().connected(), 5000);
    rig.window->readings().timer()->stop();
    QTest::qWait(100);  // the first activation's last frames reach the peer's thread
}
}  // namespace

void ReadingsUiTest::unpluggedControllerShowsComErrorWithoutCrashing() {
    Peer peer;
    Rig rig(peer.pty.slavePath());
    Connect(rig);
    rig.window->readings().tick();
    QCOMPARE(rig.status(), QStringLiteral("BENZYNA"));
    peer.pty.hangUp();
    rig.window->readings().tick();  // the device is gone: the port closes cleanly
    QVERIFY(!rig.link().portOpen());
    rig.window->readings().tick();
    QCOMPARE(rig.status(), QStringLiteral("Com błąd"));
    QVERIFY(rig.link().lostReason().has_value());
}

void ReadingsUiTest::lambdaControlsFollowTheProbeTypes() {
    Peer peer;
    peer.params[55] = 1;
    Rig rig(peer.pty.slavePath());
    Connect(rig);
    rig.window->readings().tick();
    auto* probe1 = rig.window->findChild<QGroupBox*>(QStringLiteral("GroupLambda1"));
    auto* probe2 = rig.window->findChild<QGroupBox*>(QStringLiteral("GroupLambda2"));
    QVERIFY(probe1 && probe2);
    QVERIFY(probe1->isVisible());
    QVERIFY(!probe2->isVisible());
    QCOMPARE(rig.window->findChild<QLineEdit*>(QStringLiteral("EditSonda1"))->text(), QStringLiteral("0,00V"));
}

void ReadingsUiTest::filterValuesAreLimitedAndSent() {
    Peer peer;
    peer.params[21] = 2;
    Rig rig(peer.pty.slavePath());
    Connect(rig);
    auto* rpm = rig.window->findChild<QLineEdit*>(QStringLiteral("EditFiltrRPM"));
    auto* dt = rig.window->findChild<QLineEdit*>(QStringLiteral("EditFiltrDt"));
    QVERIFY(rpm && dt);
    rpm->setText(QStringLiteral("300"));
    dt->setText(QStringLiteral("0"));
    const auto before = peer.pty.frames().size();
    rig.window->findChild<QPushButton*>(QStringLiteral("ButtonFiltrZapis"))->click();
    QTest::qWait(100);  // the peer reads the last frames on its own thread
    const auto frames = peer.pty.frames();
    std::vector<int> written;
    for (auto i = before; i < frames.size(); ++i)
        if (frames[i][0] == 'D') written.push_back(frames[i][1]);
    QCOMPARE(written, (std::vector<int>{60, 61, 59, 54, 47}));
    QCOMPARE(rig.state.image.slot(60), live::RpmToPeriod(400, 2));
    QCOMPARE(rig.state.image.slot(59), 1);
}

void ReadingsUiTest::stripMarksTheSegmentOfThePetrolTime() {
    Peer peer;
    Rig rig(peer.pty.slavePath());
    Connect(rig);
    auto* page = rig.window->findChild<ui::StandardMapPage*>(QStringLiteral("TabSheet7"));
    rig.window->showPage(rig.window->page(QStringLiteral("TabSheet7")));
    // Every point reads as 100 ticks: up to 100 is the first band, above it the last.
    peer.petrolTicks = 100;
    rig.window->readings().tick();
    QCOMPARE(page->markedSegment(), 0);
    peer.petrolTicks = 101;
    rig.window->readings().tick();
    QCOMPARE(page->markedSegment(), 11);
    QVERIFY(rig.window->findChild<QLineEdit*>(QStringLiteral("Edit_24"))->styleSheet().contains(QStringLiteral("255,0,0")));
    QVERIFY(!rig.window->findChild<QLineEdit*>(QStringLiteral("Edit_13"))->styleSheet().contains(QStringLiteral("255,0,0")));
}

QTEST_MAIN(ReadingsUiTest)
#include "readings_ui_test.moc"
