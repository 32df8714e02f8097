#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "maps/map_edit.h"
#include "params/fake_ecu.h"

using namespace sequaflow;
using namespace sequaflow::maps;
using testing_support::FakeEcu;
using testing_support::VirtualLink;

namespace {

// ---- Pure rules ----

TEST(MapEditRules, WholeNumbersAsTheFieldsHoldThem) {
    EXPECT_EQ(ReadWholeNumber("+15"), 15);
    EXPECT_EQ(ReadWholeNumber("-25"), -25);
    EXPECT_EQ(ReadWholeNumber(" 7 "), 7);
    EXPECT_EQ(ReadWholeNumber("0"), 0);
    for (const char* bad : {"", "+", "-", "1.5", "1,5", "abc", "1 2", "++1", "1234567890"})
        EXPECT_FALSE(ReadWholeNumber(bad)) << bad;
}

TEST(MapEditRules, AStepLimitsOnlyAtTheEndItMovesTowards) {
    EXPECT_EQ(StepCell(48, 5, 50), 50);
    EXPECT_EQ(StepCell(-23, -5, 50), -25);
    EXPECT_EQ(StepCell(60, -1, 50), 59);   // left over from a turbo maximum: not pulled down to 50
    EXPECT_EQ(StepCell(-30, 1, 50), -29);  // below the minimum, stepping up
    EXPECT_EQ(StepCell(88, 5, 90), 90);
    EXPECT_EQ(LimitCell(-40, 50), -25);
    EXPECT_EQ(LimitCell(99, 50), 50);
    EXPECT_EQ(LimitCell(99, 90), 90);
}

TEST(MapEditRules, StepOrderIsColumnsRightToLeftThenRowsBottomUp) {
    const auto order = StepOrder({2, 5, 3, 6});
    const std::vector<GridCell> expected{{3, 6}, {3, 5}, {2, 6}, {2, 5}};
    EXPECT_EQ(order, expected);
    EXPECT_TRUE(StepOrder({3, 1, 2, 1}).empty());  // right of left: not a block
    EXPECT_TRUE(StepOrder({1, 1, 8, 1}).empty());
}

TEST(MapEditRules, RingsHalveTheStepTowardsZero) {
    EXPECT_EQ(GradientRings(10), 3);
    EXPECT_EQ(GradientRings(8), 3);
    EXPECT_EQ(GradientRings(7), 2);
    EXPECT_EQ(GradientRings(-7), 2);
    EXPECT_EQ(GradientRings(2), 1);
    EXPECT_EQ(GradientRings(1), 0);
    EXPECT_EQ(GradientRings(0), 0);
}

std::map<int, std::pair<int, int>> DeltasByRing(const std::vector<GradientVisit>& plan) {
    std::map<int, std::pair<int, int>> byRing;  // ring -> (delta, cells inside)
    for (const auto& v : plan) {
        if (!v.inside) continue;
        byRing[v.ring].first = v.delta;
        ++byRing[v.ring].second;
    }
    return byRing;
}

TEST(MapEditRules, GradientOfEightOnOneCellInTheMiddle) {
    const auto plan = PlanGradient({4, 6, 4, 6}, 8);
    const auto byRing = DeltasByRing(plan);
    EXPECT_EQ(byRing.at(0), std::make_pair(8, 1));
    EXPECT_EQ(byRing.at(1), std::make_pair(4, 8));
    EXPECT_EQ(byRing.at(2), std::make_pair(2, 16));
    EXPECT_EQ(byRing.at(3), std::make_pair(1, 24));
    EXPECT_EQ(byRing.size(), 4u);
    // Every position counts for the progress bar: 1 + 2(0+0+4) + 2(0+0+8) + 2(0+0+12).
    EXPECT_EQ(plan.size(), 1u + 8u + 16u + 24u);
    // Ring 1 starts at its top-left corner, top before bottom, then the sides.
    EXPECT_EQ(plan[1].cell, (GridCell{3, 5}));
    EXPECT_EQ(plan[2].cell, (GridCell{3, 7}));
    EXPECT_EQ(plan[7].cell, (GridCell{3, 6}));
    EXPECT_EQ(plan[8].cell, (GridCell{5, 6}));
}

TEST(MapEditRules, GradientAtTheEdgeSkipsRingCellsOutsideButCountsThem) {
    // A 2 x 2 block in the top-left corner, step -7: rings of -3 and -1.
    const auto plan = PlanGradient({1, 1, 2, 2}, -7);
    const auto byRing = DeltasByRing(plan);
    EXPECT_EQ(byRing.at(0), std::make_pair(-7, 4));
    EXPECT_EQ(byRing.at(1), std::make_pair(-3, 5));  // (3,1) (3,2) (1,3) (2,3) (3,3)
    EXPECT_EQ(byRing.at(2), std::make_pair(-1, 7));  // (4,1..4) and (1..3,4)
    // W = H = 1: 4 + 2(1+1+4) + 2(1+1+8) positions in all.
    EXPECT_EQ(plan.size(), 4u + 12u + 20u);
    std::set<std::pair<int, int>> seen;
    for (const auto& v : plan) {
        if (!v.inside) continue;
        EXPECT_GE(v.cell.column, 1);
        EXPECT_LE(v.cell.column, 7);
        EXPECT_GE(v.cell.row, 1);
        EXPECT_LE(v.cell.row, 12);
        EXPECT_TRUE(seen.insert({v.cell.column, v.cell.row}).second) << "visited twice";
    }
}

TEST(MapEditRules, GradientOfOneOrZeroDrawsNoRing) {
    EXPECT_EQ(PlanGradient({2, 2, 3, 3}, 1).size(), 4u);
    EXPECT_EQ(PlanGradient({2, 2, 3, 3}, 0).size(), 4u);
}

TEST(MapEditRules, CopyAndParseTabSeparatedBlocks) {
    MapModel model;
    model.setCell(0, 0, 15);
    model.setCell(0, 1, -5);
    model.setCell(1, 0, 0);
    model.setCell(1, 1, 50);
    EXPECT_EQ(CopyAdvanced(model, {1, 1, 2, 2}), "15\t-5\n0\t50\n");
    model.setStdCell(2, -25);
    model.setStdCell(3, 7);
    EXPECT_EQ(CopyStandard(model, {2, 3}), "-25\t7\n");

    const auto block = ParsePastedBlock("1\t+2\r\n3\t-4\r\n\r\n");
    ASSERT_TRUE(block);
    EXPECT_EQ(block->rows, 2);
    EXPECT_EQ(block->columns, 2);
    EXPECT_EQ(block->values, (std::vector<int>{1, 2, 3, -4}));

    std::string why;
    EXPECT_FALSE(ParsePastedBlock("1\t2\n3\n", &why));
    EXPECT_NE(why.find("line 2"), std::string::npos) << why;
    EXPECT_FALSE(ParsePastedBlock("1\tx5\n", &why));
    EXPECT_NE(why.find("'x5'"), std::string::npos) << why;
    EXPECT_FALSE(ParsePastedBlock("\n\n", &why));
    EXPECT_FALSE(ParsePastedBlock("1\t\t2", &why));  // an empty cell is not a number
}

TEST(MapEditRules, PresetTimesAndCaptions) {
    EXPECT_EQ(PresetTimeText(15, ','), "1,5");
    EXPECT_EQ(PresetTimeText(45, '.'), "4.5");
    EXPECT_EQ(PresetTimeText(180, ','), "18");
    EXPECT_EQ(kPointPresets[2].caption, "Silnik wysokoobrotowy (20 ms, 9000 rpm)");
    EXPECT_EQ(kPointPresets[2].rpm.back(), 9000);
    EXPECT_EQ(kPointPresets[2].tenthsMs.back(), 200);
    EXPECT_EQ(kPointPresets[3].tenthsMs[7], 150);
    for (const auto& p : kPointPresets) {
        for (std::size_t i = 1; i < p.rpm.size(); ++i) EXPECT_LT(p.rpm[i - 1], p.rpm[i]);
        for (std::size_t i = 1; i < p.tenthsMs.size(); ++i) EXPECT_LT(p.tenthsMs[i - 1], p.tenthsMs[i]);
    }
}

// ---- Operations against a fake controller ----

struct MapEdit : ::testing::Test, VirtualLink {
    FakeEcu ecu;
    MapModel model;
    void SetUp() override {
        ecu.attach(port);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c) {
                model.setCell(r, c, r - c);
                ecu.grid[static_cast<std::size_t>(7 * r + c)] = model.cellByte(r, c);
            }
        for (int k = 0; k < kStdCells; ++k) {
            model.setStdCell(k, k);
            ecu.standard[static_cast<std::size_t>(k)] = model.stdByte(k);
        }
    }
    // The controller holds what the model holds.
    void ExpectControllerMatchesModel() {
        for (int i = 0; i < kCells; ++i) EXPECT_EQ(ecu.grid[static_cast<std::size_t>(i)], model.advanced()[static_cast<std::size_t>(i)]) << i;
        for (int k = 0; k < kStdCells; ++k) EXPECT_EQ(ecu.standard[static_cast<std::size_t>(k)], model.stdByte(k)) << k;
    }
};

TEST_F(MapEdit, StepSendsEachCellOfTheBlockInVisitingOrder) {
    model.setCell(5, 3, 48);
    ecu.grid[7 * 5 + 3] = model.cellByte(5, 3);
    const auto r = StepAdvanced(link, model, {4, 5, 5, 6}, 5);  // columns 4..5, rows 5..6 on screen
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(r.sent.size(), 4u);
    EXPECT_EQ(r.sent[0], (CellChange{MapKind::Advanced, 5, 4, CellByte(1), CellByte(6)}));
    EXPECT_EQ(r.sent[2].column, 3);
    EXPECT_EQ(r.sent[2].row, 5);
    EXPECT_EQ(model.cell(5, 3), 50);  // 48 + 5 limited
    EXPECT_EQ(port.written().size(), 12u);
    EXPECT_EQ(port.written()[0][0], 'F');
    EXPECT_EQ(port.written()[0][1], 5);
    EXPECT_EQ(port.written()[0][2], 4);
    ExpectControllerMatchesModel();
}

TEST_F(MapEdit, TypedValuesAreLimitedAndTextsThatAreNotNumbersSendNothing) {
    auto r = SetAdvanced(link, model, {1, 1, 2, 1}, "-40");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(model.cell(0, 0), -25);
    EXPECT_EQ(model.cell(0, 1), -25);
    r = SetAdvanced(link, model, {1, 1, 1, 1}, "99");
    EXPECT_EQ(model.cell(0, 0), 50);
    const auto before = port.written().size();
    r = SetAdvanced(link, model, {1, 1, 1, 1}, "+");
    EXPECT_EQ(r.error, EditError::NotANumber);
    EXPECT_EQ(r.message, "'+' is not a whole number");
    EXPECT_TRUE(r.sent.empty());
    EXPECT_EQ(port.written().size(), before);
    ExpectControllerMatchesModel();
}

TEST_F(MapEdit, GradientWithAnEmptyFieldStepsByOne) {
    const auto r = GradientAdvanced(link, model, {2, 2, 3, 3}, "");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.sent.size(), 4u);
    EXPECT_EQ(model.cell(1, 1), 1);  // r - c + 1
    EXPECT_EQ(model.cell(0, 0), 0);  // no ring
    ExpectControllerMatchesModel();
}

TEST_F(MapEdit, StripStepSendsAllTwelveCells) {
    const auto r = StepStandard(link, model, {3, 3}, 1);
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(r.sent.size(), 12u);
    for (int k = 0; k < 12; ++k) EXPECT_EQ(r.sent[static_cast<std::size_t>(k)].column, k);
    EXPECT_EQ(r.sent[3].after, CellByte(4));
    EXPECT_EQ(r.sent[4].after, r.sent[4].before);
    EXPECT_EQ(model.stdCell(3), 4);
    EXPECT_EQ(port.written().size(), 36u);
    EXPECT_EQ(pacer.pauses().size(), 36u);
    ExpectControllerMatchesModel();
}

TEST_F(MapEdit, StripLimitsAtBothEnds) {
    model.setStdCell(0, 60);  // above a lowered maximum
    (void)StepStandard(link, model, {0, 1}, 1);
    EXPECT_EQ(model.stdCell(0), 50);
    EXPECT_EQ(model.stdCell(1), 2);
}

TEST_F(MapEdit, PasteThatDoesNotFitChangesNothing) {
    const auto r = PasteAdvanced(link, model, {7, 12}, "1\t2\n");
    EXPECT_EQ(r.error, EditError::DoesNotFit);
    EXPECT_NE(r.message.find("does not fit"), std::string::npos);
    EXPECT_TRUE(port.written().empty());
    const auto ok = PasteAdvanced(link, model, {6, 11}, "1\t99\n-3\t4\n");
    ASSERT_TRUE(ok.ok());
    EXPECT_EQ(model.cell(10, 5), 1);
    EXPECT_EQ(model.cell(10, 6), 50);
    EXPECT_EQ(model.cell(11, 5), -3);
    EXPECT_EQ(model.cell(11, 6), 4);
    ExpectControllerMatchesModel();
    EXPECT_EQ(PasteStandard(link, model, 10, "1\t2\t3").error, EditError::DoesNotFit);
    ASSERT_TRUE(PasteStandard(link, model, 10, "5\n6\n").ok());  // a column from a spreadsheet fits too
    EXPECT_EQ(model.stdCell(11), 6);
}

TEST_F(MapEdit, UndoOfAGradientSendsExactlyTheCellsItRestores) {
    EditHistory history;
    const auto before = std::vector<std::uint8_t>(model.advanced().begin(), model.advanced().end());
    const auto edit = GradientAdvanced(link, model, {1, 1, 1, 1}, "4");
    history.record(edit.sent);
    ASSERT_EQ(edit.sent.size(), 1u + 3u + 5u);  // the corner cell, ring 1 (+2), ring 2 (+1)
    const auto written = port.written().size();
    const auto undone = history.undo(link, model);
    ASSERT_TRUE(undone.ok());
    EXPECT_EQ(std::vector<std::uint8_t>(model.advanced().begin(), model.advanced().end()), before);
    ASSERT_EQ(undone.sent.size(), edit.sent.size());
    // Reverse order, each cell with its own three frames.
    EXPECT_EQ(undone.sent.front().row, edit.sent.back().row);
    EXPECT_EQ(undone.sent.front().column, edit.sent.back().column);
    EXPECT_EQ(port.written().size() - written, 3 * edit.sent.size());
    ExpectControllerMatchesModel();
    EXPECT_FALSE(history.canUndo());
    ASSERT_TRUE(history.canRedo());
    ASSERT_TRUE(history.redo(link, model).ok());
    EXPECT_EQ(model.cell(0, 0), 4);
    ExpectControllerMatchesModel();
    EXPECT_EQ(history.redo(link, model).error, EditError::NothingToUndo);
}

TEST_F(MapEdit, UnchangedCellsAreNotUndoneAndEmptyEditsNotRecorded) {
    EditHistory history;
    const auto strip = StepStandard(link, model, {2, 2}, -1);
    history.record(strip.sent);
    const auto written = port.written().size();
    ASSERT_TRUE(history.undo(link, model).ok());
    EXPECT_EQ(port.written().size() - written, 3u);  // cell 2 alone, not all twelve
    EXPECT_EQ(model.stdCell(2), 2);
    model.setCell(0, 0, 50);
    history.record(StepAdvanced(link, model, {1, 1, 1, 1}, 5).sent);  // already at the top
    EXPECT_FALSE(history.canUndo());
}

TEST_F(MapEdit, AnUndoCutShortKeepsWhatItDidNotReach) {
    EditHistory history;
    history.record(StepAdvanced(link, model, {1, 1, 1, 3}, 1).sent);  // three cells
    int steps = 0;
    const SequenceControl control([](const params::ProgressStep&) {}, [&] { return ++steps > 1; });
    const auto undone = history.undo(link, model, control);
    EXPECT_FALSE(undone.ok());
    ASSERT_EQ(undone.sent.size(), 1u);
    EXPECT_TRUE(history.canUndo());
    EXPECT_TRUE(history.canRedo());
    ExpectControllerMatchesModel();
    ASSERT_TRUE(history.undo(link, model).ok());  // the other two
    for (int r = 0; r < 3; ++r) EXPECT_EQ(model.cell(r, 0), r);
    ExpectControllerMatchesModel();
}

TEST_F(MapEdit, ALostLineStopsTheOperationAndTellsWhatWasSent) {
    int cells = 0;
    port.setResponder([&](testing_support::ScriptedPort& p, const link::Frame& f) {
        if (f[0] == 'F' && ++cells == 2) p.loseDevice();
    });
    const auto r = StepAdvanced(link, model, {1, 1, 7, 12}, 1);
    EXPECT_EQ(r.sequence.stopped, StopReason::LineLost);
    EXPECT_LE(r.sent.size(), 2u);
    EXPECT_FALSE(r.sent.empty());
}

}  // namespace
