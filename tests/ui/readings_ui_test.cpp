#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <set>

#include "i18n/message_ids.h"
#include "live/conversions.h"
#include "ui/configuration_model.h"
#include "ui/live_feed.h"
#include "ui/pages/standard_map_page.h"
#include "ui/readings_controller.h"
#include "ui_rig.h"

using namespace sequaflow;
using testing_support::Behind;
using testing_support::Peer;
using testing_support::PtyRig;
using testing_support::VirtualRig;

class ReadingsUiTest : public QObject {
    Q_OBJECT
private slots:
    void smokeUnpluggedPtyShowsComErrorWithoutCrashing();
    void lostDeviceGreysTheReadingsUntilTheReconnectTickBringsThemBack();
    void lambdaControlsFollowTheProbeTypes();
    void filterValuesAreLimitedSentAndAnnounced();
    void stripMarksTheSegmentOfThePetrolTime();
};

// The real serial port sees a hang-up on a pseudo-terminal.
void ReadingsUiTest::smokeUnpluggedPtyShowsComErrorWithoutCrashing() {
    Peer peer;
    PtyRig rig(peer.pty.slavePath());
    rig.window->readings().timer()->stop();
    rig.window->firstActivation();
    QCOMPARE(rig.dialogs.texts, QStringList{});
    QVERIFY(rig.link().connected());
    // A reply crosses another thread and the kernel: a few ticks may pass before the first frame is in.
    for (int i = 0; i < 50 && rig.status() != QStringLiteral("BENZYNA"); ++i) rig.window->readings().tick();
    QCOMPARE(rig.status(), QStringLiteral("BENZYNA"));
    peer.pty.hangUp();
    rig.window->readings().tick();  // the device is gone: the port closes cleanly
    QVERIFY(!rig.link().portOpen());
    rig.window->readings().tick();
    QCOMPARE(rig.status(), QStringLiteral("Com błąd"));
    QVERIFY(rig.link().lostReason().has_value());
    rig.window->connection().stop();
}

void ReadingsUiTest::lostDeviceGreysTheReadingsUntilTheReconnectTickBringsThemBack() {
    VirtualRig rig(Behind::Simulator);
    rig.activate();
    auto* panel = rig.find("Panel1");
    QVERIFY(panel);
    QTimer* reconnect = rig.window->connection().reconnectTimer();
    rig.window->readings().tick();
    QVERIFY(!rig.window->feed().stale());
    QVERIFY(panel->graphicsEffect() == nullptr);
    QVERIFY(!reconnect->isActive());

    rig.sim->unplug();
    rig.sim->setOpenError(link::PortErrorCode::NotFound);  // and stays away for now
    rig.window->readings().tick();
    QVERIFY(!rig.link().portOpen());
    QVERIFY(rig.window->feed().stale());
    QVERIFY(panel->graphicsEffect() != nullptr);
    QCOMPARE(rig.statusBar(), rig.text(i18n::msg::LineLostStale));
    QVERIFY(reconnect->isActive());

    // Tried quietly while the device is away: no box, still stale, still trying.
    VirtualRig::fire(reconnect);
    QVERIFY(!rig.link().connected());
    QVERIFY(rig.dialogs.texts.isEmpty());
    QVERIFY(rig.window->feed().stale());
    QVERIFY(reconnect->isActive());

    rig.sim->setOpenError(std::nullopt);
    const auto back = rig.wire.mark();
    VirtualRig::fire(reconnect);
    QVERIFY(rig.link().connected());
    QVERIFY(!reconnect->isActive());
    QCOMPARE(rig.link().portName(), VirtualRig::devicePath(0));
    // Connected again means read again: the configuration on screen is the controller's once more.
    QCOMPARE(rig.wire.commandsSince(back).count(QStringLiteral("ParamRead")), 64);
    QVERIFY(rig.statusBar().startsWith(rig.text(i18n::msg::LineBack)));
    rig.window->readings().tick();
    QVERIFY(!rig.window->feed().stale());
    QVERIFY(panel->graphicsEffect() == nullptr);
    QVERIFY(rig.dialogs.texts.isEmpty());
}

void ReadingsUiTest::lambdaControlsFollowTheProbeTypes() {
    VirtualRig rig(Behind::Script);
    rig.script.params[55] = 1;
    rig.activate();
    rig.window->show();
    rig.window->readings().tick();
    auto* probe1 = rig.find<QGroupBox>("GroupLambda1");
    auto* probe2 = rig.find<QGroupBox>("GroupLambda2");
    QVERIFY(probe1 && probe2);
    QVERIFY(probe1->isVisible());
    QVERIFY(!probe2->isVisible());
    QCOMPARE(rig.find<QLineEdit>("EditSonda1")->text(), QStringLiteral("0,00V"));
}

void ReadingsUiTest::filterValuesAreLimitedSentAndAnnounced() {
    VirtualRig rig(Behind::Script);
    rig.script.params[21] = 2;
    rig.script.params[54] = 0x0100;  // a bit of the third flags word that is not a filter bit
    rig.activate();
    auto* rpm = rig.find<QLineEdit>("EditFiltrRPM");
    auto* injection = rig.find<QLineEdit>("EditFiltrInjTime");
    auto* dt = rig.find<QLineEdit>("EditFiltrDt");
    auto* kind = rig.find<QComboBox>("ComboBoxFiltr");
    QVERIFY(rpm && injection && dt && kind);
    rpm->setText(QStringLiteral("300"));
    injection->setText(QStringLiteral("7"));
    dt->setText(QStringLiteral("0"));
    kind->setCurrentIndex(2);
    QSignalSpy changed(&rig.window->model(), &ui::ConfigurationModel::parameterChanged);
    const auto before = rig.wire.mark();
    rig.find<QPushButton>("ButtonFiltrZapis")->click();
    QStringList stores;
    for (const QString& line : rig.wire.framesAndPausesSince(before))
        if (line.contains(QLatin1String("ParamStore"))) stores << line.section(QLatin1Char(' '), 9, 9);
    QCOMPARE(stores, (QStringList{"60", "61", "59", "54", "47"}));
    QCOMPARE(rig.state.image.slot(60), live::RpmToPeriod(400, 2));
    QCOMPARE(rig.state.image.slot(59), 1);
    // Every parameter written changed, and every page that shows one of them hears of it.
    std::set<int> announced;
    for (const auto& args : changed)
        if (args.at(0).toInt() < 64) announced.insert(args.at(0).toInt());
    QCOMPARE(announced, (std::set<int>{47, 54, 59, 60, 61}));
}

void ReadingsUiTest::stripMarksTheSegmentOfThePetrolTime() {
    VirtualRig rig(Behind::Script);
    rig.activate();
    rig.window->show();  // a hidden page is not kept up to date
    auto* page = rig.window->findChild<ui::StandardMapPage*>(QStringLiteral("TabSheet7"));
    rig.window->showPage(rig.window->page(QStringLiteral("TabSheet7")));
    // Every point reads as 100 ticks: up to 100 is the first band, above it the last.
    rig.script.petrolTicks = 100;
    rig.window->readings().tick();
    QCOMPARE(page->markedSegment(), 0);
    rig.script.petrolTicks = 101;
    rig.window->readings().tick();
    QCOMPARE(page->markedSegment(), 11);
    QVERIFY(rig.find<QLineEdit>("Edit_24")->styleSheet().contains(QStringLiteral("255,0,0")));
    QVERIFY(!rig.find<QLineEdit>("Edit_13")->styleSheet().contains(QStringLiteral("255,0,0")));
}

QTEST_MAIN(ReadingsUiTest)
#include "readings_ui_test.moc"
