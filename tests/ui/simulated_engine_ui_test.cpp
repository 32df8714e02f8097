#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

#include "sim/engine_driver.h"
#include "ui/dialogs/simulated_engine_dialog.h"
#include "ui/main_menu.h"
#include "ui_rig.h"

using namespace sequaflow;
using testing_support::Behind;
using testing_support::VirtualRig;

class SimulatedEngineUiTest : public QObject {
    Q_OBJECT
private slots:
    void onlyTheDemoHasTheItemAndItOpensTheDriversWindow();
    void widgetsBecomeDriverCommands();
};

void SimulatedEngineUiTest::onlyTheDemoHasTheItemAndItOpensTheDriversWindow() {
    VirtualRig rig(Behind::Simulator, 0, false);
    QVERIFY(rig.window->menu().findAction(QStringLiteral("SimulatedEngine1")) == nullptr);
    QVERIFY(rig.window->findChild<ui::SimulatedEngineDialog*>() == nullptr);

    sim::EngineModel& engine = rig.controller->engine();
    rig.window->addSimulatedEngine([&](const sim::DriverCommand& c) { sim::ApplyDriverCommand(engine, c); });
    QMenu* extras = rig.window->menu().menu(QStringLiteral("ResetSystemu1"));
    QAction* item = rig.window->findChild<QAction*>(QStringLiteral("SimulatedEngine1"));
    QVERIFY(item != nullptr);
    QVERIFY(extras->actions().contains(item));
    QCOMPARE(item->text(), QStringLiteral("Simulated engine…"));

    item->trigger();
    auto* dialog = rig.window->findChild<ui::SimulatedEngineDialog*>();
    QVERIFY(dialog != nullptr);
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->isModal());
    dialog->speedSlider()->setValue(2600);
    QCOMPARE(engine.heldRpm(), 2600.0);
    dialog->pumpButton()->click();
    QVERIFY(engine.pumping());
}

void SimulatedEngineUiTest::widgetsBecomeDriverCommands() {
    std::vector<sim::DriverCommand> sent;
    ui::SimulatedEngineDialog dialog([&](const sim::DriverCommand& c) { sent.push_back(c); });
    QCOMPARE(dialog.speedLabel()->text(), QStringLiteral("free running"));
    QCOMPARE(dialog.speedSlider()->maximum(), 6000);

    // The speed snaps to 50 rpm and is sent once.
    dialog.speedSlider()->setValue(2630);
    QCOMPARE(dialog.speedSlider()->value(), 2650);
    QCOMPARE(dialog.speedLabel()->text(), QStringLiteral("2650 rpm"));
    QCOMPARE(sent.size(), std::size_t{1});
    QVERIFY(sent.back() == sim::DriverCommand::Rpm(2650));
    dialog.speedSlider()->setValue(0);
    QVERIFY(sent.back() == sim::DriverCommand::Rpm(0));
    QCOMPARE(dialog.speedLabel()->text(), QStringLiteral("free running"));

    dialog.pumpButton()->click();
    QVERIFY(sent.back() == sim::DriverCommand::Pump(true));
    dialog.pumpButton()->click();
    QVERIFY(sent.back() == sim::DriverCommand::Pump(false));

    // The temperature goes out on Set, or on Enter in its box; Enter never touches the pedal.
    sent.clear();
    dialog.reducerBox()->setValue(45);
    QVERIFY(sent.empty());
    dialog.reducerButton()->click();
    QCOMPARE(sent.size(), std::size_t{1});
    QVERIFY(sent.back() == sim::DriverCommand::Reducer(45));
    dialog.show();
    dialog.reducerBox()->setValue(200);  // held within the range the simulator takes
    QCOMPARE(dialog.reducerBox()->value(), 130);
    QTest::keyClick(dialog.reducerBox(), Qt::Key_Return);
    QVERIFY(sent.back() == sim::DriverCommand::Reducer(130));
    QVERIFY(!dialog.pumpButton()->isChecked());
}

QTEST_MAIN(SimulatedEngineUiTest)
#include "simulated_engine_ui_test.moc"
