#pragma once

#include <array>
#include <cstdint>

#include "live/live_frame.h"
#include "live/readings.h"
#include "live/scope.h"
#include "maps/map_model.h"
#include "params/parameter_image.h"
#include "record/vehicle_record.h"

namespace sequaflow::params {

// How the image came to be: a save keeps only a configuration that is whole.
enum class ReadStatus {
    None,      // nothing read yet: the image holds start-up values, not a controller's
    Partial,   // a read stopped or left items unanswered
    Complete,  // everything read from the controller
    File,      // shown from a parameter file without a controller
};

// The lambda-correction words and the gas-temperature map as last read or sent (zero until then). Neither is
// part of the parameter read nor of a parameter file.
struct CorrectionWords {
    std::array<std::uint16_t, kLambdaCount> lambda{};
    std::array<std::uint8_t, kTempPointCount> tempPoints{};
    std::array<std::uint8_t, kTempCorrCount> tempCorr{};  // percent + 100
};

// What the program knows about the connected controller's configuration. One object, shared by every page;
// the link and the controller's identification live beside it, with the connection.
struct ProgramState {
    ParameterImage image;
    maps::MapModel maps;
    live::LiveWords words{};
    std::uint16_t serial = 0;
    record::VehicleRecord vehicle;
    CorrectionWords corrections;
    char decimalSeparator = ',';
    ReadStatus readStatus = ReadStatus::None;
};

// Whether the configuration on screen may be saved as a parameter file. A file of start-up zeros or of a
// half-answered read would later be loaded into a car as if it were a configuration.
[[nodiscard]] bool CanSaveConfiguration(ReadStatus status);

// The parameters and points the readings tick needs, taken from the state.
live::ReadingsInputs ReadingsInputsOf(const ProgramState& state);
// The parameters the oscilloscope channels need.
live::ScopeInputs ScopeInputsOf(const ProgramState& state);

}  // namespace sequaflow::params
