#include "maps/standard_map_view.h"

#include "live/conversions.h"

namespace sequaflow::maps {

StandardMapView StandardMapViewOf(const MapModel& model, bool fastClock, char decimalSeparator) {
    StandardMapView v;
    for (int k = 0; k < kStdCells; ++k) {
        const auto i = static_cast<std::size_t>(k);
        v.cells[i] = PlainCellText(model.stdCell(k));
        if (k < kTimePoints) {
            const float ms = live::TicksToMs(model.point(kSpeedPoints + k), fastClock);
            v.headers[i] = live::FormatFixed(ms, 3, 1, decimalSeparator);
        }
    }
    v.headers[kStdCells - 1] = "+" + v.headers[kTimePoints - 1];
    v.barMaximumMs = live::TicksToMs(model.point(kSpeedPoints + kTimePoints - 1), fastClock) + 2.0;
    return v;
}

}  // namespace sequaflow::maps
