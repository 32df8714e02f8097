#pragma once

#include <cstdint>

#include "live/live_frame.h"
#include "live/readings.h"
#include "maps/map_model.h"
#include "params/parameter_image.h"

namespace sequaflow::params {

// What the program knows about the connected controller. One object, shared by every page; the link and
// the connection state live beside it in the session that owns the port.
struct ProgramState {
    ParameterImage image;
    maps::MapModel maps;
    live::LiveWords words{};
    std::uint8_t hardware = 0;
    std::uint8_t software = 0;
    std::uint16_t serial = 0;
    char decimalSeparator = ',';
};

// The parameters and points the readings tick needs, taken from the state.
live::ReadingsInputs ReadingsInputsOf(const ProgramState& state);

}  // namespace sequaflow::params
