#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "link/link.h"
#include "link/sequence_run.h"
#include "params/progress.h"
#include "record/vehicle_record.h"

// The vehicle record between the program and the controller's record store.
namespace sequaflow::record {

// Words 62 and 63 alone (the installation lists, saved marker 0).
void WriteInstallationData(link::Link& link, const VehicleRecord& record);
// Words 62 and 63, then the text words 0..59.
void SaveVehicleRecord(link::Link& link, const VehicleRecord& record);

// Reads words 0..60, 62 and 63 (61, the serial number, belongs to the controller data), one step of `run`
// each, into `words`, and adopts what answered into the record (even when the run stopped part way).
// False when the run stopped before the end.
[[nodiscard]] bool ReadVehicleRecord(link::Link& link, link::SequenceRun& run, VehicleRecord& record,
                                     RecordWords& words);
// The same as a sequence of its own.
[[nodiscard]] SequenceResult ReadVehicleRecord(link::Link& link, VehicleRecord& record,
                                               const SequenceControl& control);

}  // namespace sequaflow::record
