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
// A lost line or a cancel stops it before the next item; the controller then holds only what the result
// says was sent, while the image and model hold the factory values decided so far.
SequenceResult FactoryReset(link::Link& link, ParameterImage& image, maps::MapModel& model, int injectorItems,
                            const SequenceControl& control = {});

// The factory reset as the menu runs it: the reset, then the speed drop (parameter 53) of the image set to
// 0 so that whatever the read that follows misses, the screens never show the old falling-mode drop.
SequenceResult RestoreFactorySettings(link::Link& link, ParameterImage& image, maps::MapModel& model,
                                      int injectorItems, const SequenceControl& control = {});

}  // namespace sequaflow::params
