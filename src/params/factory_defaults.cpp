#include "params/factory_defaults.h"

namespace sequaflow::params {

// The marker goes last in a write-all; a factory set that did not carry it would read back as unprogrammed.
static_assert(kFactoryParameters[0] == kProgrammedMarker);
// Breakpoints must rise strictly for the segment search; periods fall as the speed rises.
static_assert([] {
    for (std::size_t i = 1; i < 6; ++i)
        if (kDefaultPoints[i] >= kDefaultPoints[i - 1]) return false;
    for (std::size_t i = 7; i < kPointCount; ++i)
        if (kDefaultPoints[i] <= kDefaultPoints[i - 1]) return false;
    return true;
}());

}  // namespace sequaflow::params
