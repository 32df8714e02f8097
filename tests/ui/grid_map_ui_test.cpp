#include <QApplication>
#include <QClipboard>
#include <QTabWidget>
#include <QtTest>
#include <set>
#include <tuple>

#include "i18n/message_ids.h"
#include "i18n/sequence_status.h"
#include "live/conversions.h"
#include "live/live_frame.h"
#include "ui/configuration_model.h"
#include "ui/connection_controller.h"
#include "ui/dialogs/map_value_dialog.h"
#include "ui/live_feed.h"
#include "ui/main_menu.h"
#include "ui/map_editor.h"
#include "ui/pages/grid_map_page.h"
#include "ui_rig.h"

using namespace sequaflow;
using testing_support::Behind;
using testing_support::VirtualRig;

namespace {

// The window on the simulated controller, read at activation (every cell +15, the standard points), with
// the grid map page shown.
struct GridRig : VirtualRig {
    GridRig() : VirtualRig(Behind::Simulator) {
        activate();
        showActive();
        window->applyMapMode(1);
        window->showPage(&page());
        QCoreApplication::processEvents();
    }
    ui::GridMapPage& page() { return window->gridMapPage(); }
    ui::MapGrid* grid() { return page().grid(); }
    QString cell(int column, int row) { return grid()->item(row, column)->text(); }
    void select(int left, int top, int right, int bottom) { grid()->selectBlock({left, top, right, bottom}); }
    QPushButton* button(const char* name) { return find<QPushButton>(name); }
    // TForm7 answered with `text` and OK; the text it opened with is kept.
    void answerForm7(const QString& text) {
        dialogs.answerDialog = [this, text](QDialog* d) {
            auto* form = qobject_cast<ui::MapValueDialog*>(d);
            if (form == nullptr) return false;
            form7Opened = form->text();
            form->field()->setText(text);
            form->okButton()->click();
            return true;
        };
    }
    QColor paintedAt(int column, int row) {
        const QRect r = grid()->visualRect(grid()->model()->index(row, column));
        return grid()->viewport()->grab().toImage().pixelColor(r.bottomRight() - QPoint(3, 3));
    }
    QString form7Opened;
};

// "GridCellSet row R col C = B" of the frames sent since `from`, as (row, column, byte).
std::multiset<std::tuple<int, int, int>> CellsSentSince(const VirtualRig& rig, qsizetype from) {
    std::multiset<std::tuple<int, int, int>> out;
    static const QRegularExpression re(QStringLiteral("GridCellSet row (\\d+) col (\\d+) = (\\d+)$"));
    for (const QString& line : rig.wire.framesAndPausesSince(from)) {
        const auto m = re.match(line);
        if (m.hasMatch()) out.insert({m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()});
    }
    return out;
}

}  // namespace

class GridMapUiTest : public QObject {
    Q_OBJECT
private slots:
    void plusFiveOnABlockSendsEachCellRightToLeftBottomUp();
    void theSelectionStaysOnTheDataCells();
    void aTypedValueIsLimitedAndABadOneSendsNothing();
    void undoOfAGradientRestoresAndSendsExactlyItsCells();
    void pasteAndCopyAsTabSeparatedText();
    void cellsArePaintedByValueWithTheOperatingPointInRed();
    void theValueDialogTakesOnlySignedDigitsAndKeepsItsText();
    void withoutAControllerAnEditSendsNothingAndLeavesNoHistory();
};

void GridMapUiTest::plusFiveOnABlockSendsEachCellRightToLeftBottomUp() {
    GridRig rig;
    QCOMPARE(rig.cell(2, 4), QStringLiteral("+15"));
    QCOMPARE(rig.cell(7, 0), QStringLiteral("+6000"));
    QCOMPARE(rig.cell(0, 12), QStringLiteral("+18,0"));
    QVERIFY(!rig.window->menu().action(QStringLiteral("CofnijMape1"))->isEnabled());
    rig.select(2, 4, 3, 5);
    const auto mark = rig.wire.mark();
    rig.button("ButtonPlus5")->click();
    // Screen column 3 is map column 2, screen row 5 map row 4; each store word pairs rows 2k and 2k+1, the
    // partner taken as the model holds it (row 6 on screen stays +15 = 0x73).
    const QStringList expected = {
        QStringLiteral("send 46 04 02 78 C4 3A  GridCellSet row 4 col 2 = 120"),
        QStringLiteral("pause 10"),
        QStringLiteral("send 3E 20 00 00 5E 3A  MapWordSelect 32"),
        QStringLiteral("pause 20"),
        QStringLiteral("send 5F 20 78 73 6A 3A  MapWordStore 32 = 0x7873"),
        QStringLiteral("pause 20"),
        QStringLiteral("send 46 03 02 78 C3 3A  GridCellSet row 3 col 2 = 120"),
        QStringLiteral("pause 10"),
        QStringLiteral("send 3E 1F 00 00 5D 3A  MapWordSelect 31"),
        QStringLiteral("pause 20"),
        QStringLiteral("send 5F 1F 73 78 69 3A  MapWordStore 31 = 0x7378"),
        QStringLiteral("pause 20"),
        QStringLiteral("send 46 04 01 78 C3 3A  GridCellSet row 4 col 1 = 120"),
        QStringLiteral("pause 10"),
        QStringLiteral("send 3E 1A 00 00 58 3A  MapWordSelect 26"),
        QStringLiteral("pause 20"),
        QStringLiteral("send 5F 1A 78 73 64 3A  MapWordStore 26 = 0x7873"),
        QStringLiteral("pause 20"),
        QStringLiteral("send 46 03 01 78 C2 3A  GridCellSet row 3 col 1 = 120"),
        QStringLiteral("pause 10"),
        QStringLiteral("send 3E 19 00 00 57 3A  MapWordSelect 25"),
        QStringLiteral("pause 20"),
        QStringLiteral("send 5F 19 73 78 63 3A  MapWordStore 25 = 0x7378"),
        QStringLiteral("pause 20"),
    };
    QCOMPARE(rig.wire.framesAndPausesSince(mark), expected);
    for (int column : {2, 3})
        for (int row : {4, 5}) QCOMPARE(rig.cell(column, row), QStringLiteral("+20"));
    QCOMPARE(rig.cell(2, 6), QStringLiteral("+15"));
    QCOMPARE(int{rig.controller->running().grid[7 * 4 + 2]}, 120);
    QVERIFY(rig.window->menu().action(QStringLiteral("CofnijMape1"))->isEnabled());

    // "- 5%" steps back; "- 1%" twice and "+ 1%" once leave the block one lower.
    rig.button("Button3")->click();
    rig.button("Button2")->click();
    rig.button("Button2")->click();
    rig.button("Button1")->click();
    QCOMPARE(rig.cell(3, 5), QStringLiteral("+14"));
    QCOMPARE(int{rig.controller->running().grid[7 * 3 + 1]}, 114);
}

void GridMapUiTest::theSelectionStaysOnTheDataCells() {
    GridRig rig;
    ui::MapGrid* grid = rig.grid();
    grid->setFocus();
    rig.select(1, 1, 1, 1);
    // Up and Left from the first data cell stay on it; Shift+arrows grow the block.
    QTest::keyClick(grid, Qt::Key_Up);
    QTest::keyClick(grid, Qt::Key_Left);
    QCOMPARE(grid->currentIndex().row(), 1);
    QCOMPARE(grid->currentIndex().column(), 1);
    QTest::keyClick(grid, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(grid->selectedBlock(), std::optional<maps::GridBlock>(maps::GridBlock{1, 1, 2, 2}));

    // A click on a cell and a shift-click on the corner header select the data cells up to the corner.
    const auto centre = [grid](int column, int row) {
        return grid->visualRect(grid->model()->index(row, column)).center();
    };
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, centre(3, 4));
    QCOMPARE(grid->selectedBlock(), std::optional<maps::GridBlock>(maps::GridBlock{3, 4, 3, 4}));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ShiftModifier, centre(0, 0));
    QCOMPARE(grid->selectedBlock(), std::optional<maps::GridBlock>(maps::GridBlock{1, 1, 3, 4}));
}

void GridMapUiTest::aTypedValueIsLimitedAndABadOneSendsNothing() {
    GridRig rig;
    rig.select(5, 2, 6, 2);
    rig.answerForm7(QStringLiteral("99"));
    QTest::keyClick(rig.grid(), Qt::Key_Return);
    QCOMPARE(rig.form7Opened, QStringLiteral("+15"));  // the block's top-left cell
    QCOMPARE(rig.cell(5, 2), QStringLiteral("+50"));
    QCOMPARE(rig.cell(6, 2), QStringLiteral("+50"));
    QVERIFY(rig.grid()->isEnabled());

    rig.answerForm7(QStringLiteral("-40"));
    QTest::keyClick(rig.grid(), Qt::Key_Return);
    QCOMPARE(rig.form7Opened, QStringLiteral("+50"));
    QCOMPARE(rig.cell(5, 2), QStringLiteral("-25"));
    QCOMPARE(int{rig.controller->running().grid[7 * 1 + 4]}, 75);

    // "+" alone passes the key filter but is no number: nothing is sent and the status bar says why.
    rig.answerForm7(QStringLiteral("+"));
    const auto mark = rig.wire.mark();
    QTest::keyClick(rig.grid(), Qt::Key_Return);
    QVERIFY(rig.wire.commandsSince(mark).isEmpty());
    QCOMPARE(rig.cell(5, 2), QStringLiteral("-25"));
    QVERIFY2(rig.statusBar().startsWith(rig.text(i18n::msg::SequenceMapEdit) + QStringLiteral(": ")),
             qPrintable(rig.statusBar()));
    QVERIFY(rig.statusBar().contains(QLatin1String("+")));

    // Abort changes nothing.
    rig.dialogs.answerDialog = {};
    QTest::keyClick(rig.grid(), Qt::Key_Return);
    QVERIFY(rig.wire.commandsSince(mark).isEmpty());
}

void GridMapUiTest::undoOfAGradientRestoresAndSendsExactlyItsCells() {
    GridRig rig;
    QAction* undo = rig.window->menu().action(QStringLiteral("CofnijMape1"));
    QAction* redo = rig.window->menu().action(QStringLiteral("PonowMape1"));
    rig.select(4, 6, 4, 6);
    rig.answerForm7(QStringLiteral("8"));
    auto mark = rig.wire.mark();
    rig.button("GradientMap2")->click();
    const auto sent = CellsSentSince(rig, mark);
    // The cell, then rings of 8, 16 and 24 cells around it, all inside the grid.
    QCOMPARE(sent.size(), std::size_t{49});
    QCOMPARE(rig.cell(4, 6), QStringLiteral("+23"));
    QCOMPARE(rig.cell(3, 5), QStringLiteral("+19"));
    QCOMPARE(rig.cell(6, 8), QStringLiteral("+17"));
    QCOMPARE(rig.cell(1, 3), QStringLiteral("+16"));
    QCOMPARE(rig.cell(7, 9), QStringLiteral("+16"));
    QCOMPARE(rig.cell(4, 10), QStringLiteral("+15"));
    QVERIFY(undo->isEnabled());
    QVERIFY(!redo->isEnabled());

    // The keys of the edit menu, once the window is active again after TForm7.
    rig.showActive();
    rig.grid()->setFocus();
    mark = rig.wire.mark();
    QTest::keyClick(rig.grid(), Qt::Key_Z, Qt::ControlModifier);
    std::multiset<std::tuple<int, int, int>> restored;
    for (const auto& [row, column, byte] : sent) restored.insert({row, column, 115});
    QCOMPARE(CellsSentSince(rig, mark), restored);
    QCOMPARE(rig.wire.commandsSince(mark).size(), qsizetype{3 * 49});
    for (int row = 1; row <= 12; ++row)
        for (int column = 1; column <= 7; ++column) QCOMPARE(rig.cell(column, row), QStringLiteral("+15"));
    for (int i = 0; i < 84; ++i) QCOMPARE(int{rig.controller->running().grid[static_cast<std::size_t>(i)]}, 115);
    QVERIFY(!undo->isEnabled());
    QVERIFY(redo->isEnabled());

    mark = rig.wire.mark();
    QTest::keyClick(rig.grid(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(CellsSentSince(rig, mark), sent);
    QCOMPARE(rig.cell(4, 6), QStringLiteral("+23"));

    // A read replaces what the history knew.
    rig.window->connection().readEverything();
    QVERIFY(!undo->isEnabled());
    QVERIFY(!redo->isEnabled());
    QVERIFY(!rig.window->mapEditor().canUndo());

    // So does a change of the cells by anything but an edit (the adaptation writes its results so); a
    // change of the points alone leaves the cells' history as it was.
    rig.button("ButtonPlus5")->click();
    QVERIFY(undo->isEnabled());
    rig.window->model().change([](params::ProgramState& state) { state.maps.setPoint(0, state.maps.point(0) + 1); });
    QVERIFY(undo->isEnabled());
    rig.window->model().change([](params::ProgramState& state) { state.maps.setCell(0, 0, 3); });
    QVERIFY(!undo->isEnabled());
}

void GridMapUiTest::pasteAndCopyAsTabSeparatedText() {
    GridRig rig;
    QClipboard* clipboard = QApplication::clipboard();
    ui::MapGrid* grid = rig.grid();
    grid->setFocus();

    // Three columns from column 6 reach past column 7: nothing changes, the status bar says why.
    clipboard->setText(QStringLiteral("1\t2\t3\n"));
    rig.select(6, 1, 6, 1);
    auto mark = rig.wire.mark();
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(rig.wire.commandsSince(mark).isEmpty());
    QCOMPARE(rig.cell(6, 1), QStringLiteral("+15"));
    QCOMPARE(rig.cell(7, 1), QStringLiteral("+15"));
    QVERIFY2(rig.statusBar().contains(QLatin1String("does not fit")), qPrintable(rig.statusBar()));

    // Not numbers: the same.
    clipboard->setText(QStringLiteral("1\tx"));
    rig.select(1, 1, 1, 1);
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(rig.wire.commandsSince(mark).isEmpty());
    QCOMPARE(rig.cell(1, 1), QStringLiteral("+15"));

    // A block that fits is limited like a typed one and sent cell by cell.
    clipboard->setText(QStringLiteral("1\t-30\r\n0\t70\r\n"));
    rig.select(2, 11, 2, 11);
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(rig.wire.commandsSince(mark).count(QStringLiteral("GridCellSet")), 4);
    QCOMPARE(rig.cell(2, 11), QStringLiteral("+1"));
    QCOMPARE(rig.cell(3, 11), QStringLiteral("-25"));
    QCOMPARE(rig.cell(2, 12), QStringLiteral("0"));
    QCOMPARE(rig.cell(3, 12), QStringLiteral("+50"));

    // Copied back as plain numbers, rows by line.
    rig.select(2, 11, 3, 12);
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), QStringLiteral("1\t-25\n0\t50\n"));
}

void GridMapUiTest::cellsArePaintedByValueWithTheOperatingPointInRed() {
    GridRig rig;
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->setText(QStringLiteral("0"));
    rig.select(1, 1, 1, 1);
    rig.page().pasteBlock();
    rig.select(6, 6, 7, 7);

    // 2500 rpm lies between 2000 and 3000 (column 3); 5 ms between 4,5 and 6 ms (row 5).
    QCOMPARE(rig.page().operatingPoint(), maps::GridPosition{});
    auto& words = rig.window->model().liveWords();
    words[live::word::Period] =
        static_cast<std::uint32_t>(live::RpmToPeriod(2500, rig.window->model().image().ignitionType()));
    words[live::word::PetrolTime1] =
        static_cast<std::uint32_t>(live::MsToTicks(5.0f, rig.window->model().image().fastClock()));
    rig.window->feed().accept({});
    QCOMPARE(rig.page().operatingPoint(), (maps::GridPosition{3, 5}));

    const QColor highlight = rig.grid()->palette().color(QPalette::Active, QPalette::Highlight);
    QCOMPARE(rig.paintedAt(3, 5), QColor(255, 0, 0));
    QCOMPARE(rig.paintedAt(2, 5), QColor(255, 210, 210));  // +15
    QCOMPARE(rig.paintedAt(1, 1), QColor(Qt::white));      // 0 keeps the plain background
    QCOMPARE(rig.paintedAt(6, 6), highlight);              // selected: the selection, not the value

    // The red wins over the selection and follows the engine.
    rig.select(3, 5, 3, 5);
    QCOMPARE(rig.paintedAt(3, 5), QColor(255, 0, 0));
    words[live::word::Period] =
        static_cast<std::uint32_t>(live::RpmToPeriod(7000, rig.window->model().image().ignitionType()));
    rig.window->feed().accept({});
    QCOMPARE(rig.page().operatingPoint(), (maps::GridPosition{7, 5}));
    QCOMPARE(rig.paintedAt(7, 5), QColor(255, 0, 0));
    QCOMPARE(rig.paintedAt(3, 5), highlight);
}

void GridMapUiTest::theValueDialogTakesOnlySignedDigitsAndKeepsItsText() {
    GridRig rig;
    ui::MapValueDialog& form = rig.window->mapValueDialog();
    QCOMPARE(form.windowTitle(), QStringLiteral("Modyfikator Mapy"));
    form.field()->clear();
    QTest::keyClicks(form.field(), QStringLiteral("a1+b-2x3"));
    QCOMPARE(form.text(), QStringLiteral("1+-2"));  // letters dropped, at most four characters

    // The gradient opens it with the last text, selected, so typing replaces it.
    QString opened;
    bool allSelected = false;
    rig.dialogs.answerDialog = [&](QDialog* d) {
        auto* f = qobject_cast<ui::MapValueDialog*>(d);
        if (f == nullptr) return false;
        opened = f->text();
        allSelected = f->field()->selectedText() == f->text();
        f->reject();
        return true;
    };
    form.field()->setText(QStringLiteral("7"));
    rig.select(1, 1, 1, 1);
    const auto mark = rig.wire.mark();
    rig.button("GradientMap2")->click();
    QCOMPARE(opened, QStringLiteral("7"));
    QVERIFY(allSelected);
    QVERIFY(rig.wire.commandsSince(mark).isEmpty());
}

void GridMapUiTest::withoutAControllerAnEditSendsNothingAndLeavesNoHistory() {
    VirtualRig rig(Behind::Nothing);
    rig.activate();
    auto& page = rig.window->gridMapPage();
    // Before a read the grid shows its start-up texts.
    QCOMPARE(page.grid()->item(1, 1)->text(), QStringLiteral("+5"));
    QCOMPARE(page.grid()->item(2, 0)->text(), QStringLiteral("3") + QChar::fromLatin1(rig.state.decimalSeparator) +
                                                  QStringLiteral("0"));
    QCOMPARE(page.grid()->item(12, 0)->text(), QStringLiteral("+20") +
                                                   QChar::fromLatin1(rig.state.decimalSeparator) + QStringLiteral("0"));
    page.grid()->selectBlock({1, 1, 2, 2});
    const auto mark = rig.wire.mark();
    rig.find<QPushButton>("ButtonPlus5")->click();
    QVERIFY(rig.wire.commandsSince(mark).isEmpty());
    QCOMPARE(page.grid()->item(1, 1)->text(), QStringLiteral("+5"));
    QCOMPARE(rig.statusBar(), QString::fromStdString(i18n::SequenceStatusLine(
                                  rig.messages, i18n::SequenceKind::MapEdit,
                                  SequenceResult{StopReason::NotConnected, {}, 0, false})));
    QVERIFY(!rig.window->mapEditor().canUndo());
    QVERIFY(!rig.window->menu().action(QStringLiteral("CofnijMape1"))->isEnabled());
    // No map has been read: a copy would hand out the empty model's bytes, not the start-up texts shown.
    QApplication::clipboard()->setText(QStringLiteral("kept"));
    page.copyBlock();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("kept"));
}

QTEST_MAIN(GridMapUiTest)
#include "grid_map_ui_test.moc"
