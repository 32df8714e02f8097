#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "link/link.h"
#include "params/parameter_image.h"

// The tank level sensor: its type with preset thresholds, and the reading -> level rule.
namespace sequaflow::params {

inline constexpr int kOwnThresholdsType = 3;

struct TankPreset {
    bool rising;
    std::array<std::uint16_t, 4> thresholds;  // parameters 30..33, raw levels 0..4096
};

// Presets of the sensor types 0 "20kR", 1 "90R" and 2 "Rezerwa"; type 3 (own thresholds) has none.
std::optional<TankPreset> TankPresetOf(int type);

// Puts the sensor type (low two bits) into the first flags word, the preset thresholds and direction for
// types 0..2, then writes parameter 22 and 30..33 one by one.
void ApplyTankSensorType(link::Link& link, ParameterImage& image, int type);

// Level 0..5 (0 = no test true, 1 = reserve, 5 = full) of a raw sensor reading, by the thresholds and the
// direction in the image. The tests run in a fixed order and a later true test wins, so thresholds out of
// order still give a level.
int ClassifyTankLevel(std::uint32_t reading, const ParameterImage& image);

}  // namespace sequaflow::params
