#include <gtest/gtest.h>

#include "maps/map_edit.h"
#include "support/transcript.h"
#include "support/virtual_link.h"

using namespace sequaflow;
using namespace sequaflow::maps;
using testing_support::Transcript;
using testing_support::VirtualLink;

namespace {

// Every cell of its own value (row + column, from 0), so each store word shows which partner it carries.
MapModel NumberedModel() {
    MapModel model;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) model.setCell(r, c, r + c);
    for (int k = 0; k < kStdCells; ++k) model.setStdCell(k, 10 - 3 * k);
    return model;
}

}  // namespace

// A gradient of 4 on the top-right 2x2 block: ring positions above the grid and right of it are skipped.
TEST(MapEditGolden, GradientAtTheEdgeOfTheGrid) {
    VirtualLink v;
    MapModel model = NumberedModel();
    Transcript t(v.link);
    const auto r = GradientAdvanced(v.link, model, GridBlock{6, 1, 7, 2}, "4", t.progress());
    ASSERT_TRUE(r.ok()) << r.message;
    testing_support::ExpectMatchesGolden("map_edit_gradient", t.str());
    // The block, ring 1 (five cells inside the grid), ring 2 (seven).
    ASSERT_EQ(r.sent.size(), 4u + 5u + 7u);
    EXPECT_EQ(r.sent.front(), (CellChange{MapKind::Advanced, 0, 5, CellByte(5), CellByte(9)}));
    EXPECT_EQ(r.sent[4], (CellChange{MapKind::Advanced, 2, 4, CellByte(6), CellByte(8)}));
    EXPECT_EQ(r.sent.back(), (CellChange{MapKind::Advanced, 2, 3, CellByte(5), CellByte(6)}));
}

// "+1" on one strip cell sends all twelve cells, the stepped one with its new value.
TEST(MapEditGolden, StripStepSendsTheWholeStrip) {
    VirtualLink v;
    MapModel model = NumberedModel();
    Transcript t(v.link);
    const auto r = StepStandard(v.link, model, StripRun{3, 3}, 1, t.progress());
    ASSERT_TRUE(r.ok()) << r.message;
    testing_support::ExpectMatchesGolden("map_edit_strip_step", t.str());
    ASSERT_EQ(r.sent.size(), 12u);
    EXPECT_EQ(r.sent[3], (CellChange{MapKind::Standard, 0, 3, CellByte(1), CellByte(2)}));
    EXPECT_EQ(r.sent[4], (CellChange{MapKind::Standard, 0, 4, CellByte(-2), CellByte(-2)}));
}
