#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "sim/pty_server.h"
#include "ui/configuration_controller.h"
#include "ui/main_menu.h"
#include "ui/readings_controller.h"
#include "ui_rig.h"

using namespace sequaflow;
using testing_support::Rig;

namespace {

// Answers the next modal question box with the given button.
void AnswerNextQuestion(QMessageBox::StandardButton answer) {
    QTimer::singleShot(100, [answer] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->button(answer)->click();
    });
}

std::uint16_t SimParameter(sim::PtyServer& server, int n) {
    std::uint16_t value = 0;
    server.withController([&](sim::Controller& c) { value = c.running().params[static_cast<std::size_t>(n)]; });
    return value;
}

}  // namespace

class ConfigurationUiTest : public QObject {
    Q_OBJECT
private slots:
    void savedFileLoadsBackIntoTheController();
    void shortFileIsRefusedBeforeAnythingIsSent();
    void factoryResetAnsweredNoSendsNothing();
};

void ConfigurationUiTest::savedFileLoadsBackIntoTheController() {
    auto started = sim::PtyServer::Start(sim::Controller(sim::ControllerOptions{}), sim::PtyServerOptions{});
    QVERIFY(started.ok());
    auto& server = **started;
    Rig rig(server.slavePath());
    rig.window->show();
    QTRY_VERIFY_WITH_TIMEOUT(rig.link().connected(), 5000);
    rig.window->readings().timer()->stop();
    const std::uint16_t original = SimParameter(server, 14);

    auto& config = rig.window->configuration();
    QVERIFY(config.saveTo(config.parameterFolder() + QStringLiteral("/golf.kst")));
    const QStringList saved = QDir(config.parameterFolder()).entryList({QStringLiteral("golf.kst*")}, QDir::Files);
    QCOMPARE(saved.size(), 1);
    QCOMPARE(QFileInfo(QDir(config.parameterFolder()).filePath(saved.front())).size(), 258);

    // Change the controller behind the program's back, then load the file: the value comes back.
    server.withController([](sim::Controller& c) {
        c.handle(sim::RequestFrame{'D', 14, 0x12, 0x34}, std::chrono::microseconds{0});
    });
    QVERIFY(SimParameter(server, 14) != original);
    QVERIFY(config.loadFrom(QDir(config.parameterFolder()).filePath(saved.front())));
    QCOMPARE(SimParameter(server, 14), original);
    QCOMPARE(rig.state.image.slot(14), static_cast<std::int32_t>(original));
    rig.window->close();
    server.stop();
}

void ConfigurationUiTest::shortFileIsRefusedBeforeAnythingIsSent() {
    Rig rig(testing_support::kNoDevice);
    QFile shortFile(QStringLiteral("short.kst"));
    QVERIFY(shortFile.open(QIODevice::WriteOnly));
    shortFile.write(QByteArray(100, '\x01'));
    shortFile.close();
    AnswerNextQuestion(QMessageBox::Ok);
    QVERIFY(!rig.window->configuration().loadFrom(QStringLiteral("short.kst")));
    QCOMPARE(rig.state.image.slot(1), 0);
}

void ConfigurationUiTest::factoryResetAnsweredNoSendsNothing() {
    testing_support::Peer peer;
    Rig rig(peer.pty.slavePath());
    rig.window->show();
    QTRY_VERIFY_WITH_TIMEOUT(rig.link().connected(), 5000);
    rig.window->readings().timer()->stop();
    QTest::qWait(100);
    const auto before = peer.pty.frames().size();
    AnswerNextQuestion(QMessageBox::No);
    rig.window->menu().action(QStringLiteral("ResetSystemu2"))->trigger();
    QTest::qWait(100);
    QCOMPARE(peer.pty.frames().size(), before);
}

QTEST_MAIN(ConfigurationUiTest)
#include "configuration_ui_test.moc"
