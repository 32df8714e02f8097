#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include "link/commands.h"
#include "ui/main_menu.h"
#include "ui_rig.h"

using namespace sequaflow;
using testing_support::Behind;
using testing_support::VirtualRig;

namespace {

struct EmissionRig : VirtualRig {
    EmissionRig() : VirtualRig(Behind::Simulator) {
        activate();
        // Reached from the Options menu; the tab itself stays hidden.
        window->menu().action(QStringLiteral("Emisja1"))->trigger();
    }
    QLineEdit* edit(const char* name) const { return find<QLineEdit>(name); }
    void click(const char* name) const { find<QPushButton>(name)->click(); }
    // The frames of one correction-store write as the wire shows them: the set, 10, select, 30, store, 10.
    static QStringList StoreWrite(const QString& set, const QString& select, const QString& store) {
        return {set, QStringLiteral("pause 10"), select, QStringLiteral("pause 30"), store, QStringLiteral("pause 10")};
    }
};

bool ContainsRun(const QStringList& lines, const QStringList& run) {
    for (qsizetype i = 0; i + run.size() <= lines.size(); ++i)
        if (lines.mid(i, run.size()) == run) return true;
    return false;
}

}  // namespace

class EmissionUiTest : public QObject {
    Q_OBJECT
private slots:
    void savingTheMapSendsLimitedValuesAndCorrectsTheFields();
    void aTextThatIsNoNumberStopsTheMapSaveThere();
    void readAfterResetShowsTheResetValues();
    void switchesShowTheLastParameterReadNotTheController();
    void enteringAFieldShowsItsDescription();
};

void EmissionUiTest::savingTheMapSendsLimitedValuesAndCorrectsTheFields() {
    EmissionRig rig;
    QCOMPARE(rig.window->pages()->currentWidget()->objectName(), QStringLiteral("TabSheetEmisja"));
    QCOMPARE(rig.edit("EditT3")->text(), QStringLiteral("30"));
    rig.edit("EditT3K")->setText(QStringLiteral("150"));
    rig.edit("EditT2")->setText(QStringLiteral("-5"));
    rig.edit("EditT4K")->setText(QStringLiteral("-7"));
    rig.find<QComboBox>("ComboBoxMapaTemp")->setCurrentIndex(1);

    const auto mark = rig.wire.mark();
    rig.click("Button16");
    QCOMPARE(rig.edit("EditT3K")->text(), QStringLiteral("100"));
    QCOMPARE(rig.edit("EditT2")->text(), QStringLiteral("0"));
    QCOMPARE(rig.edit("EditT4K")->text(), QStringLiteral("-7"));
    const QStringList lines = rig.wire.framesAndPausesSince(mark);
    // Parameter 47 first: map mode 2 and the activation bit.
    QCOMPARE(lines.mid(0, 7), (QStringList{QStringLiteral("pause 10"),
                                           QStringLiteral("send 4B 2F 00 00 7A 3A  ParamSelect 47"),
                                           QStringLiteral("pause 30"),
                                           QStringLiteral("send 45 2F 00 48 BC 3A  ParamStore 47 = 0x0048"),
                                           QStringLiteral("pause 20"),
                                           QStringLiteral("send 44 2F 00 48 BB 3A  ParamSet 47 = 0x0048"),
                                           QStringLiteral("send 5E 00 00 64 C2 3A  TempCorrSet 0 = 100")}));
    QVERIFY(ContainsRun(lines, EmissionRig::StoreWrite(QStringLiteral("send 5E 02 02 C8 2A 3A  TempCorrSet 2 = 200"),
                                                       QStringLiteral("send 34 17 00 00 4B 3A  CorrWordSelect 23"),
                                                       QStringLiteral("send 37 17 00 C8 16 3A  CorrWordStore 23 = 0x00C8"))));
    QVERIFY(ContainsRun(lines, EmissionRig::StoreWrite(QStringLiteral("send 25 01 01 00 27 3A  TempPointSet 1 = 0"),
                                                       QStringLiteral("send 34 11 00 00 45 3A  CorrWordSelect 17"),
                                                       QStringLiteral("send 37 11 00 00 48 3A  CorrWordStore 17 = 0x0000"))));
    // Six enrichments and five breakpoints, three frames and three pauses each, after the seven of 47.
    QCOMPARE(lines.size(), 6 + 11 * 6);
    QCOMPARE(rig.controller->running().tempCorr[2], 200);
    QCOMPARE(rig.controller->running().tempCorr[3], 93);
    QCOMPARE(rig.controller->running().tempPoints[1], 0);
    QCOMPARE(rig.simParameter(47), 0x0048);
    QVERIFY(rig.dialogs.texts.isEmpty());

    // What the page looks like on a workshop screen.
    if (const QByteArray dir = qgetenv("SEQUAFLOW_GRAB_DIR"); !dir.isEmpty()) {
        rig.window->resize(1024, 768);
        QVERIFY(rig.window->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/emission_page.png")));
    }
}

void EmissionUiTest::aTextThatIsNoNumberStopsTheMapSaveThere() {
    EmissionRig rig;
    rig.edit("EditT2K")->setText(QStringLiteral("5"));
    rig.edit("EditT4K")->setText(QStringLiteral("abc"));
    rig.edit("EditT6K")->setText(QStringLiteral("500"));
    const auto lastBefore = rig.controller->running().tempCorr[5];
    const auto mark = rig.wire.mark();
    rig.click("Button16");
    QCOMPARE(rig.dialogs.texts, QStringList{QStringLiteral("'abc' is not a valid integer value")});
    QCOMPARE(rig.edit("EditT6K")->text(), QStringLiteral("500"));  // not reached
    QCOMPARE(rig.controller->running().tempCorr[1], 105);
    QCOMPARE(rig.controller->running().tempCorr[5], lastBefore);
    QStringList sets;
    for (const QString& l : rig.wire.framesAndPausesSince(mark))
        if (l.contains(QStringLiteral("TempCorrSet")) || l.contains(QStringLiteral("TempPointSet"))) sets << l;
    QCOMPARE(sets.size(), 3);
}

void EmissionUiTest::readAfterResetShowsTheResetValues() {
    EmissionRig rig;
    rig.edit("EditLambdaGora")->setText(QStringLiteral("1,5"));
    rig.edit("EditMaxKor")->setText(QStringLiteral("12000"));
    // The page's start text of 100 rpm is a period of 69120 on four cylinders: refused rather than wrapped
    // into the 16-bit word (where it would read back as about 1900 rpm). What came before it went out.
    rig.click("Button38");
    QCOMPARE(rig.dialogs.texts,
             QStringList{QStringLiteral("'100' gives 69120, which does not fit the controller's word (0..65535)")});
    QCOMPARE(rig.controller->running().lambda[0], 1228);  // 1.5 x 819.2 = 1228.8
    QCOMPARE(rig.controller->running().lambda[2], 12000);
    QCOMPARE(rig.simParameter(47), 0x0008);
    rig.dialogs.texts.clear();
    rig.edit("EditRpmMin")->setText(QStringLiteral("1000"));
    rig.click("Button38");
    QCOMPARE(rig.controller->running().lambda[10], 6912);  // 230400 x 60 / (2 x 1000)
    // Switches 7..10 on as the page starts, bit 11 off, map mode kept.
    QCOMPARE(rig.simParameter(47), 0x0788);

    rig.click("Button42");
    QCOMPARE(rig.edit("EditLambdaGora")->text(), QStringLiteral("1,5"));  // the fields keep their texts
    QCOMPARE(rig.simParameter(47), 0x0008);
    QCOMPARE(rig.controller->running().tempPoints[4], 21);

    rig.click("Button39");
    const char* names[] = {"EditLambdaGora", "EditLambdaDol", "EditMaxKor",  "EditMinKor", "EditNarastUp", "EditNarastDown",
                           "EditKorTimeDown", "EditKorTimeUp", "EditInjMin", "EditInjMax", "EditRpmMin",   "EditRpmMax"};
    const char* expected[] = {"0,75", "0,40", "10100", "10000", "100", "100", "100", "100", "2,0", "12,0", "2000", "5000"};
    for (int i = 0; i < 12; ++i) QCOMPARE(rig.edit(names[i])->text(), QString::fromLatin1(expected[i]));
    // The switches as the parameter read left them: nothing asked, so still the start-up read's.
    QCOMPARE(rig.find<QComboBox>("ComboBoxFiltrIner")->currentIndex(), 0);
    QCOMPARE(rig.find<QComboBox>("ComboBoxWolnozmienna")->currentIndex(), 0);

    rig.click("ButtonOdczytMapy");
    QCOMPARE(rig.edit("EditT1")->text(), QStringLiteral("1"));
    QCOMPARE(rig.edit("EditT5")->text(), QStringLiteral("21"));
    QCOMPARE(rig.edit("EditT6K")->text(), QStringLiteral("0"));
    QVERIFY(rig.dialogs.texts.isEmpty());
}

void EmissionUiTest::switchesShowTheLastParameterReadNotTheController() {
    EmissionRig rig;
    // Another tool switches everything on after the program read the parameters (map mode 2 only).
    link::WriteParamSequence(rig.link(), 47, 0x0F88);
    QCOMPARE(rig.simParameter(47), 0x0F88);
    const auto mark = rig.wire.mark();
    rig.click("Button39");
    for (const char* name : {"ComboBoxFiltrIner", "ComboBoxInercLambda", "ComboBoxInercRPM", "ComboBoxObcKorekt",
                             "ComboBoxWolnozmienna"})
        QCOMPARE(rig.find<QComboBox>(name)->currentIndex(), 0);
    // Twelve setting requests and nothing else: no parameter is asked for.
    QStringList sent;
    for (const QString& l : rig.wire.framesAndPausesSince(mark))
        if (l.startsWith(QStringLiteral("send"))) sent << l;
    QCOMPARE(sent.size(), 12);
    for (const QString& l : sent) QVERIFY2(l.contains(QStringLiteral("LambdaRead")), qPrintable(l));
}

void EmissionUiTest::enteringAFieldShowsItsDescription() {
    EmissionRig rig;
    rig.showActive();
    auto* memo = rig.find<QPlainTextEdit>("MemoEmisja");
    QCOMPARE(memo->toPlainText(), QStringLiteral("Wybierz parametr aby zobaczyc jego opis."));
    rig.edit("EditRpmMax")->setFocus();
    QCOMPARE(memo->toPlainText(), QStringLiteral("Opis Obr/min - max"));
    rig.find<QComboBox>("ComboBoxObcKorekt")->setFocus();
    QCOMPARE(memo->toPlainText(), QStringLiteral("Opis Ograniczenia od wtrysku"));
    rig.edit("EditT4K")->setFocus();
    QCOMPARE(memo->toPlainText(), QStringLiteral("Opis Zakres temperatur"));
    rig.edit("EditKorTimeDown")->setFocus();
    QCOMPARE(memo->toPlainText(), QStringLiteral("Opis Czas trwania korekty - dol"));
}

QTEST_MAIN(EmissionUiTest)
#include "emission_ui_test.moc"
