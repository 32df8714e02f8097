#pragma once

#include <optional>
#include <string>

#include "cli/cli.h"
#include "link/link.h"
#include "record/vehicle_entry.h"

// `vehicle show` and `vehicle set`: the vehicle record. Split from the port so that the tests drive it
// against the in-process simulator in virtual time.
namespace sequaflow::cli {

struct VehicleOptions {
    bool set = false;
    bool json = false;
    // For set: the fields given, everything else keeps what the controller holds.
    std::array<std::optional<std::string>, record::kTextFieldCount> texts;
    std::array<std::optional<int>, record::kListFieldCount> lists;
};
// Parses and checks every value (the dialog's checks, the lists' entries); nullopt after a usage message.
std::optional<VehicleOptions> ParseVehicleArgs(Context& context, Args args);
int RunVehicleOn(Context& context, link::Link& link, const VehicleOptions& options);

}  // namespace sequaflow::cli
