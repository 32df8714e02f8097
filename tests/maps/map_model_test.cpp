#include <gtest/gtest.h>

#include <array>
#include <string>

#include "live/conversions.h"
#include "maps/map_model.h"

using namespace sequaflow;
using namespace sequaflow::maps;

namespace {

TEST(MapCells, BytesTextsAndColours) {
    EXPECT_EQ(GridCellText(CellValue(101)), "+1");
    EXPECT_EQ(GridCellText(CellValue(100)), "0");
    EXPECT_EQ(GridCellText(CellValue(75)), "-25");
    EXPECT_EQ(PlainCellText(15), "15");
    EXPECT_EQ(CellByte(-25), 75);
    EXPECT_EQ(CellByte(90), 190);

    EXPECT_EQ(ValueColour(0), (Rgb{255, 255, 255}));
    EXPECT_EQ(ValueColour(50), (Rgb{255, 105, 105}));
    EXPECT_EQ(ValueColour(51), ValueColour(50));
    EXPECT_EQ(ValueColour(90), ValueColour(50));
    EXPECT_EQ(ValueColour(1), (Rgb{255, 252, 252}));
    EXPECT_EQ(ValueColour(-25), (Rgb{155, 155, 255}));
    EXPECT_EQ(ValueColour(-100), (Rgb{0, 0, 255}));  // never wraps round
}

TEST(MapCells, ModelIgnoresCellsOutsideTheMap) {
    MapModel model;
    model.setCell(12, 0, 5);
    model.setCell(0, 7, 5);
    model.setStdCell(12, 5);
    model.setPoint(17, 5);
    for (auto b : model.advanced()) EXPECT_EQ(b, 0);
    EXPECT_EQ(model.cellByte(-1, 0), 0);
    EXPECT_EQ(model.point(17), 0u);
}

TEST(StoreWords, ColumnPairsShareOneWord) {
    MapModel model;
    model.setCell(4, 2, 10);
    model.setCell(5, 2, -5);
    EXPECT_EQ(GridStoreWord(5, 2), 32);
    EXPECT_EQ(GridStoreWord(4, 2), 32);
    EXPECT_EQ(GridStoreValue(model, 5, 2), 110 << 8 | 95);
    EXPECT_EQ(GridStoreValue(model, 4, 2), 110 << 8 | 95);
    EXPECT_EQ(GridStoreWord(0, 0), 18);
    EXPECT_EQ(GridStoreWord(11, 6), 59);
}

TEST(Segments, AValueOnABreakpointBelongsToTheLowerSegment) {
    const std::array<double, 11> times = {1.5, 2, 3, 4.5, 6, 8, 10, 12, 14, 16, 18};
    EXPECT_EQ(Segment(3.0, times), 3);
    EXPECT_EQ(Segment(3.01, times), 4);
    EXPECT_EQ(Segment(0.0, times), 1);
    EXPECT_EQ(Segment(1.5, times), 1);
    EXPECT_EQ(Segment(18.0, times), 11);
    EXPECT_EQ(Segment(25.0, times), 12);
    const std::array<double, 6> speeds = {1000, 2000, 3000, 4000, 5000, 6000};
    EXPECT_EQ(Segment(6000, speeds), 6);
    EXPECT_EQ(Segment(6050, speeds), 7);
    EXPECT_EQ(Segment(12000, speeds), 7);
}

struct Points : ::testing::Test {
    params::ParameterImage image;
    MapModel model;
    void SetUp() override {
        image.setSlot(params::pn::IgnitionType, 2);
        for (std::size_t k = 0; k < params::kPointCount; ++k) model.setPoint(static_cast<int>(k), params::kDefaultPoints[k]);
    }
};

TEST_F(Points, TextsAndValuesConvertBothWays) {
    EXPECT_EQ(PointText(model, 0, image, ','), "1000");
    EXPECT_EQ(PointText(model, 5, image, ','), "6000");
    EXPECT_EQ(PointText(model, 6, image, ','), "1,5");
    EXPECT_EQ(PointText(model, 9, image, '.'), "4.5");
    EXPECT_EQ(PointText(model, 16, image, ','), "18,0");
    for (int k = 0; k < kPoints; ++k) {
        const auto back = PointFromText(k, PointText(model, k, image, ','), image);
        ASSERT_TRUE(back) << k;
        EXPECT_EQ(*back, model.point(k)) << k;
    }
    EXPECT_EQ(PointFromText(0, "1020", image), PointFromText(0, "1000", image));
    EXPECT_FALSE(PointFromText(3, "abc", image));
    EXPECT_FALSE(PointFromText(10, "", image));
    EXPECT_EQ(PointFromText(0, "-5", image), 0u);
}

TEST_F(Points, OperatingPointIsLocatedFromTheLiveWords) {
    const Breakpoints b = BreakpointsOf(model, image);
    EXPECT_EQ(b.speeds[5], 6000);
    EXPECT_DOUBLE_EQ(b.times[0], 1.5);
    // 2304 ticks = 10 ms sits on T7 -> row 7; 4608 ticks at type 2 = 1500 rpm -> column 2.
    EXPECT_EQ(LocateOperatingPoint(4608, 2304, 2, false, b), (GridPosition{2, 7}));
    // Engine stopped (period 65535) and no injection: the first cell.
    EXPECT_EQ(LocateOperatingPoint(65535, 0, 2, false, b), (GridPosition{1, 1}));
    // Above every breakpoint.
    EXPECT_EQ(LocateOperatingPoint(1000, 10000, 2, false, b), (GridPosition{7, 12}));

    std::array<std::string, kPoints> texts = {"1000", "2000", "3000", "4000", "5000", "6000", "1,5", "2", "3",
                                              "4,5",  "6",    "8",    "10",   "12",   "14",   "16",  "18"};
    const auto fromTexts = BreakpointsFromTexts(texts);
    ASSERT_TRUE(fromTexts);
    EXPECT_EQ(fromTexts->speeds, b.speeds);
    texts[8] = "3,x";
    EXPECT_FALSE(BreakpointsFromTexts(texts));
}

TEST_F(Points, TurboFlagSetsTheCellMaximumWithoutTouchingCells) {
    model.setCell(0, 0, 80);
    image.setField(params::field::Turbo, 1);
    model.applyTurboFlag(image);
    EXPECT_EQ(model.cellMaximum(), 90);
    image.setField(params::field::Turbo, 0);
    model.applyTurboFlag(image);
    EXPECT_EQ(model.cellMaximum(), 50);
    EXPECT_EQ(model.cell(0, 0), 80);
}

}  // namespace
