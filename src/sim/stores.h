#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "params/factory_defaults.h"

namespace sequaflow::sim {

inline constexpr std::size_t kMapStoreWords = 60;   // points 0..16, 17 unused, grid pairs 18..59
inline constexpr std::size_t kCorrStoreWords = 39;  // std map 0..11, 12..15 unused, temperature 16..26, lambda 27..38
inline constexpr std::size_t kRecordWords = 64;
inline constexpr std::size_t kGridPairFirstWord = 18;
inline constexpr std::size_t kTempPointWord = 16;
inline constexpr std::size_t kTempCorrWord = 21;
inline constexpr std::size_t kLambdaWord = 27;

// What survives a power cycle: the words written with the select/store pairs.
struct PersistentStores {
    std::array<std::uint16_t, params::kParameterCount> params{};
    std::array<std::uint16_t, kMapStoreWords> mapWords{};
    std::array<std::uint16_t, kCorrStoreWords> corrWords{};
    std::array<std::uint16_t, kRecordWords> record{};

    bool operator==(const PersistentStores&) const = default;
};

// What the controller runs with: loaded from the persistent words at power-up, changed by the set commands.
struct RunningValues {
    std::array<std::uint16_t, params::kParameterCount> params{};
    std::array<std::uint16_t, params::kPointCount> points{};
    std::array<std::uint8_t, params::kAdvancedMapSize> grid{};  // row-major, 7r + c
    std::array<std::uint8_t, params::kStdMapSize> stdMap{};
    std::array<std::uint8_t, params::kTempPointCount> tempPoints{};
    std::array<std::uint8_t, params::kTempCorrCount> tempCorr{};
    std::array<std::uint16_t, params::kLambdaCount> lambda{};
};

// Point/grid store word of advanced-map cell (row, column): one word per column and pair of rows.
constexpr std::size_t GridPairWord(std::size_t row, std::size_t column) {
    return kGridPairFirstWord + 6 * column + row / 2;
}

// A controller as it leaves the factory: factory parameters, default maps and points, and a vehicle record
// that is already filled in (so a first connection goes straight to the readings).
PersistentStores FactoryStores();
// A controller never programmed: every store reads as erased memory (all ones).
PersistentStores BlankStores();
// The running values a controller starts with after power-up.
RunningValues PowerUp(const PersistentStores& stores);

}  // namespace sequaflow::sim
