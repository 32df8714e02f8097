#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QtTest>

#include "i18n/message_ids.h"
#include "ui/dialogs/idle_correction_dialog.h"
#include "ui/dialogs/injector_settings_dialog.h"
#include "ui/dialogs/turbo_dialog.h"
#include "ui/language_controller.h"
#include "ui/parameter_controls.h"
#include "ui/widgets/vertical_bar.h"
#include "ui/dialogs/vehicle_data_dialog.h"
#include "ui_rig.h"

using namespace sequaflow;
using testing_support::Behind;
using testing_support::VirtualRig;
using Lines = QStringList;
namespace msg = i18n::msg;

namespace {

// The lists of the parameters page, the hidden ones of the readings page included.
const char* const kLists[] = {
    "ComboBoxRodzajWtrysku", "ComboBoxCewka",         "ComboBoxTURBO",         "ComboBoxSygnalObrotow",
    "ComboBoxSondaLambda1",  "ComboBoxSondaLambda2",  "EditCzasWtryskuPrzyObciazeniu",
    "ComboBoxSzkielkoRezerwy", "ComboBoxSekPrzelPrzek", "ComboBoxBuzzer",      "ComboBoxMaxRpm",
    "ComboBoxDeltaObrotow",  "ComboBoxRodzajCzTemp",  "ComboBoxCNGLPG",
};

// The window on the simulator, connected and read, showing the parameters page with the keyboard focus.
struct ReadRig : VirtualRig {
    ReadRig() : VirtualRig(Behind::Simulator) {
        showActive();
        window->showPage(window->page(QStringLiteral("TabSheet3")));
        QCoreApplication::processEvents();
    }
    QWidget* focused() const { return QApplication::focusWidget(); }
    void focus(QWidget* w) {
        w->setFocus(Qt::OtherFocusReason);
        QCoreApplication::processEvents();
    }
};

// What the parameter write sends for parameter n = value (select, store, set with their pauses).
Lines WriteOf(int n, std::uint16_t value) {
    const auto hex = [](unsigned v) { return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper(); };
    const unsigned hi = value >> 8, lo = value & 0xFF;
    const QString args = hex(unsigned(n)) + QLatin1Char(' ') + hex(hi) + QLatin1Char(' ') + hex(lo);
    const QString v = QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
    return {QStringLiteral("pause 10"),
            QStringLiteral("send 4B %1 00 00 %2 3A  ParamSelect %3").arg(hex(unsigned(n)), hex((0x4B + n) & 0xFF)).arg(n),
            QStringLiteral("pause 30"),
            QStringLiteral("send 45 %1 %2 3A  ParamStore %3 = 0x%4").arg(args, hex((0x45 + n + hi + lo) & 0xFF)).arg(n).arg(v),
            QStringLiteral("pause 20"),
            QStringLiteral("send 44 %1 %2 3A  ParamSet %3 = 0x%4").arg(args, hex((0x44 + n + hi + lo) & 0xFF)).arg(n).arg(v)};
}

}  // namespace

class ParametersUiTest : public QObject {
    Q_OBJECT
private slots:
    void enterAndPageKeysMoveTheFocus();
    void signalFilterEnterGoesToTheInjectorList();
    void speedLimitLeftWritesExactlyItsParameter();
    void withoutAControllerAnEditShowsAndSendsNothing();
    void aWindowDestroyedWithAnEditorFocusedSendsNothing();
    void injectorTypeWritesTheTypeAndItsCatalogueSettings();
    void ownInjectorButtonAtStartAndAfterARead();
    void injectorDialogCancelSendsNothingAndOkWritesAllFive();
    void turboOffMovesTheBoostToZeroAndTheDialogWritesIt();
    void idleCorrectionAnsweredCancelSendsNothing();
    void tankButtonOpensTheTankDialog();
    void idleCorrectionAppliedWritesCorrectionSelectionAndInjectors();
    void lambdaTypeShapesTheProbeBars();
    void injectionBarsReachTheLongestGasInjection();
    void vehicleDataMissingAnsweredYesSendsTheFirstRunDefaults();
    void vehicleDataMissingAnsweredNoClosesTheWindow();
    void languageSwitchKeepsEverySelectionAndSendsNothing();
};

void ParametersUiTest::enterAndPageKeysMoveTheFocus() {
    ReadRig rig;
    auto* temp = rig.find<QLineEdit>("EditMinTempPrzel");
    rig.focus(temp);
    QCOMPARE(rig.focused(), temp);
    QTest::keyClick(temp, Qt::Key_Return);
    QCOMPARE(rig.focused(), rig.find<QWidget>("EditRPMprzelNaLPG"));
    QTest::keyClick(rig.focused(), Qt::Key_PageDown);
    QCOMPARE(rig.focused(), rig.find<QWidget>("EditWspolneCykle"));
    QTest::keyClick(rig.focused(), Qt::Key_PageUp);
    QCOMPARE(rig.focused(), rig.find<QWidget>("EditRPMprzelNaLPG"));
    // A list: Enter moves on as well.
    auto* ignition = rig.find<QComboBox>("ComboBoxCewka");
    rig.focus(ignition);
    QTest::keyClick(ignition, Qt::Key_Return);
    QVERIFY(rig.focused() != ignition);
    // A refused key never reaches the field.
    rig.focus(temp);
    temp->setText(QStringLiteral("60"));
    QTest::keyClick(temp, Qt::Key_Minus);
    QTest::keyClick(temp, Qt::Key_A);
    QCOMPARE(temp->text(), QStringLiteral("60"));
}

void ParametersUiTest::signalFilterEnterGoesToTheInjectorList() {
    ReadRig rig;
    auto* signal = rig.find<QLineEdit>("EditSignalInj");
    rig.focus(signal);
    signal->setText(QStringLiteral("7"));
    const auto before = rig.wire.mark();
    QTest::keyPress(signal, Qt::Key_Return);
    QCOMPARE(rig.focused(), rig.find<QWidget>("ComboBoxRodzajWtrysku"));
    // Written once, on leaving; the release of Enter writes nothing of its own.
    QTest::keyRelease(rig.focused(), Qt::Key_Return);
    QCOMPARE(rig.wire.framesAndPausesSince(before), WriteOf(50, 7));
    QCOMPARE(rig.simParameter(50), 7);
}

void ParametersUiTest::speedLimitLeftWritesExactlyItsParameter() {
    ReadRig rig;
    QCOMPARE(rig.state.image.ignitionType(), 2);  // "4 Cyl.": period = 6 912 000 / rpm
    auto* limit = rig.find<QLineEdit>("EditMaxRpm");
    rig.focus(limit);
    limit->setText(QStringLiteral("6000"));
    const auto before = rig.wire.mark();
    rig.focus(rig.find<QWidget>("EditMinTempPrzel"));
    QCOMPARE(rig.wire.framesAndPausesSince(before), WriteOf(44, 1152));
    QCOMPARE(rig.simParameter(44), 1152);

    // A context menu over the field or another window in front is not leaving it: nothing is sent.
    rig.focus(limit);
    limit->setText(QStringLiteral("5000"));
    const auto popup = rig.wire.mark();
    for (auto reason : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QCoreApplication::sendEvent(limit, &out);
    }
    QVERIFY(rig.wire.framesAndPausesSince(popup).isEmpty());
    limit->setText(QStringLiteral("6000"));

    // Not a number: nothing is sent, the field shows the value held again and the status bar says why.
    rig.focus(limit);
    limit->clear();
    const auto empty = rig.wire.mark();
    rig.focus(rig.find<QWidget>("EditMinTempPrzel"));
    QVERIFY(rig.wire.framesAndPausesSince(empty).isEmpty());
    QVERIFY(rig.statusBar().contains(QStringLiteral("nothing was sent")));
    QCOMPARE(limit->text(), QStringLiteral("6000"));
    QCOMPARE(rig.simParameter(44), 1152);
}

void ParametersUiTest::withoutAControllerAnEditShowsAndSendsNothing() {
    VirtualRig rig(Behind::Nothing);
    rig.showActive();
    rig.window->showPage(rig.window->page(QStringLiteral("TabSheet3")));
    QCoreApplication::processEvents();
    auto* limit = rig.find<QLineEdit>("EditMaxRpm");
    limit->setFocus(Qt::OtherFocusReason);
    QCoreApplication::processEvents();
    limit->setText(QStringLiteral("20000"));
    const auto before = rig.wire.mark();
    const auto time = rig.pacer.now();
    rig.find<QWidget>("EditMinTempPrzel")->setFocus(Qt::OtherFocusReason);
    QCoreApplication::processEvents();
    QVERIFY(rig.wire.framesAndPausesSince(before).isEmpty());
    QCOMPARE(rig.pacer.now(), time);  // nothing waited for a controller that is not there
    QCOMPARE(rig.state.image.slot(44), 1382);  // ignition item 0 before any read: 13 824 000 / 20 000
    QCOMPARE(rig.statusBar(), rig.text(msg::NotConnected));

    // A list too: the injector type changes the flags word and the catalogue texts on screen only.
    auto* type = rig.find<QComboBox>("ComboBoxRodzajWtrysku");
    type->setCurrentIndex(2);
    emit type->activated(2);
    QVERIFY(rig.wire.framesAndPausesSince(before).isEmpty());
    QCOMPARE(static_cast<int>(rig.state.image.field(params::field::InjectorType)), 2);
    QCOMPARE(rig.find<QLineEdit>("EditMinimalnyCzasWtrysku")->text(), QStringLiteral("2,3"));
}

void ParametersUiTest::aWindowDestroyedWithAnEditorFocusedSendsNothing() {
    ReadRig rig;
    auto* limit = rig.find<QLineEdit>("EditMaxRpm");
    rig.focus(limit);
    limit->setText(QStringLiteral("5000"));
    const auto before = rig.wire.mark();
    rig.window.reset();  // the focused editor loses its focus while the window is taken apart
    QVERIFY(rig.wire.framesAndPausesSince(before).isEmpty());
    QCOMPARE(rig.simParameter(44), static_cast<std::uint16_t>(1152));
}

void ParametersUiTest::injectorTypeWritesTheTypeAndItsCatalogueSettings() {
    ReadRig rig;
    auto* list = rig.find<QComboBox>("ComboBoxRodzajWtrysku");
    const std::uint16_t flags = rig.simParameter(22);
    const std::uint16_t expected = static_cast<std::uint16_t>((flags & ~0xF0u) | 0x10u);
    const auto before = rig.wire.mark();
    list->setCurrentIndex(1);  // a change alone writes nothing for this list
    QVERIFY(rig.wire.framesAndPausesSince(before).isEmpty());
    emit list->activated(1);
    // "Kestra 3 ohm": 0,8 ms = 184 ticks, 25 % = 375, 4,8 ms = 1105, 3,3 ms = 760 at 230 400 Hz.
    Lines sent = WriteOf(22, expected);
    sent << WriteOf(13, 184) << WriteOf(6, 375) << WriteOf(7, 1105) << WriteOf(2, 760);
    QCOMPARE(rig.wire.framesAndPausesSince(before), sent);
    QCOMPARE(rig.simParameter(22), expected);
    QVERIFY(!rig.find<QPushButton>("ButtonRodzajWtryskiwaczy")->isVisibleTo(rig.window.get()));
}

void ParametersUiTest::ownInjectorButtonAtStartAndAfterARead() {
    sim::ControllerOptions options;
    options.hardware = 0x44;  // variant 4: the switching sequence is offered
    VirtualRig rig(Behind::Simulator, 0, true, options);
    auto* list = rig.find<QComboBox>("ComboBoxRodzajWtrysku");
    auto* button = rig.find<QPushButton>("ButtonRodzajWtryskiwaczy");
    // Before any read: the last item is selected and its button shown.
    QCOMPARE(list->currentIndex(), list->count() - 1);
    QVERIFY(button->isVisibleTo(rig.window.get()));
    QVERIFY(!rig.find<QComboBox>("ComboBoxSekPrzelPrzek")->isEnabled());
    rig.activate();
    QVERIFY(!button->isVisibleTo(rig.window.get()));
    // Software 37 on variant 4: the switching sequence and the reducer sensor list are offered.
    QVERIFY(rig.find<QComboBox>("ComboBoxSekPrzelPrzek")->isEnabled());
    QVERIFY(rig.find<QComboBox>("ComboBoxRodzajCzTemp")->isVisibleTo(rig.window.get()));
    QVERIFY(rig.find<QLabel>("LambaRodzajCzTemp")->isVisibleTo(rig.window.get()));
}

void ParametersUiTest::injectorDialogCancelSendsNothingAndOkWritesAllFive() {
    ReadRig rig;
    auto* dialog = rig.window->findChild<ui::InjectorSettingsDialog*>(QStringLiteral("TForm10"));
    QVERIFY(dialog != nullptr);
    auto& controls = rig.window->parameterControls();
    const auto before = rig.wire.mark();
    dialog->edit();  // the answerer rejects it: "Anuluj"
    QVERIFY(rig.wire.framesAndPausesSince(before).isEmpty());
    QCOMPARE(dialog->field(2)->text(), controls.editor(2)->text());

    // OK after a change of the full-opening time: the five settings in the order 8, 2, 7, 6, 13.
    dialog->field(7)->setText(rig.state.decimalSeparator == ',' ? QStringLiteral("4,8") : QStringLiteral("4.8"));
    const auto ok = rig.wire.mark();
    dialog->save();
    QCOMPARE(controls.editor(7)->text().left(3), dialog->field(7)->text().left(3));
    QStringList stores;
    for (const QString& line : rig.wire.framesAndPausesSince(ok))
        if (line.contains(QStringLiteral("ParamStore")))
            stores << line.section(QStringLiteral("ParamStore "), 1).section(QLatin1Char(' '), 0, 0);
    QCOMPARE(stores, (QStringList{"8", "2", "7", "6", "13"}));
    QCOMPARE(rig.simParameter(7), 1105);  // 4,8 ms x 230,4 = 1105,9
}

void ParametersUiTest::turboOffMovesTheBoostToZeroAndTheDialogWritesIt() {
    ReadRig rig;
    auto* scroll = rig.window->findChild<ui::TurboDialog*>(QStringLiteral("TForm15"))->scrollBar();
    QCOMPARE(scroll->maximum(), 65);
    QCOMPARE(scroll->value(), int(rig.simParameter(12)) - 100);
    auto* turbo = rig.find<QComboBox>("ComboBoxTURBO");
    turbo->setCurrentIndex(1);
    emit turbo->activated(1);
    QVERIFY(rig.find<QPushButton>("ButtonTURBO")->isVisibleTo(rig.window.get()));
    scroll->setValue(20);
    const auto before = rig.wire.mark();
    turbo->setCurrentIndex(0);
    emit turbo->activated(0);
    QVERIFY(!rig.find<QPushButton>("ButtonTURBO")->isVisibleTo(rig.window.get()));
    QCOMPARE(scroll->value(), 0);
    QCOMPARE(rig.simParameter(12), 100);
    QVERIFY(rig.wire.commandsSince(before).contains(QStringLiteral("ParamStore")));
    QCOMPARE(rig.simParameter(47) & 0x4000, 0);

    // The dialog: Cancel leaves the position and sends nothing; OK at 35 writes 135.
    auto* dialog = rig.window->findChild<ui::TurboDialog*>(QStringLiteral("TForm15"));
    scroll->setValue(35);
    const auto cancelled = rig.wire.mark();
    dialog->edit();
    QVERIFY(rig.wire.framesAndPausesSince(cancelled).isEmpty());
    QCOMPARE(scroll->value(), 35);
    const auto saved = rig.wire.mark();
    dialog->save();
    QCOMPARE(rig.wire.framesAndPausesSince(saved), WriteOf(12, 135));
    QCOMPARE(rig.simParameter(12), 135);
}

void ParametersUiTest::idleCorrectionAnsweredCancelSendsNothing() {
    ReadRig rig;
    auto* dialog = rig.window->findChild<ui::IdleCorrectionDialog*>(QStringLiteral("TForm11"));
    const auto before = rig.wire.mark();
    dialog->edit();  // the answerer rejects it: "Anuluj"
    QVERIFY(rig.wire.framesAndPausesSince(before).isEmpty());
    QCOMPARE(rig.dialogs.texts.last(), QStringLiteral("sequaflow::ui::IdleCorrectionDialog"));
}

void ParametersUiTest::tankButtonOpensTheTankDialog() {
    ReadRig rig;
    auto* button = rig.window->findChild<QPushButton*>(QStringLiteral("ButtonSzkielkoDefiniuj"));
    QVERIFY(button != nullptr);
    const auto before = rig.wire.mark();
    button->click();  // the answerer rejects it: "Anuluj"
    QCOMPARE(rig.dialogs.texts.last(), QStringLiteral("sequaflow::ui::TankSensorDialog"));
    QVERIFY(rig.wire.framesAndPausesSince(before).isEmpty());
}

void ParametersUiTest::idleCorrectionAppliedWritesCorrectionSelectionAndInjectors() {
    ReadRig rig;
    auto* dialog = rig.window->findChild<ui::IdleCorrectionDialog*>(QStringLiteral("TForm11"));
    dialog->correction()->setText(rig.state.decimalSeparator == ',' ? QStringLiteral("0,25") : QStringLiteral("0.25"));
    for (int k = 0; k < 8; ++k) dialog->injector(k)->setChecked(k == 0 || k == 4);
    const auto before = rig.wire.mark();
    QVERIFY(dialog->apply());
    // 0,25 ms at 230 400 Hz is 57 ticks; Wtrysk1 and Wtrysk5 give 0x11; then 8, 2, 7, 6, 13 again.
    QCOMPARE(rig.simParameter(52), 57);
    QCOMPARE(rig.simParameter(51) & 0xFF, 0x11);
    QStringList stores;
    for (const QString& line : rig.wire.framesAndPausesSince(before))
        if (line.contains(QStringLiteral("ParamStore"))) stores << line.section(QStringLiteral("ParamStore "), 1).section(QLatin1Char(' '), 0, 0);
    QCOMPARE(stores, (QStringList{"52", "51", "8", "2", "7", "6", "13"}));

    // Not a number: refused before anything is sent.
    dialog->correction()->setText(QStringLiteral("-"));
    const auto refused = rig.wire.mark();
    QVERIFY(!dialog->apply());
    QVERIFY(rig.wire.framesAndPausesSince(refused).isEmpty());
}

void ParametersUiTest::injectionBarsReachTheLongestGasInjection() {
    ReadRig rig;
    auto* bar = rig.find<ui::VerticalBar>("VBarG3");
    QCOMPARE(bar->maximum(), double(rig.simParameter(8)));
    auto* maxTime = rig.find<QLineEdit>("EditParametryMaxInj");  // hidden: written as its dialogs write it
    maxTime->setText(QStringLiteral("20"));
    rig.window->parameterControls().writeEditor(8, maxTime, params::EditorEvent::Leave);
    QCOMPARE(bar->maximum(), 4608.0);  // 20 ms at 230.4 ticks per ms
}

void ParametersUiTest::lambdaTypeShapesTheProbeBars() {
    ReadRig rig;
    auto* probe = rig.find<QComboBox>("ComboBoxSondaLambda1");
    probe->setCurrentIndex(5);  // "1 - 0V": red at the lower end
    QCOMPARE(rig.simParameter(55), 5);
    for (const char* name : {"AbVBarPanelSonda1", "LambdaBar1"}) {
        QWidget* bar = rig.find<QWidget>(name);
        QCOMPARE(bar->property("startColour").value<QColor>(), QColor(255, 0, 0));
        QCOMPARE(bar->property("endColour").value<QColor>(), QColor(0, 128, 0));
    }
    probe->setCurrentIndex(0);  // "Odlaczona": the probe's controls go, the field says so
    QCOMPARE(rig.simParameter(55), 0);
    QVERIFY(!rig.find<QWidget>("GroupLambda1")->isVisibleTo(rig.window.get()));
    QCOMPARE(rig.find<QLineEdit>("EditAbVBarSonda1")->text(), rig.text(msg::NotPresent));
}

namespace {
// Presses Zapisz in the vehicle data dialog as soon as it is shown, before the rig's answerer sees it.
class SaveVehicleDialog final : public QObject {
public:
    SaveVehicleDialog() { QCoreApplication::instance()->installEventFilter(this); }
    ~SaveVehicleDialog() override { QCoreApplication::instance()->removeEventFilter(this); }
    int saved = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = event->type() == QEvent::Show ? qobject_cast<ui::VehicleDataDialog*>(watched) : nullptr;
        if (dialog == nullptr) return false;
        QMetaObject::invokeMethod(
            dialog, [this, dialog] { saved += dialog->save() ? 1 : 0; }, Qt::QueuedConnection);
        return true;
    }
};
}  // namespace

void ParametersUiTest::vehicleDataMissingAnsweredYesSendsTheFirstRunDefaults() {
    VirtualRig rig(Behind::Simulator);
    // A controller that never stored vehicle data: the low byte of record word 63 is 255.
    (void)rig.controller->handle(sim::RequestFrame{'M', 63, 0, 0}, rig.pacer.now());
    (void)rig.controller->handle(sim::RequestFrame{'U', 63, 0x00, 0xFF}, rig.pacer.now());
    rig.dialogs.setAnswer(QMessageBox::Yes);
    // The installer saves the vehicle data as the dialog shows it (a cancel would end the program).
    SaveVehicleDialog save;
    rig.activate();
    QVERIFY(rig.dialogs.texts.contains(rig.text(msg::VehicleDataNotSaved)));
    // After the question, the vehicle data dialog, then the defaults.
    QCOMPARE(save.saved, 1);
    QCOMPARE(rig.controller->stores().record[63] & 0xFF, 0);
    QCOMPARE(rig.simParameter(14), 11520);  // 600 rpm on "4 Cyl."
    QCOMPARE(rig.simParameter(44), 1152);   // 6000 rpm
    QCOMPARE(rig.simParameter(4), 4);
    QCOMPARE((rig.simParameter(22) >> 4) & 0xF, 1);  // injector type 1
    QCOMPARE((rig.simParameter(22) >> 8) & 0x3, 2);  // tank sensor "Rezerwa"
    QCOMPARE(rig.find<QLineEdit>("EditRPMprzelNaLPG")->text(), QStringLiteral("600"));
    QCOMPARE(rig.find<QComboBox>("ComboBoxRodzajWtrysku")->currentIndex(), 1);
}

void ParametersUiTest::vehicleDataMissingAnsweredNoClosesTheWindow() {
    VirtualRig rig(Behind::Simulator);
    (void)rig.controller->handle(sim::RequestFrame{'M', 63, 0, 0}, rig.pacer.now());
    (void)rig.controller->handle(sim::RequestFrame{'U', 63, 0x00, 0xFF}, rig.pacer.now());
    rig.dialogs.setAnswer(QMessageBox::No);
    const std::uint16_t speed = rig.simParameter(14);
    rig.showActive();
    QVERIFY(rig.dialogs.texts.contains(rig.text(msg::VehicleDataNotSaved)));
    QVERIFY(!rig.window->isVisible());
    QVERIFY(!rig.link().portOpen());
    QCOMPARE(rig.simParameter(14), speed);
}

void ParametersUiTest::languageSwitchKeepsEverySelectionAndSendsNothing() {
    ReadRig rig;
    // Selections a read would not give, set quietly as a read would show them.
    ui::ParameterControls::SelectQuietly(rig.find<QComboBox>("ComboBoxCewka"), 4);
    ui::ParameterControls::SelectQuietly(rig.find<QComboBox>("ComboBoxSondaLambda2"), 3);
    ui::ParameterControls::SelectQuietly(rig.find<QComboBox>("EditCzasWtryskuPrzyObciazeniu"), 6);
    std::map<QString, int> before;
    for (const char* name : kLists) {
        auto* list = rig.find<QComboBox>(name);
        QVERIFY2(list != nullptr, name);
        before[QString::fromLatin1(name)] = list->currentIndex();
    }
    const QString polish = rig.find<QLabel>("LabelCewka")->text();
    const auto mark = rig.wire.mark();
    QCOMPARE(int(rig.window->languages().selectLanguage(2).outcome), int(i18n::LanguageOutcome::Applied));
    QVERIFY(rig.find<QLabel>("LabelCewka")->text() != polish);
    for (const auto& [name, index] : before)
        QCOMPARE(rig.window->findChild<QComboBox*>(name)->currentIndex(), index);
    QVERIFY(rig.wire.framesAndPausesSince(mark).isEmpty());
    // The ignition list's own hint becomes its help text once it has the focus.
    auto* ignition = rig.find<QComboBox>("ComboBoxCewka");
    rig.focus(ignition);
    QCOMPARE(ignition->toolTip(), rig.text(msg::HelpIgnition));
}

QTEST_MAIN(ParametersUiTest)
#include "parameters_ui_test.moc"
