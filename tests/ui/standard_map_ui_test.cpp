#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

#include "i18n/message_ids.h"
#include "ui/configuration_model.h"
#include "ui/dialogs/map_value_dialog.h"
#include "ui/dialogs/point_editor_dialog.h"
#include "ui/main_menu.h"
#include "ui/pages/standard_map_page.h"
#include "ui/widgets/map_graph_image.h"
#include "ui_rig.h"

using namespace sequaflow;
using testing_support::Behind;
using testing_support::VirtualRig;

namespace {

QString Hex(int byte) { return QStringLiteral("%1").arg(byte & 0xFF, 2, 16, QLatin1Char('0')).toUpper(); }

// One standard-map cell as the controller takes it: the cell, its store word, each frame summed into its
// checksum byte and closed with ':'.
QStringList StdCellFrames(int k, int byte) {
    return {QStringLiteral("send 21 %1 %1 %2 %3 3A  StdMapSet %4 = %5")
                .arg(Hex(k), Hex(byte), Hex(0x21 + k + k + byte)).arg(k).arg(byte),
            QStringLiteral("pause 10"),
            QStringLiteral("send 34 %1 00 00 %2 3A  CorrWordSelect %3").arg(Hex(k), Hex(0x34 + k)).arg(k),
            QStringLiteral("pause 30"),
            QStringLiteral("send 37 %1 00 %2 %3 3A  CorrWordStore %4 = 0x00%2")
                .arg(Hex(k), Hex(byte), Hex(0x37 + k + byte)).arg(k),
            QStringLiteral("pause 10")};
}

// One characteristic point: its value and its store word, the 16-bit value big-endian.
QStringList PointFrames(int i, int value) {
    const int hi = value >> 8;
    const int lo = value & 0xFF;
    const QString v = QStringLiteral("0x%1").arg(value, 4, 16, QLatin1Char('0')).toUpper().replace(QLatin1String("0X"), QLatin1String("0x"));
    return {QStringLiteral("send 5D %1 %2 %3 %4 3A  PointSet %5 = %6")
                .arg(Hex(i), Hex(hi), Hex(lo), Hex(0x5D + i + hi + lo)).arg(i).arg(v),
            QStringLiteral("pause 10"),
            QStringLiteral("send 3E %1 00 00 %2 3A  MapWordSelect %3").arg(Hex(i), Hex(0x3E + i)).arg(i),
            QStringLiteral("pause 20"),
            QStringLiteral("send 5F %1 %2 %3 %4 3A  MapWordStore %5 = %6")
                .arg(Hex(i), Hex(hi), Hex(lo), Hex(0x5F + i + hi + lo)).arg(i).arg(v),
            QStringLiteral("pause 30")};
}

// One parameter written: select, store and set, each frame summed into its checksum byte.
QStringList ParamFrames(int n, int value) {
    const int hi = value >> 8;
    const int lo = value & 0xFF;
    const QString v = QStringLiteral("0x") + QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
    return {QStringLiteral("pause 10"),
            QStringLiteral("send 4B %1 00 00 %2 3A  ParamSelect %3").arg(Hex(n), Hex(0x4B + n)).arg(n),
            QStringLiteral("pause 30"),
            QStringLiteral("send 45 %1 %2 %3 %4 3A  ParamStore %5 = %6")
                .arg(Hex(n), Hex(hi), Hex(lo), Hex(0x45 + n + hi + lo)).arg(n).arg(v),
            QStringLiteral("pause 20"),
            QStringLiteral("send 44 %1 %2 %3 %4 3A  ParamSet %5 = %6")
                .arg(Hex(n), Hex(hi), Hex(lo), Hex(0x44 + n + hi + lo)).arg(n).arg(v)};
}

struct MapRig : VirtualRig {
    MapRig() : VirtualRig(Behind::Simulator) {
        activate();
        // Room for the graph's designed size (on a smaller window it narrows: see the layout test).
        window->resize(1400, 900);
        window->show();
        // Active, so that leaving a field is a focus change the field hears.
        window->activateWindow();
        QCoreApplication::processEvents();
        window->showPage(window->page(QStringLiteral("TabSheet7")));
    }
    ui::StandardMapPage* page() const { return window->findChild<ui::StandardMapPage*>(QStringLiteral("TabSheet7")); }
    int stdByte(int k) const { return state.maps.stdByte(k); }
};

}  // namespace

class StandardMapUiTest : public QObject {
    Q_OBJECT
private slots:
    void stripStepSendsAllTwelveCellsAndShowsTheNewValue();
    void typedFieldIsLimitedSentOnEnterAndNotResentOnLeaving();
    void enterAndDoubleClickInTheStripSetTypedValues();
    void copyAndPasteInTheStrip();
    void clickIntoTheGraphSetsTheSegmentToThePointerHeight();
    void presetAndSaveSendAllSeventeenPoints();
    void pointsThatDoNotRiseAreRefusedBeforeAnythingIsSent();
    void mapButtonsSetTheMapModeAndOpenTheirPage();
    void idleSlidersWriteParameterThreeAndFollowEachOther();
    void everyControlOfThePageFitsTheWindow();
};

void StandardMapUiTest::stripStepSendsAllTwelveCellsAndShowsTheNewValue() {
    MapRig rig;
    QVERIFY(rig.state.maps.cellMaximum() == 50);
    std::array<int, 12> before{};
    for (int k = 0; k < 12; ++k) before[static_cast<std::size_t>(k)] = rig.stdByte(k);
    QVERIFY(before[3] < 150);  // below +50: the step is not limited away
    auto* strip = rig.find<QTableWidget>("StringPasek");
    strip->setCurrentCell(0, 3);
    QCOMPARE(rig.page()->selectedRun(), (maps::StripRun{3, 3}));

    const auto mark = rig.wire.mark();
    rig.find<QPushButton>("ButtonPL1stdm")->click();
    QStringList expected;
    for (int k = 0; k < 12; ++k) {
        const int byte = before[static_cast<std::size_t>(k)] + (k == 3 ? 1 : 0);
        expected << StdCellFrames(k, byte);
    }
    QCOMPARE(rig.wire.framesAndPausesSince(mark), expected);
    const QString shown = QString::number(before[3] + 1 - 100);
    QCOMPARE(rig.find<QLineEdit>("Edit_16")->text(), shown);
    QCOMPARE(strip->item(0, 3)->text(), shown);
    QCOMPARE(int(rig.controller->running().stdMap[3]), before[3] + 1);
}

void StandardMapUiTest::typedFieldIsLimitedSentOnEnterAndNotResentOnLeaving() {
    MapRig rig;
    auto* field = rig.find<QLineEdit>("Edit_20");  // cell 7
    field->setFocus();
    field->setText(QStringLiteral("99"));
    auto mark = rig.wire.mark();
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(rig.wire.framesAndPausesSince(mark), StdCellFrames(7, 150));  // limited to +50
    QCOMPARE(field->text(), QStringLiteral("50"));
    QCOMPARE(rig.find<QTableWidget>("StringPasek")->item(0, 7)->text(), QStringLiteral("50"));
    // Leaving the field as it is sends nothing more; leaving it changed sends it.
    mark = rig.wire.mark();
    rig.find<QLineEdit>("Edit_21")->setFocus();
    QCOMPARE(rig.wire.framesAndPausesSince(mark), QStringList{});
    field->setFocus();
    field->setText(QStringLiteral("-40"));
    rig.find<QLineEdit>("Edit_21")->setFocus();
    QCOMPARE(rig.wire.framesAndPausesSince(mark), StdCellFrames(7, 75));  // limited to -25
    // A window on its way out sends nothing for a field it leaves changed.
    field->setFocus();
    field->setText(QStringLiteral("7"));
    mark = rig.wire.mark();
    rig.window.reset();
    QCOMPARE(rig.wire.framesAndPausesSince(mark), QStringList{});
}

void StandardMapUiTest::enterAndDoubleClickInTheStripSetTypedValues() {
    MapRig rig;
    auto* strip = rig.find<QTableWidget>("StringPasek");
    QString opened;
    const auto answer = [&](const QString& text) {
        rig.dialogs.answerDialog = [&opened, text](QDialog* d) {
            auto* form = qobject_cast<ui::MapValueDialog*>(d);
            if (form == nullptr) return false;
            opened = form->text();
            form->field()->setText(text);
            form->okButton()->click();
            return true;
        };
    };
    const QString first = strip->item(0, 2)->text();
    strip->setCurrentCell(0, 2);
    strip->setRangeSelected(QTableWidgetSelectionRange(0, 2, 0, 4), true);
    QCOMPARE(rig.page()->selectedRun(), (maps::StripRun{2, 4}));
    answer(QStringLiteral("99"));
    auto mark = rig.wire.mark();
    QTest::keyClick(strip, Qt::Key_Return);
    QCOMPARE(opened, first);  // the dialog opens on the run's first cell
    QCOMPARE(rig.wire.framesAndPausesSince(mark), StdCellFrames(2, 150) + StdCellFrames(3, 150) + StdCellFrames(4, 150));
    QCOMPARE(rig.find<QLineEdit>("Edit_17")->text(), QStringLiteral("50"));

    answer(QStringLiteral("-7"));
    mark = rig.wire.mark();
    const QRect cell6 = strip->visualItemRect(strip->item(0, 6));
    // The view takes a double click for its cell only after a press on the same cell, as a real one has.
    QTest::mouseClick(strip->viewport(), Qt::LeftButton, {}, cell6.center());
    QTest::mouseDClick(strip->viewport(), Qt::LeftButton, {}, cell6.center());
    QCOMPARE(rig.wire.framesAndPausesSince(mark), StdCellFrames(6, 93));
    QCOMPARE(strip->item(0, 6)->text(), QStringLiteral("-7"));

    // Aborted: nothing is sent.
    rig.dialogs.answerDialog = nullptr;
    mark = rig.wire.mark();
    QTest::keyClick(strip, Qt::Key_Return);
    QCOMPARE(rig.wire.framesAndPausesSince(mark), QStringList{});
}

void StandardMapUiTest::copyAndPasteInTheStrip() {
    MapRig rig;
    auto* strip = rig.find<QTableWidget>("StringPasek");
    strip->setCurrentCell(0, 0);
    strip->setRangeSelected(QTableWidgetSelectionRange(0, 0, 0, 1), true);
    const int a = rig.stdByte(0) - 100;
    const int b = rig.stdByte(1) - 100;
    QTest::keySequence(strip, QKeySequence::Copy);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("%1\t%2\n").arg(a).arg(b));
    // Pasted from cell 10 on: 2 values into 10 and 11; a third would not fit and sends nothing.
    QGuiApplication::clipboard()->setText(QStringLiteral("-3\t12"));
    strip->clearSelection();
    strip->setRangeSelected(QTableWidgetSelectionRange(0, 10, 0, 10), true);
    auto mark = rig.wire.mark();
    QTest::keySequence(strip, QKeySequence::Paste);
    QCOMPARE(rig.wire.framesAndPausesSince(mark), StdCellFrames(10, 97) + StdCellFrames(11, 112));
    QCOMPARE(rig.find<QLineEdit>("Edit_24")->text(), QStringLiteral("12"));
    QGuiApplication::clipboard()->setText(QStringLiteral("1\t2\t3"));
    mark = rig.wire.mark();
    QTest::keySequence(strip, QKeySequence::Paste);
    QCOMPARE(rig.wire.framesAndPausesSince(mark), QStringList{});
    QCOMPARE(rig.find<QLineEdit>("Edit_23")->text(), QStringLiteral("-3"));
}

void StandardMapUiTest::clickIntoTheGraphSetsTheSegmentToThePointerHeight() {
    MapRig rig;
    auto* page = rig.page();
    const auto& g = page->geometry();
    QCOMPARE(g.zeroY, 198);
    // In the middle of bar 4, 37 pixels above the zero line: 37 / 3.7125 = 9.97, so +9.
    const QPoint at((g.barLeft[4] + g.barRight[4]) / 2, 198 - 37);
    const auto mark = rig.wire.mark();
    QTest::mouseClick(page->graph(), Qt::LeftButton, {}, at);
    QCOMPARE(page->pointerSegment(), 4);
    QCOMPARE(rig.wire.framesAndPausesSince(mark), StdCellFrames(4, 109));
    QCOMPARE(rig.find<QLineEdit>("Edit_17")->text(), QStringLiteral("9"));
    QCOMPARE(rig.find<QTableWidget>("StringPasek")->item(0, 4)->text(), QStringLiteral("9"));
    QCOMPARE(rig.find<QLabel>("LabelSegment")->text(), QStringLiteral("S: 4"));
    QCOMPARE(rig.find<QLabel>("LabelKor")->text(), QStringLiteral("K: 9"));
    // The graph is drawn again from the model: bar 4's top is now at 198 - 33.4125 = 164.
    QCOMPARE(page->geometry().barTop[4], 164);
    const QImage image = page->graph()->image();
    QCOMPARE(image.size(), QSize(678, 297));
    QVERIFY(image.pixelColor(at.x(), 150) == QColor(Qt::white));   // above the bar
    QVERIFY(image.pixelColor(at.x(), 185) != QColor(Qt::white));   // inside it: the colour of +9
    // 10 pixels below the zero line in the same bar: -2.69 towards zero.
    QTest::mouseClick(page->graph(), Qt::LeftButton, {}, QPoint(at.x(), 208));
    QCOMPARE(rig.find<QLineEdit>("Edit_17")->text(), QStringLiteral("-2"));
}

void StandardMapUiTest::presetAndSaveSendAllSeventeenPoints() {
    MapRig rig;
    QCOMPARE(rig.state.image.ignitionType(), 2);  // the periods below are for "4 Cyl."
    QVERIFY(!rig.state.image.fastClock());
    rig.find<QPushButton>("ButtonEditPP")->click();
    auto* dialog = rig.window->findChild<ui::PointEditorDialog*>(QStringLiteral("TForm8"));
    QVERIFY(dialog->isVisible());
    dialog->findChild<QPushButton*>(QStringLiteral("Button3"))->click();
    QCOMPARE(dialog->field(11)->text(), QStringLiteral("20"));
    QCOMPARE(dialog->field(12)->text(), QStringLiteral("+20"));
    QCOMPARE(dialog->field(1)->text(), QStringLiteral("1,5"));
    QCOMPARE(dialog->field(19)->text(), QStringLiteral("+9000"));

    const auto mark = rig.wire.mark();
    dialog->findChild<QPushButton*>(QStringLiteral("BitBtnMapModZapis"))->click();
    QVERIFY(!dialog->isVisible());
    // Periods 230400 / (rpm / 60 x 2): 6912, 2764.8, 1382.4, 1063.4, 921.6, 768; ticks ms x 230.4: 345.6,
    // 460.8, 691.2, 921.6, 1382.4, 1843.2, 2534.4, 2995.2, 3686.4, 4147.2, 4608.
    const int values[17] = {6912, 2764, 1382, 1063, 921, 768, 345, 460, 691, 921, 1382, 1843, 2534, 2995, 3686, 4147, 4608};
    QStringList expected;
    for (int i = 0; i < 17; ++i) expected << PointFrames(i, values[i]);
    QCOMPARE(rig.wire.framesAndPausesSince(mark), expected);
    // The standard page's headers follow the new points.
    QCOMPARE(rig.find<QLabel>("Edit_11")->text(), QStringLiteral("20,0"));
    QCOMPARE(rig.find<QLabel>("Edit_12")->text(), QStringLiteral("+20,0"));
}

void StandardMapUiTest::pointsThatDoNotRiseAreRefusedBeforeAnythingIsSent() {
    MapRig rig;
    auto* dialog = rig.window->findChild<ui::PointEditorDialog*>(QStringLiteral("TForm8"));
    // Shown without modality: the rig answers every modal dialog, and here only the warnings are its to answer.
    dialog->setWindowModality(Qt::NonModal);
    dialog->show();
    dialog->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    dialog->field(5)->setText(QStringLiteral("3"));  // T5 below T4 = 4,5
    rig.dialogs.texts.clear();
    const auto mark = rig.wire.mark();
    dialog->findChild<QPushButton*>(QStringLiteral("BitBtnMapModZapis"))->click();
    QCOMPARE(rig.wire.framesAndPausesSince(mark), QStringList{});
    QCOMPARE(rig.dialogs.texts, QStringList{rig.text(i18n::msg::PointsNotRising).arg(QStringLiteral("3"))});
    QVERIFY(dialog->isVisible());  // left open on the field to fix
    dialog->field(5)->setText(QStringLiteral("6,x"));
    dialog->findChild<QPushButton*>(QStringLiteral("BitBtnMapModZapis"))->click();
    QCOMPARE(rig.wire.framesAndPausesSince(mark), QStringList{});
    QCOMPARE(rig.dialogs.texts.last(), rig.text(i18n::msg::PointNotANumber).arg(QStringLiteral("6,x")));
    dialog->findChild<QPushButton*>(QStringLiteral("BitBtnMapMod"))->click();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(rig.wire.framesAndPausesSince(mark), QStringList{});
}

void StandardMapUiTest::mapButtonsSetTheMapModeAndOpenTheirPage() {
    MapRig rig;
    auto* pages = rig.window->pages();
    auto* grid = rig.window->page(QStringLiteral("TabSheet6"));
    auto* standard = rig.window->page(QStringLiteral("TabSheet7"));
    rig.find<QPushButton>("sbMapAdv")->click();
    QCOMPARE(pages->currentWidget(), grid);
    QVERIFY(pages->isTabVisible(pages->indexOf(grid)));
    QVERIFY(!pages->isTabVisible(pages->indexOf(standard)));
    QCOMPARE(rig.simParameter(47) >> 2 & 3, 1);

    // Choosing the standard map while the controller is in advanced mode switches it at once: parameter 47
    // with the mode in bits 2..3 and nothing else changed.
    const std::uint16_t word = rig.simParameter(47);
    const auto mark = rig.wire.mark();
    rig.find<QPushButton>("sbMapStd")->click();
    const std::uint16_t expected = static_cast<std::uint16_t>((word & ~0x000C) | 0x0008);
    QCOMPARE(rig.simParameter(47), expected);
    QCOMPARE(rig.wire.framesAndPausesSince(mark), ParamFrames(47, expected));
    QCOMPARE(pages->currentWidget(), standard);
    QVERIFY(pages->isTabVisible(pages->indexOf(standard)));
    QVERIFY(!pages->isTabVisible(pages->indexOf(grid)));

    // The menu item of the advanced map, and the readings page's button back to the standard one.
    rig.window->menu().action(QStringLiteral("Mapa1"))->trigger();
    QCOMPARE(pages->currentWidget(), grid);
    QCOMPARE(rig.simParameter(47) >> 2 & 3, 1);
    rig.find<QPushButton>("MapyButton")->click();
    QCOMPARE(pages->currentWidget(), standard);
    QCOMPARE(rig.simParameter(47) >> 2 & 3, 2);

    // A read that finds the advanced map shows its page's tab, the hidden mode list the report reads,
    // and disables the single correction that only the no-map mode uses.
    auto* modeList = rig.find<QComboBox>("ComboBoxMapa");
    QCOMPARE(modeList->currentText(), QStringLiteral("Mapa Obciazeniowa"));
    QVERIFY(!rig.find<QLineEdit>("EditWzbogacanieMieszanki")->isEnabled());
    rig.window->showPage(rig.window->page(QStringLiteral("TabSheet1")));
    rig.window->model().replace([](params::ProgramState& state) { state.image.setField(params::field::MapMode, 1); });
    QVERIFY(pages->isTabVisible(pages->indexOf(grid)));
    QVERIFY(!pages->isTabVisible(pages->indexOf(standard)));
    QCOMPARE(pages->currentWidget(), rig.window->page(QStringLiteral("TabSheet1")));
    QCOMPARE(modeList->currentText(), QStringLiteral("Mapa Obciazenie + RPM"));
    rig.window->model().replace([](params::ProgramState& state) { state.image.setField(params::field::MapMode, 0); });
    QVERIFY(rig.find<QLineEdit>("EditWzbogacanieMieszanki")->isEnabled());
    QCOMPARE(modeList->currentText(), QStringLiteral("Bez Mapy"));
}

void StandardMapUiTest::idleSlidersWriteParameterThreeAndFollowEachOther() {
    MapRig rig;
    auto* one = rig.find<QSlider>("AbHSlider1");
    auto* two = rig.find<QSlider>("AbHSlider2");
    QVERIFY(one && two);
    QCOMPARE(one->minimum(), -100);
    QCOMPARE(one->maximum(), 300);
    // The factory's +0.40 ms: 92 ticks = 0.399 ms.
    QCOMPARE(one->value(), 40);
    const auto mark = rig.wire.mark();
    one->setValue(50);  // 0.5 ms: 0.5 x 230.4 = 115.2
    QCOMPARE(rig.wire.framesAndPausesSince(mark), ParamFrames(3, 115));
    QCOMPARE(rig.simParameter(3), 115);
    QCOMPARE(two->value(), 50);
    two->setValue(-100);  // -1.0 ms: -230.4 towards zero, as a 16-bit word
    QCOMPARE(rig.simParameter(3), 0x10000 - 230);
    QCOMPARE(one->value(), -100);
}

void StandardMapUiTest::everyControlOfThePageFitsTheWindow() {
    MapRig rig;
    rig.window->resize(1180, 800);
    QCoreApplication::processEvents();
    auto* page = rig.page();
    // Narrower than designed: drawn again for the width it has, the last bar ending 2 pixels short of it.
    QVERIFY(page->graph()->width() < 678);
    QCOMPARE(page->graph()->image().width(), page->graph()->width());
    QCOMPARE(page->geometry().barRight[11], page->graph()->width() - 2);
    for (const char* name : {"Image1", "StringPasek", "ButtonMi5stdm", "Edit_24", "LabelInfoMAP", "AbHSlider1",
                             "ButtonEditPP", "AbBar1", "LabelMoB1"}) {
        auto* w = page->findChild<QWidget*>(QString::fromLatin1(name));
        QVERIFY2(w && w->isVisible(), name);
        const QRect inPage(w->mapTo(page, QPoint(0, 0)), w->size());
        QVERIFY2(page->rect().contains(inPage), name);
    }
    // A look at it, for whoever changes the layout: some segments lowered below zero, the last ones raised.
    auto* strip = rig.find<QTableWidget>("StringPasek");
    strip->setRangeSelected(QTableWidgetSelectionRange(0, 5, 0, 7), true);
    for (int i = 0; i < 6; ++i) rig.find<QPushButton>("ButtonMi5stdm")->click();
    strip->clearSelection();
    strip->setRangeSelected(QTableWidgetSelectionRange(0, 10, 0, 11), true);
    for (int i = 0; i < 5; ++i) rig.find<QPushButton>("ButtonPL5stdm")->click();
    QCOMPARE(rig.find<QLineEdit>("Edit_19")->text(), QStringLiteral("-15"));
    QCOMPARE(rig.find<QLineEdit>("Edit_24")->text(), QStringLiteral("40"));
    page->grab().save(QDir::tempPath() + QStringLiteral("/standard_map_page.png"));
    rig.find<QPushButton>("ButtonEditPP")->click();
    auto* dialog = rig.window->findChild<ui::PointEditorDialog*>(QStringLiteral("TForm8"));
    dialog->grab().save(QDir::tempPath() + QStringLiteral("/point_editor.png"));
    QVERIFY(dialog->field(19)->text().startsWith(QLatin1Char('+')));
}

QTEST_MAIN(StandardMapUiTest)
#include "standard_map_ui_test.moc"
