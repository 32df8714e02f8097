#pragma once

#include <array>
#include <string>

#include "maps/map_model.h"

namespace sequaflow::maps {

// What the standard-map strip shows for a model: the twelve time headers (the eleven time breakpoints
// with three significant digits and one decimal, the last "+" and the eleventh again), the twelve cell
// texts, and the end of the injection-time bar (2 ms past the last breakpoint).
struct StandardMapView {
    std::array<std::string, kStdCells> headers;
    std::array<std::string, kStdCells> cells;
    double barMaximumMs = 0;
};

StandardMapView StandardMapViewOf(const MapModel& model, bool fastClock, char decimalSeparator);

}  // namespace sequaflow::maps
