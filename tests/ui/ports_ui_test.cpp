#include <QMenu>
#include <QSettings>
#include <QtTest>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "i18n/message_ids.h"
#include "ui/language_controller.h"
#include "ui/main_menu.h"
#include "support/idle_pty.h"
#include "ui_rig.h"

using namespace sequaflow;
using namespace sequaflow::testing_support;
namespace fs = std::filesystem;
namespace msg = i18n::msg;

namespace {

constexpr const char* kFtdi = "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
constexpr const char* kProlific = "usb-Prolific_Technology_Inc._USB-Serial_Controller_D-if00-port0";

// The machine the rig's window looks at: COM1's device is an FTDI adapter, COM2's a plain file, the rest
// missing, and a Prolific adapter that no entry leads to.
struct FakeDev {
    QTemporaryDir dir;
    fs::path root{dir.path().toStdString()};
    IdlePty com1, other;
    FakeDev() {
        fs::create_directories(root / "dev/serial/by-id");
        fs::create_symlink(com1.slave, root / "dev/virtual0");
        std::ofstream(root / "dev/virtual1") << "x";
        fs::create_symlink(other.slave, root / "dev/ttyUSB12");
        fs::create_symlink("../../virtual0", root / "dev/serial/by-id" / kFtdi);
        fs::create_symlink("../../ttyUSB12", root / "dev/serial/by-id" / kProlific);
    }
    std::string prolificLink() const { return std::string("/dev/serial/by-id/") + kProlific; }
};

QString SavedSetting(VirtualRig& rig, const QString& key) {
    return QSettings(rig.start.dir.path() + QStringLiteral("/settings.ini"), QSettings::IniFormat).value(key).toString();
}

}  // namespace

class PortsUiTest : public QObject {
    Q_OBJECT
private slots:
    void captionsNameAdaptersAndFollowTheLanguage();
    void anAdapterWithoutEntryIsMappedToTheFirstFreeEntry();
    void noFreeEntryAndAVanishedAdapterAreSaid();
    void aOneRunEntryNeverBecomesTheSavedPort();
    void eachOpenFailureSaysItsOwnCause();
};

void PortsUiTest::captionsNameAdaptersAndFollowTheLanguage() {
    FakeDev dev;
    QVERIFY(!dev.com1.slave.empty());
    VirtualRig rig(Behind::Nothing);
    rig.window->connection().setDeviceRoot(dev.root.string());
    ui::MainMenu& menu = rig.window->menu();
    QCOMPARE(menu.portItem(0)->text(), QStringLiteral("COM1"));
    // Opening the menu looks again.
    emit menu.menu(QStringLiteral("Port1"))->aboutToShow();
    QCOMPARE(menu.portItem(0)->text(), QStringLiteral("COM1 — FTDI FT232R USB UART (A50285BI)"));
    QCOMPARE(menu.portItem(1)->text(), QStringLiteral("COM2 — ") + rig.text(msg::PortNotSerial).arg(QStringLiteral("/dev/virtual1")));
    QCOMPARE(menu.portItem(2)->text(), QStringLiteral("COM3 — ") + rig.text(msg::PortNotPresent));
    QCOMPARE(menu.portItem(2)->toolTip(), QStringLiteral("/dev/virtual2"));
    QCOMPARE(menu.portItem(8)->objectName(), QStringLiteral("COM9_"));
    QCOMPARE(menu.action(QStringLiteral("SkanujPorty1"))->text(), rig.text(msg::ScanPorts));

    // The adapter is unplugged while the program runs: Scan shows it.
    fs::remove(dev.root / "dev/virtual0");
    menu.action(QStringLiteral("SkanujPorty1"))->trigger();
    QCOMPARE(menu.portItem(0)->text(), QStringLiteral("COM1 — ") + rig.text(msg::PortNotPresent));

    rig.activate();
    (void)rig.window->languages().selectLanguage(2);
    QCOMPARE(menu.portItem(2)->text(), QStringLiteral("COM3 — not present"));
    QCOMPARE(menu.action(QStringLiteral("SkanujPorty1"))->text(), QStringLiteral("Scan"));
    QCOMPARE(menu.menu(QStringLiteral("InneAdaptery1"))->title(), QStringLiteral("Other adapters"));
}

void PortsUiTest::anAdapterWithoutEntryIsMappedToTheFirstFreeEntry() {
    {
        FakeDev dev;
        VirtualRig rig(Behind::Script, 0, false);
        rig.window->connection().setDeviceRoot(dev.root.string());
        rig.activate();
        rig.window->connection().scanPorts();
        QMenu* others = rig.window->menu().menu(QStringLiteral("InneAdaptery1"));
        QVERIFY(others->menuAction()->isEnabled());
        QCOMPARE(others->actions().size(), 1);
        QAction* adapter = others->actions().front();
        QCOMPARE(adapter->text(), QStringLiteral("Prolific Technology Inc. USB-Serial Controller D — /dev/ttyUSB12"));

        rig.dialogs.setAnswer(QMessageBox::Yes);
        rig.dialogs.texts.clear();
        adapter->trigger();
        // COM1 has its adapter, COM2 a file: COM3 is the first entry without a device.
        QVERIFY(rig.dialogs.texts.size() >= 1);
        QCOMPARE(rig.dialogs.texts.front(), rig.text(msg::MapAdapterQuestion)
                                                .arg(QStringLiteral("Prolific Technology Inc. USB-Serial Controller D"),
                                                     QStringLiteral("/dev/ttyUSB12"), QStringLiteral("COM3")));
        const QString link = QString::fromStdString(dev.prolificLink());
        QCOMPARE(SavedSetting(rig, QStringLiteral("Ports/COM3")), link);
        QCOMPARE(QString::fromStdString(rig.line->ports().path(2)), link);
        QVERIFY(!rig.line->ports().oneRun(2));
        QCOMPARE(rig.window->menu().portItem(2)->text(), QStringLiteral("COM3 — Prolific Technology Inc. USB-Serial Controller D"));
        QCOMPARE(rig.window->menu().portItem(2)->toolTip(), link);
        QVERIFY(!rig.window->menu().menu(QStringLiteral("InneAdaptery1"))->menuAction()->isEnabled());
        // The connection went to the adapter's link (this rig has no controller there).
        QCOMPARE(QString::fromStdString(rig.link().portName()), link);

    }
    // Answered No: nothing saved.
    FakeDev second;
    VirtualRig other(Behind::Nothing);
    other.window->connection().setDeviceRoot(second.root.string());
    other.window->connection().scanPorts();
    other.dialogs.setAnswer(QMessageBox::No);
    other.window->menu().menu(QStringLiteral("InneAdaptery1"))->actions().front()->trigger();
    QCOMPARE(other.dialogs.texts.size(), 1);
    QVERIFY(SavedSetting(other, QStringLiteral("Ports/COM3")).isEmpty());
    QCOMPARE(other.line->ports().path(2), VirtualRig::devicePath(2));
}

void PortsUiTest::noFreeEntryAndAVanishedAdapterAreSaid() {
    FakeDev dev;
    for (int i = 1; i < link::kPortCount; ++i) std::ofstream(dev.root / ("dev/virtual" + std::to_string(i))) << "x";
    VirtualRig rig(Behind::Nothing);
    rig.window->connection().setDeviceRoot(dev.root.string());
    rig.window->connection().scanPorts();
    QAction* adapter = rig.window->menu().menu(QStringLiteral("InneAdaptery1"))->actions().front();
    adapter->trigger();
    QCOMPARE(rig.dialogs.texts, QStringList{rig.text(msg::NoFreePortEntry)});

    // Unplugged after the menu listed it.
    fs::remove(dev.root / "dev/ttyUSB12");
    rig.dialogs.texts.clear();
    adapter->trigger();
    QCOMPARE(rig.dialogs.texts, QStringList{rig.text(msg::PortMissing).arg(QString::fromStdString(dev.prolificLink()))});
    QVERIFY(!rig.window->menu().menu(QStringLiteral("InneAdaptery1"))->menuAction()->isEnabled());
    for (int i = 0; i < link::kPortCount; ++i) QCOMPARE(rig.line->ports().path(i), VirtualRig::devicePath(i));
}

void PortsUiTest::aOneRunEntryNeverBecomesTheSavedPort() {
    VirtualRig rig(Behind::Script, 2, false);
    // As --map COM3=... gives it.
    rig.line->ports().setOneRunPath(2, VirtualRig::devicePath(2));
    rig.activate();
    rig.window->menu().portItem(2)->trigger();
    QVERIFY(rig.link().connected());
    QVERIFY(rig.window->menu().portItem(2)->isChecked());
    QCOMPARE(rig.settings.comNr(), std::optional<int>(255));
    // The same entry from the lasting table is remembered as before.
    rig.line->ports().setPath(2, VirtualRig::devicePath(2));
    rig.window->menu().portItem(2)->trigger();
    QVERIFY(rig.link().connected());
    QCOMPARE(rig.settings.comNr(), std::optional<int>(3));
}

void PortsUiTest::eachOpenFailureSaysItsOwnCause() {
    StartDir start;
    ui::AppSettings settings(start.dir.path() + QStringLiteral("/settings.ini"));
    link::VirtualPacer pacer;
    IdlePty held;
    QVERIFY(!held.slave.empty());
    const std::string folder = (start.dir.path() + QStringLiteral("/folder")).toStdString();
    const std::string file = (start.dir.path() + QStringLiteral("/file.txt")).toStdString();
    fs::create_directory(folder);
    std::ofstream(file) << "x";
    link::PortTable ports;
    ports.setPath(0, "/nonexistent/sequaflow-tty");
    ports.setPath(1, folder);
    ports.setPath(2, file);
    ports.setPath(3, held.slave);
    link::ControllerLink line(std::make_unique<link::PosixSerialPort>(), pacer, ports);
    params::ProgramState state;
    i18n::MessageStore messages;
    DialogAnswerer dialogs;
    ui::MainWindow window(line, state, messages, settings);
    window.firstActivation();
    link::PosixSerialPort holder;  // another user of the port, in this process: not named
    QVERIFY(holder.open(held.slave).ok());

    auto text = [&](int id) { return QString::fromUtf8(messages.text(id).data(), static_cast<qsizetype>(messages.text(id).size())); };
    for (int i = 0; i < 4; ++i) window.menu().portItem(i)->trigger();
    const QStringList expected = {text(msg::PortMissing).arg(QStringLiteral("/nonexistent/sequaflow-tty")),
                                  text(msg::PortNotSerial).arg(QString::fromStdString(folder)),
                                  text(msg::PortNotSerial).arg(QString::fromStdString(file)), text(msg::PortBusy)};
    QCOMPARE(dialogs.texts, expected);

    // Where /proc names the holder, the box names it.
    QTemporaryDir machine;
    const fs::path root = machine.path().toStdString();
    fs::create_directories(root / fs::path(held.slave).relative_path().parent_path());
    fs::create_symlink(held.slave, root / fs::path(held.slave).relative_path());
    fs::create_directories(root / "proc/4242/fd");
    fs::create_symlink(held.slave, root / "proc/4242/fd/5");
    std::ofstream(root / "proc/4242/comm") << "minicom\n";
    window.connection().setDeviceRoot(root.string());
    dialogs.texts.clear();
    window.menu().portItem(3)->trigger();
    QCOMPARE(dialogs.texts, QStringList{text(msg::PortInUseBy).arg(QString::fromStdString(held.slave),
                                                                    QStringLiteral("minicom (pid 4242)"))});
    QVERIFY(!settings.comNr() || *settings.comNr() == 255);
}

QTEST_MAIN(PortsUiTest)
#include "ports_ui_test.moc"
