#pragma once

#include "link/link.h"
#include "maps/map_model.h"
#include "params/parameter_image.h"
#include "params/progress.h"

namespace sequaflow::params {

// Rebuilds the image, the maps and the correction settings from the factory content and sends all of it:
// the parameter set (work-time counters 35..38 and parameters 55..63 keep what the image holds), the
// advanced map, the points, the standard map, the lambda words, the temperature map and map mode 2.
// `injectorItems` is the length of the injector type list: more than 4 items select type 5, else type 1.
void FactoryReset(link::Link& link, ParameterImage& image, maps::MapModel& model, int injectorItems,
                  const ProgressFn& progress = {});

}  // namespace sequaflow::params
