#include <gtest/gtest.h>

#include "maps/map_graph.h"

using namespace sequaflow::maps;

namespace {

// The standard preset's breakpoints: 1.5 .. 18 ms, so u = 678 / 20 = 33.9 pixels per ms.
constexpr std::array<double, kTimePoints> kTimes = {1.5, 2, 3, 4.5, 6, 8, 10, 12, 14, 16, 18};
constexpr std::array<int, kStdCells> kValues = {20, -10, 0, 0, 0, 0, 0, 0, 0, 0, -25, 50};

GraphGeometry Graph(int maximum = 50) { return MapGraphGeometry(678, 297, maximum, kTimes, kValues); }

TEST(MapGraph, ScalesAndZeroLineOfTheFullSizePicture) {
    const auto g = Graph();
    EXPECT_EQ(g.zeroY, 198);
    EXPECT_DOUBLE_EQ(g.pixelsPerPercent, 3.7125);
    EXPECT_DOUBLE_EQ(g.pixelsPerMs, 33.9);
    // With the turbo maximum: 297 / 144.
    EXPECT_DOUBLE_EQ(Graph(90).pixelsPerPercent, 2.0625);
}

TEST(MapGraph, BarsMarkersAndLabelsAreTruncatedPixels) {
    const auto g = Graph();
    // 1.5 x 33.9 = 50.85, 2 x 33.9 = 67.8, ... 18 x 33.9 = 610.2
    const std::array<int, kTimePoints> x = {50, 67, 101, 152, 203, 271, 339, 406, 474, 542, 610};
    EXPECT_EQ(g.breakpointX, x);
    // +20: 198 - 74.25 = 123.75; -10: 198 + 37.125 = 235.125; -25: 290.8125; +50: 12.375
    EXPECT_EQ(g.barTop[0], 123);
    EXPECT_EQ(g.barTop[1], 235);
    EXPECT_EQ(g.barTop[2], 198);
    EXPECT_EQ(g.barTop[10], 290);
    EXPECT_EQ(g.barTop[11], 12);
    EXPECT_EQ(g.barLeft[0], 0);
    EXPECT_EQ(g.barRight[0], 50);
    EXPECT_EQ(g.barLeft[1], 50);
    EXPECT_EQ(g.barRight[1], 67);
    EXPECT_EQ(g.barLeft[11], 610);
    EXPECT_EQ(g.barRight[11], 676);  // the last bar stops 2 pixels short of the border
    // Centres: 50.85 / 2; (50.85 + 67.8) / 2; (542.4 + 610.2) / 2; (678 + 610.2) / 2
    EXPECT_EQ(g.marker[0], (GraphPoint{25, 123}));
    EXPECT_EQ(g.marker[1], (GraphPoint{59, 235}));
    EXPECT_EQ(g.marker[10], (GraphPoint{576, 290}));
    EXPECT_EQ(g.marker[11], (GraphPoint{644, 12}));
    EXPECT_EQ(g.label[0], (GraphPoint{40, 203}));
    EXPECT_EQ(g.label[1], (GraphPoint{62, 203}));
    EXPECT_EQ(g.label[10], (GraphPoint{605, 203}));
}

TEST(MapGraph, ADegeneratePictureHasNoScaleInsteadOfADivisionByZero) {
    const std::array<double, kTimePoints> minus2 = {-2, -2, -2, -2, -2, -2, -2, -2, -2, -2, -2};
    const auto flat = MapGraphGeometry(678, 0, 50, kTimes, kValues);
    EXPECT_EQ(flat.pixelsPerPercent, 0.0);
    EXPECT_EQ(ValueAtPointer(flat, 10, 50), 0);
    const auto noTime = MapGraphGeometry(678, 297, 50, minus2, kValues);
    EXPECT_EQ(noTime.pixelsPerMs, 0.0);
    EXPECT_EQ(noTime.breakpointX[10], 0);
}

TEST(MapGraph, SegmentUnderThePointer) {
    const auto g = Graph();
    EXPECT_EQ(SegmentUnderPointer(g, 0, 5), 0);
    EXPECT_EQ(SegmentUnderPointer(g, 49, 5), 0);
    EXPECT_EQ(SegmentUnderPointer(g, 50, 0), 1);  // on T1 belongs to the segment right of it
    EXPECT_EQ(SegmentUnderPointer(g, 66, 0), 1);
    EXPECT_EQ(SegmentUnderPointer(g, 67, 0), 2);
    EXPECT_EQ(SegmentUnderPointer(g, 609, 0), 10);
    // Exactly on T11 the pointer stays in the segment it came from, whatever that was.
    EXPECT_EQ(SegmentUnderPointer(g, 610, 10), 10);
    EXPECT_EQ(SegmentUnderPointer(g, 610, 11), 11);
    EXPECT_EQ(SegmentUnderPointer(g, 610, 3), 3);
    EXPECT_EQ(SegmentUnderPointer(g, 611, 10), 11);
    EXPECT_EQ(SegmentUnderPointer(g, 677, 0), 11);
}

TEST(MapGraph, ValueAtThePointerHeightIsTruncatedAndLimited) {
    const auto g = Graph();
    EXPECT_EQ(ValueAtPointer(g, 198 - 37, 50), 9);   // 37 / 3.7125 = 9.97
    EXPECT_EQ(ValueAtPointer(g, 198 + 10, 50), -2);  // -2.69 towards zero
    EXPECT_EQ(ValueAtPointer(g, 198, 50), 0);
    EXPECT_EQ(ValueAtPointer(g, 198 - 74, 50), 19);  // 19.93: just below the +20 bar top
    EXPECT_EQ(ValueAtPointer(g, 0, 50), 50);         // 53.3
    EXPECT_EQ(ValueAtPointer(g, 296, 50), -25);      // -26.4
    const auto turbo = Graph(90);
    EXPECT_EQ(ValueAtPointer(turbo, 0, 90), 90);     // 96
    EXPECT_EQ(ValueAtPointer(turbo, 0, 50), 50);     // a lower limit given by the caller wins
}

TEST(MapGraph, BreakpointsThatDoNotRiseAreFound) {
    Breakpoints b;
    b.speeds = {1000, 2500, 5000, 6500, 7500, 9000};
    b.times = {1.5, 2, 3, 4, 6, 8, 11, 13, 16, 18, 20};
    EXPECT_EQ(FirstNonRisingPoint(b), std::nullopt);
    auto equalSpeed = b;
    equalSpeed.speeds[2] = 2500;
    EXPECT_EQ(FirstNonRisingPoint(equalSpeed), 2);
    auto fallingTime = b;
    fallingTime.times[10] = 17;
    EXPECT_EQ(FirstNonRisingPoint(fallingTime), 16);
    auto firstTime = b;
    firstTime.times[1] = 1.5;
    EXPECT_EQ(FirstNonRisingPoint(firstTime), 7);
}

}  // namespace

namespace {

std::array<std::string, kPoints> HighSpeedPreset() {
    return {"1000", "2500", "5000", "6500", "7500", "9000", "1,5", "2", "3", "4", "6", "8", "11", "13", "16", "18", "20"};
}

TEST(PointTexts, NumbersFirstThenTheOrder) {
    EXPECT_EQ(CheckPointTexts(HighSpeedPreset()), std::nullopt);
    auto texts = HighSpeedPreset();
    texts[8] = "3a";
    texts[2] = "100";  // out of order too, but the bad number is what the installer must fix first
    EXPECT_EQ(CheckPointTexts(texts), (PointTextProblem{PointTextProblem::Kind::NotANumber, 8}));
    texts[8] = "";
    EXPECT_EQ(CheckPointTexts(texts), (PointTextProblem{PointTextProblem::Kind::NotANumber, 8}));
    texts[8] = "3";
    EXPECT_EQ(CheckPointTexts(texts), (PointTextProblem{PointTextProblem::Kind::NotRising, 2}));
    auto zero = HighSpeedPreset();
    zero[0] = "0";
    EXPECT_EQ(CheckPointTexts(zero), (PointTextProblem{PointTextProblem::Kind::NotRising, 0}));
    auto zeroTime = HighSpeedPreset();
    zeroTime[6] = "0";
    EXPECT_EQ(CheckPointTexts(zeroTime), (PointTextProblem{PointTextProblem::Kind::NotRising, 6}));
}

}  // namespace
