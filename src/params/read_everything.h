#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "link/link.h"
#include "maps/map_transfer.h"
#include "params/parameter_reader.h"
#include "params/program_state.h"
#include "params/progress.h"
#include "record/vehicle_transfer.h"

// What a connection reads: the parameter set (with the reset offer for a controller never programmed),
// the writes every read makes, the maps, the controller data and the vehicle-record words.
namespace sequaflow::params {

inline constexpr int kRecordWordCount = record::kRecordStoreWords;

struct ReadEverythingHooks {
    // Asked when parameter 0 says the controller was never programmed; true runs the factory reset.
    std::function<bool()> offerFactoryReset;
    int injectorItems = 6;  // length of the injector type list, for the reset
    SequenceControl control;
};

struct ReadEverythingReport {
    // How far it got over all its parts; a stopped read leaves the rest as it was.
    SequenceResult sequence;
    ParameterReadReport parameters;
    maps::MapReadReport maps;
    bool factoryReset = false;
    bool serialRead = false;
    std::array<std::optional<std::uint16_t>, kRecordWordCount> recordWords{};
    // The low byte of record word 63 is 255: no vehicle data was ever stored.
    bool vehicleDataMissing() const { return recordWords[63] && (*recordWords[63] & 0xFF) == 0xFF; }
    // Everything was asked for and the parameter set and maps answered in full: what a save may keep.
    bool complete() const {
        return sequence.completed() && parameters.failures() == 0 && maps.failures() == 0;
    }
};

ReadEverythingReport ReadEverything(link::Link& link, ProgramState& state, const ReadEverythingHooks& hooks);

}  // namespace sequaflow::params
