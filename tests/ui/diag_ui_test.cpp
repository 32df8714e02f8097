#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include "i18n/message_ids.h"
#include "ui/main_menu.h"
#include "ui/pages/errors_page.h"
#include "ui_rig.h"

using namespace sequaflow;
using testing_support::Behind;
using testing_support::VirtualRig;
namespace msg = i18n::msg;

namespace {

struct DiagRig : VirtualRig {
    explicit DiagRig(Behind behind = Behind::Simulator) : VirtualRig(behind) { activate(); }
    void tick() { window->readings().tick(); }
    QPushButton* injectorSwitch(int n) const {
        return window->findChild<QPushButton*>(QStringLiteral("ButtonW%1").arg(n));
    }
    QString memo() const { return find<QPlainTextEdit>("MemoBledy")->toPlainText(); }
    QColor memoColour() const { return find<QPlainTextEdit>("MemoBledy")->palette().color(QPalette::Text); }
    QStringList framesSince(qsizetype from) const { return wire.framesAndPausesSince(from); }
};

QColor SwitchColour(QPushButton* b) { return b->palette().color(QPalette::ButtonText); }

}  // namespace

class DiagUiTest : public QObject {
    Q_OBJECT
private slots:
    void injectorThreeOffAndOnSendsTheMaskAndFollowsTheController();
    void switchesShowTheReportedMaskAndLeavingAsksAboutIt();
    void aSwitchWithoutAControllerSendsAndChangesNothing();
    void errorPageListsTheFrameAndClears();
    void workTimeBoxAndResetButtons();
};

void DiagUiTest::injectorThreeOffAndOnSendsTheMaskAndFollowsTheController() {
    DiagRig rig;
    rig.tick();
    QPushButton* w3 = rig.injectorSwitch(3);
    QCOMPARE(w3->text(), rig.text(msg::InjectorOn));
    QCOMPARE(SwitchColour(w3), QColor(Qt::red));

    auto mark = rig.wire.mark();
    w3->click();
    QCOMPARE(rig.framesSince(mark), QStringList{QStringLiteral("send 4F 00 00 04 53 3A  SetInjectorTestMask 0x0004")});
    QCOMPARE(w3->text(), rig.text(msg::InjectorOff));
    QCOMPARE(SwitchColour(w3), QColor(Qt::black));
    rig.tick();
    QCOMPARE(rig.state.words[live::word::TestMask], 0x0004u);  // the controller reports it back
    QCOMPARE(w3->text(), rig.text(msg::InjectorOff));

    mark = rig.wire.mark();
    w3->click();
    QCOMPARE(rig.framesSince(mark), QStringList{QStringLiteral("send 4F 00 00 00 4F 3A  SetInjectorTestMask 0x0000")});
    QCOMPARE(w3->text(), rig.text(msg::InjectorOn));
    QCOMPARE(SwitchColour(w3), QColor(Qt::red));
    rig.tick();
    QCOMPARE(w3->text(), rig.text(msg::InjectorOn));
}

void DiagUiTest::switchesShowTheReportedMaskAndLeavingAsksAboutIt() {
    DiagRig rig;
    // The controller has injectors 2 and 5 off (and a high byte of its own) without a click of ours.
    rig.controller->engine().setTestMask(0x3012);
    rig.tick();
    for (int n = 1; n <= 8; ++n) {
        const bool off = n == 2 || n == 5;
        QCOMPARE(rig.injectorSwitch(n)->text(), rig.text(off ? msg::InjectorOff : msg::InjectorOn));
    }
    // A click toggles the reported value and sends the high byte back unchanged.
    const auto mark = rig.wire.mark();
    rig.injectorSwitch(1)->click();
    QCOMPARE(rig.framesSince(mark), QStringList{QStringLiteral("send 4F 00 30 13 92 3A  SetInjectorTestMask 0x3013")});
    rig.injectorSwitch(1)->click();

    auto* pages = rig.window->pages();
    QWidget* diag = rig.window->page(QStringLiteral("TabSheet10"));
    rig.window->showPage(diag);
    rig.dialogs.setAnswer(QMessageBox::No);
    rig.dialogs.texts.clear();
    rig.find<QPushButton>("ButtonExitDiag")->click();
    QCOMPARE(rig.dialogs.texts, QStringList{QStringLiteral("Uwaga wtryskiwacz(e) 2 5  zostały wyłączone, kontynuować")});
    QCOMPARE(pages->currentWidget(), diag);
    // Leaving by a shortcut asks too.
    rig.window->showPage(rig.window->page(QStringLiteral("TabSheet2")));
    QCOMPARE(rig.dialogs.texts.size(), 2);
    QCOMPARE(pages->currentWidget(), diag);

    rig.dialogs.setAnswer(QMessageBox::Yes);
    rig.find<QPushButton>("ButtonExitDiag")->click();
    QCOMPARE(rig.dialogs.texts.size(), 3);  // asked once, not again by the page change
    QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("TabSheet4"));
    QVERIFY(!pages->isTabVisible(pages->indexOf(rig.window->page(QStringLiteral("TabSheet6")))));
}

void DiagUiTest::aSwitchWithoutAControllerSendsAndChangesNothing() {
    DiagRig rig(Behind::Nothing);
    const auto mark = rig.wire.mark();
    rig.injectorSwitch(4)->click();
    QVERIFY(rig.wire.commandsSince(mark).isEmpty());
    QCOMPARE(rig.injectorSwitch(4)->text(), QStringLiteral("on"));
    QCOMPARE(SwitchColour(rig.injectorSwitch(4)), QColor(Qt::red));
}

void DiagUiTest::errorPageListsTheFrameAndClears() {
    DiagRig rig;
    QCOMPARE(rig.memo(), QStringLiteral("Status\n\nBrak Błędów\n"));
    rig.controller->engine().setInjectorFaults(0x05, 0);
    rig.pacer.pause(50);  // the engine model notices them
    rig.tick();
    rig.find<QPushButton>("ButtonsERRORSshow")->click();
    QVERIFY2(rig.memo().contains(QStringLiteral("\n11: Wtryskiwacz Gazowy Uszkodzony:\n1\n3\n\n")), qPrintable(rig.memo()));
    QVERIFY(rig.memo().startsWith(QStringLiteral("Status\n\nWystąpiły Błędy ! :\n\n")));
    QCOMPARE(rig.memoColour(), QColor(Qt::red));

    const auto mark = rig.wire.mark();
    rig.find<QPushButton>("ButtonsERRORS")->click();
    QCOMPARE(rig.framesSince(mark), QStringList{QStringLiteral("send 58 00 00 00 58 3A  ClearErrors")});
    QCOMPARE(rig.memo(), QStringLiteral("Status\n\nBrak Błędów\n"));
    QCOMPARE(rig.memoColour(), QColor(Qt::black));

    // The list keeps saying so until asked again. The injector was repaired and is stored from before: the
    // lamp's menu twin shows the list of the last frame on the error page.
    rig.controller->engine().setInjectorFaults(0, 0);
    rig.controller->engine().setInjectorFaults(0x02, 0);
    rig.pacer.pause(50);
    rig.tick();
    rig.controller->engine().setInjectorFaults(0, 0);
    rig.pacer.pause(50);
    rig.tick();
    QCOMPARE(rig.memo(), QStringLiteral("Status\n\nBrak Błędów\n"));
    rig.window->showPage(rig.window->page(QStringLiteral("TabSheet2")));
    rig.window->menu().action(QStringLiteral("OdczytajKodyBdw1"))->trigger();
    QCOMPARE(rig.window->pages()->currentWidget()->objectName(), QStringLiteral("TabSheet11"));
    QVERIFY2(rig.memo().endsWith(QStringLiteral("Stare Zapamiętane BŁĘDY:\n\n11: Wtryskiwacz Gazowy Uszkodzony:\n")),
             qPrintable(rig.memo()));
    QCOMPARE(rig.memoColour(), QColor(Qt::red));
}

void DiagUiTest::workTimeBoxAndResetButtons() {
    DiagRig rig;
    rig.dialogs.texts.clear();
    auto mark = rig.wire.mark();
    rig.window->menu().action(QStringLiteral("OdczytajCzasPracy1"))->trigger();
    QCOMPARE(rig.wire.commandsSince(mark),
             (QStringList{QStringLiteral("ParamRead"), QStringLiteral("ParamRead"), QStringLiteral("ParamRead"),
                          QStringLiteral("ParamRead")}));
    QCOMPARE(rig.dialogs.texts.size(), 1);
    QVERIFY(rig.dialogs.texts[0].startsWith(QStringLiteral("Czas pracy na benzynie:\nDoby: ")));

    mark = rig.wire.mark();
    rig.find<QPushButton>("Button12")->click();
    QCOMPARE(rig.framesSince(mark),
             (QStringList{QStringLiteral("pause 10"), QStringLiteral("send 4B 23 00 00 6E 3A  ParamSelect 35"),
                          QStringLiteral("pause 30"), QStringLiteral("send 45 23 00 00 68 3A  ParamStore 35 = 0x0000"),
                          QStringLiteral("pause 20"), QStringLiteral("send 4B 24 00 00 6F 3A  ParamSelect 36"),
                          QStringLiteral("pause 30"), QStringLiteral("send 45 24 00 00 69 3A  ParamStore 36 = 0x0000"),
                          QStringLiteral("pause 20"), QStringLiteral("send 44 23 00 00 67 3A  ParamSet 35 = 0x0000"),
                          QStringLiteral("pause 10"), QStringLiteral("send 44 24 00 00 68 3A  ParamSet 36 = 0x0000"),
                          QStringLiteral("pause 10")}));
    QCOMPARE(rig.simParameter(35), std::uint16_t{0});
    mark = rig.wire.mark();
    rig.find<QPushButton>("ButtonResetLPGT")->click();
    QCOMPARE(rig.wire.commandsSince(mark).size(), 6);
}

QTEST_MAIN(DiagUiTest)
#include "diag_ui_test.moc"
