#include <QAction>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "i18n/message_ids.h"
#include "params/backup_store.h"
#include "params/factory_defaults.h"
#include "params/parameter_file.h"
#include "ui/configuration_controller.h"
#include "ui/dialogs/backup_dialog.h"
#include "ui/main_menu.h"
#include "ui/sequence_runner.h"
#include "ui_rig.h"

using namespace sequaflow;
using testing_support::Behind;
using testing_support::VirtualRig;
namespace msg = i18n::msg;

namespace {

// A plausible file (the load would otherwise ask first) that no controller of these tests holds.
QString WriteForeignFile(const QString& path) {
    params::ProgramState file;
    for (int n = 0; n < 64; ++n) file.image.storeWord(n, params::kFactoryParameters[static_cast<std::size_t>(n)]);
    file.image.setSlot(14, 1014);
    for (int k = 0; k < maps::kPoints; ++k) file.maps.setPoint(k, params::kDefaultPoints[static_cast<std::size_t>(k)]);
    for (int i = 0; i < maps::kCells; ++i) file.maps.setCellByte(i / maps::kColumns, i % maps::kColumns, 110);
    for (int k = 0; k < maps::kStdCells; ++k) file.maps.setStdByte(k, static_cast<std::uint8_t>(100 + k));
    const auto written = params::WriteParameterFile(path.toStdString(), params::EncodeParameterFile(file.image, file.maps));
    return written.ok() ? path : QString();
}

std::vector<params::BackupEntry> Backups(const ui::ConfigurationController& config) {
    const auto listed = params::ListBackups(config.backupFolder().toStdString());
    return listed ? *listed : std::vector<params::BackupEntry>{};
}

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray ScreenBytes(const VirtualRig& rig) {
    const auto b = params::EncodeParameterFile(rig.state.image, rig.state.maps);
    return QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size()));
}

// A load begins with the points; the read of everything never sets one (it may set flag words, as every read
// after a connection does).
bool IsLoadWrite(const QString& command) { return command == QStringLiteral("PointSet"); }

}  // namespace

class BackupUiTest : public QObject {
    Q_OBJECT
private slots:
    void theReadAfterAConnectionIsKeptAndTheStatusBarSaysWhere();
    void aLoadOverAFileOnScreenReadsEverythingAndKeepsItBeforeSending();
    void aBackupThatCannotBeWrittenStopsLoadAndResetBeforeAnythingIsSent();
    void restoreListsTheBackupsAndLoadsTheChosenOne();
    void restoreWithoutBackupsSaysSo();
};

void BackupUiTest::theReadAfterAConnectionIsKeptAndTheStatusBarSaysWhere() {
    VirtualRig rig(Behind::Simulator);
    rig.activate();
    auto& config = rig.window->configuration();
    const auto backups = Backups(config);
    QCOMPARE(backups.size(), std::size_t{1});
    QCOMPARE(backups[0].serial, std::optional<std::uint16_t>(rig.state.serial));
    QCOMPARE(Bytes(QString::fromStdString(backups[0].path)), ScreenBytes(rig));
    QCOMPARE(config.backupStatus()->text(),
             rig.text(msg::BackupWritten).arg(QStringLiteral("parametry/backup/") + QString::fromStdString(backups[0].fileName)));
    QVERIFY(config.backupStatus()->isVisibleTo(rig.window.get()));
    // The sequence's own line stays as it was.
    QCOMPARE(rig.statusBar(), rig.window->runner().lastStatus());
}

void BackupUiTest::aLoadOverAFileOnScreenReadsEverythingAndKeepsItBeforeSending() {
    VirtualRig rig(Behind::Simulator);
    rig.activate();
    auto& config = rig.window->configuration();
    QVERIFY(QDir(config.backupFolder()).removeRecursively());
    const QString file = WriteForeignFile(config.parameterFolder() + QStringLiteral("/foreign.kst"));
    QVERIFY(config.viewFrom(file));  // the screens now hold a file, not the controller

    // Whether a backup was on disk when the load's first word went out.
    const auto before = rig.wire.mark();
    bool writeSeen = false, backupAtFirstWrite = false;
    rig.pacer.setHook([&](std::chrono::microseconds, int) {
        if (writeSeen) return;
        const QStringList commands = rig.wire.commandsSince(before);
        if (std::any_of(commands.begin(), commands.end(), IsLoadWrite)) {
            writeSeen = true;
            backupAtFirstWrite = !Backups(config).empty();
        }
    });
    QVERIFY(config.loadFrom(file));
    rig.pacer.setHook({});
    QVERIFY(writeSeen);
    QVERIFY(backupAtFirstWrite);

    // First the read of everything, then the load: 64 parameter reads before it.
    const QStringList commands = rig.wire.commandsSince(before);
    const auto firstWrite = std::find_if(commands.begin(), commands.end(), IsLoadWrite) - commands.begin();
    QCOMPARE(commands.mid(0, firstWrite).count(QStringLiteral("ParamRead")), 64);
    // Two backups: what the load overwrote, then the read-back of the file it loaded.
    const auto backups = Backups(config);
    QCOMPARE(backups.size(), std::size_t{2});
    QCOMPARE(Bytes(QString::fromStdString(backups[0].path)), ScreenBytes(rig));
    QVERIFY(Bytes(QString::fromStdString(backups[1].path)) != ScreenBytes(rig));
    QCOMPARE(rig.state.image.slot(14), 1014);
}

void BackupUiTest::aBackupThatCannotBeWrittenStopsLoadAndResetBeforeAnythingIsSent() {
    VirtualRig rig(Behind::Simulator);
    rig.activate();
    auto& config = rig.window->configuration();
    const QString file = WriteForeignFile(config.parameterFolder() + QStringLiteral("/foreign.kst"));
    QVERIFY(QDir(config.backupFolder()).removeRecursively());
    QFile blocker(config.backupFolder());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.write("a file where the folder belongs");
    blocker.close();
    const std::uint16_t p14 = rig.simParameter(14);

    const QString refusal = rig.text(msg::BackupFailedNothingSent)
                                .arg(config.backupFolder() + QStringLiteral(": is a file, not a folder"));
    const auto before = rig.wire.mark();
    QVERIFY(!config.loadFrom(file));
    config.factoryResetConfirmed();
    QCOMPARE(rig.wire.commandsSince(before), QStringList{});
    QCOMPARE(rig.simParameter(14), p14);
    QCOMPARE(rig.dialogs.texts, (QStringList{refusal, refusal}));
    QCOMPARE(config.backupStatus()->text(), refusal);

    // A read of its own goes on and says the backup failed.
    rig.window->connection().readEverything();
    QCOMPARE(config.backupStatus()->text(),
             rig.text(msg::BackupFailed).arg(config.backupFolder() + QStringLiteral(": is a file, not a folder")));
    QCOMPARE(rig.dialogs.texts.size(), 2);
}

void BackupUiTest::restoreListsTheBackupsAndLoadsTheChosenOne() {
    VirtualRig rig(Behind::Simulator);
    rig.activate();
    auto& config = rig.window->configuration();
    const std::uint16_t original = rig.simParameter(14);
    // Another controller's older backup is listed too, below.
    params::ParameterFileBytes other{};
    QVERIFY(params::KeepBackup(config.backupFolder().toStdString(), 4711, other,
                               params::BackupTime{2001, 2, 3, 4, 5, 6}));
    rig.controller->handle(sim::RequestFrame{'D', 14, 0x12, 0x34}, rig.pacer.now());

    QStringList rows;
    rig.dialogs.answerDialog = [&](QDialog* d) {
        auto* dialog = qobject_cast<ui::BackupDialog*>(d);
        if (dialog == nullptr) return false;
        auto* table = dialog->table();
        for (int r = 0; r < table->rowCount(); ++r)
            rows << table->item(r, 0)->text() + QLatin1Char('|') + table->item(r, 1)->text() + QLatin1Char('|') +
                        table->item(r, 2)->text();
        rows << table->horizontalHeaderItem(0)->text() + QLatin1Char('|') + table->horizontalHeaderItem(2)->text();
        table->selectRow(0);
        dialog->loadButton()->click();
        return true;
    };
    const auto newest = Backups(config).front();
    rig.window->menu().action(QStringLiteral("PrzywrocKopie1"))->trigger();
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0], QString::fromStdString(params::BackupTimeText(newest.time)) + QLatin1Char('|') +
                          QStringLiteral("%1").arg(rig.state.serial, 5, 10, QLatin1Char('0')) + QLatin1Char('|') +
                          QString::fromStdString(newest.fileName));
    QCOMPARE(rows[1], QStringLiteral("2001-02-03 04:05:06|04711|04711_2001-02-03_04-05-06.kst"));
    QCOMPARE(rows[2], rig.text(msg::ColumnDate) + QLatin1Char('|') + rig.text(msg::ColumnFile));
    // Loaded like any parameter file: the controller holds the backed-up value again.
    QCOMPARE(rig.simParameter(14), original);
    QCOMPARE(rig.state.image.slot(14), static_cast<std::int32_t>(original));
    QCOMPARE(rig.dialogs.texts, QStringList{QStringLiteral("sequaflow::ui::BackupDialog")});
}

void BackupUiTest::restoreWithoutBackupsSaysSo() {
    VirtualRig rig(Behind::Nothing);
    rig.activate();
    auto& config = rig.window->configuration();
    ui::BackupDialog dialog(rig.messages, config.backupFolder(), rig.window.get());
    dialog.show();
    auto* empty = dialog.findChild<QLabel*>(QStringLiteral("NoBackupsLabel"));
    QVERIFY(empty != nullptr);
    QVERIFY(empty->isVisible());
    QCOMPARE(empty->text(), rig.text(msg::NoBackups).arg(config.backupFolder()));
    QVERIFY(!dialog.table()->isVisible());
    QVERIFY(!dialog.loadButton()->isEnabled());
    QCOMPARE(dialog.windowTitle(), rig.text(msg::BackupsTitle));
    if (!qEnvironmentVariableIsEmpty("SEQUAFLOW_UI_SHOTS")) dialog.grab().save(QStringLiteral("/tmp/backup_dialog_empty.png"));
}

QTEST_MAIN(BackupUiTest)
#include "backup_ui_test.moc"
