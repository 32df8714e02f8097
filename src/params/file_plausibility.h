#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "params/config_compare.h"
#include "params/parameter_file.h"

// A parameter file has no signature: any 258 bytes decode. Before a file goes into a car's controller it is
// checked for values the program itself could have written.
namespace sequaflow::params {

struct Implausible {
    ConfigItem item;
    std::int64_t value = 0;  // the parameter slot, the point word, the cell percent
    std::string allowed;     // "43690 or 0", "0..6", "-25..+90%", "below point 2 (3456)"
};

// Each parameter within what its editor or list can produce (with either clock and any ignition type, as
// values are not re-encoded when those change), the programmed marker 43690 or 0, the map cells within
// -25..+90 %, the engine-speed points falling periods and the injection-time points rising ticks, all above
// zero. Parameters 55 on, which a factory reset keeps, may also hold erased memory (65535). The problems in
// file order.
std::vector<Implausible> CheckPlausibility(const ParameterFileContent& content);

// "parameter 0 (programmed_marker) is 29295, expected 43690 or 0"
std::string ImplausibleText(const Implausible& problem);
// The first `count` problems joined by "; ", and "and N more" when there are more.
std::string FirstImplausibleText(std::span<const Implausible> problems, std::size_t count = 3);

}  // namespace sequaflow::params
