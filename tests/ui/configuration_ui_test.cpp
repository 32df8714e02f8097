#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QtTest>

#include "i18n/message_ids.h"
#include "i18n/sequence_status.h"
#include "params/parameter_file.h"
#include "ui/configuration_controller.h"
#include "ui/main_menu.h"
#include "ui_rig.h"

using namespace sequaflow;
using testing_support::Behind;
using testing_support::VirtualRig;
namespace msg = i18n::msg;

namespace {

// A complete parameter file whose values no controller of these tests holds.
QString WriteForeignFile(const QString& path) {
    params::ProgramState file;
    for (int n = 0; n < 64; ++n) file.image.setSlot(n, 1000 + n);
    for (int k = 0; k < maps::kStdCells; ++k) file.maps.setStdByte(k, static_cast<std::uint8_t>(200 - k));
    const auto written = params::WriteParameterFile(path.toStdString(), params::EncodeParameterFile(file.image, file.maps));
    return written.ok() ? path : QString();
}

// The status line of a sequence, as the message store words it.
QString Line(const VirtualRig& rig, i18n::SequenceKind kind, const SequenceResult& result) {
    return QString::fromStdString(i18n::SequenceStatusLine(rig.messages, kind, result));
}
QString Done(const VirtualRig& rig, i18n::SequenceKind kind) { return Line(rig, kind, SequenceResult{}); }

}  // namespace

class ConfigurationUiTest : public QObject {
    Q_OBJECT
private slots:
    void savedFileLoadsBackIntoTheControllerWithOneStatusLine();
    void unplugDuringTheLoadStopsWithinAStepAndSaysWhatTheControllerHolds();
    void shortFileIsRefusedBeforeAnythingIsSent();
    void saveWithoutACompleteReadWritesNoFileAndSaysWhy();
    void loadWithoutAConnectionSendsNothingAndKeepsTheScreens();
    void factoryResetAnsweredNoSendsNothing();
    void factoryResetFromTheMenuEndsWithOneStatusLine();
    void factoryResetLeavesNoOldSpeedDropWhenItsReadGoesUnanswered();
    void unplugDuringTheFactoryResetEndsItWithItsOwnLine();
};

void ConfigurationUiTest::savedFileLoadsBackIntoTheControllerWithOneStatusLine() {
    VirtualRig rig(Behind::Simulator);
    rig.activate();
    const std::uint16_t original = rig.simParameter(14);

    auto& config = rig.window->configuration();
    QVERIFY(config.saveTo(config.parameterFolder() + QStringLiteral("/golf.kst")));
    const QStringList saved = QDir(config.parameterFolder()).entryList({QStringLiteral("golf.kst*")}, QDir::Files);
    QCOMPARE(saved.size(), 1);
    const QString file = QDir(config.parameterFolder()).filePath(saved.front());
    QCOMPARE(QFileInfo(file).size(), 258);

    // Change the controller behind the program's back, then load the file: the value comes back.
    rig.controller->handle(sim::RequestFrame{'D', 14, 0x12, 0x34}, rig.pacer.now());
    QVERIFY(rig.simParameter(14) != original);
    const auto before = rig.wire.mark();
    QVERIFY(config.loadFrom(file));
    QCOMPARE(rig.simParameter(14), original);
    QCOMPARE(rig.state.image.slot(14), static_cast<std::int32_t>(original));
    // The load, then the read of what the controller now holds, in one line.
    QCOMPARE(rig.wire.commandsSince(before).count(QStringLiteral("ParamRead")), 64);
    QCOMPARE(rig.statusBar(), Done(rig, i18n::SequenceKind::FileLoad) + QStringLiteral(" | ") +
                                  Done(rig, i18n::SequenceKind::Read));
    QVERIFY(rig.dialogs.texts.isEmpty());
}

void ConfigurationUiTest::unplugDuringTheLoadStopsWithinAStepAndSaysWhatTheControllerHolds() {
    VirtualRig rig(Behind::Simulator);
    rig.activate();
    auto& config = rig.window->configuration();
    const QString file = WriteForeignFile(config.parameterFolder() + QStringLiteral("/foreign.kst"));
    QVERIFY(!file.isEmpty());
    // The load begins with the points, three frames each: the adapter goes after two points and the first
    // frame of the third.
    const std::size_t start = rig.sim->framesWritten();
    rig.pacer.setHook([&](std::chrono::microseconds, int) {
        if (rig.sim->framesWritten() == start + 7) rig.sim->unplug();
    });
    rig.dialogs.setAnswer(QMessageBox::Yes);  // the foreign file is no plausible one: sent all the same
    const auto before = rig.wire.mark();
    QVERIFY(!config.loadFrom(file));
    rig.pacer.setHook({});

    QCOMPARE(rig.sim->framesWritten(), start + 7);
    QVERIFY(!rig.link().portOpen());
    // The step under way ends on the closed port (its last frame never reaches the controller), nothing
    // follows it, and no read either.
    const QStringList wire = rig.wire.lines().mid(before);
    const QString lostLine = QStringLiteral("port lost /dev/virtual0: /dev/virtual0: device disconnected");
    const auto lost = wire.indexOf(lostLine);
    QVERIFY(lost > 0);
    QCOMPARE(wire.mid(lost - 1), (QStringList{"send 3E 02 00 00 40 3A  MapWordSelect 2", lostLine, "pause 20",
                                              "send 5F 02 00 00 61 3A  MapWordStore 2 = 0x0000", "pause 30"}));
    // Two points were written whole: the line says where the load stopped and what that leaves behind.
    SequenceResult stopped;
    stopped.stopped = StopReason::LineLost;
    stopped.phase = "Mapa 1";
    stopped.steps = 2;
    stopped.sentSomething = true;
    QCOMPARE(rig.statusBar(), Line(rig, i18n::SequenceKind::FileLoad, stopped));
    QVERIFY(rig.statusBar().endsWith(rig.text(msg::SequenceHalfWritten)));
}

void ConfigurationUiTest::shortFileIsRefusedBeforeAnythingIsSent() {
    VirtualRig rig(Behind::Simulator);
    rig.activate();
    QFile shortFile(QStringLiteral("short.kst"));
    QVERIFY(shortFile.open(QIODevice::WriteOnly));
    shortFile.write(QByteArray(100, '\x01'));
    shortFile.close();
    const auto slot1 = rig.state.image.slot(1);
    const auto before = rig.wire.mark();
    QVERIFY(!rig.window->configuration().loadFrom(QStringLiteral("short.kst")));
    QCOMPARE(rig.wire.commandsSince(before), QStringList{});
    QCOMPARE(rig.state.image.slot(1), slot1);
    QCOMPARE(rig.dialogs.texts, QStringList{rig.text(msg::FileError)});
}

void ConfigurationUiTest::saveWithoutACompleteReadWritesNoFileAndSaysWhy() {
    VirtualRig rig(Behind::Nothing);
    rig.activate();
    auto& config = rig.window->configuration();
    QAction* save = rig.window->menu().action(QStringLiteral("ZapiszParametryCTRLS1"));
    QCOMPARE(save->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    save->trigger();  // refused before its file dialog
    QVERIFY(!config.saveTo(config.parameterFolder() + QStringLiteral("/zeros.kst")));
    QCOMPARE(QDir(config.parameterFolder()).entryList(QDir::Files), QStringList{});
    QCOMPARE(rig.dialogs.texts, (QStringList{rig.text(msg::SaveNeedsCompleteRead), rig.text(msg::SaveNeedsCompleteRead)}));
}

void ConfigurationUiTest::loadWithoutAConnectionSendsNothingAndKeepsTheScreens() {
    VirtualRig rig(Behind::Nothing);
    rig.activate();
    rig.window->show();
    rig.window->showPage(rig.window->page(QStringLiteral("TabSheet7")));
    auto& config = rig.window->configuration();
    const QString file = WriteForeignFile(config.parameterFolder() + QStringLiteral("/foreign.kst"));
    QVERIFY(!file.isEmpty());
    auto* cell = rig.find<QLineEdit>("Edit_13");
    QVERIFY(cell);
    const QString cellText = cell->text();
    const auto bytes = params::EncodeParameterFile(rig.state.image, rig.state.maps);
    const auto before = rig.wire.mark();

    rig.dialogs.setAnswer(QMessageBox::Yes);  // the foreign file is no plausible one: sent all the same
    QVERIFY(!config.loadFrom(file));
    QCOMPARE(rig.wire.commandsSince(before), QStringList{});
    QCOMPARE(cell->text(), cellText);
    QVERIFY(params::EncodeParameterFile(rig.state.image, rig.state.maps) == bytes);
    SequenceResult refused;
    refused.stopped = StopReason::NotConnected;
    QCOMPARE(rig.statusBar(), Line(rig, i18n::SequenceKind::FileLoad, refused));
    QCOMPARE(rig.dialogs.texts.size(), 1);  // only the question about the file
}

void ConfigurationUiTest::factoryResetAnsweredNoSendsNothing() {
    VirtualRig rig(Behind::Script);
    rig.activate();
    rig.dialogs.setAnswer(QMessageBox::No);
    const auto before = rig.wire.mark();
    rig.window->menu().action(QStringLiteral("ResetSystemu2"))->trigger();
    QCOMPARE(rig.dialogs.texts, QStringList{rig.text(msg::SettingsResetQuestion)});
    QCOMPARE(rig.wire.commandsSince(before), QStringList{});
}

void ConfigurationUiTest::factoryResetFromTheMenuEndsWithOneStatusLine() {
    VirtualRig rig(Behind::Simulator);
    rig.activate();
    rig.controller->handle(sim::RequestFrame{'D', 14, 0x12, 0x34}, rig.pacer.now());
    rig.window->connection().readEverything();
    QCOMPARE(rig.state.image.slot(14), 0x1234);
    rig.dialogs.setAnswer(QMessageBox::Yes);
    const auto before = rig.wire.mark();
    rig.window->menu().action(QStringLiteral("ResetSystemu2"))->trigger();
    QCOMPARE(rig.dialogs.texts, QStringList{rig.text(msg::SettingsResetQuestion)});
    // The controller and the screens hold the factory value again, read back after the reset.
    QCOMPARE(rig.simParameter(14), static_cast<std::uint16_t>(rig.state.image.slot(14)));
    QVERIFY(rig.state.image.slot(14) != 0x1234);
    QCOMPARE(rig.wire.commandsSince(before).count(QStringLiteral("ParamRead")), 64);
    QCOMPARE(rig.statusBar(), Done(rig, i18n::SequenceKind::FactoryReset) + QStringLiteral(" | ") +
                                  Done(rig, i18n::SequenceKind::Read));
}

void ConfigurationUiTest::factoryResetLeavesNoOldSpeedDropWhenItsReadGoesUnanswered() {
    VirtualRig rig(Behind::Script);
    rig.script.params[53] = 0x0321;
    rig.activate();
    QCOMPARE(rig.state.image.slot(53), 0x0321);
    rig.script.silentParam = 53;
    const auto before = rig.wire.mark();
    rig.window->configuration().factoryResetConfirmed();
    // The read that followed went unanswered for 53: the screens keep the reset's 0, not the old drop.
    QCOMPARE(rig.wire.commandsSince(before).count(QStringLiteral("ParamRead")), 64);
    QCOMPARE(rig.state.image.slot(53), 0);
    // And 0 is what the controller was sent.
    QVERIFY(rig.wire.framesAndPausesSince(before).contains(QStringLiteral("send 45 35 00 00 7A 3A  ParamStore 53 = 0x0000")));
}

void ConfigurationUiTest::unplugDuringTheFactoryResetEndsItWithItsOwnLine() {
    VirtualRig rig(Behind::Simulator);
    rig.activate();
    // The adapter goes in the middle of the second parameter the reset writes.
    const std::size_t start = rig.sim->framesWritten();
    rig.pacer.setHook([&](std::chrono::microseconds, int) {
        if (rig.sim->framesWritten() == start + 19) rig.sim->unplug();
    });
    const auto before = rig.wire.mark();
    rig.window->configuration().factoryResetConfirmed();
    rig.pacer.setHook({});

    QCOMPARE(rig.sim->framesWritten(), start + 19);
    const QStringList wire = rig.wire.lines().mid(before);
    const auto lost = wire.indexOf(QStringLiteral("port lost /dev/virtual0: /dev/virtual0: device disconnected"));
    QVERIFY(lost > 0);
    QCOMPARE(wire[lost - 1], QStringLiteral("send 45 3E 00 00 83 3A  ParamStore 62 = 0x0000"));
    QCOMPARE(wire.mid(lost + 1), (QStringList{"pause 20", "send 44 3E 00 00 82 3A  ParamSet 62 = 0x0000", "pause 20"}));
    SequenceResult stopped;
    stopped.stopped = StopReason::LineLost;
    stopped.phase = "Param.";
    stopped.steps = 2;  // the tank preset and the first parameter were whole
    stopped.sentSomething = true;
    QCOMPARE(rig.statusBar(), Line(rig, i18n::SequenceKind::FactoryReset, stopped));
}

QTEST_MAIN(ConfigurationUiTest)
#include "configuration_ui_test.moc"
