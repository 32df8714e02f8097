#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The installation record the controller keeps in its vehicle-record store.
namespace sequaflow::record {

// Record words 0..60 as read, two bytes each, high byte first.
inline constexpr std::size_t kRecordBytes = 122;

struct VehicleRecord {
    // Registration, make, model, installer text, year, month, day, then a zero byte; byte 120 is zeroed after
    // every read.
    std::array<std::uint8_t, kRecordBytes> text{};
    std::uint16_t word62 = 0;  // layout x 4096 + cylinder-count index x 256 + nozzle index
    std::uint16_t word63 = 0;  // capacity index x 256 + saved marker (0 saved, 255 never saved)
};

}  // namespace sequaflow::record
