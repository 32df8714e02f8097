#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "i18n/message_ids.h"
#include "live/live_frame.h"
#include "ui/dialogs/tank_sensor_dialog.h"
#include "ui/language_controller.h"
#include "ui/live_feed.h"
#include "ui/pages/factory_page.h"
#include "ui/parameter_controls.h"
#include "ui/widgets/led_lamp.h"
#include "ui_rig.h"

using namespace sequaflow;
using testing_support::Behind;
using testing_support::VirtualRig;
using Lines = QStringList;
namespace msg = i18n::msg;

namespace {

// The window on the simulator, connected and read.
struct ReadRig : VirtualRig {
    ReadRig() : VirtualRig(Behind::Simulator) { activate(); }
    ui::TankSensorDialog& dialog() { return window->tankSensorDialog(); }
    QWidget* inDialog(const char* name) { return dialog().findChild<QWidget*>(QString::fromLatin1(name)); }
    // Leaving a field, as a click elsewhere would (hidden fields cannot hold the focus themselves).
    static void leave(QWidget* w) {
        QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
        QCoreApplication::sendEvent(w, &out);
    }
    // The ParamStore lines since `from`.
    Lines storesSince(qsizetype from) const {
        Lines out;
        for (const QString& sent : wire.lines().mid(from))
            if (sent.contains(QLatin1String("ParamStore"))) out << sent.section(QStringLiteral("  "), 1);
        return out;
    }
};

// The thresholds of type "Rezerwa" (falling) put straight into the image, as a read would leave them.
void SetFallingThresholds(params::ProgramState& state) {
    const std::int32_t levels[] = {3980, 3900, 3800, 3366};
    for (int i = 0; i < 4; ++i) state.image.setSlot(30 + i, levels[i]);
    state.image.setSlot(22, state.image.slot(22) & ~(1 << 10));
    state.image.setSlot(64, state.image.slot(64) & ~(1 << 10));
}

QList<bool> LampsOn(ReadRig& rig) {
    QList<bool> on;
    for (int n = 1; n <= 5; ++n)
        on << rig.dialog().findChild<ui::LedLamp*>(QStringLiteral("AbLEDSzkielko%1").arg(n))->isOn();
    return on;
}

}  // namespace

class AdvancedFactoryUiTest : public QObject {
    Q_OBJECT
private slots:
    void heatingStrengthWritesStrengthThenPulseThenDuration();
    void heatingSelectionEnablesTheStrengthFirst();
    void buzzerPressureLeftWritesItThenTheCoupledReturnPressure();
    void speedSignalFilterWritesOnLeavingOnlyAndShowsItsHelp();
    void tankThresholdsSaveWritesFlagsThenTheFourLevels();
    void tankTypeFillsTheThresholdFieldsWhichNeverWriteOnLeaving();
    void tankDialogLimitsItsFieldsAndCancelChangesNothing();
    void tankDialogSaveCopiesBackAndWrites();
    void tankDialogLampsAndVoltage();
    void tankDialogRefreshEnterWritesAndMovesToTheTopLevel();
    void serialNumberIsWrittenAndShownAsTheControllerHoldsIt();
    void serialNumberThatIsNotAWholeNumberSendsNothing();
    void extraCorrectionGroupWritesCorrectionAndSelection();
    void hiddenFilterButtonsSendTheirEditors();
    void languageSwitchKeepsTheSelectionsAndSendsNothing();
};

void AdvancedFactoryUiTest::heatingStrengthWritesStrengthThenPulseThenDuration() {
    ReadRig rig;
    auto* strength = rig.find<QComboBox>("ComboBoxSilaRozgrzewaniaWtrysku");
    ui::ParameterControls::SelectQuietly(strength, 0);
    const auto before = rig.wire.mark();
    strength->setCurrentIndex(2);  // "Duze Rozgrzewanie"
    // 57 with its own pauses and 20 after it; 43 and 42 each led by 20 instead of 10.
    QCOMPARE(rig.wire.framesAndPausesSince(before),
             (Lines{"pause 10", "send 4B 39 00 00 84 3A  ParamSelect 57", "pause 30",
                    "send 45 39 00 02 80 3A  ParamStore 57 = 0x0002", "pause 20",
                    "send 44 39 00 02 7F 3A  ParamSet 57 = 0x0002", "pause 20",
                    "pause 20", "send 4B 2B 00 00 76 3A  ParamSelect 43", "pause 30",
                    "send 45 2B 01 90 01 3A  ParamStore 43 = 0x0190", "pause 20",
                    "send 44 2B 01 90 00 3A  ParamSet 43 = 0x0190",
                    "pause 20", "send 4B 2A 00 00 75 3A  ParamSelect 42", "pause 30",
                    "send 45 2A 00 23 92 3A  ParamStore 42 = 0x0023", "pause 20",
                    "send 44 2A 00 23 91 3A  ParamSet 42 = 0x0023"}));
    QCOMPARE(rig.simParameter(57), 2);
    QCOMPARE(rig.simParameter(43), 400);
    QCOMPARE(rig.simParameter(42), 35);
}

void AdvancedFactoryUiTest::heatingSelectionEnablesTheStrengthFirst() {
    ReadRig rig;
    auto* heating = rig.find<QComboBox>("ComboBoxRozgrzewanieWtryskiwacza");
    auto* strength = rig.find<QComboBox>("ComboBoxSilaRozgrzewaniaWtrysku");
    auto* label = rig.find<QLabel>("LabelSilaRozgrzewaniaWtrysku");
    // Every read turns heating on (smooth switching), so the strength is enabled after it.
    QCOMPARE(heating->currentIndex(), 1);
    QVERIFY(strength->isEnabled() && label->isEnabled());

    ui::ParameterControls::SelectQuietly(heating, 0);
    emit heating->activated(0);
    QVERIFY(!strength->isEnabled());
    QVERIFY(!label->isEnabled());
    QCOMPARE(rig.simParameter(22) & (1 << 13), 0);

    ui::ParameterControls::SelectQuietly(heating, 1);
    emit heating->activated(1);
    QVERIFY(strength->isEnabled() && label->isEnabled());
    QCOMPARE(rig.simParameter(22) & (1 << 13), 1 << 13);
}

void AdvancedFactoryUiTest::buzzerPressureLeftWritesItThenTheCoupledReturnPressure() {
    ReadRig rig;
    auto* beep = rig.find<QLineEdit>("EditCisnienieBeep");
    auto* returnPressure = rig.window->parameterControls().editor(18);
    QVERIFY(beep != nullptr && beep->isHidden());
    QVERIFY(returnPressure != nullptr);
    beep->setText(QStringLiteral("1,50"));
    const auto before = rig.wire.mark();
    ReadRig::leave(beep);
    // (1.50 x 1.3438 - 0.202) x 819.67 = 1486.6 and (1.45 x 1.3438 - 0.202) x 819.67 = 1431.6, truncated.
    QCOMPARE(rig.storesSince(before), (Lines{"ParamStore 24 = 0x05CE", "ParamStore 18 = 0x0597"}));
    QCOMPARE(returnPressure->text(), QStringLiteral("1,45"));
    QCOMPARE(beep->text(), QStringLiteral("1,50"));
    QCOMPARE(rig.simParameter(24), 1486);
    QCOMPARE(rig.simParameter(18), 1431);

    // A text that is not a number sends nothing and says why.
    beep->setText(QString());
    const auto refused = rig.wire.mark();
    ReadRig::leave(beep);
    QVERIFY(rig.wire.commandsSince(refused).isEmpty());
    QVERIFY(!rig.statusBar().isEmpty());
}

void AdvancedFactoryUiTest::speedSignalFilterWritesOnLeavingOnlyAndShowsItsHelp() {
    ReadRig rig;
    rig.showActive();
    rig.window->showPage(rig.window->page(QStringLiteral("TabSheet4")));
    QCoreApplication::processEvents();
    auto* memo = rig.find<QPlainTextEdit>("MemoOpisZaawansowanych");
    QCOMPARE(memo->toPlainText(), rig.text(msg::ChooseParameter));
    auto* power = rig.find<QLineEdit>("EditMultiRpmPower");
    power->setFocus(Qt::OtherFocusReason);
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::focusWidget(), power);
    QCOMPARE(memo->toPlainText(), rig.text(msg::HelpSpeedSignalFilter));

    power->setText(QStringLiteral("1500"));
    const auto before = rig.wire.mark();
    QTest::keyPress(power, Qt::Key_Return);
    QVERIFY(QApplication::focusWidget() != power);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Return);
    // Limited to 1000, once: the release of Enter writes nothing of its own.
    QCOMPARE(rig.storesSince(before), (Lines{"ParamStore 40 = 0x03E8"}));
    QCOMPARE(power->text(), QStringLiteral("1000"));

    // A release of Enter while in the field writes nothing either.
    power->setFocus(Qt::OtherFocusReason);
    QCoreApplication::processEvents();
    const auto release = rig.wire.mark();
    QTest::keyRelease(power, Qt::Key_Return);
    QVERIFY(rig.wire.commandsSince(release).isEmpty());
}

void AdvancedFactoryUiTest::tankThresholdsSaveWritesFlagsThenTheFourLevels() {
    ReadRig rig;
    auto& factory = rig.window->factoryPage();
    // Parameters 30..33 in volts: 4.78 -> 3983.3, 4.55 -> 3791.7, 4.10 -> 3416.7, 1.63 -> 1358.3.
    const char* volts[] = {"4,78", "4,55", "4,10", "1,63"};
    for (int i = 0; i < 4; ++i) factory.thresholdFields()[static_cast<std::size_t>(i)]->setText(QString::fromLatin1(volts[i]));
    QCOMPARE(rig.find<QLineEdit>("EditSzkloR")->text(), QStringLiteral("4,78"));
    QCOMPARE(rig.find<QLineEdit>("EditRez34")->text(), QStringLiteral("1,63"));
    rig.find<QComboBox>("ComboBoxSzkloRosMal")->setCurrentIndex(1);  // rising
    const std::uint16_t typeBits = rig.simParameter(22) & 0x0300;
    const auto before = rig.wire.mark();
    rig.find<QPushButton>("ButtonSzkielko")->click();

    const Lines stores = rig.storesSince(before);
    QCOMPARE(stores.size(), 5);
    QVERIFY(stores[0].startsWith(QLatin1String("ParamStore 22 = ")));
    QCOMPARE(stores.mid(1), (Lines{"ParamStore 30 = 0x0F8F", "ParamStore 31 = 0x0ECF", "ParamStore 32 = 0x0D58",
                                   "ParamStore 33 = 0x054E"}));
    QCOMPARE(rig.wire.commandsSince(before).size(), 15);
    QCOMPARE(rig.simParameter(22) & (1 << 10), 1 << 10);
    QCOMPARE(rig.simParameter(22) & 0x0300, typeBits);  // the sensor type stays
    QCOMPARE(rig.simParameter(30), 3983);

    // A text that is not a number stops it before anything is sent.
    rig.find<QLineEdit>("EditRez12")->setText(QStringLiteral("x"));
    const auto refused = rig.wire.mark();
    rig.find<QPushButton>("ButtonSzkielko")->click();
    QVERIFY(rig.wire.commandsSince(refused).isEmpty());
}

void AdvancedFactoryUiTest::tankTypeFillsTheThresholdFieldsWhichNeverWriteOnLeaving() {
    ReadRig rig;
    auto& controls = rig.window->parameterControls();
    controls.applySetting(params::Setting::TankSensorType, 1);  // "90R": 58, 140, 204, 287, rising
    // Raw x 0.0012 V: 0.0696, 0.168, 0.2448, 0.3444.
    QCOMPARE(rig.find<QLineEdit>("EditSzkloR")->text(), QStringLiteral("0,07"));
    QCOMPARE(rig.find<QLineEdit>("EditRez14")->text(), QStringLiteral("0,17"));
    QCOMPARE(rig.find<QLineEdit>("EditRez12")->text(), QStringLiteral("0,24"));
    QCOMPARE(rig.find<QLineEdit>("EditRez34")->text(), QStringLiteral("0,34"));
    QCOMPARE(rig.find<QComboBox>("ComboBoxSzkloRosMal")->currentIndex(), 1);

    rig.find<QLineEdit>("EditRez34")->setText(QStringLiteral("3,00"));
    const auto before = rig.wire.mark();
    for (const char* name : {"EditSzkloR", "EditRez14", "EditRez12", "EditRez34"}) ReadRig::leave(rig.find<QWidget>(name));
    QVERIFY(rig.wire.commandsSince(before).isEmpty());
    QCOMPARE(rig.simParameter(33), 287);
}

void AdvancedFactoryUiTest::tankDialogLimitsItsFieldsAndCancelChangesNothing() {
    ReadRig rig;
    auto& factory = rig.window->factoryPage();
    const QString factoryTop = factory.thresholdFields()[3]->text();
    rig.dialog().prepare();
    auto* top = qobject_cast<QLineEdit*>(rig.inDialog("EditRez34"));
    auto* quarter = qobject_cast<QLineEdit*>(rig.inDialog("EditRez14"));
    auto* reserve = qobject_cast<QLineEdit*>(rig.inDialog("EditSzkloR"));
    auto* half = qobject_cast<QLineEdit*>(rig.inDialog("EditRez12"));
    QCOMPARE(top->text(), factoryTop);  // copied from the factory page
    rig.dialog().show();

    top->setText(QStringLiteral("0"));
    ReadRig::leave(top);
    QCOMPARE(top->text(), QStringLiteral("0,01"));
    quarter->setText(QStringLiteral("7"));
    ReadRig::leave(quarter);
    QCOMPARE(quarter->text(), QStringLiteral("5,00"));
    reserve->setText(QStringLiteral("0"));  // the lower limit of the other fields is 0
    ReadRig::leave(reserve);
    QCOMPARE(reserve->text(), QStringLiteral("0"));
    half->setText(QStringLiteral("-1"));
    ReadRig::leave(half);
    QCOMPARE(half->text(), QStringLiteral("0,00"));

    const auto before = rig.wire.mark();
    qobject_cast<QPushButton*>(rig.inDialog("BitBtn1"))->click();
    QVERIFY(!rig.dialog().isVisible());
    QCOMPARE(rig.dialog().result(), int(QDialog::Rejected));
    QVERIFY(rig.wire.commandsSince(before).isEmpty());
    QCOMPARE(factory.thresholdFields()[3]->text(), factoryTop);

    // Opened modally and closed without a save: nothing is sent.
    const auto modal = rig.wire.mark();
    QCOMPARE(rig.dialog().edit(), int(QDialog::Rejected));
    QVERIFY(rig.dialogs.texts.contains(QStringLiteral("sequaflow::ui::TankSensorDialog")));
    QVERIFY(rig.wire.commandsSince(modal).isEmpty());
}

void AdvancedFactoryUiTest::tankDialogSaveCopiesBackAndWrites() {
    ReadRig rig;
    rig.dialog().prepare();
    rig.dialog().show();
    const char* names[] = {"EditSzkloR", "EditRez14", "EditRez12", "EditRez34"};
    const char* volts[] = {"4,78", "4,55", "4,10", "1,63"};
    for (int i = 0; i < 4; ++i) qobject_cast<QLineEdit*>(rig.inDialog(names[i]))->setText(QString::fromLatin1(volts[i]));
    qobject_cast<QComboBox*>(rig.inDialog("ComboBoxSzkloRosMal"))->setCurrentIndex(0);
    const auto before = rig.wire.mark();
    qobject_cast<QPushButton*>(rig.inDialog("Button10"))->click();
    QCOMPARE(rig.dialog().result(), int(QDialog::Accepted));
    QVERIFY(!rig.dialog().isVisible());
    const Lines stores = rig.storesSince(before);
    QCOMPARE(stores.size(), 5);
    QCOMPARE(stores.mid(1), (Lines{"ParamStore 30 = 0x0F8F", "ParamStore 31 = 0x0ECF", "ParamStore 32 = 0x0D58",
                                   "ParamStore 33 = 0x054E"}));
    QCOMPARE(rig.simParameter(22) & (1 << 10), 0);
    auto& factory = rig.window->factoryPage();
    for (int i = 0; i < 4; ++i)
        QCOMPARE(factory.thresholdFields()[static_cast<std::size_t>(i)]->text(), QString::fromLatin1(volts[i]));
    QCOMPARE(factory.directionList()->currentIndex(), 0);
}

void AdvancedFactoryUiTest::tankDialogLampsAndVoltage() {
    ReadRig rig;
    SetFallingThresholds(rig.state);
    auto& words = rig.window->model().liveWords();
    // Falling sensor: 3800 < 3850 <= 3900 is level 3.
    words[live::word::Tank] = 3850;
    words[live::word::FuelState] = 1;
    rig.dialog().prepare();
    QCOMPARE(LampsOn(rig), (QList<bool>{true, true, true, false, false}));
    // 3366 < 3400 <= 3800: level 4.
    words[live::word::Tank] = 3400;
    rig.dialog().prepare();
    QCOMPARE(LampsOn(rig), (QList<bool>{true, true, true, true, false}));
    // On petrol every lamp stays off.
    words[live::word::FuelState] = 0;
    rig.dialog().prepare();
    QCOMPARE(LampsOn(rig), (QList<bool>{false, false, false, false, false}));

    // The voltage follows the readings while the dialog is open, and only then.
    auto* voltage = qobject_cast<QLabel*>(rig.inDialog("EditPoziomLPG"));
    rig.dialog().show();
    VirtualRig::fire(rig.window->readings().timer());
    const std::uint32_t raw = rig.state.words[live::word::Tank];
    QCOMPARE(voltage->text(), QString::asprintf("%.2f V", raw * 0.0012));
    rig.dialog().hide();
    live::ReadingsView other;
    other.tankVoltsText = "9.99 V";
    rig.window->feed().accept(other);
    QVERIFY(voltage->text() != QStringLiteral("9.99 V"));
}

void AdvancedFactoryUiTest::tankDialogRefreshEnterWritesAndMovesToTheTopLevel() {
    ReadRig rig;
    // The main window's hidden copy only shows what the read found (1000 x 0.01 s).
    auto* shown = rig.window->factoryPage().findChild<QLineEdit*>(QStringLiteral("EditOdswiezanieOczka"));
    QVERIFY(shown != nullptr && shown->isHidden());
    QCOMPARE(shown->text(), QStringLiteral("10,0"));
    rig.dialog().prepare();
    rig.dialog().show();
    rig.dialog().activateWindow();
    QCoreApplication::processEvents();
    auto* refresh = qobject_cast<QLineEdit*>(rig.inDialog("EditOdswiezanieOczka"));
    refresh->setFocus(Qt::OtherFocusReason);
    QCoreApplication::processEvents();
    refresh->setText(QStringLiteral("12,5"));
    const auto before = rig.wire.mark();
    QTest::keyPress(refresh, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), refresh);  // Enter pressed does nothing
    QVERIFY(rig.wire.commandsSince(before).isEmpty());
    QTest::keyRelease(refresh, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), rig.inDialog("EditRez34"));
    // 12.5 s x 100 = 1250 (0x04E2): written by the release, then again by leaving.
    QCOMPARE(rig.storesSince(before), (Lines{"ParamStore 34 = 0x04E2", "ParamStore 34 = 0x04E2"}));
    rig.dialog().hide();
}

void AdvancedFactoryUiTest::serialNumberIsWrittenAndShownAsTheControllerHoldsIt() {
    {
        VirtualRig fresh(Behind::Simulator, 0, false);
        QCOMPARE(fresh.find<QLineEdit>("EditMulti")->text(), QStringLiteral("10101"));
    }
    ReadRig rig;
    auto* entry = rig.find<QLineEdit>("EditMulti");
    auto* serial = rig.find<QLineEdit>("EditSerialNumber");
    QCOMPARE(entry->maxLength(), 5);
    QCOMPARE(entry->text(), serial->text());  // the read showed the controller's number
    QVERIFY(!rig.find<QLineEdit>("EditUrzadzenie")->text().isEmpty());

    entry->setText(QStringLiteral("12345"));
    const auto before = rig.wire.mark();
    rig.find<QPushButton>("ButtonWprowadzSer")->click();
    QCOMPARE(rig.wire.framesAndPausesSince(before).mid(0, 5),
             (Lines{"pause 10", "send 4D 3D 00 00 8A 3A  RecordWordSelect 61", "pause 30",
                    "send 55 3D 30 39 FB 3A  RecordWordStore 61 = 0x3039", "pause 10"}));
    QVERIFY(rig.wire.commandsSince(before).contains(QStringLiteral("RecordWordRead")));
    QCOMPARE(serial->text(), QStringLiteral("12345"));
    QCOMPARE(entry->text(), QStringLiteral("12345"));
    QCOMPARE(rig.state.serial, 12345);
}

void AdvancedFactoryUiTest::serialNumberThatIsNotAWholeNumberSendsNothing() {
    ReadRig rig;
    auto* entry = rig.find<QLineEdit>("EditMulti");
    const std::uint16_t held = rig.state.serial;
    for (const char* text : {"12a", "", "1,5"}) {
        entry->setText(QString::fromLatin1(text));
        const auto before = rig.wire.mark();
        rig.find<QPushButton>("ButtonWprowadzSer")->click();
        QVERIFY(rig.wire.commandsSince(before).isEmpty());
        QCOMPARE(rig.statusBar(), QStringLiteral("'%1' is not a valid integer value").arg(QString::fromLatin1(text)));
        QCOMPARE(rig.state.serial, held);
    }
}

void AdvancedFactoryUiTest::extraCorrectionGroupWritesCorrectionAndSelection() {
    ReadRig rig;
    auto& factory = rig.window->factoryPage();
    QVERIFY(rig.find<QWidget>("GroupBoxPoprawka2")->isHidden());
    factory.extraCorrectionField()->setText(QStringLiteral("0,25"));
    for (auto* box : factory.injectorBoxes()) box->setChecked(false);
    factory.injectorBoxes()[0]->setChecked(true);
    factory.injectorBoxes()[4]->setChecked(true);
    const auto before = rig.wire.mark();
    qobject_cast<QPushButton*>(factory.findChild<QWidget*>(QStringLiteral("ButtonPrzesuniecie2")))->click();
    // 0.25 ms x 230.4 = 57.6 -> 57; injectors 1 and 5 -> 0x11.
    QCOMPARE(rig.storesSince(before), (Lines{"ParamStore 52 = 0x0039", "ParamStore 51 = 0x0011"}));

    // Shown from the state whenever the page is shown: -115 ticks is -0,50 ms.
    rig.state.image.setSlot(52, -115);
    rig.state.image.setSlot(67, 0x82);
    rig.window->showPage(&factory);
    QCOMPARE(factory.extraCorrectionField()->text(), QStringLiteral("-0,50"));
    QList<bool> ticked;
    for (auto* box : factory.injectorBoxes()) ticked << box->isChecked();
    QCOMPARE(ticked, (QList<bool>{false, true, false, false, false, false, false, true}));
}

void AdvancedFactoryUiTest::hiddenFilterButtonsSendTheirEditors() {
    ReadRig rig;
    rig.find<QLineEdit>("EditMultiRpmPower")->setText(QStringLiteral("7"));
    auto before = rig.wire.mark();
    rig.find<QPushButton>("Button9")->click();
    QCOMPARE(rig.storesSince(before), (Lines{"ParamStore 40 = 0x0007"}));
    auto* signal = rig.window->parameterControls().editor(50);
    QVERIFY(signal != nullptr);
    signal->setText(QStringLiteral("0"));
    before = rig.wire.mark();
    rig.find<QPushButton>("Button11")->click();
    QCOMPARE(rig.storesSince(before), (Lines{"ParamStore 50 = 0x0000"}));
    rig.find<QLineEdit>("EditMultiRpmPower")->setText(QStringLiteral("abc"));
    before = rig.wire.mark();
    rig.find<QPushButton>("Button9")->click();
    QVERIFY(rig.wire.commandsSince(before).isEmpty());
}

void AdvancedFactoryUiTest::languageSwitchKeepsTheSelectionsAndSendsNothing() {
    ReadRig rig;
    const std::pair<const char*, int> chosen[] = {
        {"ComboBoxPodcisnienieReduktora", 0}, {"ComboBoxRozgrzewanieWtryskiwacza", 1},
        {"ComboBoxSilaRozgrzewaniaWtrysku", 3}, {"ComboBoxMrozGaz", 21}, {"ComboBoxMrozRed", 12},
        {"ComboBoxFiltrowanieCisnienia", 3}, {"ComboBoxDeltaRpm", 9}};
    for (const auto& [name, item] : chosen) ui::ParameterControls::SelectQuietly(rig.find<QComboBox>(name), item);
    const QString polishDrop = rig.find<QComboBox>("ComboBoxDeltaRpm")->itemText(0);
    const auto before = rig.wire.mark();
    QCOMPARE(int(rig.window->languages().selectLanguage(2).outcome), int(i18n::LanguageOutcome::Applied));
    for (const auto& [name, item] : chosen) QCOMPARE(rig.find<QComboBox>(name)->currentIndex(), item);
    QVERIFY(rig.find<QComboBox>("ComboBoxDeltaRpm")->itemText(0) != polishDrop);
    QCOMPARE(rig.find<QComboBox>("ComboBoxMrozGaz")->itemText(21), QString::fromUtf8("-20 °C"));
    QVERIFY(rig.wire.commandsSince(before).isEmpty());
}

QTEST_MAIN(AdvancedFactoryUiTest)
#include "advanced_factory_ui_test.moc"
