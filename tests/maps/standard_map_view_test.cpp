#include <gtest/gtest.h>

#include "maps/standard_map_view.h"

using namespace sequaflow;
using namespace sequaflow::maps;

namespace {

TEST(StandardMapView, HeadersAreTheTimeBreakpointsWithTheLastOneRepeatedAfterAPlus) {
    MapModel model;
    // Ticks of 230400 Hz: 345 = 1.497 ms, 2304 = 10 ms, 2880 = 12.5 ms, 3456 = 15 ms, 4000 = 17.36 ms,
    // 25000 = 108.5 ms, 4608 = 20 ms, 5069 = 22.0009 ms.
    const std::uint32_t ticks[11] = {345, 2304, 2880, 3456, 4000, 25000, 4608, 4608, 4608, 4608, 5069};
    for (int k = 0; k < 11; ++k) model.setPoint(kSpeedPoints + k, ticks[k]);
    model.setStdByte(0, 90);
    model.setStdByte(1, 115);
    model.setStdByte(11, 100);

    const auto v = StandardMapViewOf(model, false, ',');
    const std::array<std::string, 12> headers = {"1,5",  "10,0", "12,5", "15,0", "17,4", "109,0",
                                                 "20,0", "20,0", "20,0", "20,0", "22,0", "+22,0"};
    EXPECT_EQ(v.headers, headers);
    EXPECT_EQ(v.cells[0], "-10");
    EXPECT_EQ(v.cells[1], "15");
    EXPECT_EQ(v.cells[11], "0");
    EXPECT_NEAR(v.barMaximumMs, 24.0009, 1e-3);
}

TEST(StandardMapView, TheFastClockChangesEveryHeader) {
    MapModel model;
    for (int k = 0; k < 11; ++k) model.setPoint(kSpeedPoints + k, 1843);  // 0.99989 ms at 1843200 Hz
    const auto v = StandardMapViewOf(model, true, '.');
    EXPECT_EQ(v.headers[0], "1.0");
    EXPECT_EQ(v.headers[11], "+1.0");
    EXPECT_NEAR(v.barMaximumMs, 2.9999, 1e-3);
}

}  // namespace
