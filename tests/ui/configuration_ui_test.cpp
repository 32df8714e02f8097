#include <QDir>
#include <QMessageBox>
#include <QtTest>

#include "i18n/message_ids.h"
#include "ui/configuration_controller.h"
#include "ui/main_menu.h"
#include "ui_rig.h"

using namespace sequaflow;
using testing_support::Behind;
using testing_support::VirtualRig;
namespace msg = i18n::msg;

namespace {

std::uint16_t SimParameter(const VirtualRig& rig, int n) { return rig.controller->running().params[static_cast<std::size_t>(n)]; }

}  // namespace

class ConfigurationUiTest : public QObject {
    Q_OBJECT
private slots:
    void savedFileLoadsBackIntoTheController();
    void shortFileIsRefusedBeforeAnythingIsSent();
    void factoryResetAnsweredNoSendsNothing();
};

void ConfigurationUiTest::savedFileLoadsBackIntoTheController() {
    VirtualRig rig(Behind::Simulator);
    rig.activate();
    const std::uint16_t original = SimParameter(rig, 14);

    auto& config = rig.window->configuration();
    QVERIFY(config.saveTo(config.parameterFolder() + QStringLiteral("/golf.kst")));
    const QStringList saved = QDir(config.parameterFolder()).entryList({QStringLiteral("golf.kst*")}, QDir::Files);
    QCOMPARE(saved.size(), 1);
    const QString file = QDir(config.parameterFolder()).filePath(saved.front());
    QCOMPARE(QFileInfo(file).size(), 258);

    // Change the controller behind the program's back, then load the file: the value comes back.
    rig.controller->handle(sim::RequestFrame{'D', 14, 0x12, 0x34}, rig.pacer.now());
    QVERIFY(SimParameter(rig, 14) != original);
    QVERIFY(config.loadFrom(file));
    QCOMPARE(SimParameter(rig, 14), original);
    QCOMPARE(rig.state.image.slot(14), static_cast<std::int32_t>(original));
    QVERIFY(rig.dialogs.texts.isEmpty());
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

void ConfigurationUiTest::factoryResetAnsweredNoSendsNothing() {
    VirtualRig rig(Behind::Script);
    rig.activate();
    rig.dialogs.setAnswer(QMessageBox::No);
    const auto before = rig.wire.mark();
    rig.window->menu().action(QStringLiteral("ResetSystemu2"))->trigger();
    QCOMPARE(rig.dialogs.texts, QStringList{rig.text(msg::SettingsResetQuestion)});
    QCOMPARE(rig.wire.commandsSince(before), QStringList{});
}

QTEST_MAIN(ConfigurationUiTest)
#include "configuration_ui_test.moc"
